#pragma once

#include "inifile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Connection profiles: "database;host;port;user;password;display name", kept scrambled in
// section Adatbazis of the settings file under ConStr1, ConStr2, ...

// The scrambled form of a profile text: three filler characters, then for each code page 1250
// byte of the text the byte plus one and a filler; fillers are drawn from '!' to 'W'.
// Throws IniError when the text holds a character that code page 1250 cannot store.
QString EncodeConStr(const QString &plain);
// The same with the fillers given (each call returns the next one), for a fixed result.
QString EncodeConStr(const QString &plain, const std::function<char()> &nextFiller);
// The plain text: drops three characters, then takes every other one, minus one. Up to three
// characters give empty text.
QString DecodeConStr(const QString &stored);

struct ConnectionProfile
{
    QString database;
    QString host;
    QString port; // as stored; it need not be a number
    QString user;
    QString password;
    QString displayName;

    // Fields 1 to 6 of the text; anything after the sixth ";" is ignored.
    static ConnectionProfile fromText(const QString &plain);
    // The six fields joined by ";", with one more ";" at the end when asked (the profile
    // manager writes it, the first-run set-up does not).
    QString toText(bool trailingSeparator = false) const;

    // The port as a whole number from 0 to 65535, nullopt otherwise.
    std::optional<int> portNumber() const;

    bool operator==(const ConnectionProfile &) const = default;
};

constexpr int kMaxConnectionProfiles = 100;
constexpr int kStartupConnectionProfiles = 25;

// "ConStr" + n.
QString ConnectionProfileKey(int number);
QString ConnectionProfileSection(); // "Adatbazis"

struct StoredProfile
{
    int number = 0; // n of ConStr<n>
    QString text;   // decoded plain text
    ConnectionProfile profile;
};

// Keys ConStr1 to ConStr<lastNumber> in number order; missing keys and values that decode to
// empty text are left out (a profile with an empty display name is kept: the start-up chooser
// skips it, the profile manager lists it).
QList<StoredProfile> ReadConnectionProfiles(const IniFile &ini, int lastNumber);

// The first n from 1 to 100 whose key does not exist (an empty value counts as existing);
// 0 when all exist.
int FirstFreeConnectionProfileNumber(const IniDocument &doc);
// Writes the profile text, scrambled, under the first free key and returns its number; 0 when
// every key 1..100 is taken, in which case nothing is written. Throws IniError.
int AddConnectionProfile(IniFile &ini, const QString &plain);
// Removes ConStr1..ConStr100 (and any higher key the new list would use) and writes the texts
// as ConStr1..ConStrN, in one replacement of the file. Throws IniError.
void RewriteConnectionProfiles(IniFile &ini, const QStringList &plainTexts);

// What the start-up offers: one line per profile under ConStr1..ConStr25 whose display name is
// not empty ("<key number>; <display name>", in key order), and the decoded profile texts in
// the same order.
struct StartupProfiles
{
    QString listText; // the lines, each ended by a line break
    QStringList profileStrings;
};
StartupProfiles ReadStartupProfiles(const IniFile &ini);
StartupProfiles ReadStartupProfiles(); // from the workstation's settings file

// The lines of a profile list text: CR LF or LF ends a line; the break after the last line
// gives no empty line of its own.
QStringList ProfileListLines(const QString &listText);
