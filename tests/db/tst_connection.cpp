#include "common/cp1250.h"
#include "common/sqltext.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/dbroutines.h"
#include "db/resultset.h"
#include "testdatabase.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestConnection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void opensWithHungarianCollation();
    void failedOpenCarriesServerText();
    void everyByteRoundTrips();
    void readsTextOfAnotherWorkstation();
    void refusesCharactersCp1250Lacks();
    void storesAwkwardValuesExactly_data();
    void storesAwkwardValuesExactly();
    void injectionFindsNothing();
    void readAfterKillReconnects();
    void writeAfterKillIsReportedNotRepeated();
    void reconnectsAfterAnOutage();
    void transactionIsNotSilentlyReplaced();
    void commitAfterLostLineIsNotSuccess();
    void refusedCommitLeavesNothingOpen();
    void isReadStatement_data();
    void isReadStatement();
    void resultRowsAcrossBlocks();
};

void TestConnection::opensWithHungarianCollation()
{
    TestDatabase db;
    Connection con(db.params());
    con.open();
    const ResultSet rs =
        con.query(u"SELECT @@collation_connection, @@character_set_client, @@character_set_results"_s);
    QCOMPARE(rs.rowCount(), 1);
    QCOMPARE(rs.text(0, 0), u"latin2_hungarian_ci"_s);
    QCOMPARE(rs.text(0, 1), u"latin2"_s);
    QCOMPARE(rs.text(0, 2), u"latin2"_s);
}

void TestConnection::failedOpenCarriesServerText()
{
    TestDatabase db;
    ConnectionParams p = db.params();
    p.database = u"nincs_ilyen_adatbazis"_s;
    Connection con(p);
    try {
        con.open();
        QFAIL("opening a missing database succeeded");
    } catch (const DbError &e) {
        QVERIFY2(e.message().contains(u"nincs_ilyen_adatbazis"_s), qPrintable(e.message()));
        QCOMPARE(e.number(), 1049u);
    }
    QVERIFY(!con.isOpen());
}

// Every byte value 1..255 written through SqlQuoted reads back as the same text, and the
// server holds exactly those bytes (so Windows workstations read what we wrote).
void TestConnection::everyByteRoundTrips()
{
    TestDatabase db;
    Connection con(db.params());
    con.open();
    QByteArray bytes;
    for (int b = 1; b < 256; ++b)
        bytes += char(b);
    const QString text = FromCp1250(bytes);
    QVERIFY(UnmappableCp1250Chars(text).isEmpty());
    con.exec(u"INSERT INTO targy (targy) VALUES ("_s + SqlQuoted(text.left(127)) + u"), ("_s +
             SqlQuoted(text.mid(127)) + u')');
    const ResultSet rs = con.query(u"SELECT targy FROM targy ORDER BY HEX(targy)"_s);
    QCOMPARE(rs.rowCount(), 2);
    QStringList back{rs.text(0, 0), rs.text(1, 0)};
    back.sort();
    QStringList expected{text.left(127), text.mid(127)};
    expected.sort();
    QCOMPARE(back, expected);
    const QByteArray hex = db.client("SELECT HEX(targy) FROM targy ORDER BY HEX(targy);").trimmed();
    QByteArray expectedHex = bytes.left(127).toHex().toUpper() + '\n' + bytes.mid(127).toHex().toUpper();
    QList<QByteArray> a = hex.split('\n');
    QList<QByteArray> e = expectedHex.split('\n');
    std::sort(a.begin(), a.end());
    std::sort(e.begin(), e.end());
    QCOMPARE(a, e);
}

void TestConnection::readsTextOfAnotherWorkstation()
{
    TestDatabase db;
    // cp1250 bytes as a Windows workstation sends them over its latin2 connection:
    // "Árvíztűrő tükörfúrógép „idézet” – ő ű"
    const QByteArray cp1250 =
        "\xC1rv\xEDzt\xFBr\xF5 t\xFCk\xF6rf\xFAr\xF3g\xE9p \x84id\xE9zet\x94 \x96 \xF5 \xFB";
    REQUIRE_SQL(db.client("INSERT INTO targy (targy) VALUES ('" + cp1250 + "');"));
    Connection con(db.params());
    con.open();
    const ResultSet rs = con.query(u"SELECT targy FROM targy"_s);
    QCOMPARE(rs.rowCount(), 1);
    QCOMPARE(rs.text(0, 0), u"Árvíztűrő tükörfúrógép „idézet” – ő ű"_s);
    // ...and the collation treats accented and plain letters alike in searches.
    QCOMPARE(con.query(u"SELECT COUNT(*) FROM targy WHERE targy LIKE '%TÜKÖRFUROGEP%'"_s).text(0, 0), u"1"_s);
}

void TestConnection::refusesCharactersCp1250Lacks()
{
    TestDatabase db;
    Connection con(db.params());
    con.open();
    try {
        con.exec(u"INSERT INTO targy (targy) VALUES ("_s + SqlQuoted(u"Jó 😀 Ж"_s) + u')');
        QFAIL("a text with characters cp1250 lacks was sent");
    } catch (const DbError &e) {
        QVERIFY2(e.message().contains(u"😀"_s) && e.message().contains(u"Ж"_s), qPrintable(e.message()));
    }
    QCOMPARE(con.query(u"SELECT COUNT(*) FROM targy"_s).text(0, 0), u"0"_s);
}

void TestConnection::storesAwkwardValuesExactly_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("quotes") << u"O'Brien ''idézet'' \"dupla\""_s;
    QTest::newRow("backslashes") << u"C:\\adat\\új\\ \\\\ vége\\"_s;
    QTest::newRow("cr") << u"egy\rkettő"_s;
    QTest::newRow("lf") << u"egy\nkettő"_s;
    QTest::newRow("crlf") << u"egy\r\nkettő\r\n"_s;
    QTest::newRow("escaped-looking") << u"szó szerint \\r\\n marad"_s;
    QTest::newRow("backslash-r-then-lf") << u"C:\\r\nköv"_s;
    QTest::newRow("nul") << QString(u"a"_s + QChar(0) + u"b"_s);
    QTest::newRow("wildcards") << u"100% _ok_"_s;
    QTest::newRow("comment") << u"x'; DROP TABLE targy; --"_s;
}

// Through ExecSql as the editor saves a text: the value comes back exactly, whatever it holds.
void TestConnection::storesAwkwardValuesExactly()
{
    QFETCH(QString, value);
    TestDatabase db;
    Connection con(db.params());
    con.open();
    con.exec(u"INSERT INTO csoport (csoport_nev) VALUES ('Próba')"_s);
    con.exec(u"INSERT INTO iktato (ev, csoport, az, datum) VALUES (2024, 1, 1, '2024-01-02')"_s);
    ExecSql(con, u"UPDATE iktato SET hatarozat = "_s + SqlQuoted(value) + u" WHERE iktato = 1;"_s);
    const ResultSet rs = con.query(u"SELECT hatarozat FROM iktato WHERE iktato = 1"_s);
    QCOMPARE(rs.text(0, 0), value);
    QCOMPARE(con.query(u"SELECT COUNT(*) FROM targy"_s).rowCount(), 1); // the table is still there
}

void TestConnection::injectionFindsNothing()
{
    TestDatabase db;
    Connection con(db.params());
    con.open();
    con.exec(u"INSERT INTO targy (targy) VALUES ('Költségvetés'), ('Telekeladás')"_s);
    const QString typed = u"' OR 1=1 --"_s;
    const ResultSet rs = con.query(u"SELECT COUNT(*) FROM targy WHERE targy LIKE "_s +
                                   SqlQuoted(QString(u'%' + typed + u'%')));
    QCOMPARE(rs.text(0, 0), u"0"_s);
}

namespace {
void killFromSecondSession(const TestDatabase &db, unsigned long threadId)
{
    Connection killer(db.params());
    killer.open();
    killer.exec(u"KILL "_s + QString::number(threadId));
}
} // namespace

void TestConnection::readAfterKillReconnects()
{
    TestDatabase db;
    Connection con(db.params());
    con.open();
    int reconnectSignals = 0;
    con.setReconnectHandler([&reconnectSignals] { ++reconnectSignals; });
    const unsigned long before = con.threadId();
    killFromSecondSession(db, before);
    const ResultSet rs = con.query(u"SELECT @@collation_connection, @@character_set_client"_s);
    QCOMPARE(rs.text(0, 0), u"latin2_hungarian_ci"_s);
    QCOMPARE(rs.text(0, 1), u"latin2"_s);
    QVERIFY(con.threadId() != before);
    QCOMPARE(con.reconnectCount(), 1);
    QCOMPARE(reconnectSignals, 1);
}

void TestConnection::writeAfterKillIsReportedNotRepeated()
{
    TestDatabase db;
    Connection con(db.params());
    con.open();
    killFromSecondSession(db, con.threadId());
    bool raised = false;
    try {
        con.exec(u"INSERT INTO targy (targy) VALUES ('egyszer')"_s);
    } catch (const DbError &e) {
        raised = true;
        QVERIFY2(e.number() == 2006 || e.number() == 2013, qPrintable(e.message()));
    }
    QVERIFY(raised);
    // The next use reconnects; the write was not run behind the caller's back.
    QCOMPARE(con.query(u"SELECT COUNT(*) FROM targy WHERE targy = 'egyszer'"_s).text(0, 0), u"0"_s);
    con.exec(u"INSERT INTO targy (targy) VALUES ('egyszer')"_s);
    QCOMPARE(con.query(u"SELECT COUNT(*) FROM targy WHERE targy = 'egyszer'"_s).text(0, 0), u"1"_s);
}

// The line breaks and the server cannot be reached for a while: once it can, the connection
// is taken up again instead of staying dead for the rest of the session.
void TestConnection::reconnectsAfterAnOutage()
{
    TestDatabase db;
    Connection con(db.params());
    con.open();
    killFromSecondSession(db, con.threadId());
    ConnectionParams unreachable = db.params();
    unreachable.port = 1; // nothing listens there
    con.setParams(unreachable);
    QVERIFY_THROWS_EXCEPTION(DbError, con.query(u"SELECT 1"_s));
    QVERIFY_THROWS_EXCEPTION(DbError, con.query(u"SELECT 1"_s));
    con.setParams(db.params());
    QCOMPARE(con.query(u"SELECT @@collation_connection"_s).text(0, 0), u"latin2_hungarian_ci"_s);
}

void TestConnection::transactionIsNotSilentlyReplaced()
{
    TestDatabase db;
    Connection con(db.params());
    con.open();
    con.begin();
    con.exec(u"INSERT INTO targy (targy) VALUES ('tranzakcióban')"_s);
    killFromSecondSession(db, con.threadId());
    QVERIFY_THROWS_EXCEPTION(DbError, con.query(u"SELECT COUNT(*) FROM targy"_s));
    QVERIFY(!con.inTransaction());
    // The killed transaction was rolled back by the server; the next read works on a new line.
    QCOMPARE(con.query(u"SELECT COUNT(*) FROM targy"_s).text(0, 0), u"0"_s);
}

// A statement of the transaction met a broken line and its error was not heeded: the COMMIT
// that follows must not report the lost work as saved.
void TestConnection::commitAfterLostLineIsNotSuccess()
{
    TestDatabase db;
    Connection con(db.params());
    con.open();
    con.begin();
    con.exec(u"INSERT INTO targy (targy) VALUES ('elveszett')"_s);
    killFromSecondSession(db, con.threadId());
    QVERIFY_THROWS_EXCEPTION(DbError, con.exec(u"INSERT INTO targy (targy) VALUES ('második')"_s));
    QVERIFY_THROWS_EXCEPTION(DbError, con.commit());
    QCOMPARE(con.query(u"SELECT COUNT(*) FROM targy"_s).text(0, 0), u"0"_s);
    // A new transaction on the new line works as usual.
    con.begin();
    con.exec(u"INSERT INTO targy (targy) VALUES ('új')"_s);
    con.commit();
    QCOMPARE(db.client("SELECT COUNT(*) FROM targy;").trimmed(), QByteArray("1"));
}

// The server refuses the COMMIT (here: it cannot pass the commit block of a backup within its
// lock wait). That error reaches the caller, not one of the clean-up, and no transaction stays
// open: later writes are committed.
void TestConnection::refusedCommitLeavesNothingOpen()
{
    TestDatabase db;
    Connection con(db.params());
    con.open();
    con.exec(u"SET SESSION lock_wait_timeout = 1"_s);
    con.begin();
    con.exec(u"INSERT INTO targy (targy) VALUES ('elutasított')"_s);
    Connection backup(db.params());
    backup.open();
    backup.exec(u"SET SESSION lock_wait_timeout = 10"_s);
    backup.exec(u"BACKUP STAGE START"_s);
    backup.exec(u"BACKUP STAGE BLOCK_COMMIT"_s);
    try {
        con.commit();
        backup.exec(u"BACKUP STAGE END"_s);
        QFAIL("the COMMIT went through the backup's commit block");
    } catch (const DbError &e) {
        QCOMPARE(e.number(), 1205u);
    }
    backup.exec(u"BACKUP STAGE END"_s);
    QVERIFY(!con.inTransaction());
    QCOMPARE(con.query(u"SELECT @@in_transaction"_s).text(0, 0), u"0"_s);
    con.exec(u"INSERT INTO targy (targy) VALUES ('később')"_s);
    // Seen from another session: the refused row is not there, the later one is.
    QCOMPARE(backup.query(u"SELECT GROUP_CONCAT(targy) FROM targy"_s).text(0, 0), u"később"_s);
}

void TestConnection::isReadStatement_data()
{
    QTest::addColumn<QByteArray>("sql");
    QTest::addColumn<bool>("read");
    QTest::newRow("select") << QByteArray("SELECT 1") << true;
    QTest::newRow("lower") << QByteArray("  select * from iktato") << true;
    QTest::newRow("comment-first") << QByteArray("-- x\n/* y */ SHOW TABLES") << true;
    QTest::newRow("paren") << QByteArray("(SELECT 1) UNION (SELECT 2)") << true;
    QTest::newRow("insert") << QByteArray("INSERT INTO t VALUES (1)") << false;
    QTest::newRow("update") << QByteArray("update t set a=1") << false;
    QTest::newRow("selectish-word") << QByteArray("SELECTED") << false;
    QTest::newRow("empty") << QByteArray("") << false;
}

void TestConnection::isReadStatement()
{
    QFETCH(QByteArray, sql);
    QFETCH(bool, read);
    QCOMPARE(Connection::isReadStatement(sql), read);
}

// Rows of every size from a few bytes to more than the largest block, NULLs among them, in one
// result and then in a second one appended after a squeeze: every cell reads back as stored.
void TestConnection::resultRowsAcrossBlocks()
{
    const QList<int> sizes = {3,      0,      9000,   17000,   40000, 1,      70000,
                              150000, 300000, 700000, 1500000, 5,     900000, 2};
    QList<FieldInfo> fields(2);
    const auto cell = [](int row, int column, int size) {
        QByteArray bytes(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            bytes[i] = char('a' + (row * 7 + column * 3 + i) % 26);
        return bytes;
    };
    const auto fill = [&](ResultSet &result, int firstRow) {
        result.setFields(fields);
        for (int r = 0; r < sizes.size(); ++r) {
            const QByteArray first = cell(firstRow + r, 0, sizes.at(r));
            const QByteArray second = cell(firstRow + r, 1, sizes.at(sizes.size() - 1 - r));
            const bool null = r % 4 == 1;
            const char *cells[] = {first.constData(), null ? nullptr : second.constData()};
            const unsigned long lengths[] = {ulong(first.size()), null ? 0ul : ulong(second.size())};
            result.appendRow(cells, lengths);
        }
    };
    ResultSet result;
    fill(result, 0);
    result.squeeze();
    ResultSet more;
    fill(more, int(sizes.size()));
    result.append(std::move(more));
    QCOMPARE(result.rowCount(), 2 * int(sizes.size()));
    for (int row = 0; row < result.rowCount(); ++row) {
        const int r = row % int(sizes.size());
        QCOMPARE(result.raw(row, 0).toByteArray(), cell(row, 0, sizes.at(r)));
        QCOMPARE(result.isNull(row, 1), r % 4 == 1);
        if (r % 4 != 1)
            QCOMPARE(result.raw(row, 1).toByteArray(), cell(row, 1, sizes.at(sizes.size() - 1 - r)));
    }
}

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
