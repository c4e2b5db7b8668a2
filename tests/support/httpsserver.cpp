#include "httpsserver.h"

#include <QFile>
#include <QProcess>
#include <QSslConfiguration>
#include <QSslSocket>

using namespace Qt::StringLiterals;

HttpsServer::HttpsServer()
{
    connect(&m_server, &QSslServer::pendingConnectionAvailable, this, [this] {
        while (QTcpSocket *next = m_server.nextPendingConnection()) {
            auto socket = qobject_cast<QSslSocket *>(next);
            socket->setParent(this);
            connect(socket, &QSslSocket::encrypted, this, [this] { ++m_connections; });
            connect(socket, &QSslSocket::readyRead, this, [this, socket] { serve(socket); });
        }
    });
}

bool HttpsServer::start()
{
    const QString key = m_dir.filePath(u"key.pem"_s);
    const QString cert = m_dir.filePath(u"cert.pem"_s);
    QProcess openssl;
    openssl.start(u"openssl"_s, {u"req"_s, u"-x509"_s, u"-newkey"_s, u"rsa:2048"_s, u"-nodes"_s, u"-keyout"_s,
                                 key, u"-out"_s, cert, u"-days"_s, u"2"_s, u"-subj"_s, u"/CN=127.0.0.1"_s,
                                 u"-addext"_s, u"subjectAltName=IP:127.0.0.1"_s});
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0) {
        m_error = u"openssl: "_s + QString::fromLocal8Bit(openssl.readAllStandardError());
        return false;
    }
    QFile certFile(cert);
    QFile keyFile(key);
    if (!certFile.open(QIODevice::ReadOnly) || !keyFile.open(QIODevice::ReadOnly)) {
        m_error = u"certificate files missing"_s;
        return false;
    }
    m_certificate = QSslCertificate(certFile.readAll(), QSsl::Pem);
    m_key = QSslKey(keyFile.readAll(), QSsl::Rsa, QSsl::Pem);
    if (m_certificate.isNull() || m_key.isNull()) {
        m_error = u"certificate or key unreadable"_s;
        return false;
    }
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setLocalCertificate(m_certificate);
    config.setPrivateKey(m_key);
    config.setPeerVerifyMode(QSslSocket::VerifyNone);
    m_server.setSslConfiguration(config);
    if (!m_server.listen(QHostAddress::LocalHost)) {
        m_error = m_server.errorString();
        return false;
    }
    return true;
}

void HttpsServer::trustInThisProcess() const
{
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.addCaCertificate(m_certificate);
    QSslConfiguration::setDefaultConfiguration(config);
}

QString HttpsServer::baseUrl() const
{
    return u"https://127.0.0.1:%1/"_s.arg(m_server.serverPort());
}

void HttpsServer::setReply(const QString &path, const QByteArray &body, int status)
{
    m_replies.insert(path, Reply{status, body});
}

void HttpsServer::serve(QSslSocket *socket)
{
    QByteArray &request = m_pending[socket];
    request += socket->readAll();
    if (!request.contains("\r\n\r\n"))
        return;
    const QByteArray line = request.left(request.indexOf("\r\n"));
    request.clear();
    m_requests.append(line);
    if (m_hanging)
        return;
    const QByteArray target = line.split(' ').value(1);
    const QString path = QString::fromLatin1(target.left(target.indexOf('?')).mid(1));
    const Reply reply = m_replies.value(path, Reply{404, "no such page"});
    socket->write("HTTP/1.1 " + QByteArray::number(reply.status) +
                  " X\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
                  QByteArray::number(reply.body.size()) + "\r\nConnection: close\r\n\r\n");
    socket->write(reply.body);
    socket->disconnectFromHost();
}
