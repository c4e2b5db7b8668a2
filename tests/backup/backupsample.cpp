#include "backupsample.h"

#include "common/cp1250.h"
#include "common/sqltext.h"

#include <QDir>
#include <QFile>
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
    con.exec(u"CREATE TABLE mindenfele (id INT NOT NULL AUTO_INCREMENT PRIMARY KEY, t TINYINT, "
             "su SMALLINT UNSIGNED, m MEDIUMINT, i INT, bu BIGINT UNSIGNED, tiz DECIMAL(30,10), fl FLOAT, "
             "db DOUBLE, b1 BIT(1), b13 BIT(13), b64 BIT(64), nap DATE, dt6 DATETIME(6), ido6 TIME(6), "
             "ts6 TIMESTAMP(6) NULL, ev YEAR, ch CHAR(5), vc VARCHAR(50), tt TINYTEXT, tx TEXT, lt LONGTEXT, "
             "bn BINARY(4), vb VARBINARY(20), tb TINYBLOB, lb LONGBLOB, en ENUM('egy','kettő','x,y'), "
             "st SET('a','b','c'), js JSON, geo GEOMETRY, pt POINT, ip INET6, uu UUID) "
             "ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci"_s);
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
    // Extremes, fractions of a second (and fractions that are zero), bit fields whose bytes are
    // no text, a FLOAT that six digits do not hold, and a row of NULLs.
    con.exec(
        u"INSERT INTO mindenfele (t, su, m, i, bu, tiz, fl, db, b1, b13, b64, nap, dt6, ido6, ts6, ev, "
        "ch, vc, tt, tx, lt, bn, vb, tb, lb, en, st, js, geo, pt, ip, uu) VALUES "
        "(-128, 65535, -8388608, 2147483647, 18446744073709551615, -12345678901234567890.0123456789, "
        "3.14159265, 2.718281828459045, b'1', b'1010101010101', "
        "b'1111111111111111111111111111111111111111111111111111111111111111', "
        "'2024-02-29', '2024-12-31 23:59:58.123456', '-838:59:59.999999', '2024-01-01 00:00:01.000001', "
        "2024, 'ab', %1, %1, %1, %1, X'00FF2700', X'5C0D0A0027', X'', X'80818283', 'kettő', 'a,c', "
        "'{\"a\": [1, \"ő\"]}', ST_GeomFromText('LINESTRING(0 0, 1.5 2.25)'), ST_GeomFromText('POINT(1 2)'), "
        "'2001:db8::1', '123e4567-e89b-12d3-a456-426614174000'), "
        "(0, 0, 0, 0, 0, 0, 0.1, 1e308, b'0', b'0', b'0', '0000-00-00', '2024-01-02 03:04:05.000000', "
        "'00:00:00.5', '2024-01-02 03:04:05.000000', 1901, '', '', '', '', '', X'00000000', X'', X'00', "
        "X'', 'x,y', '', '[]', ST_GeomFromText('POINT(0 0)'), ST_GeomFromText('POINT(-1 -2)'), '::', "
        "'00000000-0000-0000-0000-000000000000'), "
        "(NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
        "NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)"_s
            .arg(SqlQuoted(awkward)));
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

namespace {

quint32 littleEndian(const QByteArray &bytes, qsizetype at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes.at(at + i));
    return value;
}

QList<int> extraFieldIds(const QByteArray &bytes, qsizetype at, qsizetype length)
{
    QList<int> ids;
    for (qsizetype i = at; i + 4 <= at + length && i + 4 <= bytes.size();
         i += 4 + littleEndian(bytes, i + 2, 2))
        ids << int(littleEndian(bytes, i, 2));
    return ids;
}

} // namespace

ZipEntryHeaders ReadZipEntryHeaders(const QString &path)
{
    QFile file(path);
    ZipEntryHeaders headers;
    if (!file.open(QIODevice::ReadOnly))
        return headers;
    const QByteArray bytes = file.readAll();
    if (bytes.size() >= 30 && littleEndian(bytes, 0, 4) == 0x04034b50) {
        headers.localVersion = int(littleEndian(bytes, 4, 2));
        headers.localExtras =
            extraFieldIds(bytes, 30 + littleEndian(bytes, 26, 2), littleEndian(bytes, 28, 2));
    }
    const qsizetype end = bytes.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0 || end + 22 > bytes.size())
        return headers;
    const qsizetype central = littleEndian(bytes, end + 16, 4);
    if (central + 46 <= bytes.size() && littleEndian(bytes, central, 4) == 0x02014b50) {
        headers.centralVersion = int(littleEndian(bytes, central + 6, 2));
        headers.centralExtras = extraFieldIds(bytes, central + 46 + littleEndian(bytes, central + 28, 2),
                                              littleEndian(bytes, central + 30, 2));
    }
    return headers;
}
