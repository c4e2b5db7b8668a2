#include "notices/noticereply.h"

#include "common/cp1250.h"
#include "common/hungariantext.h"
#include "common/sqltext.h"
#include "common/text.h"
#include "common/values.h"
#include "db/dbroutines.h"

using namespace Qt::StringLiterals;

QString VersionRequestPath()
{
    return u"verziokovetes.php?prg=%1"_s.arg(NoticesProgramNumber);
}

QString NewsRequestPath(int dismissedNews)
{
    return u"hirfolyam.php?prg=%1&hir=%2"_s.arg(NoticesProgramNumber).arg(dismissedNews);
}

QString NewsDetailsPath(const QString &newsNumber)
{
    return u"hirek.php?hir="_s + newsNumber;
}

QString ReadNoticeReply(const QByteArray &bytes)
{
    QByteArray joined;
    joined.reserve(bytes.size() + bytes.size() / 8 + 2);
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n')
            continue;
        joined += bytes.sliced(lineStart, i - lineStart);
        joined += "\r\n";
        if (c == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n')
            ++i;
        lineStart = i + 1;
    }
    if (lineStart < bytes.size()) {
        joined += bytes.sliced(lineStart);
        joined += "\r\n";
    }
    return FromCp1250(Utf8ToHungarian(joined));
}

QString ReplyField(const QString &reply, int n)
{
    return SplitField(u"|"_s, reply, n);
}

int BuildNumber(const QString &version)
{
    return TextToInt(SplitField(u"."_s, version, 4));
}

std::optional<VersionNotice> VersionNoticeFrom(const QString &reply, const QString &dismissedVersion,
                                               const QString &ownVersion)
{
    const QString offered = ReplyField(reply, 1);
    const int build = BuildNumber(offered);
    if (build <= BuildNumber(dismissedVersion) || build <= BuildNumber(ownVersion))
        return std::nullopt;
    return VersionNotice{offered.trimmed(), ReplyField(reply, 2)};
}

std::optional<NewsItem> NewsItemFrom(const QString &reply)
{
    // Trimmed, so that "0" as the whole reply (no "|" after it, so still followed by the line
    // break) also means no news.
    const QString number = ReplyField(reply, 1).trimmed();
    if (number.isEmpty() || number == u"0"_s)
        return std::nullopt;
    return NewsItem{TextToInt(number), number, ReplyField(reply, 2), ReplyField(reply, 3)};
}

QString DismissedVersion(Connection &con, const QString &ownVersion)
{
    return QueryText(con, u"SELECT verzioelfogadva FROM beallit;"_s, ownVersion);
}

int DismissedNews(Connection &con)
{
    return QueryInt(con, u"SELECT hirelfogadva FROM beallit;"_s, 0);
}

void DismissVersion(Connection &con, const QString &version)
{
    ExecSql(con, u"UPDATE beallit SET verzioelfogadva = "_s + SqlQuoted(version) + u";"_s);
}

void DismissNews(Connection &con, int number)
{
    const QString n = ValueToIntText(number);
    // A NULL never compares below anything: without IS NULL a database that never dismissed
    // anything would never store the first dismissal.
    ExecSql(con, u"UPDATE beallit SET hirelfogadva = "_s + n +
                     u" WHERE hirelfogadva IS NULL OR hirelfogadva < "_s + n + u";"_s);
}
