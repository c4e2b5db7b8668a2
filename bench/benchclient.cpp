#include "benchclient.h"

#include "common/cp1250.h"

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
