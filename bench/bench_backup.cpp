// Backups of a large register, each against a yardstick measured in the same run:
//
//   bench-backup --port P --socket S --database D --schema sql/schema.sql [--runs N]
//
// - the built-in backup to .sql against `mariadb-dump` of the same database to a file;
// - the backup to .zip against the .sql backup followed by `zip -9` of it;
// - the program's restore of that backup into a fresh copy of the schema against
//   `mariadb < backup.sql` into another fresh copy;
// - the peak resident memory growth during the backup against the largest table's data.
// Times are medians of several runs.

#include "backup/backupfile.h"
#include "backup/restore.h"
#include "benchclient.h"
#include "db/connection.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

struct Server
{
    QString socket;
    int port = 0;
    QString schema;
};

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

void runTool(const QString &program, const QStringList &arguments, const QString &input = {},
             const QString &output = {})
{
    QProcess p;
    if (!input.isEmpty())
        p.setStandardInputFile(input);
    p.setStandardOutputFile(output.isEmpty() ? QProcess::nullDevice() : output);
    p.start(program, arguments);
    p.waitForFinished(-1);
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), p.readAllStandardError().constData());
}

QStringList clientArgs(const Server &server, const QString &charset)
{
    return {u"--no-defaults"_s, u"--socket="_s + server.socket, u"-uroot"_s,
            u"--default-character-set="_s + charset};
}

// A fresh database with the schema's tables and nothing else, as a restore finds it.
void freshCopy(const Server &server, const QString &name)
{
    runTool(u"mariadb"_s, clientArgs(server, u"latin2"_s)
                              << u"-e"_s
                              << u"DROP DATABASE IF EXISTS %1; CREATE DATABASE %1 DEFAULT CHARACTER SET "
                                 "latin2 COLLATE latin2_hungarian_ci;"_s.arg(name));
    runTool(u"mariadb"_s, clientArgs(server, u"utf8mb4"_s) << name, server.schema);
}

void dropCopy(const Server &server, const QString &name)
{
    runTool(u"mariadb"_s, clientArgs(server, u"latin2"_s)
                              << u"-e"_s << u"DROP DATABASE IF EXISTS %1;"_s.arg(name));
}

ConnectionParams paramsOf(const Server &server, const QString &database)
{
    ConnectionParams params;
    params.host = u"127.0.0.1"_s;
    params.port = server.port;
    params.user = u"root"_s;
    params.database = database;
    return params;
}

// Peak resident memory since the last reset, in kB (VmHWM; writing 5 to clear_refs resets it).
long peakKb()
{
    QFile f(u"/proc/self/status"_s);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// The machine's load, printed with the times: on a busy machine the ratios move.
QByteArray loadAverage()
{
    QFile f(u"/proc/loadavg"_s);
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed() : QByteArray("?");
}

bool resetPeak()
{
    QFile f(u"/proc/self/clear_refs"_s);
    return f.open(QIODevice::WriteOnly) && f.write("5") == 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    AddServerOptions(parser, 3);
    parser.addOption({u"schema"_s, u"sql/schema.sql, for the fresh copies"_s, u"file"_s});
    parser.process(app);
    const Server server{parser.value(u"socket"_s), parser.value(u"port"_s).toInt(),
                        parser.value(u"schema"_s)};
    const QString database = parser.value(u"database"_s);
    const int runs = std::max(1, parser.value(u"runs"_s).toInt());
    QTemporaryDir folder;
    const QString sqlPath = folder.filePath(u"mentes.sql"_s);
    const QString zipPath = folder.filePath(u"mentes.zip"_s);
    const QString dumpPath = folder.filePath(u"dump.sql"_s);
    const QString zipOfSql = folder.filePath(u"utolag.zip"_s);

    Connection con(paramsOf(server, database));
    con.open();
    const QByteArray loadBefore = loadAverage();

    // Built-in .sql backup against mariadb-dump with the full backup's options.
    QList<double> ownSql, dump, ownZip, zipAfter;
    long peakGrowthKb = 0;
    for (int i = 0; i < runs; ++i) {
        const long before = ResidentKb();
        const bool peakKnown = resetPeak();
        QElapsedTimer t;
        t.start();
        WriteBackupFile(con, sqlPath);
        ownSql << msSince(t);
        if (peakKnown)
            peakGrowthKb = std::max(peakGrowthKb, peakKb() - before);

        t.restart();
        runTool(u"mariadb-dump"_s,
                {u"--no-defaults"_s, u"-c"_s, u"-C"_s, u"--force"_s, u"--single-transaction"_s,
                 u"--default-character-set=latin2"_s, u"--host=127.0.0.1"_s,
                 u"--port="_s + QString::number(server.port), u"--user=root"_s,
                 u"--result-file="_s + dumpPath, u"--databases"_s, database});
        dump << msSince(t);

        t.restart();
        WriteBackupFile(con, zipPath);
        ownZip << msSince(t);

        QFile::remove(zipOfSql);
        t.restart();
        WriteBackupFile(con, sqlPath);
        runTool(u"zip"_s, {u"-9"_s, u"-q"_s, u"-j"_s, zipOfSql, sqlPath});
        zipAfter << msSince(t);
    }

    const QByteArray loadAfter = loadAverage();

    // Restore of the same backup: the program's own against the command-line client.
    QList<double> ownRestore, clientRestore;
    const QString copy = database + u"_visszaallitas"_s;
    for (int i = 0; i < runs; ++i) {
        freshCopy(server, copy);
        {
            Connection target(paramsOf(server, copy));
            target.open();
            QElapsedTimer t;
            t.start();
            const RestoreReport report = RestoreBackupFile(target, sqlPath);
            ownRestore << msSince(t);
            if (!report.allMatch())
                qFatal("the restore lost rows:\n%s", qPrintable(RestoreReportText(report)));
        }
        freshCopy(server, copy);
        QElapsedTimer t;
        t.start();
        runTool(u"mariadb"_s,
                {u"--no-defaults"_s, u"--host=127.0.0.1"_s, u"--port="_s + QString::number(server.port),
                 u"-uroot"_s, u"--compress"_s, u"--default-character-set=latin2"_s, copy},
                sqlPath);
        clientRestore << msSince(t);
    }
    dropCopy(server, copy);

    const ResultSet largest = con.query(
        u"SELECT table_name, data_length FROM information_schema.tables WHERE table_schema = DATABASE() "
        "AND table_type = 'BASE TABLE' ORDER BY data_length DESC LIMIT 1"_s);
    const double largestKb = largest.text(0, 1).toDouble() / 1024.0;
    const double sqlMb = double(QFileInfo(sqlPath).size()) / (1024.0 * 1024.0);

    std::printf("backup file: %.1f MB script, %.1f MB zip\n", sqlMb,
                double(QFileInfo(zipPath).size()) / 1048576.0);
    std::printf("load average (/proc/loadavg) before the backups: %s; after: %s\n", loadBefore.constData(),
                loadAfter.constData());
    std::printf("built-in .sql backup   %8.0f ms   mariadb-dump %8.0f ms   ratio %.2f\n", Median(ownSql),
                Median(dump), Median(ownSql) / Median(dump));
    std::printf("built-in .zip backup   %8.0f ms   .sql + zip -9 %7.0f ms   ratio %.2f\n", Median(ownZip),
                Median(zipAfter), Median(ownZip) / Median(zipAfter));
    std::printf("own restore            %8.0f ms   mariadb < .sql %6.0f ms   ratio %.2f\n",
                Median(ownRestore), Median(clientRestore), Median(ownRestore) / Median(clientRestore));
    std::printf("peak memory growth during the backup %ld kB; largest table %s %.0f kB; ratio %.2f\n",
                peakGrowthKb, qPrintable(largest.text(0, 0)), largestKb,
                largestKb > 0 ? double(peakGrowthKb) / largestKb : 0.0);
    return 0;
}
