#include "backupfile.h"

#include "archivestream.h"
#include "db/backupscript.h"
#include "db/dberror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;

ArchiveError::ArchiveError(QString message, QString scriptPath)
    : std::runtime_error(message.toStdString()), m_message(std::move(message)),
      m_scriptPath(std::move(scriptPath))
{
}

QString ProposedBackupName(const QString &database, const QDateTime &when)
{
    return database + u'-' + when.toString(u"yyyy-MM-dd-hh-mm-ss"_s);
}

bool IsZipBackupPath(const QString &path)
{
    return QFileInfo(path).suffix().compare(u"zip"_s, Qt::CaseInsensitive) == 0;
}

namespace {

QString scriptPathFor(const QString &zipPath)
{
    const QFileInfo info(zipPath);
    return info.dir().filePath(info.completeBaseName() + u".sql"_s);
}

// The script on its way out: into the temporary .sql file, kept should the archive fail, and into
// the archive, deflated on its own thread meanwhile. Only a failure of the file fails a write; the
// archive's failure waits in the stream until the script is complete.
class ScriptAndArchive : public QIODevice
{
public:
    ScriptAndArchive(QFile &script, ArchiveStream &archive) : m_script(script), m_archive(archive) {}

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (m_script.write(data, size) != size) {
            setErrorString(m_script.errorString());
            return -1;
        }
        m_archive.append(data, qsizetype(size));
        return size;
    }

private:
    QFile &m_script;
    ArchiveStream &m_archive;
};

} // namespace

void WriteBackupFile(Connection &con, const QString &path, const std::function<void(int, int)> &progress,
                     const std::function<void(const QString &, qint64)> &tableWritten)
{
    if (!IsZipBackupPath(path)) {
        WriteBackupScript(con, path, progress, tableWritten);
        return;
    }
    const QString scriptPath = scriptPathFor(path);
    const QFileInfo scriptInfo(scriptPath);
    // The script is written beside the archive (same file system, so it can be renamed into place
    // when the archive fails) under a name that does not look like a finished backup.
    QTemporaryFile script(scriptInfo.dir().filePath(u"."_s + scriptInfo.fileName() + u".XXXXXX"_s));
    if (!script.open())
        throw DbError(u"Az állomány nem hozható létre: "_s + scriptInfo.dir().path() + u" ("_s +
                      script.errorString() + u')');
    ArchiveStream archive(path, scriptInfo.fileName());
    ScriptAndArchive out(script, archive);
    out.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    // A failure here throws; the archive is then abandoned and the older one stays.
    WriteBackupScript(con, out, progress, tableWritten);
    if (!script.flush())
        throw DbError(u"Az állomány nem írható: "_s + script.fileName() + u" ("_s + script.errorString() +
                      u')');
    script.close();
    if (!archive.finish()) {
        // The script is kept as the unpacked backup, under its own name unless a file of that
        // name is there already.
        QString kept = script.fileName();
        if (!QFileInfo::exists(scriptPath) && QFile::rename(script.fileName(), scriptPath))
            kept = scriptPath;
        script.setAutoRemove(false);
        throw ArchiveError(archive.errorText(), kept);
    }
}
