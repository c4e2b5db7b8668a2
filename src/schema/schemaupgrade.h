#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class Connection;

// What this program can add to a register database beyond the tables the Windows workstations
// know: each addition is found by looking at the database, so nothing is added twice, and nothing
// is ever added without an administrator asking for it. Existing tables keep their columns; the
// Windows program ignores the extra tables, and the triggers never make one of its writes fail.

struct UpgradeStep
{
    QString name;        // the object the step makes (index, table or trigger name)
    QString description; // what the database gains, for the confirmation and the start-up notice
    QString privilege;   // the privilege the server asks for it
    std::function<bool(Connection &)> present;
    QStringList create; // the statements that make it
    QString drop;       // the statement that takes it away again when a later step fails
};

// Every step the program knows, in the order they are made (a table before its triggers).
const QList<UpgradeStep> &UpgradeSteps();

// The steps the connection's database lacks. Throws DbError.
QList<UpgradeStep> MissingUpgradeSteps(Connection &con);

// The distinct descriptions of the steps, in their order: the list shown before an upgrade.
QStringList UpgradeDescriptions(const QList<UpgradeStep> &steps);

// The privileges the steps need that the connected user lacks on the database, as far as the
// server's grant tables tell; empty also when they cannot be read (roles): the upgrade then learns
// it from the server's refusal.
QStringList MissingUpgradePrivileges(Connection &con, const QList<UpgradeStep> &steps);

struct UpgradeResult
{
    bool ok = false;
    QStringList added;   // names of the objects made (all of them, or none when it failed)
    QString error;       // why it failed, in Hungarian, naming the privilege when that is the cause
    QStringList leftOver; // objects this run made and could not take away again after a failure
};

// Adds what the database lacks. Before anything is made the needed privileges are checked; when
// the server still refuses a step, whatever this run made is dropped again, so the database is
// left as it was. Running it on a complete database changes nothing.
UpgradeResult UpgradeDatabase(Connection &con);

// Whether the database has the change history (its table and all its triggers).
bool HasChangeHistory(Connection &con);
// Whether the database has the table of records open in editors.
bool HasEditorTable(Connection &con);

class IniFile;

// What the start-up says about a database that lacks steps, the first time this workstation
// meets it; empty when nothing is missing or it was said before (remembered in `settings` per
// server and database).
QString UpgradeNoticeOnce(Connection &con, IniFile &settings);
