#include "db/connection.h"
#include "db/dberror.h"
#include "registergenerator.h"
#include "testdatabase.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestRegisterGenerator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void keepsNumberingAndStatusRules();
    void textsRoundTrip_data();
    void textsRoundTrip();
};

namespace {

GeneratorOptions SmallRegister()
{
    GeneratorOptions o;
    o.records = 900;
    o.seed = 11;
    o.firstYear = 2023;
    o.lastYear = 2025;
    o.until = QDate(2025, 6, 30);
    o.committees = 10; // every committee name must fit its column
    o.chunkRows = 97;  // chunk boundaries inside the register
    return o;
}

qlonglong Count(Connection &con, const QString &sql)
{
    return con.query(sql).value(0, 0).toLongLong();
}

} // namespace

void TestRegisterGenerator::keepsNumberingAndStatusRules()
{
    TestDatabase db;
    Connection con(db.params());
    con.open();
    const GeneratorOptions options = SmallRegister();
    InsertRegister(options, con);

    QCOMPARE(Count(con, u"SELECT COUNT(*) FROM iktato"_s), 900);
    QCOMPARE(Count(con, u"SELECT COUNT(DISTINCT csoport) FROM iktato"_s), 10);
    // Numbers run 1..n without gaps in every year and committee.
    QCOMPARE(Count(con, u"SELECT COUNT(*) FROM (SELECT ev, csoport FROM iktato GROUP BY ev, csoport "
                        "HAVING MIN(az) <> 1 OR MAX(az) <> COUNT(*) OR COUNT(DISTINCT az) <> COUNT(*)) g"_s),
             0);
    // ... in date order, and ids in date order too.
    QCOMPARE(Count(con,
                   u"SELECT COUNT(*) FROM iktato a JOIN iktato b ON a.ev = b.ev AND a.csoport = b.csoport "
                   "AND a.az < b.az AND a.datum > b.datum"_s),
             0);
    QCOMPARE(
        Count(con,
              u"SELECT COUNT(*) FROM iktato a JOIN iktato b ON a.iktato < b.iktato AND a.datum > b.datum"_s),
        0);
    QCOMPARE(Count(con, u"SELECT COUNT(*) FROM iktato WHERE YEAR(datum) <> ev OR datum > '2025-06-30'"_s), 0);

    // A deadline comes with its date, responsible persons and status 1 or 2; no deadline, none of them.
    QCOMPARE(Count(con, u"SELECT COUNT(*) FROM iktato WHERE NOT ("
                        "(van_hatid = 'I' AND dat_hatid >= datum AND felelos <> '' AND statusz IN (1, 2)) OR "
                        "(van_hatid = 'N' AND dat_hatid IS NULL AND felelos IS NULL AND statusz IS NULL))"_s),
             0);
    for (const QString &kind : {u"van_hatid = 'N'"_s, u"statusz = 1"_s, u"statusz = 2"_s,
                                u"filenev IS NOT NULL"_s, u"filenev3 IS NOT NULL"_s})
        QVERIFY2(Count(con, u"SELECT COUNT(*) FROM iktato WHERE "_s + kind) > 0, qPrintable(kind));

    // Stored attachment names follow the record id and slot; a slot is never used without the one before.
    QCOMPARE(Count(con, u"SELECT COUNT(*) FROM iktato WHERE "
                        "(filenev IS NOT NULL AND LEFT(filenev, 9) <> CONCAT(LPAD(iktato, 7, '0'), '-1')) OR "
                        "(filenev2 IS NOT NULL AND (filenev IS NULL OR LEFT(filenev2, 9) <> "
                        "CONCAT(LPAD(iktato, 7, '0'), '-2'))) OR "
                        "(filenev3 IS NOT NULL AND (filenev2 IS NULL OR LEFT(filenev3, 9) <> "
                        "CONCAT(LPAD(iktato, 7, '0'), '-3'))) OR "
                        "(filenev IS NULL) <> (origfilenev IS NULL)"_s),
             0);
    // Every subject used is in the catalogue.
    QCOMPARE(Count(con, u"SELECT COUNT(*) FROM iktato WHERE targy NOT IN (SELECT targy FROM targy)"_s), 0);
    // Password digests are those the server makes on the program's own connection.
    QCOMPARE(
        Count(
            con,
            u"SELECT COUNT(*) FROM felhasznalo WHERE felhasznalo = 'kovacsne' AND jelszomd5 = MD5('jelszó')"_s),
        1);
    QCOMPARE(Count(con, u"SELECT COUNT(*) FROM felhasznalo WHERE rendszergazda = 'I'"_s), 1);

    // A second run into the same database is refused before it writes anything.
    QVERIFY_THROWS_EXCEPTION(DbError, InsertRegister(options, con));
    QCOMPARE(Count(con, u"SELECT COUNT(*) FROM iktato"_s), 900);
}

void TestRegisterGenerator::textsRoundTrip_data()
{
    QTest::addColumn<bool>("viaFile");
    QTest::newRow("connection, cp1250") << false;
    QTest::newRow("UTF-8 script, utf8mb4 client") << true;
}

void TestRegisterGenerator::textsRoundTrip()
{
    QFETCH(bool, viaFile);
    TestDatabase db;
    GeneratorOptions options = SmallRegister();
    if (viaFile) {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"register.sql"_s);
        QString error;
        QVERIFY2(WriteRegisterSqlFile(options, path, &error), qPrintable(error));
        db.load(path);
        options.typographic = false; // what the script holds
    }
    Connection con(db.params());
    con.open();
    if (!viaFile)
        InsertRegister(options, con);

    const ResultSet rs = con.query(
        u"SELECT iktato, ev, csoport, az, datum, targy, hatarozat, van_hatid, dat_hatid, felelos, statusz, "
        "filenev, filenev2, filenev3, origfilenev, origfilenev2, origfilenev3 FROM iktato ORDER BY iktato"_s);
    QCOMPARE(rs.rowCount(), options.records);

    int row = 0;
    QMap<QChar, int> seen;
    const QString watched = u"„”–őűŐŰ"_s;
    RegisterGenerator(options).forEachRecord([&](const GeneratedRecord &r) {
        if (QTest::currentTestFailed())
            return;
        const auto at = [&](int column) { return rs.value(row, column); };
        QCOMPARE(at(0).toInt(), r.iktato);
        QCOMPARE(at(1).toInt(), r.ev);
        QCOMPARE(at(2).toInt(), r.csoport);
        QCOMPARE(at(3).toInt(), r.az);
        QCOMPARE(at(4).toDate(), r.datum);
        QCOMPARE(rs.text(row, 5), r.targy);
        QCOMPARE(rs.text(row, 6), r.hatarozat);
        QCOMPARE(rs.text(row, 7), r.hasDeadline ? u"I"_s : u"N"_s);
        QCOMPARE(at(8).toDate(), r.hasDeadline ? r.datHatid : QDate());
        QCOMPARE(rs.text(row, 9), r.felelos);
        QCOMPARE(at(10).isNull(), r.statusz == 0);
        QCOMPARE(at(10).toInt(), r.statusz);
        for (int s = 0; s < 3; ++s) {
            QCOMPARE(rs.text(row, 11 + s), r.filenev[s]);
            QCOMPARE(rs.text(row, 14 + s), r.origfilenev[s]);
        }
        for (const QString &text : {r.targy, r.hatarozat, r.felelos, r.origfilenev[0]}) {
            for (QChar ch : watched)
                seen[ch] += text.count(ch);
        }
        ++row;
    });
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(row, options.records);

    // The comparison above means something only when the texts hold the awkward characters.
    for (const QChar ch : u"őűŐ"_s)
        QVERIFY2(seen[ch] > 0, qPrintable(QString(ch)));
    for (const QChar ch : u"„”–"_s)
        QCOMPARE(seen[ch] > 0, !viaFile);

    // Bytes as other workstations read them: ő is F5 and ű is FB in cp1250 as in latin2.
    const ResultSet hex =
        con.query(u"SELECT HEX(csoport_nev) FROM csoport WHERE csoport_nev LIKE 'K%pvisel%'"_s);
    QCOMPARE(hex.rowCount(), 1);
    QVERIFY(hex.text(0, 0).contains(u"F52D"_s)); // "ő-"
    const ResultSet u =
        con.query(u"SELECT COUNT(*) FROM iktato WHERE HEX(hatarozat) LIKE '%6DFB6B%'"_s); // "műk"
    QVERIFY(u.value(0, 0).toInt() > 0);
}

QTEST_GUILESS_MAIN(TestRegisterGenerator)
#include "tst_registergenerator.moc"
