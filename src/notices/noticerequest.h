#pragma once

#include "common/download.h"

#include <QObject>
#include <QString>

// Reply files of the notices web service, kept in the data folder after each request.
inline constexpr char16_t VersionReplyFile[] = u"Verkov.txt";
inline constexpr char16_t NewsReplyFile[] = u"hirkov.txt";

// One question to the notices web service, answered into a reply file without holding up the
// caller: the file is deleted first, fetched in the background and left in place afterwards.
// replied() carries the reply's text (ReadNoticeReply); a failure of any kind ends the request
// without a signal and without a word to the user.
class NoticeRequest : public QObject
{
    Q_OBJECT
public:
    NoticeRequest(QString replyFile, QObject *parent = nullptr);

    // False when no request went out: no service address, or the file could not be written.
    bool start(const QString &baseUrl, const QString &path);
    bool isRunning() const { return m_download.isRunning(); }

signals:
    void replied(const QString &reply);

private:
    void onDownloaded(bool ok);

    QString m_replyFile;
    FileDownload m_download;
};
