#include "common/cp1250.h"
#include "common/sqltext.h"
#include "db/backupscript.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/script.h"
#include "sqlconsole/sqlfiles.h"
#include "sqlconsole/sqlrun.h"
#include "testdatabase.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(RunMode)
Q_DECLARE_METATYPE(SqlFileEncoding)

// The console's run modes decided from the editor's text, and scripts run on a real server.
class TestSqlRun : public QObject
{
    Q_OBJECT

private slots:
    void planRun_data();
    void planRun();
    void planQueryRun_data();
    void planQueryRun();
    void textLines_data();
    void textLines();

    void scripts_data();
    void scripts();
    void backupScriptRestoresEveryTable();
    void pulseComesAFewTimesASecondNotEveryLine();
    void stopEndsAfterTheCurrentStatement();
    void scriptGivesWhatTheClientGives();
    void sqlFileEncodings_data();
    void sqlFileEncodings();

private:
    static QStringList targyRows(Connection &con);
    static QString othersScript();
    static QStringList objects(Connection &con, const QString &database);
};

void TestSqlRun::planRun_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("selection");
    QTest::addColumn<RunMode>("mode");
    QTest::addColumn<QString>("target"); // table name, query text, or the script's lines joined

    QTest::newRow("lower-case select")
        << u"select * from iktato"_s << QString() << RunMode::Query << u"select * from iktato"_s;
    QTest::newRow("show, blanks first")
        << u"  \r\n  show tables"_s << QString() << RunMode::Query << u"  \r\n  show tables"_s;
    QTest::newRow("comment line first")
        << u"-- how many\r\nSELECT COUNT(*) FROM iktato;"_s << QString() << RunMode::Script
        << u"-- how many\r\nSELECT COUNT(*) FROM iktato;"_s;
    QTest::newRow("other statement") << u"UPDATE csoport SET csoport_nev = 'x';\r\n"_s << QString()
                                     << RunMode::Script << u"UPDATE csoport SET csoport_nev = 'x';\r\n"_s;
    QTest::newRow("select inside a word") << u"selected"_s << QString() << RunMode::Query << u"selected"_s;
    QTest::newRow("table line") << u"table: csoport\r\nSELECT 1"_s << QString() << RunMode::Table
                                << u"csoport"_s;
    QTest::newRow("table in capitals, selection ignored")
        << u"TABLE : iktato\r\nDELETE FROM iktato;"_s << u"DELETE FROM iktato;"_s << RunMode::Table
        << u"iktato"_s;
    QTest::newRow("table without a name") << u"tables"_s << QString() << RunMode::Table << QString();
    QTest::newRow("selected query") << u"UPDATE x SET a = 1;\r\nselect 2"_s << u"select 2"_s << RunMode::Query
                                    << u"select 2"_s;
    QTest::newRow("selection of two statements is one line")
        << u"x"_s << u"UPDATE a SET x = 1;\r\nUPDATE b SET y = 2;"_s << RunMode::Script
        << u"UPDATE a SET x = 1;\r\nUPDATE b SET y = 2;"_s;
    QTest::newRow("empty editor") << QString() << QString() << RunMode::Script << QString();
}

void TestSqlRun::planRun()
{
    QFETCH(QString, text);
    QFETCH(QString, selection);
    QFETCH(RunMode, mode);
    QFETCH(QString, target);
    const RunPlan plan = PlanRun(text, selection);
    QCOMPARE(plan.mode, mode);
    switch (mode) {
    case RunMode::Table: QCOMPARE(plan.tableName, target); break;
    case RunMode::Query: QCOMPARE(plan.sql, target); break;
    case RunMode::Script:
        QCOMPARE(plan.lines.join(QString()), target);
        // A selection is one line, whatever line breaks it holds.
        if (!selection.isEmpty())
            QCOMPARE(plan.lines.size(), 1);
        break;
    }
}

void TestSqlRun::planQueryRun_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("selection");
    QTest::addColumn<RunMode>("mode");
    QTest::addColumn<QString>("target");

    QTest::newRow("two queries: the first")
        << u"SELECT 1;\r\nSELECT 2;"_s << QString() << RunMode::Query << u"SELECT 1"_s;
    QTest::newRow("first query over lines") << u"SELECT *\r\nFROM csoport; SELECT 2"_s << QString()
                                            << RunMode::Query << u"SELECT *\r\nFROM csoport"_s;
    QTest::newRow("any statement") << u"UPDATE csoport SET csoport_nev = 'x'"_s << QString() << RunMode::Query
                                   << u"UPDATE csoport SET csoport_nev = 'x'"_s;
    QTest::newRow("selection whole") << u"SELECT 1;"_s << u"SELECT 3; SELECT 4"_s << RunMode::Query
                                     << u"SELECT 3; SELECT 4"_s;
    QTest::newRow("table line") << u"table:iktato"_s << QString() << RunMode::Table << u"iktato"_s;
}

void TestSqlRun::planQueryRun()
{
    QFETCH(QString, text);
    QFETCH(QString, selection);
    QFETCH(RunMode, mode);
    QFETCH(QString, target);
    const RunPlan plan = PlanQueryRun(text, selection);
    QCOMPARE(plan.mode, mode);
    QCOMPARE(mode == RunMode::Table ? plan.tableName : plan.sql, target);
}

void TestSqlRun::textLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("CR LF") << u"a\r\nb"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("LF and CR") << u"a\nb\rc"_s << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("last line break") << u"a\r\n"_s << QStringList{u"a"_s};
    QTest::newRow("empty lines kept")
        << u"\r\n\r\nb\r\n\r\n"_s << QStringList{QString(), QString(), u"b"_s, QString()};
}

void TestSqlRun::textLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(TextLines(text), lines);
}

QStringList TestSqlRun::targyRows(Connection &con)
{
    const ResultSet rows = con.query(u"SELECT targy FROM targy ORDER BY targy"_s);
    QStringList names;
    for (int r = 0; r < rows.rowCount(); ++r)
        names.append(rows.text(r, 0));
    return names;
}

void TestSqlRun::scripts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QString>("error");    // beginning of the server's message; empty: none
    QTest::addColumn<int>("statements");   // executed, when there is no error
    QTest::addColumn<QStringList>("rows"); // targy afterwards

    QTest::newRow("delimiter $$, both statements whole")
        << u"delimiter $$\r\n"
           "CREATE PROCEDURE two_rows()\r\n"
           "BEGIN\r\n"
           "  INSERT INTO targy VALUES ('első');\r\n"
           "  INSERT INTO targy VALUES ('második');\r\n"
           "END$$\r\n"
           "delimiter ;\r\n"
           "CALL two_rows();\r\n"_s
        << QString() << QString() << 2 << QStringList{u"első"_s, u"második"_s};
    QTest::newRow("missing last delimiter drops only the last statement")
        << u"INSERT INTO targy VALUES ('a');\r\n\r\n  INSERT INTO targy\r\n  VALUES ('b');\r\n"
           "INSERT INTO targy VALUES ('c')"_s
        << QString() << QString() << 2 << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("failure in the middle")
        << u"INSERT INTO targy VALUES ('a');\r\nINSERT INTO nincs_ilyen VALUES (1);\r\n"
           "INSERT INTO targy VALUES ('c');"_s
        << QString() << u"Table"_s << 0 << QStringList{u"a"_s};
    QTest::newRow("selection of two statements is refused whole")
        << u"SELECT 1"_s << u"INSERT INTO targy VALUES ('a');\r\nINSERT INTO targy VALUES ('b');"_s
        << u"You have an error in your SQL syntax"_s << 0 << QStringList();
    QTest::newRow("DELIMITER in capitals")
        << u"DELIMITER $$\r\nINSERT INTO targy VALUES ('a')$$\r\nDelimiter ;\r\nINSERT INTO targy VALUES ('b');"_s
        << QString() << QString() << 2 << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("semicolon inside a literal") << u"INSERT INTO targy\r\nVALUES ('x; y');"_s << QString()
                                                << QString() << 1 << QStringList{u"x; y"_s};
}

void TestSqlRun::scripts()
{
    REQUIRE_TEST_SERVER();
    QFETCH(QString, text);
    QFETCH(QString, selection);
    QFETCH(QString, error);
    QFETCH(int, statements);
    QFETCH(QStringList, rows);

    TestDatabase db;
    Connection con(db.params());
    con.open();
    const RunPlan plan = PlanRun(text, selection);
    QCOMPARE(plan.mode, RunMode::Script);
    ScriptRunner runner;
    try {
        const ScriptRunner::Outcome outcome = runner.run(con, plan.lines);
        QVERIFY2(error.isEmpty(), "the script should have failed");
        QCOMPARE(outcome.statements, statements);
        QVERIFY(!outcome.stopped);
    } catch (const DbError &e) {
        QVERIFY2(!error.isEmpty(), qPrintable(e.message()));
        QVERIFY2(e.message().startsWith(error), qPrintable(e.message()));
    }
    QCOMPARE(targyRows(con), rows);
}

// The program's own backup script, run in script mode on an empty copy of the schema, gives
// every table back as it was.
void TestSqlRun::backupScriptRestoresEveryTable()
{
    REQUIRE_TEST_SERVER();
    TestDatabase source;
    source.load(SourcePath(u"sql/demo.sql"_s));
    Connection from(source.params());
    from.open();
    QBuffer script;
    script.open(QIODevice::WriteOnly);
    WriteBackupScript(from, script);

    TestDatabase target;
    Connection to(target.params());
    to.open();
    const QString text = FromCp1250(script.data());
    QCOMPARE(PlanRun(text, QString()).mode, RunMode::Script);
    const QStringList lines = ScriptLines(text);
    ScriptRunner runner;
    const ScriptRunner::Outcome outcome = runner.run(to, lines);
    QVERIFY(outcome.statements > 10);

    const QStringList tables = from.tableNames();
    QVERIFY(tables.contains(u"iktato"_s));
    QCOMPARE(to.tableNames(), tables);
    for (const QString &table : tables) {
        const ResultSet a = from.query(u"CHECKSUM TABLE "_s + table);
        const ResultSet b = to.query(u"CHECKSUM TABLE "_s + table);
        QCOMPARE(b.text(0, 1), a.text(0, 1));
        const ResultSet count = to.query(u"SELECT COUNT(*) FROM "_s + table);
        if (table == u"iktato"_s)
            QCOMPARE(count.text(0, 0), u"400"_s);
    }
}

// Reading the lines lets the window breathe a few times a second, not at every line.
void TestSqlRun::pulseComesAFewTimesASecondNotEveryLine()
{
    REQUIRE_TEST_SERVER();
    TestDatabase db(TestDatabase::Content::Empty);
    Connection con(db.params());
    con.open();
    // One statement over many lines, and a few slow ones, so the run takes a measurable time.
    QStringList lines;
    for (int i = 0; i < 40000; ++i)
        lines.append(u"-- a comment line of the statement below"_s);
    lines.append(u"DO 0;"_s);
    for (int i = 0; i < 4; ++i)
        lines.append(u"DO SLEEP(0.1);"_s);

    ScriptRunner runner;
    int pulses = 0;
    int lastLine = -1;
    runner.setPulse(
        [&](int line, int count) {
            ++pulses;
            QCOMPARE(count, int(lines.size()));
            QVERIFY(line > lastLine);
            lastLine = line;
        },
        100);
    const ScriptRunner::Outcome outcome = runner.run(con, lines);
    QCOMPARE(outcome.statements, 5);
    QVERIFY(outcome.elapsedMs >= 400);
    QVERIFY2(pulses >= 2 && pulses <= 2 + outcome.elapsedMs / 100,
             qPrintable(u"%1 pulses in %2 ms"_s.arg(pulses).arg(outcome.elapsedMs)));
}

void TestSqlRun::stopEndsAfterTheCurrentStatement()
{
    REQUIRE_TEST_SERVER();
    TestDatabase db;
    Connection con(db.params());
    con.open();
    const QStringList lines{u"INSERT INTO targy VALUES ('a');"_s, u"INSERT INTO targy"_s, u"VALUES ('b');"_s,
                            u"INSERT INTO targy VALUES ('c');"_s, u"INSERT INTO targy VALUES ('d');"_s};
    ScriptRunner runner;
    runner.setPulse(
        [&](int line, int) {
            if (line == 3)
                runner.requestStop();
        },
        0);
    const ScriptRunner::Outcome outcome = runner.run(con, lines);
    QVERIFY(outcome.stopped);
    QCOMPARE(outcome.statements, 2);
    QCOMPARE(targyRows(con), (QStringList{u"a"_s, u"b"_s}));
}

// A script as other people write them: comments, version comments, procedures and triggers with
// DELIMITER, a view, strings over several lines with ";" at their line ends, and thousands of
// INSERTs with every kind of escape.
QString TestSqlRun::othersScript()
{
    QString script =
        u"-- Írta: valaki más; nem a program\n"
        "/*!40101 SET @OLD_SQL_MODE=@@SQL_MODE */;\n"
        "SET @tag = 'próba; nem vége';\n\n"
        "CREATE TABLE nev (\n  id INT NOT NULL AUTO_INCREMENT,\n"
        "  nev VARCHAR(100) NOT NULL DEFAULT 'ismeretlen; üres',\n  megj TEXT,\n"
        "  PRIMARY KEY (id)\n) DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;\n\n"
        "DELIMITER ;;\nCREATE PROCEDURE szamol(IN n INT)\nBEGIN\n  DECLARE i INT DEFAULT 0;\n"
        "  WHILE i < n DO\n    INSERT INTO nev (nev) VALUES (CONCAT('gépi; ', i));\n"
        "    SET i = i + 1;\n  END WHILE;\nEND ;;\nDELIMITER ;\n"
        "delimiter $$\nCREATE TRIGGER nev_bi BEFORE INSERT ON nev FOR EACH ROW\nBEGIN\n"
        "  IF NEW.megj IS NULL THEN SET NEW.megj = 'triggerből; írta'; END IF;\nEND$$\n"
        "delimiter ;\n\n"
        "CREATE VIEW vw_nev AS SELECT id, UPPER(nev) AS nagy FROM nev WHERE id % 2 = 0;\n"
        "INSERT INTO nev (nev, megj) VALUES\n('O\\'Brien', 'két\\nsor'),\n"
        "('vissza\\\\per', \"tab\\tés \"\"idéz\"\";\"),\n"
        "('többsoros', 'első sor;\n  második; sor\n\nDELIMITER $$\nutolsó -- nem megjegyzés;');\n"_s;
    for (int i = 0; i < 3000; ++i) {
        script +=
            u"INSERT INTO nev (nev, megj) VALUES ('név %1 \\'ő\\' \\\\ ű;', \"%1 \\\"q\\\" /* nem */ #;\");\n"_s
                .arg(i);
    }
    script += u"CALL szamol(50);\n# vége\n"_s;
    return script;
}

QStringList TestSqlRun::objects(Connection &con, const QString &database)
{
    QStringList found;
    const QString schema = SqlQuoted(database);
    for (
        const QString &sql :
        {u"SELECT TABLE_NAME, TABLE_TYPE FROM information_schema.TABLES WHERE TABLE_SCHEMA = %1 ORDER BY 1"_s,
         u"SELECT ROUTINE_NAME, ROUTINE_DEFINITION FROM information_schema.ROUTINES WHERE ROUTINE_SCHEMA = %1"_s,
         u"SELECT TRIGGER_NAME, ACTION_STATEMENT FROM information_schema.TRIGGERS WHERE TRIGGER_SCHEMA = %1"_s,
         u"SELECT TABLE_NAME, VIEW_DEFINITION FROM information_schema.VIEWS WHERE TABLE_SCHEMA = %1"_s}) {
        const ResultSet rows = con.query(sql.arg(schema));
        for (int r = 0; r < rows.rowCount(); ++r)
            found.append(rows.text(r, 0) + u": "_s + rows.text(r, 1).replace(database, u"DB"_s));
    }
    found.append(con.query(u"CHECKSUM TABLE %1.nev"_s.arg(database)).text(0, 1));
    found.append(con.query(u"SELECT COUNT(*) FROM %1.nev"_s.arg(database)).text(0, 0));
    return found;
}

void TestSqlRun::scriptGivesWhatTheClientGives()
{
    REQUIRE_TEST_SERVER();
    const QByteArray bytes = ToCp1250(othersScript());
    TestDatabase byClient(TestDatabase::Content::Empty);
    bool ok = false;
    TestServer::client(bytes, byClient.name(), &ok);
    QVERIFY(ok);

    TestDatabase byConsole(TestDatabase::Content::Empty);
    Connection con(byConsole.params());
    con.open();
    ScriptRunner runner;
    try {
        const ScriptRunner::Outcome outcome = runner.run(con, ScriptLines(FromCp1250(bytes)));
        QCOMPARE(outcome.statements, 3008);
    } catch (const ScriptStatementError &error) {
        QFAIL(qPrintable(error.message() + u"\n"_s + error.location()));
    }

    const QStringList expected = objects(con, byClient.name());
    QCOMPARE(expected.size(), 7);
    QCOMPARE(expected.last(), u"3053"_s);
    QCOMPARE(objects(con, byConsole.name()), expected);
}

void TestSqlRun::sqlFileEncodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<SqlFileEncoding>("encoding");
    const QString hungarian = u"-- „Idézet” – ő ű Ő Ű\nSELECT 'árvíztűrő';\n"_s;
    const QByteArray bom("\xEF\xBB\xBF");
    QTest::newRow("code page 1250") << ToCp1250(hungarian) << hungarian << SqlFileEncoding::Cp1250;
    QTest::newRow("UTF-8") << hungarian.toUtf8() << hungarian << SqlFileEncoding::Utf8;
    QTest::newRow("UTF-8 with a byte order mark")
        << bom + hungarian.toUtf8() << hungarian << SqlFileEncoding::Utf8WithBom;
    QTest::newRow("byte order mark, ASCII after it")
        << bom + QByteArray("SELECT 1;\r\n") << u"SELECT 1;\r\n"_s << SqlFileEncoding::Utf8WithBom;
    QTest::newRow("ASCII") << QByteArray("SELECT 1;\n") << u"SELECT 1;\n"_s << SqlFileEncoding::Cp1250;
    // Characters that code page 1250 lacks are saved back as they were.
    QTest::newRow("UTF-8 beyond code page 1250") << u"SELECT '✓ ₽ Ωmega';\n"_s.toUtf8()
                                                 << u"SELECT '✓ ₽ Ωmega';\n"_s << SqlFileEncoding::Utf8;
    // One byte that cannot be UTF-8 makes the whole file code page 1250.
    QTest::newRow("UTF-8 with one code page 1250 byte") << u"SELECT 'á';"_s.toUtf8() + ToCp1250(u" -- ő"_s)
                                                        << u"SELECT 'Ăˇ'; -- ő"_s << SqlFileEncoding::Cp1250;
    QTest::newRow("empty") << QByteArray() << QString() << SqlFileEncoding::Cp1250;
}

// A file is read as what it is and saved back the same way, byte for byte.
void TestSqlRun::sqlFileEncodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(SqlFileEncoding, encoding);
    QTemporaryDir folder;
    const QString path = folder.filePath(u"be.sql"_s);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    SqlFileEncoding found = SqlFileEncoding::Utf8WithBom;
    QCOMPARE(ReadSqlFile(path, &found), text);
    QCOMPARE(found, encoding);
    const QString copy = folder.filePath(u"ki.sql"_s);
    WriteSqlFile(copy, text, found);
    QFile saved(copy);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), bytes);
}

QTEST_GUILESS_MAIN(TestSqlRun)
#include "tst_sqlrun.moc"
