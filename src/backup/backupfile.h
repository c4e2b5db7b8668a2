#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <stdexcept>

class Connection;

// The built-in backup as a file: the script itself (.sql) or packed into a ZIP archive (.zip).

// "database-yyyy-mm-dd-hh-nn-ss", the name the save dialog proposes.
QString ProposedBackupName(const QString &database, const QDateTime &when);

// Whether the chosen path asks for an archive: its extension is "zip" in any letter case.
bool IsZipBackupPath(const QString &path);

// The archive could not be built. The script itself was written and stays at scriptPath().
class ArchiveError : public std::runtime_error
{
public:
    ArchiveError(QString message, QString scriptPath);
    const QString &message() const { return m_message; }
    const QString &scriptPath() const { return m_scriptPath; }

private:
    QString m_message;
    QString m_scriptPath;
};

// Writes the backup of the connection's database to `path` (see WriteBackupScript for the
// progress callbacks). For a .zip path the archive holds the script as one entry under the path's
// bare name with the extension .sql, deflated at the highest level: the script is written to a
// temporary file beside it first, which stays as the backup when only the archive fails. The
// archive is built under a temporary name and put in place only when complete. Either way a
// failure leaves an older file at `path` untouched.
// Throws DbError on a database or file failure, ArchiveError when only the packing failed.
void WriteBackupFile(Connection &con, const QString &path,
                     const std::function<void(int index, int count)> &progress = {},
                     const std::function<void(const QString &table, qint64 rows)> &tableWritten = {});
