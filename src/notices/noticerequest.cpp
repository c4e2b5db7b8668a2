#include "notices/noticerequest.h"

#include "notices/noticereply.h"

#include <QFile>
#include <QTimer>

NoticeRequest::NoticeRequest(QString replyFile, QObject *parent)
    : QObject(parent), m_replyFile(std::move(replyFile))
{
    connect(&m_download, &FileDownload::finished, this, &NoticeRequest::onDownloaded);
}

bool NoticeRequest::start(const QString &baseUrl, const QString &path)
{
    if (baseUrl.isEmpty() || isRunning())
        return false;
    QFile::remove(m_replyFile);
    return m_download.start(baseUrl + path, m_replyFile);
}

void NoticeRequest::onDownloaded(bool ok)
{
    if (!ok)
        return;
    // A short pause before the file is read, as the other workstations' program makes; here it
    // holds nothing up.
    QTimer::singleShot(250, this, [this] {
        QFile file(m_replyFile);
        if (!file.open(QIODevice::ReadOnly))
            return;
        emit replied(ReadNoticeReply(file.readAll()));
    });
}
