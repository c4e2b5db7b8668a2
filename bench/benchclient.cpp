#include "benchclient.h"

#include "common/cp1250.h"
#include "db/connection.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>

using namespace Qt::StringLiterals;

double Median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

MariadbClient::MariadbClient(QString socket, QString database)
    : m_socket(std::move(socket)), m_database(std::move(database))
{
}

double MariadbClient::runOnce(const QString &sql, const QString &outputFile) const
{
    QProcess p;
    p.setStandardOutputFile(outputFile.isEmpty() ? QProcess::nullDevice() : outputFile);
    QElapsedTimer t;
    t.start();
    p.start(u"mariadb"_s, {u"--no-defaults"_s, u"--socket="_s + m_socket, u"-uroot"_s, u"--compress"_s,
                           u"--default-character-set=latin2"_s, u"--batch"_s, m_database});
    p.write(ToCp1250(sql + u';'));
    p.closeWriteChannel();
    p.waitForFinished(-1);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (p.exitCode() != 0)
        qFatal("mariadb client failed: %s", p.readAllStandardError().constData());
    return ms;
}

double MariadbClient::ms(const QString &sql, int runs, const QString &outputFile) const
{
    QList<double> net;
    for (int i = 0; i < runs; ++i)
        net.append(runOnce(sql, outputFile) - runOnce(u"DO 0"_s));
    return std::max(0.1, Median(net));
}

double MariadbClient::fileMs(const QString &path) const
{
    QProcess p;
    p.setStandardInputFile(path);
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(u"mariadb"_s, {u"--no-defaults"_s, u"--socket="_s + m_socket, u"-uroot"_s, u"--compress"_s,
                           u"--default-character-set=latin2"_s, u"--batch"_s, m_database});
    p.waitForFinished(-1);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (p.exitCode() != 0)
        qFatal("mariadb client failed on %s: %s", qPrintable(path), p.readAllStandardError().constData());
    return std::max(0.1, ms - runOnce(u"DO 0"_s));
}

long ResidentKb()
{
    QFile f(u"/proc/self/status"_s);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

void AddServerOptions(QCommandLineParser &parser, int defaultRuns)
{
    parser.addOption({u"port"_s, u"server port"_s, u"port"_s});
    parser.addOption({u"socket"_s, u"server socket for the command-line tools"_s, u"socket"_s});
    parser.addOption({u"database"_s, u"database"_s, u"name"_s, u"orvanth"_s});
    parser.addOption({u"runs"_s, u"runs per measurement"_s, u"n"_s, QString::number(defaultRuns)});
}

BenchServer ServerOptions(const QCommandLineParser &parser)
{
    BenchServer server;
    server.port = parser.value(u"port"_s).toInt();
    server.socket = parser.value(u"socket"_s);
    server.database = parser.value(u"database"_s);
    server.runs = std::max(1, parser.value(u"runs"_s).toInt());
    return server;
}

ConnectionParams BenchServer::params() const
{
    ConnectionParams p;
    p.host = u"127.0.0.1"_s;
    p.port = port;
    p.user = u"root"_s;
    p.database = database;
    return p;
}
