#include "download.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QUrl>
#include <memory>

#ifndef ORVANTH_NOTICES_URL
#define ORVANTH_NOTICES_URL "https://orvanth.invalid/"
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

bool DownloadToFile(const QString &url, const QString &localFile, int timeoutMs)
{
    const QUrl address(url, QUrl::StrictMode);
    if (!address.isValid() || address.scheme().isEmpty())
        return false;

    QSaveFile file(localFile);
    if (!file.open(QIODevice::WriteOnly))
        return false;

    QNetworkAccessManager manager;
    QNetworkRequest request(address);
    request.setTransferTimeout(timeoutMs);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));

    bool written = true;
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, [&] {
        const QByteArray chunk = reply->readAll();
        if (file.write(chunk) != chunk.size())
            written = false;
    });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    if (reply->error() != QNetworkReply::NoError)
        return false;
    // file: and similar addresses have no status; for HTTP only a 2xx answer is a reply.
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299))
        return false;
    const QByteArray rest = reply->readAll();
    if (file.write(rest) != rest.size())
        written = false;
    return written && file.commit();
}
