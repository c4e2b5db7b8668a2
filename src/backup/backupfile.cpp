#include "backupfile.h"

#include "db/backupscript.h"
#include "db/dberror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <zip.h>

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

QString zipErrorText(zip_error_t *error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

} // namespace

void PackBackupScript(const QString &scriptPath, const QString &entryName, const QString &zipPath)
{
    int code = 0;
    // libzip writes the archive under a temporary name beside it and renames it on zip_close, so
    // an older archive stays whole until the new one is.
    zip_t *archive = zip_open(QFile::encodeName(zipPath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString text = zipErrorText(&error);
        zip_error_fini(&error);
        throw ArchiveError(text, {});
    }
    const auto fail = [archive]() {
        const QString text = zipErrorText(zip_get_error(archive));
        zip_discard(archive);
        throw ArchiveError(text, {});
    };
    zip_source_t *source = zip_source_file(archive, QFile::encodeName(scriptPath).constData(), 0, -1);
    if (!source)
        fail();
    const zip_int64_t index = zip_file_add(archive, entryName.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        fail();
    }
    if (zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 9) != 0)
        fail();
    // Compressing a large script takes a while: the window keeps painting meanwhile.
    zip_register_progress_callback_with_state(
        archive, 0.01, [](zip_t *, double, void *) { QCoreApplication::processEvents(); }, nullptr, nullptr);
    if (zip_close(archive) != 0)
        fail();
}

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
    WriteBackupScript(con, script, progress, tableWritten);
    if (!script.flush())
        throw DbError(u"Az állomány nem írható: "_s + script.fileName() + u" ("_s + script.errorString() +
                      u')');
    script.close();
    try {
        PackBackupScript(script.fileName(), scriptInfo.fileName(), path);
    } catch (const ArchiveError &error) {
        // The script is kept as the unpacked backup, under its own name unless a file of that
        // name is there already.
        QString kept = script.fileName();
        if (!QFileInfo::exists(scriptPath) && QFile::rename(script.fileName(), scriptPath))
            kept = scriptPath;
        script.setAutoRemove(false);
        throw ArchiveError(error.message(), kept);
    }
}
