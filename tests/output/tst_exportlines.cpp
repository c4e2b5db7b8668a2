#include "common/cp1250.h"
#include "db/connection.h"
#include "db/query.h"
#include "output/exporter.h"
#include "output/exportlines.h"
#include "samplerows.h"
#include "testdatabase.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct Case
{
    ExportOptions options;
    QList<int> columns;
};

} // namespace

Q_DECLARE_METATYPE(ExportOptions)

class TestExportLines : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void linesInFile_data();
    void linesInFile();
    void stopAfterThreeRowsKeepsThem();
    void clipboardUsesTabAndNoQualifier();
    void formatByExtension_data();
    void formatByExtension();
    void xmlIsRefusedAndWritesNothing();
    void failureMidwayKeepsOldFile();
    void unwritableFolderIsReported();
    void defaultFileNameInDocuments();

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_con;
};

void TestExportLines::initTestCase()
{
    REQUIRE_TEST_SERVER();
    m_db = std::make_unique<TestDatabase>(TestDatabase::Content::Empty);
    m_con = std::make_unique<Connection>(m_db->params());
    m_con->open();
    CreateSampleTable(*m_con);
}

void TestExportLines::cleanupTestCase()
{
    m_con.reset();
    m_db.reset();
}

void TestExportLines::linesInFile_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<ExportOptions>("options");
    QTest::addColumn<QList<int>>("columns");
    QTest::addColumn<QString>("expected");

    const QList<int> all{0, 1, 2, 3, 4, 5, 6, 7, 8};
    // Columns: 0 id, 1 nev, 2 osszeg, 3 arany, 4 nap, 5 idopont, 6 ido, 7 leiras (TEXT), 8 adat (BLOB).
    QTest::newRow("semicolon, no qualifier: every kind")
        << QString() << QStringList() << ExportOptions{} << all
        << lines(
               {u"id;nev;osszeg;arany;nap;idopont;ido;leiras;adat;"_s,
                u"1;Kőrút „A” – ű;1234,50;0,25;2024. 03. 05.;2024. 03. 05. 14:07:09;8:05:00;első sor\\nmásodik, sor;BLOB"_s,
                u"2;a;b|c,d;-3,00;;2024. 12. 31.;2024. 01. 01.;;c:\\\\mappa\t|,,vége;BLOB"_s,
                u"3;Idéző \"jel\";;1e20;;;23:59:59;;BLOB"_s,
                u"4;O'Brien;0,00;-1,5;1999. 01. 01.;;;egy\\nkettő\\nhárom;BLOB"_s, u"5;;;;;;;;BLOB"_s});
    QTest::newRow("tab: memo tabs become commas")
        << QString() << QStringList() << ExportOptions{'\t', 0, true, false, false} << QList<int>{0, 1, 7}
        << lines({u"id\tnev\tleiras\t"_s, u"1\tKőrút „A” – ű\telső sor\\nmásodik; sor"_s,
                  u"2\ta;b|c,d\tc:\\\\mappa,|;,vége"_s, u"3\tIdéző \"jel\"\t"_s,
                  u"4\tO'Brien\tegy\\nkettő\\nhárom"_s, u"5\t\t"_s});
    QTest::newRow("comma") << QString() << QStringList() << ExportOptions{',', 0, true, false, false}
                           << QList<int>{1, 2, 7}
                           << lines({u"nev,osszeg,leiras,"_s,
                                     u"Kőrút „A” – ű,1234,50,első sor\\nmásodik; sor"_s,
                                     u"a;b|c,d,-3,00,c:\\\\mappa\t|;,vége"_s, u"Idéző \"jel\",,"_s,
                                     u"O'Brien,0,00,egy\\nkettő\\nhárom"_s, u",,"_s});
    QTest::newRow("pipe") << QString() << QStringList() << ExportOptions{'|', 0, true, false, false}
                          << QList<int>{1, 7}
                          << lines({u"nev|leiras|"_s, u"Kőrút „A” – ű|első sor\\nmásodik; sor"_s,
                                    u"a;b|c,d|c:\\\\mappa\t,;,vége"_s, u"Idéző \"jel\"|"_s,
                                    u"O'Brien|egy\\nkettő\\nhárom"_s, u"|"_s});
    QTest::newRow("double quote: doubled inside, NULL and BLOB enclosed")
        << QString() << QStringList() << ExportOptions{';', '"', true, false, false} << QList<int>{0, 1, 7, 8}
        << lines({u"\"id\";\"nev\";\"leiras\";\"adat\";"_s,
                  u"\"1\";\"Kőrút „A” – ű\";\"első sor\\nmásodik, sor\";\"BLOB\""_s,
                  u"\"2\";\"a;b|c,d\";\"c:\\\\mappa\t|,,vége\";\"BLOB\""_s,
                  u"\"3\";\"Idéző \"\"jel\"\"\";\"\";\"BLOB\""_s,
                  u"\"4\";\"O'Brien\";\"egy\\nkettő\\nhárom\";\"BLOB\""_s, u"\"5\";\"\";\"\";\"BLOB\""_s});
    QTest::newRow("apostrophe: doubled inside")
        << QString() << QStringList() << ExportOptions{';', '\'', true, false, false} << QList<int>{0, 1}
        << lines({u"'id';'nev';"_s, u"'1';'Kőrút „A” – ű'"_s, u"'2';'a;b|c,d'"_s, u"'3';'Idéző \"jel\"'"_s,
                  u"'4';'O''Brien'"_s, u"'5';''"_s});
    QTest::newRow("memo without the multi-line option is BLOB")
        << QString() << QStringList() << ExportOptions{';', 0, false, false, false} << QList<int>{0, 7}
        << lines({u"id;leiras;"_s, u"1;BLOB"_s, u"2;BLOB"_s, u"3;BLOB"_s, u"4;BLOB"_s, u"5;BLOB"_s});
    QTest::newRow("display labels, qualifier doubled in a label")
        << u"WHERE id = 1"_s << QStringList{u"Azonosító"_s, u"Név \"teljes\""_s}
        << ExportOptions{';', '"', true, false, false} << QList<int>{1, 0}
        << lines({u"\"Azonosító\";\"Név \"\"teljes\"\"\";"_s, u"\"1\";\"Kőrút „A” – ű\""_s});
    QTest::newRow("field names instead of labels")
        << u"WHERE id = 1"_s << QStringList{u"Azonosító"_s, u"Név"_s}
        << ExportOptions{';', 0, true, true, false} << QList<int>{0, 1}
        << lines({u"id;nev;"_s, u"1;Kőrút „A” – ű"_s});
    QTest::newRow("no header: output begins with an empty line")
        << QString() << QStringList() << ExportOptions{';', 0, true, false, true} << QList<int>{0}
        << lines({QString(), u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s});
    QTest::newRow("empty dataset: header only")
        << u"WHERE id > 100"_s << QStringList() << ExportOptions{} << all
        << lines({u"id;nev;osszeg;arany;nap;idopont;ido;leiras;adat;"_s});
    QTest::newRow("empty dataset without header: one empty line")
        << u"WHERE id > 100"_s << QStringList() << ExportOptions{';', 0, true, false, true} << all
        << lines({QString()});
    QTest::newRow("nothing ticked: every line empty")
        << QString() << QStringList() << ExportOptions{';', '"', true, false, false} << QList<int>{}
        << lines({QString(), QString(), QString(), QString(), QString(), QString()});
}

void TestExportLines::linesInFile()
{
    QFETCH(QString, where);
    QFETCH(QStringList, labels);
    QFETCH(ExportOptions, options);
    QFETCH(QList<int>, columns);
    QFETCH(QString, expected);

    Query query(m_con.get());
    query.setSql(SampleSelect + u'\n' + where + u"\nORDER BY id;"_s);
    query.open();
    ExportSource source(query);
    source.setDisplayLabels(labels);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"export.csv"_s);
    int progressCalls = 0;
    ExportControl control;
    control.rowDone = [&](int done) { QCOMPARE(done, ++progressCalls); };
    const ExportResult result = ExportToFile(path, source, columns, options, control);

    QCOMPARE(readFile(path), ToCp1250(expected));
    QCOMPARE(result.rowsWritten, query.rowCount());
    QCOMPARE(progressCalls, query.rowCount());
    QVERIFY(!result.stopped);
    // The dataset is left on its last row.
    QCOMPARE(query.recNo(), query.rowCount() - 1);
    QCOMPARE(ExportDoneText(path, ExportFormatOf(path), result), path + u" file kész."_s);
}

void TestExportLines::stopAfterThreeRowsKeepsThem()
{
    Query query(m_con.get());
    query.setSql(SampleSelect + u"\nORDER BY id;"_s);
    query.open();
    ExportSource source(query);
    int done = 0;
    const ExportControl control{[&](int rows) { done = rows; }, [&] { return done == 3; }};
    QTemporaryDir dir;
    const QString path = dir.filePath(u"megallitva.txt"_s);
    const ExportResult result = ExportToFile(path, source, {0, 1}, ExportOptions{}, control);

    QCOMPARE(readFile(path),
             ToCp1250(lines({u"id;nev;"_s, u"1;Kőrút „A” – ű"_s, u"2;a;b|c,d"_s, u"3;Idéző \"jel\""_s})));
    QVERIFY(result.stopped);
    QCOMPARE(result.rowsWritten, 3);
    // The dataset stays where the export ended: on the first row not written.
    QCOMPARE(result.endRow, 3);
    QCOMPARE(query.recNo(), 3);
}

void TestExportLines::clipboardUsesTabAndNoQualifier()
{
    Query query(m_con.get());
    query.setSql(SampleSelect + u"\nWHERE id IN (2, 3)\nORDER BY id;"_s);
    query.open();
    ExportSource source(query);
    ExportResult result;
    const QString text =
        ClipboardText(source, {1, 7, 8}, ExportOptions{';', '"', true, false, false}, {}, &result);
    QCOMPARE(text, lines({u"nev\tleiras\tadat\t"_s, u"a;b|c,d\tc:\\\\mappa,|;,vége\tBLOB"_s,
                          u"Idéző \"jel\"\t\tBLOB"_s}));
    QCOMPARE(result.rowsWritten, 2);
    QCOMPARE(ClipboardDoneText(), u"Adatok vágólapra másolása kész."_s);
}

void TestExportLines::formatByExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("format");
    QTest::newRow("xls") << u"/tmp/a.xls"_s << int(ExportFormat::Xls);
    QTest::newRow("XLS") << u"/tmp/A.XLS"_s << int(ExportFormat::Xls);
    QTest::newRow("Xls") << u"b.Xls"_s << int(ExportFormat::Xls);
    QTest::newRow("xlsx") << u"c.xlsx"_s << int(ExportFormat::Xlsx);
    QTest::newRow("XLSX") << u"c.XLSX"_s << int(ExportFormat::Xlsx);
    QTest::newRow("xml") << u"d.xml"_s << int(ExportFormat::Unsupported);
    QTest::newRow("XmL") << u"/x/D.XmL"_s << int(ExportFormat::Unsupported);
    QTest::newRow("csv") << u"e.csv"_s << int(ExportFormat::Delimited);
    QTest::newRow("txt") << u"e.TXT"_s << int(ExportFormat::Delimited);
    QTest::newRow("none") << u"/tmp/iktato"_s << int(ExportFormat::Delimited);
    QTest::newRow("other") << u"e.xls.bak"_s << int(ExportFormat::Delimited);
}

void TestExportLines::formatByExtension()
{
    QFETCH(QString, name);
    QFETCH(int, format);
    QCOMPARE(int(ExportFormatOf(name)), format);
}

void TestExportLines::xmlIsRefusedAndWritesNothing()
{
    Query query(m_con.get());
    query.setSql(SampleSelect + u"\nORDER BY id;"_s);
    query.open();
    ExportSource source(query);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"lista.XML"_s);
    try {
        ExportToFile(path, source, {0}, ExportOptions{});
        QFAIL("an .xml file was written");
    } catch (const ExportError &error) {
        QCOMPARE(error.message(), u"Ebben a verzióban ez nem támogatott."_s);
    }
    QVERIFY(QDir(dir.path()).isEmpty());
}

void TestExportLines::failureMidwayKeepsOldFile()
{
    Query query(m_con.get());
    query.setSql(SampleSelect + u"\nORDER BY id;"_s);
    query.open();
    ExportSource source(query);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Iktato.csv"_s);
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("régi\r\n");
    }
    // A failure after two rows (the database going away, a full disk).
    const ExportControl control{[](int rows) {
                                    if (rows == 2)
                                        throw ExportError(u"megszakadt"_s);
                                },
                                {}};
    QVERIFY_THROWS_EXCEPTION(ExportError, ExportToFile(path, source, {0, 1}, ExportOptions{}, control));
    QCOMPARE(readFile(path), QByteArray("régi\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"Iktato.csv"_s});
    // The dataset stays on the row the export had reached.
    QCOMPARE(query.recNo(), 1);
}

void TestExportLines::unwritableFolderIsReported()
{
    Query query(m_con.get());
    query.setSql(SampleSelect + u"\nORDER BY id;"_s);
    query.open();
    ExportSource source(query);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"nincs/ilyen/mappa.csv"_s);
    try {
        ExportToFile(path, source, {0}, ExportOptions{});
        QFAIL("no error for a missing folder");
    } catch (const ExportError &error) {
        QVERIFY2(error.message().startsWith(u"Az állomány nem hozható létre: "_s + path),
                 qPrintable(error.message()));
    }
    QVERIFY(!QFile::exists(path));
}

void TestExportLines::defaultFileNameInDocuments()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QCOMPARE(DefaultExportFileName(QString()), QDir(documents).filePath(u"File001.csv"_s));
    QCOMPARE(DefaultExportFileName(u"Iktato.csv"_s), QDir(documents).filePath(u"Iktato.csv"_s));
    QCOMPARE(DefaultExportFileName(u"/tmp/lista.xls"_s), u"/tmp/lista.xls"_s);
}

QTEST_GUILESS_MAIN(TestExportLines)
#include "tst_exportlines.moc"
