#include "notices/noticechecks.h"

#include "common/download.h"
#include "common/paths.h"
#include "common/version.h"
#include "notices/frm_hirfolyam.h"
#include "notices/frm_verziokovetes.h"
#include "notices/noticereply.h"
#include "notices/noticerequest.h"

#include <QDir>
#include <QWidget>

using namespace Qt::StringLiterals;

NoticeChecks::NoticeChecks(Connection &connection, QWidget *owner)
    : QObject(owner), m_connection(connection), m_owner(owner), m_versionTimer(new QTimer(this)),
      m_newsTimer(new QTimer(this))
{
    setObjectName(u"noticeChecks"_s);
    m_versionTimer->setObjectName(u"TimerVerzio"_s);
    m_newsTimer->setObjectName(u"TimerHirek"_s);
    m_versionTimer->setSingleShot(true);
    m_newsTimer->setSingleShot(true);
    setDelays(5000, 10000);
    connect(m_versionTimer, &QTimer::timeout, this, &NoticeChecks::runVersionCheck);
    connect(m_newsTimer, &QTimer::timeout, this, &NoticeChecks::runNewsCheck);

    const QDir data(DataFolder());
    m_versionRequest = new NoticeRequest(data.filePath(QString::fromUtf16(VersionReplyFile)), this);
    m_newsRequest = new NoticeRequest(data.filePath(QString::fromUtf16(NewsReplyFile)), this);
    connect(m_versionRequest, &NoticeRequest::replied, this, &NoticeChecks::onVersionReply);
    connect(m_newsRequest, &NoticeRequest::replied, this, &NoticeChecks::onNewsReply);
}

void NoticeChecks::start()
{
    m_versionTimer->start();
    m_newsTimer->start();
}

void NoticeChecks::setDelays(int versionMs, int newsMs)
{
    m_versionTimer->setInterval(versionMs);
    m_newsTimer->setInterval(newsMs);
}

bool NoticeChecks::runVersionCheck()
{
    m_versionTimer->stop();
    return m_versionRequest->start(NoticesBaseUrl(), VersionRequestPath());
}

bool NoticeChecks::runNewsCheck()
{
    m_newsTimer->stop();
    const QString base = NoticesBaseUrl();
    if (base.isEmpty())
        return false;
    return m_newsRequest->start(base, NewsRequestPath(DismissedNews(m_connection)));
}

void NoticeChecks::onVersionReply(const QString &reply)
{
    const QString own = QString::fromUtf16(ProgramVersion);
    const auto notice = VersionNoticeFrom(reply, DismissedVersion(m_connection, own), own);
    if (notice && ShowVersionNotice(notice->version, notice->message, m_owner))
        DismissVersion(m_connection, notice->version);
    emit versionCheckDone();
}

void NoticeChecks::onNewsReply(const QString &reply)
{
    if (const auto item = NewsItemFrom(reply)) {
        const int number = item->number;
        m_newsWindow = ShowNewsWindow(item->title, item->body,
                                      NoticesBaseUrl() + NewsDetailsPath(item->numberText), m_owner);
        connect(m_newsWindow, &Tfrm_Hirfolyam::confirmed, this, [this, number](bool dontShowAgain) {
            if (dontShowAgain)
                DismissNews(m_connection, number);
        });
    }
    emit newsCheckDone();
}
