#pragma once

#include "conprofile.h"
#include "inifile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One row of the profile manager's list: a stored connection profile and the schema version that
// the last connection test read (never stored). The manager keeps the port as a number: its
// text is always the digits of one.
struct ProfileRow
{
    ConnectionProfile profile{{}, {}, QStringLiteral("3306"), {}, {}, {}};
    QString version;

    // A port that is not a whole number reads as 0.
    static ProfileRow fromProfile(const ConnectionProfile &profile);
    const ConnectionProfile &toProfile() const { return profile; }
    int port() const { return profile.port.toInt(); }
    void setPort(int port) { profile.port = QString::number(port); }
    // database;host;port;user;password;display name; (with the ";" after the sixth field).
    QString toText() const;

    bool operator==(const ProfileRow &) const = default;
};

// The columns a profile list can be sorted by, in the order of the manager's grid.
enum class ProfileColumn { DisplayName, Database, Host, Port, User, Version };

// Sorts ascending by the column (text in Hungarian order, letter case ignored; the port as a
// number). Rows that compare equal keep their order, so sorting by a second column keeps the
// first one's order among equals.
void SortProfileRows(QList<ProfileRow> &rows, ProfileColumn column);
// The same as the positions of the rows in sorted order.
QList<int> SortedProfileOrder(const QList<ProfileRow> &rows, ProfileColumn column);

// Every profile under ConStr1..ConStr100 that decodes to some text, in key order, sorted by
// display name.
QList<ProfileRow> LoadProfileRows(const IniFile &ini);

// Replaces the stored profiles with the rows, numbered ConStr1..ConStrN in the order given, and
// stores the dump program's path (frm_Adatbazis/MysqlDump) in the same write. Throws IniError;
// the file is then left as it was.
void StoreProfileRows(IniFile &ini, const QList<ProfileRow> &rows, const QString &dumpProgram);

// What keeps a typed profile from being stored and read back as typed: a ";" in a field would
// shift every later field, and a character code page 1250 cannot hold cannot be stored at all.
// `fields` pairs each field's caption with its text; the result is the message for the user, or
// empty text when the profile can be stored.
QString ProfileFieldsProblem(const QList<std::pair<QString, QString>> &fields);

// The port as typed: a whole number from 0 to 65535 (blanks around it allowed), nullopt
// otherwise.
std::optional<int> ParsePortText(const QString &text);
