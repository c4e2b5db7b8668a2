#include "common/cp1250.h"
#include "common/sqltext.h"
#include "db/backupscript.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/dbroutines.h"
#include "testdatabase.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A table with every column kind the backup must render.
const QByteArray KindsTable =
    "CREATE TABLE fajtak (id INT NOT NULL AUTO_INCREMENT PRIMARY KEY, kicsi TINYINT, nagy BIGINT, "
    "tizedes DECIMAL(12,3), lebego DOUBLE, rovid FLOAT, nap DATE, idopont DATETIME, ido TIME, "
    "belyeg TIMESTAMP NULL, szoveg VARCHAR(200), hosszu MEDIUMTEXT, bajtok BLOB, jel CHAR(1), "
    "ev YEAR) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;";

QByteArray allBytes()
{
    QByteArray b;
    for (int i = 1; i < 256; ++i)
        b += char(i);
    return b;
}

void fill(Connection &con)
{
    con.exec(u"INSERT INTO csoport (csoport_nev) VALUES ('Pénzügyi Bizottság'), ('Ügyrendi Bizottság')"_s);
    const QString awkward = FromCp1250(allBytes()) + u"\r\nmásodik sor 'idézet' \\ vége"_s + QChar(0);
    for (int i = 1; i <= 250; ++i) {
        con.exec(
            u"INSERT INTO iktato (ev, csoport, az, datum, targy, hatarozat, van_hatid, dat_hatid, statusz) "
            "VALUES (2024, %1, %2, '2024-03-05', %3, %4, 'I', '2024-04-30', %5)"_s.arg(i % 2 + 1)
                .arg(i)
                .arg(SqlQuoted(u"Tárgy %1, vesszővel"_s.arg(i)), SqlQuoted(i == 7 ? awkward : u"szöveg"_s))
                .arg(i % 3 == 0 ? u"NULL"_s : u"1"_s));
    }
    con.exec(u"INSERT INTO fajtak (kicsi, nagy, tizedes, lebego, rovid, nap, idopont, ido, belyeg, szoveg, "
             u"hosszu, "
             "bajtok, jel, ev) VALUES (-5, 9007199254740993, -1234.567, 3.14159265358979, 2.5, '2024-02-29', "
             "'2024-12-31 23:59:58', '-12:30:01', '2024-01-01 00:00:01', 'a,b;c', "_s +
             SqlQuoted(FromCp1250(allBytes())) + u", X'00FF275C0D0A', 'I', 2024)"_s);
    con.exec(u"INSERT INTO fajtak (szoveg) VALUES (NULL)"_s);
}

QMap<QString, QString> checksums(Connection &con)
{
    QMap<QString, QString> sums;
    for (const QString &table : con.tableNames()) {
        const ResultSet rs = con.query(u"CHECKSUM TABLE "_s + table + u" EXTENDED"_s);
        sums.insert(table, rs.text(0, 1));
    }
    return sums;
}

} // namespace

class TestBackupScript : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void restoresIdentically();
    void statementsHold99ThenHundredRows();
    void emptyTablesGiveTruncateAndEmptyLine();
    void failedBackupLeavesNoFile();
};

void TestBackupScript::restoresIdentically()
{
    TestDatabase source;
    REQUIRE_SQL(source.client(KindsTable));
    Connection con(source.params());
    con.open();
    fill(con);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"mentes.sql"_s);
    QList<int> progress;
    WriteBackupScript(con, path, [&progress](int index, int) { progress.append(index); });
    QCOMPARE(progress.size(), con.tableNames().size() + 1);
    QCOMPARE(progress.last(), 0);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray script = file.readAll();
    QVERIFY(!script.contains("vw_iktato"));
    QVERIFY(!script.contains("vw_tulajdonos"));

    // Restore with the real command-line client into an empty copy of the schema.
    TestDatabase copy;
    REQUIRE_SQL(copy.client(KindsTable));
    REQUIRE_SQL(
        copy.client("DELETE FROM statusz; DELETE FROM beallit; DELETE FROM verzio; DELETE FROM tulajdonos;"));
    REQUIRE_SQL(copy.client(script));
    Connection restored(copy.params());
    restored.open();
    const auto expected = checksums(con);
    const auto actual = checksums(restored);
    QCOMPARE(actual.keys(), expected.keys());
    for (const QString &table : expected.keys())
        QVERIFY2(actual.value(table) == expected.value(table), qPrintable(table));
    QCOMPARE(QueryInt(restored, u"SELECT COUNT(*) FROM iktato"_s, -1), 250);
}

void TestBackupScript::statementsHold99ThenHundredRows()
{
    TestDatabase db;
    REQUIRE_SQL(db.client(KindsTable));
    Connection con(db.params());
    con.open();
    fill(con);
    const QByteArray block = TableInsertScript(con, u"iktato"_s);
    QVERIFY(block.endsWith(");\r\n"));
    QList<QByteArray> lines = block.split('\n');
    QCOMPARE(lines.takeLast(), QByteArray());
    QList<int> rowsPerStatement;
    for (const QByteArray &raw : lines) {
        QVERIFY2(raw.endsWith('\r'), "every line ends with CR LF");
        const QByteArray line = raw.chopped(1);
        if (line.startsWith(
                "INSERT IGNORE INTO iktato (iktato,ev,csoport,az,datum,targy,hatarozat,van_hatid,")) {
            QVERIFY(line.endsWith(") VALUES"));
            rowsPerStatement.append(0);
        } else {
            QVERIFY(line.startsWith('('));
            QVERIFY(line.endsWith("),") || line.endsWith(");"));
            ++rowsPerStatement.last();
        }
    }
    QCOMPARE(rowsPerStatement, (QList<int>{99, 100, 51}));
    // Values as the restore reads them: dates quoted, NULL bare, texts escaped, numbers plain.
    QVERIFY(block.contains(",'2024-03-05','T\xE1rgy 1, vessz\xF5vel','sz\xF6veg','I','2024-04-30',"));
    QVERIFY(block.contains(",NULL,"));
    QVERIFY(block.contains("\\r\\nm\xE1sodik sor ''id\xE9zet'' \\\\ v\xE9ge\\0'"));
    QVERIFY(TableInsertScript(con, u"targy"_s).isEmpty());
}

void TestBackupScript::emptyTablesGiveTruncateAndEmptyLine()
{
    TestDatabase db(TestDatabase::Content::Empty);
    REQUIRE_SQL(
        db.client("CREATE TABLE b (x INT PRIMARY KEY); CREATE TABLE a (y INT PRIMARY KEY); CREATE VIEW v AS "
                  "SELECT * FROM a;"));
    Connection con(db.params());
    con.open();
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    WriteBackupScript(con, out);
    const QStringList tables = con.tableNames();
    QCOMPARE(tables.size(), 2);
    QCOMPARE(out.data(), "TRUNCATE " + tables.at(0).toLatin1() + ";\r\n\r\nTRUNCATE " +
                             tables.at(1).toLatin1() + ";\r\n\r\n");
}

void TestBackupScript::failedBackupLeavesNoFile()
{
    TestDatabase db;
    Connection con(db.params());
    con.open();
    QTemporaryDir dir;
    const QString path = dir.filePath(u"mentes.sql"_s);
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("régi mentés");
    }
    // A table that vanishes between listing and reading makes the backup fail half-way.
    con.exec(u"CREATE TABLE zz_elveszo (x INT PRIMARY KEY)"_s);
    bool dropped = false;
    try {
        WriteBackupScript(con, path, [&](int index, int count) {
            if (index == count - 1 && !dropped) {
                dropped = true;
                REQUIRE_SQL(db.client("DROP TABLE zz_elveszo;"));
            }
        });
    } catch (const DbError &) {
    }
    QVERIFY(dropped);
    QFile check(path);
    QVERIFY(check.open(QIODevice::ReadOnly));
    QCOMPARE(check.readAll(), QByteArray("régi mentés"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"mentes.sql"_s});
}

QTEST_GUILESS_MAIN(TestBackupScript)
#include "tst_backupscript.moc"
