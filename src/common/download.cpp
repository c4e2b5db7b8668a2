#include "download.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QUrl>

#ifndef ORVANTH_NOTICES_URL
#define ORVANTH_NOTICES_URL ""
#endif

using namespace Qt::StringLiterals;

namespace {

QString &noticesBaseUrl()
{
    static QString url = qEnvironmentVariableIsEmpty("ORVANTH_NOTICES_URL")
                             ? QString::fromUtf8(ORVANTH_NOTICES_URL)
                             : qEnvironmentVariable("ORVANTH_NOTICES_URL");
    return url;
}

} // namespace

QString NoticesBaseUrl()
{
    return noticesBaseUrl();
}

void SetNoticesBaseUrl(const QString &url)
{
    noticesBaseUrl() = url;
}

FileDownload::FileDownload(QObject *parent) : QObject(parent) {}

FileDownload::~FileDownload()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        delete m_reply;
    }
}

bool FileDownload::start(const QString &url, const QString &localFile, int timeoutMs)
{
    if (m_reply)
        return false;
    const QUrl address(url, QUrl::StrictMode);
    if (!address.isValid() || address.scheme().isEmpty())
        return false;

    auto file = std::make_unique<QSaveFile>(localFile);
    if (!file->open(QIODevice::WriteOnly))
        return false;
    m_file = std::move(file);
    m_written = true;

    if (!m_manager)
        m_manager = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest request(address);
    request.setTransferTimeout(timeoutMs);
    m_reply = m_manager->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &FileDownload::onReadyRead);
    // Queued, so that a reply that ends at once still reaches a caller that connects after start().
    connect(m_reply, &QNetworkReply::finished, this, &FileDownload::onFinished, Qt::QueuedConnection);
    return true;
}

void FileDownload::onReadyRead()
{
    const QByteArray chunk = m_reply->readAll();
    if (m_file->write(chunk) != chunk.size())
        m_written = false;
}

void FileDownload::onFinished()
{
    QNetworkReply *reply = std::exchange(m_reply, nullptr);
    reply->deleteLater();
    bool ok = reply->error() == QNetworkReply::NoError;
    // file: and similar addresses have no status; for HTTP only a 2xx answer is a reply.
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299))
        ok = false;
    if (ok) {
        const QByteArray rest = reply->readAll();
        if (m_file->write(rest) != rest.size())
            m_written = false;
        ok = m_written && m_file->flush() && m_file->commit();
    }
    m_file.reset();
    emit finished(ok);
}

bool DownloadToFile(const QString &url, const QString &localFile, int timeoutMs)
{
    FileDownload download;
    bool ok = false;
    QEventLoop loop;
    QObject::connect(&download, &FileDownload::finished, &loop, [&](bool result) {
        ok = result;
        loop.quit();
    });
    if (!download.start(url, localFile, timeoutMs))
        return false;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return ok;
}
