#include "conprofile.h"

#include "common/cp1250.h"
#include "common/text.h"

#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace conprofile {

// A byte whose "plus one" could not stand in the settings file: 255 would wrap to NUL and cut
// the value short, 9 and 12 would become a line feed and a carriage return and break the line.
// Such a byte is stored as itself, followed by '~' in place of the filler. Fillers are never
// above 'W', so values stored by the plain rule decode as before; a decoder that knows only the
// plain rule reads the byte minus one but the rest of the value intact.
constexpr char LiteralMark = '~';

bool StoredLiterally(unsigned char c)
{
    return c == 0xFF || c == 0x09 || c == 0x0C;
}

} // namespace conprofile

QString EncodeConStr(const QString &plain, const std::function<char()> &nextFiller)
{
    QString bad;
    const QByteArray bytes = ToCp1250(plain, &bad);
    if (!bad.isEmpty())
        throw IniError(u"A kapcsolat adatai nem tárolható karaktereket tartalmaznak: %1"_s.arg(bad));
    QByteArray out;
    out.reserve(3 + 2 * bytes.size());
    for (int i = 0; i < 3; ++i)
        out += nextFiller();
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (conprofile::StoredLiterally(c)) {
            out += char(c);
            out += conprofile::LiteralMark;
        } else {
            out += char(c + 1);
            out += nextFiller();
        }
    }
    return FromCp1250(out);
}

QString EncodeConStr(const QString &plain)
{
    return EncodeConStr(plain, [] { return char('!' + QRandomGenerator::global()->bounded(55)); });
}

QString DecodeConStr(const QString &stored)
{
    const QByteArray bytes = ToCp1250(stored);
    QByteArray out;
    for (qsizetype i = 3; i < bytes.size(); i += 2) {
        const auto c = static_cast<unsigned char>(bytes.at(i));
        const bool literal = i + 1 < bytes.size() && bytes.at(i + 1) == conprofile::LiteralMark;
        out += literal ? char(c) : char(c - 1);
    }
    return FromCp1250(out);
}

ConnectionProfile ConnectionProfile::fromText(const QString &plain)
{
    const QString sep = u";"_s;
    return {SplitField(sep, plain, 1), SplitField(sep, plain, 2), SplitField(sep, plain, 3),
            SplitField(sep, plain, 4), SplitField(sep, plain, 5), SplitField(sep, plain, 6)};
}

QString ConnectionProfile::toText(bool trailingSeparator) const
{
    QString text = QStringList{database, host, port, user, password, displayName}.join(u';');
    if (trailingSeparator)
        text += u';';
    return text;
}

std::optional<int> ConnectionProfile::portNumber() const
{
    const auto n = ParseIniInteger(port);
    // Decimal digits only, as typed in the set-up dialog.
    if (!n || port.trimmed().contains(u'$') || port.contains(u'x', Qt::CaseInsensitive))
        return std::nullopt;
    if (*n < 0 || *n > 65535)
        return std::nullopt;
    return n;
}

QString ConnectionProfileKey(int number)
{
    return u"ConStr"_s + QString::number(number);
}

QString ConnectionProfileSection()
{
    return u"Adatbazis"_s;
}

QList<StoredProfile> ReadConnectionProfiles(const IniFile &ini, int lastNumber)
{
    const IniDocument doc = ini.read();
    QList<StoredProfile> profiles;
    for (int n = 1; n <= lastNumber; ++n) {
        const QString text = DecodeConStr(doc.value(ConnectionProfileSection(), ConnectionProfileKey(n), {}));
        if (!text.isEmpty())
            profiles.append({n, text, ConnectionProfile::fromText(text)});
    }
    return profiles;
}

int FirstFreeConnectionProfileNumber(const IniDocument &doc)
{
    for (int n = 1; n <= kMaxConnectionProfiles; ++n) {
        if (!doc.contains(ConnectionProfileSection(), ConnectionProfileKey(n)))
            return n;
    }
    return 0;
}

int AddConnectionProfile(IniFile &ini, const QString &plain)
{
    const QString stored = EncodeConStr(plain);
    int number = 0;
    ini.update([&](IniDocument &doc) {
        number = FirstFreeConnectionProfileNumber(doc);
        if (number > 0)
            doc.setValue(ConnectionProfileSection(), ConnectionProfileKey(number), stored);
    });
    return number;
}

void RewriteConnectionProfiles(IniFile &ini, const QStringList &plainTexts)
{
    QStringList stored;
    for (const QString &text : plainTexts)
        stored.append(EncodeConStr(text));
    ini.update([&](IniDocument &doc) {
        const int last = std::max<int>(kMaxConnectionProfiles, stored.size());
        for (int n = 1; n <= last; ++n)
            doc.remove(ConnectionProfileSection(), ConnectionProfileKey(n));
        for (int i = 0; i < stored.size(); ++i)
            doc.setValue(ConnectionProfileSection(), ConnectionProfileKey(i + 1), stored.at(i));
    });
}

StartupProfiles ReadStartupProfiles(const IniFile &ini)
{
    StartupProfiles result;
    for (const StoredProfile &stored : ReadConnectionProfiles(ini, kStartupConnectionProfiles)) {
        if (stored.profile.displayName.isEmpty())
            continue;
        result.listText += QString::number(stored.number) + u"; "_s + stored.profile.displayName + u"\r\n"_s;
        result.profileStrings.append(stored.text);
    }
    return result;
}

StartupProfiles ReadStartupProfiles()
{
    return ReadStartupProfiles(SettingsFile());
}

QStringList ProfileListLines(const QString &listText)
{
    QString normal = listText;
    normal.replace(u"\r\n"_s, u"\n"_s);
    QStringList lines = normal.split(u'\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}
