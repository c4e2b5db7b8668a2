#pragma once

#include "backup/commandlinebackup.h"

#include <QString>

class QTextStream;

// `orvanth --upgrade N`: extends the database of profile ConStr<N> of the settings file with
// what it lacks, without a window. The log-in rule and the exit codes are the backup's: 0 done
// (also when nothing was missing), 1 the server refused or failed, 2 a wrong profile number,
// 3 the database asks for a log-in and no administrator of it gave one.
int RunCommandLineUpgrade(const QString &settingsPath, const QString &profileNumber, const BackupLogin &login,
                          QTextStream &messages);
