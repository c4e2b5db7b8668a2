#pragma once

#include <QString>

class Connection;

// The database's own settings that the settings dialog changes, from its one-row table
// `beallit`. The table's other columns (the dismissed notices) are left alone.
struct SettingsRow
{
    QString vanbelep;      // 'I' when users must log in with a password
    QString mentesutvonal; // the document store folder; NULL reads as empty text

    bool loginRequired() const { return vanbelep == QLatin1String("I"); }
    bool operator==(const SettingsRow &) const = default;
};

// The first row of `beallit`; an empty table reads as an empty row. Throws DbError.
SettingsRow ReadSettingsRow(Connection &con);

// Writes into the first row of `beallit` the fields of `changed` that differ from `read` (the row
// as ReadSettingsRow gave it), so a value that was not touched stays exactly as stored; adds the
// row when the table has none. Throws DbError.
void WriteSettingsRow(Connection &con, const SettingsRow &read, const SettingsRow &changed);

// The database's schema version: the highest `verzio` of table `verzio`, empty text when the
// table has no rows. Throws DbError.
QString SchemaVersion(Connection &con);
