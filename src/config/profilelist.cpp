#include "profilelist.h"

#include "common/cp1250.h"
#include "conprofile.h"
#include "settings.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <numeric>

using namespace Qt::StringLiterals;

ProfileRow ProfileRow::fromProfile(const ConnectionProfile &profile)
{
    ProfileRow row;
    row.profile = profile;
    bool ok = false;
    const int port = profile.port.trimmed().toInt(&ok, 10);
    row.setPort(ok ? port : 0);
    return row;
}

QString ProfileRow::toText() const
{
    return profile.toText(true);
}

QList<int> SortedProfileOrder(const QList<ProfileRow> &rows, ProfileColumn column)
{
    QList<int> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    if (column == ProfileColumn::Port) {
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return rows.at(a).port() < rows.at(b).port(); });
        return order;
    }
    const auto text = [column](const ProfileRow &row) -> const QString & {
        switch (column) {
        case ProfileColumn::Database: return row.profile.database;
        case ProfileColumn::Host: return row.profile.host;
        case ProfileColumn::User: return row.profile.user;
        case ProfileColumn::Version: return row.version;
        default: return row.profile.displayName;
        }
    };
    QCollator collator(QLocale(QLocale::Hungarian, QLocale::Hungary));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return collator.compare(text(rows.at(a)), text(rows.at(b))) < 0; });
    return order;
}

void SortProfileRows(QList<ProfileRow> &rows, ProfileColumn column)
{
    QList<ProfileRow> sorted;
    sorted.reserve(rows.size());
    for (const int i : SortedProfileOrder(rows, column))
        sorted.append(rows.at(i));
    rows = std::move(sorted);
}

QList<ProfileRow> LoadProfileRows(const IniFile &ini)
{
    QList<ProfileRow> rows;
    for (const StoredProfile &stored : ReadConnectionProfiles(ini, kMaxConnectionProfiles))
        rows.append(ProfileRow::fromProfile(stored.profile));
    SortProfileRows(rows, ProfileColumn::DisplayName);
    return rows;
}

void StoreProfileRows(IniFile &ini, const QList<ProfileRow> &rows, const QString &dumpProgram)
{
    QStringList stored;
    for (const ProfileRow &row : rows)
        stored.append(EncodeConStr(row.toText()));
    ini.update([&](IniDocument &doc) {
        doc.setValue(SettingSection(Setting::MysqlDump), SettingKey(Setting::MysqlDump), dumpProgram);
        const int last = std::max<int>(kMaxConnectionProfiles, int(stored.size()));
        for (int n = 1; n <= last; ++n)
            doc.remove(ConnectionProfileSection(), ConnectionProfileKey(n));
        for (int i = 0; i < stored.size(); ++i)
            doc.setValue(ConnectionProfileSection(), ConnectionProfileKey(i + 1), stored.at(i));
    });
}

QString ProfileFieldsProblem(const QList<std::pair<QString, QString>> &fields)
{
    QString all;
    for (const auto &[caption, text] : fields) {
        if (text.contains(u';'))
            return u"A(z) \"%1\" mező nem tartalmazhat pontosvesszőt (;)."_s.arg(caption);
        all += text;
    }
    const QString bad = UnmappableCp1250Chars(all);
    if (!bad.isEmpty())
        return u"A kapcsolat adatai nem tárolható karaktereket tartalmaznak: %1"_s.arg(bad);
    return {};
}

std::optional<int> ParsePortText(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 5)
        return std::nullopt;
    for (const QChar c : t) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    const int port = t.toInt();
    if (port > 65535)
        return std::nullopt;
    return port;
}
