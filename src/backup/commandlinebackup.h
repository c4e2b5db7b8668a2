#pragma once

#include <QString>

class QTextStream;

// The built-in backup started from the command line (for a scheduled job): no window, one line
// per table and the reason of a failure on `messages`.

enum CommandLineBackupExit {
    BackupWritten = 0,
    BackupFailed = 1, // the server, a table or the file failed
    BackupRefused = 2 // a wrong profile number or file name: nothing was tried
};

// Backs up the database of profile ConStr<profileNumber> of the settings file at `settingsPath`
// into `file` (ending in .sql or .zip).
CommandLineBackupExit RunCommandLineBackup(const QString &settingsPath, const QString &profileNumber,
                                           const QString &file, QTextStream &messages);
