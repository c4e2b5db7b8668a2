#include "backupcommands.h"

#include "config/conprofile.h"

#include <QProgressBar>
#include <QString>
#include <QWidget>

// The bodies arrive with the core backup and restore routines; until then every command
// reports that it wrote nothing.
bool MakeBackup(QWidget *, const ConnectionProfile &, QProgressBar *)
{
    return false;
}

bool MakeFullBackup(QWidget *, const ConnectionProfile &, const QString &)
{
    return false;
}

bool RestoreBackup(QWidget *, const ConnectionProfile &)
{
    return false;
}
