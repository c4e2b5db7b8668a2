#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslServer>
#include <QString>
#include <QTemporaryDir>

class QSslSocket;

// An HTTPS server on 127.0.0.1 for one test, with a self-signed certificate made for it by
// openssl. trustInThisProcess() makes this process's TLS clients accept that certificate (and
// only this process's). Each request gets the body set for its path (without the query), a 404
// for an unknown path, or, in hanging mode, no answer at all while the connection stays open.
class HttpsServer : public QObject
{
    Q_OBJECT
public:
    HttpsServer();

    // Makes the certificate and starts listening; false (with the reason in error()) on failure.
    bool start();
    QString error() const { return m_error; }
    // Adds the certificate to the CA certificates of this process's default TLS configuration.
    void trustInThisProcess() const;

    // "https://127.0.0.1:<port>/".
    QString baseUrl() const;

    void setReply(const QString &path, const QByteArray &body, int status = 200);
    void setHanging(bool hanging) { m_hanging = hanging; }

    // Request lines received so far ("GET /x?y=1 HTTP/1.1"), in order.
    const QList<QByteArray> &requests() const { return m_requests; }
    // Connections accepted over TLS so far.
    int connections() const { return m_connections; }

private:
    void serve(QSslSocket *socket);

    QTemporaryDir m_dir;
    QSslServer m_server;
    QSslCertificate m_certificate;
    QSslKey m_key;
    QString m_error;
    bool m_hanging = false;
    int m_connections = 0;
    struct Reply
    {
        int status;
        QByteArray body;
    };
    QHash<QString, Reply> m_replies;
    QHash<QSslSocket *, QByteArray> m_pending;
    QList<QByteArray> m_requests;
};
