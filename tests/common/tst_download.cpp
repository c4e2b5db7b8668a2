#include "common/download.h"

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A one-reply HTTP server on 127.0.0.1: every request gets the same status and body.
class FixedReplyServer : public QObject
{
public:
    FixedReplyServer(int status, QByteArray body) : m_status(status), m_body(std::move(body))
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                QObject::connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            }
        });
    }

    bool listen() { return m_server.listen(QHostAddress::LocalHost); }
    QString url(const QString &path) const
    {
        return u"http://127.0.0.1:%1/%2"_s.arg(m_server.serverPort()).arg(path);
    }
    QByteArray requestLine() const { return m_requestLine; }

private:
    void serve(QTcpSocket *socket)
    {
        QByteArray &request = m_pending[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        m_requestLine = request.left(request.indexOf("\r\n"));
        socket->write("HTTP/1.1 " + QByteArray::number(m_status) +
                      " X\r\nContent-Type: text/plain\r\n"
                      "Content-Length: " +
                      QByteArray::number(m_body.size()) + "\r\nConnection: close\r\n\r\n");
        socket->write(m_body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    int m_status;
    QByteArray m_body;
    QHash<QTcpSocket *, QByteArray> m_pending;
    QByteArray m_requestLine;
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

class TestDownload : public QObject
{
    Q_OBJECT

private slots:
    void replies_data();
    void replies();
    void closedPort();
    void noticesBaseAddressCanBeSet();
};

void TestDownload::replies_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("unwritableTarget");
    QTest::addColumn<bool>("expected");

    QTest::newRow("ok") << 200 << u"12|Új hír|Szöveg\r\n"_s.toUtf8() << false << true;
    QTest::newRow("empty reply") << 200 << QByteArray() << false << true;
    QTest::newRow("large reply") << 200 << QByteArray(3 * 1024 * 1024, 'x') << false << true;
    QTest::newRow("not found") << 404 << QByteArray("no such page") << false << false;
    QTest::newRow("server error") << 500 << QByteArray("oops") << false << false;
    QTest::newRow("unwritable target") << 200 << QByteArray("data") << true << false;
}

void TestDownload::replies()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, unwritableTarget);
    QFETCH(bool, expected);

    FixedReplyServer server(status, body);
    QVERIFY(server.listen());
    QTemporaryDir dir;
    const QString target = dir.filePath(unwritableTarget ? u"missing/folder/Verkov.txt"_s : u"Verkov.txt"_s);
    // A failed download leaves a file from before as it was.
    if (!unwritableTarget) {
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
    }

    QCOMPARE(DownloadToFile(server.url(u"verziokovetes.php?prg=1"_s), target), expected);
    if (expected) {
        QCOMPARE(server.requestLine(), QByteArray("GET /verziokovetes.php?prg=1 HTTP/1.1"));
        QCOMPARE(readAll(target), body);
    } else if (!unwritableTarget) {
        QCOMPARE(readAll(target), QByteArray("old"));
    } else {
        QVERIFY(!QFile::exists(target));
    }
}

void TestDownload::closedPort()
{
    quint16 port = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        port = probe.serverPort();
    }
    QTemporaryDir dir;
    const QString target = dir.filePath(u"hirkov.txt"_s);
    QVERIFY(!DownloadToFile(u"http://127.0.0.1:%1/hirfolyam.php"_s.arg(port), target));
    QVERIFY(!QFile::exists(target));
    QVERIFY(!DownloadToFile(u"not an address"_s, target));
}

void TestDownload::noticesBaseAddressCanBeSet()
{
    // Empty in a build without a service; otherwise paths are appended to it.
    QVERIFY(NoticesBaseUrl().isEmpty() || NoticesBaseUrl().endsWith(u'/'));
    FixedReplyServer server(200, "0|");
    QVERIFY(server.listen());
    const QString old = NoticesBaseUrl();
    SetNoticesBaseUrl(server.url(QString()));
    QTemporaryDir dir;
    const QString target = dir.filePath(u"hirkov.txt"_s);
    const bool ok = DownloadToFile(NoticesBaseUrl() + u"hirfolyam.php?prg=1&hir=0"_s, target);
    SetNoticesBaseUrl(old);
    QVERIFY(ok);
    QCOMPARE(server.requestLine(), QByteArray("GET /hirfolyam.php?prg=1&hir=0 HTTP/1.1"));
    QCOMPARE(readAll(target), QByteArray("0|"));
}

QTEST_GUILESS_MAIN(TestDownload)
#include "tst_download.moc"
