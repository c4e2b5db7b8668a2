#pragma once

#include <QString>
#include <functional>

class QTextStream;

// The built-in backup started from the command line (for a scheduled job): no window, one line
// per table and the reason of a failure on `messages`.

enum CommandLineBackupExit {
    BackupWritten = 0,
    BackupFailed = 1,    // the server, a table or the file failed
    BackupRefused = 2,   // a wrong profile number or file name: nothing was tried
    BackupNotAllowed = 3 // the database asks for a log-in, and no administrator of it gave one
};

// Who takes the backup when the database asks its users to log in (beallit.vanbelep = 'I'): the
// backup holds every user's password digest, so it takes an administrator of that database.
struct BackupLogin
{
    QString user;
    // Asked only when the database wants a log-in and a user is named.
    std::function<QString()> password;
};

// Backs up the database of profile ConStr<profileNumber> of the settings file at `settingsPath`
// into `file` (ending in .sql or .zip). Nothing is written when the log-in is refused.
CommandLineBackupExit RunCommandLineBackup(const QString &settingsPath, const QString &profileNumber,
                                           const QString &file, const BackupLogin &login,
                                           QTextStream &messages);
