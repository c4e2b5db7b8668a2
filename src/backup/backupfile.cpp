#include "backupfile.h"

#include "archivestream.h"
#include "db/backupscript.h"
#include "db/dberror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

namespace backupfile {

QString scriptPathFor(const QString &zipPath)
{
    const QFileInfo info(zipPath);
    return info.dir().filePath(info.completeBaseName() + u".sql"_s);
}

} // namespace backupfile

void WriteBackupFile(Connection &con, const QString &path, const std::function<void(int, int)> &progress,
                     const std::function<void(const QString &, qint64)> &tableWritten)
{
    if (!IsZipBackupPath(path)) {
        WriteBackupScript(con, path, progress, tableWritten);
        return;
    }
    const QString scriptPath = backupfile::scriptPathFor(path);
    // The script is written beside the archive (same file system, so it can be renamed into place
    // when the archive fails) under a name that does not look like a finished backup.
    ArchiveStream archive(path, QFileInfo(scriptPath).fileName());
    QFileDevice *script = archive.device();
    if (!script)
        throw DbError(archive.errorText());
    try {
        WriteBackupScript(con, *script, progress, tableWritten);
    } catch (const DbError &error) {
        // The user chose the archive's name, not the hidden one of the script on its way.
        throw DbError(QString(error.message()).replace(script->fileName(), path), error.number());
    }
    // A failure of the script itself throws; the archive is then abandoned and the older one stays.
    if (!archive.finish()) {
        const QString kept = archive.keepEntry(scriptPath);
        if (kept.isEmpty())
            throw DbError(archive.errorText());
        throw ArchiveError(archive.errorText(), kept);
    }
}
