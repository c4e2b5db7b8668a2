#pragma once

class QString;
class QWidget;
class QProgressBar;
struct ConnectionProfile; // config/conprofile.h

// The backup commands of the profile manager. Each shows its own dialogs and messages and
// leaves the settings untouched.

// The built-in backup of the profile's database: the save dialog (.sql or .zip, the proposed
// name database-yyyy-mm-dd-hh-nn-ss), progress per table on `progress`, messages. True when a
// backup file was written.
bool MakeBackup(QWidget *parent, const ConnectionProfile &profile, QProgressBar *progress);
// The full backup through the dump program (`dumpProgram` empty: mariadb-dump, else mysqldump,
// found on the PATH): the save dialog, a busy state with a way to stop, the outcome reported.
bool MakeFullBackup(QWidget *parent, const ConnectionProfile &profile, const QString &dumpProgram);
// Loads a backup (.sql, or a .zip the program wrote) into the profile's database: open dialog,
// a confirmation naming the database and the server, progress by bytes read with a Stop
// button, then the rows per table against the rows the script inserted.
bool RestoreBackup(QWidget *parent, const ConnectionProfile &profile);
