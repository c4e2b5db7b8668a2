#include "db/connection.h"
#include "db/dberror.h"
#include "db/dbroutines.h"
#include "db/query.h"
#include "db/script.h"
#include "db/table.h"
#include "gui/dbwidgets.h"
#include "testdatabase.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

class TestDbRoutines : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void init();
    void cleanup();

    void execSqlOfBlanksSendsNothing();
    void execSqlStoresTwoLinesWithCrLf();
    void singleValues_data();
    void singleValues();
    void nextIdAndLookupName();
    void committeeNames();
    void committeeId_data();
    void committeeId();
    void serverDateAndMd5();
    void fillComboFromQuery();
    void recordPositionText();
    void dataSetToLines();
    void queryKeepsPositionAndLocates();
    void queryParam();
    void tableInsertEditDelete();
    void tableRefusesBadNumber();
    void tableForgetsRefusedRow_data();
    void tableForgetsRefusedRow();
    void scriptSplitting_data();
    void scriptSplitting();

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_con;
};

void TestDbRoutines::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_con = std::make_unique<Connection>(m_db->params());
    m_con->open();
}

void TestDbRoutines::cleanup()
{
    m_con.reset();
    m_db.reset();
}

void TestDbRoutines::execSqlOfBlanksSendsNothing()
{
    // The server would reject an empty statement; ExecSql must not send one.
    QVERIFY_THROWS_EXCEPTION(DbError, m_con->exec(u" \t\r\n "_s));
    ExecSql(*m_con, u" \t\r\n "_s);
    ExecSql(*m_con, QString());
}

void TestDbRoutines::execSqlStoresTwoLinesWithCrLf()
{
    m_con->exec(u"INSERT INTO iktato (ev, csoport, az, datum) VALUES (2024, 1, 1, '2024-01-02')"_s);
    ExecSql(*m_con, u"UPDATE iktato SET hatarozat = 'első sor\\r\\nmásodik sor' WHERE iktato = 1;"_s);
    QCOMPARE(QueryText(*m_con, u"SELECT HEX(hatarozat) FROM iktato"_s, {}).contains(u"0D0A"_s), true);
    QCOMPARE(QueryText(*m_con, u"SELECT hatarozat FROM iktato"_s, {}), u"első sor\r\nmásodik sor"_s);
}

void TestDbRoutines::singleValues_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("intResult");
    QTest::addColumn<QString>("textResult");
    QTest::newRow("no row") << u"SELECT 5 FROM csoport WHERE 1 = 0"_s << -1 << u"alap"_s;
    QTest::newRow("null") << u"SELECT NULL"_s << 0 << QString();
    QTest::newRow("max over none") << u"SELECT MAX(az) FROM iktato WHERE ev = 2024 AND csoport = 1"_s << 0
                                   << QString();
    QTest::newRow("number") << u"SELECT ' 42 '"_s << 42 << u" 42 "_s;
    QTest::newRow("not a number") << u"SELECT '12a'"_s << 0 << u"12a"_s;
    QTest::newRow("negative") << u"SELECT -7"_s << -7 << u"-7"_s;
}

void TestDbRoutines::singleValues()
{
    QFETCH(QString, sql);
    QFETCH(int, intResult);
    QFETCH(QString, textResult);
    QCOMPARE(QueryInt(*m_con, sql, -1), intResult);
    QCOMPARE(QueryText(*m_con, sql, u"alap"_s), textResult);
}

void TestDbRoutines::nextIdAndLookupName()
{
    QCOMPARE(NextId(*m_con, u"felhkod"_s, u"felhasznalo"_s), 1);
    m_con->exec(u"INSERT INTO felhasznalo (felhkod, felhasznalo) VALUES (1, 'a'), (7, 'b')"_s);
    QCOMPARE(NextId(*m_con, u"felhkod"_s, u"felhasznalo"_s), 8);
    m_con->exec(u"INSERT INTO csoport (csoport, csoport_nev) VALUES (3, 'Pénzügyi Bizottság')"_s);
    QCOMPARE(LookupName(*m_con, 3, u"csoport"_s, u"x"_s), u"Pénzügyi Bizottság"_s);
    QCOMPARE(LookupName(*m_con, 7, u"csoport"_s, QString()), QString());
    QCOMPARE(LookupName(*m_con, 7, u"csoport"_s, u"nincs"_s), u"nincs"_s);
}

void TestDbRoutines::committeeNames()
{
    QCOMPARE(CommitteeNames(*m_con), QStringList());
    m_con->exec(u"INSERT INTO csoport (csoport, csoport_nev) VALUES (3, 'Pénzügyi Bizottság'), "
                u"(5, 'Ügyrendi Bizottság'), (8, 'O''Brien Bizottság'), (9, 'Oktatási Bizottság')"_s);
    // In the Hungarian collation's order: Ü after P.
    QCOMPARE(CommitteeNames(*m_con), (QStringList{u"O'Brien Bizottság"_s, u"Oktatási Bizottság"_s,
                                                  u"Pénzügyi Bizottság"_s, u"Ügyrendi Bizottság"_s}));
}

void TestDbRoutines::committeeId_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("id");
    QTest::newRow("exact name") << u"Pénzügyi Bizottság"_s << 3;
    QTest::newRow("accented first letter") << u"Ügyrendi Bizottság"_s << 5;
    // The names are unique under the collation, so another letter case names the same committee.
    QTest::newRow("other letter case") << u"PÉNZÜGYI bizottság"_s << 3;
    QTest::newRow("quote in the name") << u"O'Brien Bizottság"_s << 8;
    QTest::newRow("part of a name") << u"Pénzügyi"_s << -1;
    QTest::newRow("empty name") << QString() << -1;
    QTest::newRow("unknown name") << u"Nincs ilyen"_s << -1;
    QTest::newRow("quote that would end the text") << u"x' OR '1'='1"_s << -1;
}

void TestDbRoutines::committeeId()
{
    QFETCH(QString, name);
    QFETCH(int, id);
    m_con->exec(u"INSERT INTO csoport (csoport, csoport_nev) VALUES (3, 'Pénzügyi Bizottság'), "
                u"(5, 'Ügyrendi Bizottság'), (8, 'O''Brien Bizottság')"_s);
    QCOMPARE(CommitteeId(*m_con, name), id);
}

void TestDbRoutines::serverDateAndMd5()
{
    QCOMPARE(ServerDate(*m_con),
             QDate::fromString(QueryText(*m_con, u"SELECT CURDATE()"_s, {}), u"yyyy-MM-dd"_s));
    QVERIFY(ServerDate(*m_con).isValid());
    // The digest of the latin2 bytes, as Windows workstations of the same database stored it.
    QCOMPARE(ServerMd5(*m_con, u"jelszó"_s), u"8690fb265e135a0025657c072681d33f"_s);
    QCOMPARE(ServerMd5(*m_con, u"O'Hara"_s).size(), 32);
}

void TestDbRoutines::fillComboFromQuery()
{
    m_con->exec(u"INSERT INTO csoport (csoport_nev) VALUES ('Ügyrendi'), ('Pénzügyi')"_s);
    QComboBox list;
    FillComboFromQuery(*m_con, &list, u"SELECT csoport_nev FROM csoport ORDER BY csoport_nev"_s, u"Összes"_s);
    QCOMPARE(list.count(), 3);
    QCOMPARE(list.itemText(0), u"Összes"_s);
    QCOMPARE(list.itemText(1), u"Pénzügyi"_s);
    QCOMPARE(list.currentIndex(), 0);

    QComboBox editable;
    editable.setEditable(true);
    editable.setEditText(u"gépelt"_s);
    FillComboFromQuery(*m_con, &editable, u"SELECT csoport_nev FROM csoport"_s);
    QCOMPARE(editable.count(), 2);
    QCOMPARE(editable.currentText(), u"gépelt"_s);
}

void TestDbRoutines::recordPositionText()
{
    Query q(m_con.get());
    q.setSql(u"SELECT seq FROM seq_1_to_12"_s);
    q.open();
    q.setRecNo(2);
    QCOMPARE(RecordPositionText(q), u"12: 3"_s);
}

void TestDbRoutines::dataSetToLines()
{
    Query q(m_con.get());
    q.setSql(u"SELECT 1 AS a, 'x;y' AS b, 'z' AS c"_s);
    q.open();
    const QList<QByteArray> lines = DataSetToLines(q, true, u"c"_s, u'\t', false, false);
    QCOMPARE(lines, (QList<QByteArray>{"a\tb\t", "1\tx,y\t"}));
    const QList<QByteArray> numbered = DataSetToLines(q, false, QString(), u';', true, true);
    QCOMPARE(numbered, (QList<QByteArray>{"1;1;x,y;z;"}));
    q.close();
    q.setSql(u"SELECT 'ő' AS n"_s);
    q.open();
    QCOMPARE(DataSetToLines(q, false, {}, u';', true, false).first(), QByteArray("\xC5\x91;"));
    QCOMPARE(DataSetToLines(q, false, {}, u';', false, false).first(), QByteArray("\xF5;"));
}

void TestDbRoutines::queryKeepsPositionAndLocates()
{
    for (int i = 1; i <= 5; ++i)
        m_con->exec(u"INSERT INTO csoport (csoport_nev) VALUES ('Bizottság %1')"_s.arg(i));
    Query q(m_con.get());
    q.setSql(u"SELECT csoport, csoport_nev FROM csoport\nWHERE (1 = 1)\nORDER BY 1;"_s);
    QCOMPARE(q.sql().size(), 3);
    QSignalSpy resets(&q, &Query::reset);
    q.open();
    QCOMPARE(q.rowCount(), 5);
    QVERIFY(q.locate(u"csoport_nev"_s, u"bizottság 4"_s, Query::CaseInsensitive));
    QCOMPARE(q.recNo(), 3);
    QVERIFY(!q.locate(u"csoport_nev"_s, u"bizottság 4"_s));
    QCOMPARE(q.recNo(), 3);
    QVERIFY(q.locate(u"csoport_nev"_s, u"Bizottság"_s, Query::PartialKey));
    QCOMPARE(q.recNo(), 0);
    QVERIFY(q.locate(u"csoport"_s, 5));
    QCOMPARE(q.value(u"csoport_nev"_s).toString(), u"Bizottság 5"_s);
    m_con->exec(u"DELETE FROM csoport WHERE csoport = 5"_s);
    q.refresh();
    QCOMPARE(q.rowCount(), 4);
    QCOMPARE(q.recNo(), 3); // the last row, as the old one is gone
    QCOMPARE(resets.count(), 2);
    QVERIFY(q.isNull(u"csoport_nev"_s) == false);
    QVERIFY_THROWS_EXCEPTION(DbError, q.value(u"nincs_ilyen"_s));
}

void TestDbRoutines::queryParam()
{
    Query q(m_con.get());
    q.setSql(u"SELECT :ev + 1 AS x, ':evszam' AS y"_s);
    q.setParam(u"ev"_s, 2024);
    q.open();
    QCOMPARE(q.value(u"x"_s).toLongLong(), 2025);
}

void TestDbRoutines::tableInsertEditDelete()
{
    Table t(m_con.get(), u"iktato"_s);
    t.open();
    t.append();
    t.setValue(u"ev"_s, 2025);
    t.setValue(u"csoport"_s, 2);
    t.setValue(u"az"_s, 1);
    t.setValue(u"datum"_s, QDate(2025, 12, 31));
    t.setValue(u"targy"_s, u"Tárgy 'idézettel'"_s);
    t.setValue(u"dat_hatid"_s, QVariant());
    const qint64 id = t.post();
    QVERIFY(id > 0);
    QCOMPARE(t.value(u"iktato"_s).toLongLong(), id);
    // Columns not set take the server's defaults.
    QCOMPARE(QueryText(*m_con, u"SELECT van_hatid FROM iktato WHERE iktato = %1"_s.arg(id), {}), u"N"_s);

    m_con->exec(u"UPDATE iktato SET felelos = 'más munkaállomás' WHERE iktato = %1"_s.arg(id));
    t.refresh();
    t.edit(0);
    t.setValue(u"targy"_s, u"Új tárgy"_s);
    t.post();
    // Only the field the editor changed was written.
    QCOMPARE(QueryText(*m_con, u"SELECT CONCAT(targy, '|', felelos) FROM iktato"_s, {}),
             u"Új tárgy|más munkaállomás"_s);

    t.refresh();
    t.remove(0);
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato"_s, -1), 0);
}

void TestDbRoutines::tableRefusesBadNumber()
{
    Table t(m_con.get(), u"csoport"_s);
    t.open();
    t.append();
    t.setValue(u"csoport"_s, u"12; DROP TABLE iktato"_s);
    QVERIFY_THROWS_EXCEPTION(DbError, t.post());
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato"_s, -1), 0);
}

void TestDbRoutines::tableForgetsRefusedRow_data()
{
    QTest::addColumn<bool>("insert");
    QTest::newRow("edited row") << false;
    QTest::newRow("new row") << true;
}

void TestDbRoutines::tableForgetsRefusedRow()
{
    // A post the server refuses leaves the row in editing, with nothing of the refused values
    // kept for a later post: what the editor sets afterwards is all that is written.
    QFETCH(bool, insert);
    m_con->exec(u"INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Első'), (2, 'Második')"_s);
    Table t(m_con.get(), u"csoport"_s);
    t.open(u"csoport = 1"_s);
    if (insert) {
        t.append();
        t.setValue(u"csoport"_s, 3);
    } else {
        t.edit(0);
    }
    t.setValue(u"csoport_nev"_s, u"Második"_s); // taken by another row
    QVERIFY_THROWS_EXCEPTION(DbError, t.post());
    QCOMPARE(t.state(), insert ? Table::State::Insert : Table::State::Edit);
    QCOMPARE(t.value(u"csoport_nev"_s), insert ? QVariant() : QVariant(u"Első"_s));

    if (insert) {
        t.setValue(u"csoport"_s, 3);
        t.setValue(u"csoport_nev"_s, u"Harmadik"_s);
    } else {
        // Nothing set: the row goes back as it was, without the abandoned name.
    }
    t.post();
    QCOMPARE(QueryText(*m_con,
                       u"SELECT GROUP_CONCAT(csoport_nev ORDER BY csoport SEPARATOR '|') FROM csoport"_s, {}),
             insert ? u"Első|Második|Harmadik"_s : u"Első|Második"_s);
}

void TestDbRoutines::scriptSplitting_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("statements");
    QTest::newRow("two") << QStringList{u"TRUNCATE a;"_s, u""_s, u"INSERT INTO a (x) VALUES"_s, u"(1),"_s,
                                        u"(2);"_s}
                         << QStringList{u"TRUNCATE a"_s, u"INSERT INTO a (x) VALUES\n(1),\n(2)"_s};
    QTest::newRow("delimiter") << QStringList{u"delimiter $$"_s, u"CREATE PROCEDURE p() BEGIN"_s,
                                              u"SELECT 1;"_s,    u"END $$"_s,
                                              u"delimiter ;"_s,  u"CALL p();"_s}
                               << QStringList{u"CREATE PROCEDURE p() BEGIN\nSELECT 1;\nEND "_s,
                                              u"CALL p()"_s};
    QTest::newRow("unfinished") << QStringList{u"SELECT 1;"_s, u"SELECT 2"_s} << QStringList{u"SELECT 1"_s};
    QTest::newRow("DELIMITER in any letter case")
        << QStringList{u"  DELIMITER $$"_s, u"SELECT 1;"_s, u"END $$"_s, u"Delimiter ;"_s, u"SELECT 2;"_s}
        << QStringList{u"SELECT 1;\nEND "_s, u"SELECT 2"_s};
    QTest::newRow("empty") << QStringList{} << QStringList{};
    // An empty delimiter is found at the end of every line: each line is a statement.
    QTest::newRow("bare delimiter line")
        << QStringList{u"delimiter"_s, u"SELECT 1"_s, u"SELECT 2;"_s, u"delimiter ;"_s, u"SELECT 3;"_s}
        << QStringList{u"SELECT 1"_s, u"SELECT 2;"_s, u"SELECT 3"_s};
    QTest::newRow("delimiter and two blanks")
        << QStringList{u"delimiter  $$"_s, u"SELECT 1 $$"_s} << QStringList{u"SELECT 1 "_s};
    QTest::newRow("a delimiter line inside a statement is text")
        << QStringList{u"SELECT 'a"_s, u"delimiter $$"_s, u"';"_s}
        << QStringList{u"SELECT 'a\ndelimiter $$\n'"_s};
    QTest::newRow("comment lines between statements")
        << QStringList{u"-- egy;"_s, u"  # kettő;"_s, u"SELECT 1;"_s} << QStringList{u"SELECT 1"_s};
    QTest::newRow("blank lines and indentation inside a statement")
        << QStringList{u"  INSERT INTO a VALUES ('x"_s, u""_s, u"    y');  "_s}
        << QStringList{u"INSERT INTO a VALUES ('x\n\n    y')"_s};
    QTest::newRow("a line of a string ends with the delimiter")
        << QStringList{u"INSERT INTO a VALUES ('x;"_s, u"y');"_s}
        << QStringList{u"INSERT INTO a VALUES ('x;\ny')"_s};
    QTest::newRow("escaped and doubled quotes")
        << QStringList{u"INSERT INTO a VALUES ('it\\'s;"_s, u"', 'it''s;"_s, u"');"_s}
        << QStringList{u"INSERT INTO a VALUES ('it\\'s;\n', 'it''s;\n')"_s};
    QTest::newRow("double quotes and quoted names") << QStringList{u"SELECT \"a;"_s, u"\", `b;"_s, u"c`;"_s}
                                                    << QStringList{u"SELECT \"a;\n\", `b;\nc`"_s};
    QTest::newRow("a comment over lines")
        << QStringList{u"SELECT /* a;"_s, u"b; */ 1;"_s} << QStringList{u"SELECT /* a;\nb; */ 1"_s};
    QTest::newRow("the delimiter in a line comment")
        << QStringList{u"SELECT 1 -- egy;"_s, u"# kettő;"_s, u";"_s}
        << QStringList{u"SELECT 1 -- egy;\n# kettő;\n"_s};
    QTest::newRow("line breaks as written")
        << QStringList{u"SELECT\r\n"_s, u"\t1;\r\n"_s, u"SELECT\n"_s, u"2;"_s}
        << QStringList{u"SELECT\r\n\t1"_s, u"SELECT\n2"_s};
}

void TestDbRoutines::scriptSplitting()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, statements);
    QCOMPARE(SplitScript(lines), statements);
}

QTEST_MAIN(TestDbRoutines)
#include "tst_dbroutines.moc"
