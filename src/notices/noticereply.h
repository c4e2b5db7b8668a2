#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class Connection;

// What the notices web service is asked and what its replies mean, apart from any window.

// Identifies this program to the web service.
inline constexpr int NoticesProgramNumber = 52;

// Paths behind the service's base address (NoticesBaseUrl()).
QString VersionRequestPath();
QString NewsRequestPath(int dismissedNews);
QString NewsDetailsPath(const QString &newsNumber);

// A reply file's bytes as text: read as lines (broken at CR LF, CR or LF), each line followed by
// CR LF, the UTF-8 turned into code page 1250 by Utf8ToHungarian, then decoded. So the text ends
// with a line break unless it is empty, and a field can span lines.
QString ReadNoticeReply(const QByteArray &bytes);
// The n-th "|"-separated field of a reply (from 1), as it stands.
QString ReplyField(const QString &reply, int n);

// The build number of a dotted version: its fourth part as a whole number, 0 when it is missing
// or no number. Blanks and line breaks around it do not count.
int BuildNumber(const QString &version);

// A newer build worth announcing.
struct VersionNotice
{
    QString version; // the offered version, without the line break of a reply with no message
    QString message;
};
// The notice when the offered build is above both the dismissed one and our own one; the first
// three parts of the versions play no part.
std::optional<VersionNotice> VersionNoticeFrom(const QString &reply, const QString &dismissedVersion,
                                               const QString &ownVersion);

struct NewsItem
{
    int number = 0;     // as a whole number, for the dismissal
    QString numberText; // as sent, for the details address
    QString title;
    QString body;
};
// The news item of a reply; none when its number is empty or "0".
std::optional<NewsItem> NewsItemFrom(const QString &reply);

// The dismissals kept in the database's settings row, shared by every workstation.
// The version last dismissed; `ownVersion` when the settings row is missing.
QString DismissedVersion(Connection &con, const QString &ownVersion);
// The news number last dismissed; 0 when never (NULL) or when the row is missing.
int DismissedNews(Connection &con);
void DismissVersion(Connection &con, const QString &version);
// Stores the number unless a higher one is stored already: the number never goes down.
void DismissNews(Connection &con, int number);
