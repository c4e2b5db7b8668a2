#include "backupsample.h"

#include "common/cp1250.h"
#include "common/sqltext.h"

#include <QDir>
#include <QProcess>
#include <QTcpServer>

using namespace Qt::StringLiterals;

QByteArray AwkwardBytes()
{
    return QByteArray("\x84id\xE9z\xF5jel\x94 \x96 ") + "\x81\x83\x88\x90\x98" +
           " 'x' \\ \r\n\xC1rv\xEDzt\xFBr\xF5";
}

void CreateKindsTable(Connection &con)
{
    con.exec(u"CREATE TABLE fajtak (id INT NOT NULL AUTO_INCREMENT PRIMARY KEY, tizedes DECIMAL(12,3), "
             "lebego DOUBLE, nap DATE, idopont DATETIME, ido TIME, szoveg VARCHAR(200), hosszu MEDIUMTEXT, "
             "bajtok BLOB) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci"_s);
}

void FillSample(Connection &con)
{
    CreateKindsTable(con);
    const QString awkward = FromCp1250(AwkwardBytes());
    con.exec(u"INSERT INTO csoport (csoport_nev) VALUES (%1), (%2)"_s.arg(
        SqlQuoted(awkward), SqlQuoted(u"Ügyrendi Bizottság"_s)));
    for (int i = 1; i <= 250; ++i) {
        con.exec(
            u"INSERT INTO iktato (ev, csoport, az, datum, targy, hatarozat, van_hatid, dat_hatid, statusz) "
            "VALUES (2024, %1, %2, '2024-03-05', %3, %4, 'I', '2024-04-30', %5)"_s.arg(i % 2 + 1)
                .arg(i)
                .arg(SqlQuoted(QString(u"Tárgy %1, "_s.arg(i) + awkward)),
                     SqlQuoted(i % 7 ? u"szöveg"_s : awkward))
                .arg(i % 3 == 0 ? u"NULL"_s : u"1"_s));
    }
    con.exec(
        u"INSERT INTO fajtak (tizedes, lebego, nap, idopont, ido, szoveg, hosszu, bajtok) VALUES "
        "(-1234.567, 3.14159265358979, '2024-02-29', '2024-12-31 23:59:58', '-12:30:01', %1, %1, "
        "X'00FF275C0D0A8481'), (NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)"_s.arg(SqlQuoted(awkward)));
}

QMap<QString, QString> TableChecksums(Connection &con)
{
    QMap<QString, QString> sums;
    for (const QString &table : con.tableNames())
        sums.insert(table, con.query(u"CHECKSUM TABLE "_s + table + u" EXTENDED"_s).text(0, 1));
    return sums;
}

ToolRun RunTool(const QString &program, const QStringList &arguments, const QByteArray &input)
{
    QProcess process;
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForStarted()) {
        run.err = process.errorString().toUtf8();
        return run;
    }
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

ToolRun ReadZipWithPython(const QString &path, const QString &entry)
{
    return RunTool(u"/usr/bin/python3"_s, {u"-c"_s,
                                           u"import sys, zipfile\n"
                                           "z = zipfile.ZipFile(sys.argv[1])\n"
                                           "assert z.testzip() is None\n"
                                           "assert [(i.filename, i.compress_type) for i in z.infolist()] == "
                                           "[(sys.argv[2], zipfile.ZIP_DEFLATED)]\n"
                                           "sys.stdout.buffer.write(z.read(sys.argv[2]))"_s,
                                           path, entry});
}

QStringList FolderEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QString ClosedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return QString::number(server.serverPort());
}

