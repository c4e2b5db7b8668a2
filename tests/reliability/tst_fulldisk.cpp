// The disk fills up while a file is written: an export from its window, the list as PDF, a
// downloaded notice and a saved SQL file. Each must say so, leave the earlier file of that name
// exactly as it was, leave no half-written file beside it, and never claim success. A file-size
// limit on this process stands for the full disk.
#include "common/download.h"
#include "db/connection.h"
#include "db/query.h"
#include "gui/messagebox.h"
#include "output/frm_hatarolt.h"
#include "output/qrlista.h"
#include "output/reportdata.h"
#include "output/reportoutput.h"
#include "sqlconsole/sqlfiles.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The earlier file: larger than the limit, so that rewriting it in place could not succeed either.
const QByteArray EarlierContent = QByteArray("korábbi, ép tartalom\n").repeated(8000);

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

enum class Writer { ListPdf, Download, SqlFile };

} // namespace

Q_DECLARE_METATYPE(Writer)

class TestFullDisk : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void exportOnAFullDisk_data();
    void exportOnAFullDisk();
    void fileOnAFullDisk_data();
    void fileOnAFullDisk();

private:
    // Writes the file as the program does; false or an exception when it failed.
    bool write(Writer writer, const QString &path);

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_con;
    QTemporaryDir m_sources;
};

void TestFullDisk::initTestCase()
{
    REQUIRE_TEST_SERVER();
    m_db = std::make_unique<TestDatabase>();
    REQUIRE_SQL(
        m_db->client("INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Pénzügyi Bizottság');"
                     "INSERT INTO iktato (ev, csoport, az, datum, targy, hatarozat) "
                     "SELECT 2024, 1, seq, '2024-01-01' + INTERVAL (seq MOD 360) DAY, CONCAT('Tárgy ', seq), "
                     "REPEAT('Árvíztűrő tükörfúrógép határozata. ', 10) FROM seq_1_to_400;",
                     "utf8mb4"));
    m_con = std::make_unique<Connection>(m_db->params());
    m_con->open();
    // What the download fetches: a notice file of the maker's service, here a local one.
    WriteTestFile(m_sources.filePath(u"hirkov.txt"_s), QByteArray("12|Új hír|").repeated(20000));
}

void TestFullDisk::cleanupTestCase()
{
    m_con.reset();
    m_db.reset();
}

void TestFullDisk::exportOnAFullDisk_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("message"); // how the error box begins
    // Full when half the file is written, or when only its last byte is missing: the last bytes
    // still sit in the write buffer when the file is committed.
    QTest::addColumn<bool>("lastByte");

    // A small file system that really fills up; the box names the file and says the disk is full
    // (the system's short write used to read "Unknown error").
    QTest::addColumn<bool>("realDisk");

    QTest::newRow("delimited text") << u"csv"_s << u"Hiba: Az állomány nem írható: "_s << false << false;
    QTest::newRow("delimited text, all but its last byte")
        << u"csv"_s << u"Hiba: Az állomány nem írható: "_s << true << false;
    QTest::newRow("xls spreadsheet") << u"xls"_s << u"Az állomány nem írható"_s << false << false;
    QTest::newRow("xlsx spreadsheet") << u"xlsx"_s << u"Az .xlsx munkafüzet nem írható: "_s << false << false;
    QTest::newRow("delimited text, real disk")
        << u"csv"_s << u"Hiba: Az állomány nem írható: "_s << false << true;
    QTest::newRow("xls spreadsheet, real disk") << u"xls"_s << u"Az állomány nem írható: "_s << false << true;
    QTest::newRow("xlsx spreadsheet, real disk")
        << u"xlsx"_s << u"Az állomány nem írható: "_s << false << true;
}

void TestFullDisk::exportOnAFullDisk()
{
    QFETCH(QString, suffix);
    QFETCH(QString, message);
    QFETCH(bool, lastByte);
    QFETCH(bool, realDisk);
    std::optional<SmallDisk> disk;
    if (realDisk) {
        disk.emplace(16 * 1024);
        if (!disk->mounted())
            QSKIP(qPrintable(disk->skipReason()));
    }

    Query rows(m_con.get());
    rows.setSql(u"SELECT * FROM vw_iktato\nORDER BY sorrend;"_s);
    rows.open();
    Tfrm_Hatarolt window(rows);
    window.show();
    QTemporaryDir folder;
    MessageBoxRecorder boxes;

    // The whole file, to know how large it is.
    const QString whole = folder.filePath(u"Egesz."_s + suffix);
    window.fileNameEdit()->setText(whole);
    window.startButton()->click();
    const qint64 wholeSize = QFileInfo(whole).size();
    QVERIFY2(wholeSize > 16 * 1024, qPrintable(QString::number(wholeSize)));
    QVERIFY(!boxes.texts().join(u'\n').contains(u"Hiba"_s));
    QVERIFY(QFile::remove(whole));
    boxes.clear();

    const QString path =
        realDisk ? disk->filePath(u"Iktato."_s + suffix) : folder.filePath(u"Iktato."_s + suffix);
    // The earlier file is larger than the small disk: there a short one.
    const QByteArray earlier = realDisk ? QByteArray("korábbi, ép tartalom\n") : EarlierContent;
    WriteTestFile(path, earlier);
    window.fileNameEdit()->setText(path);
    {
        std::optional<FileSizeLimit> diskFull;
        if (!realDisk)
            diskFull.emplace(lastByte ? wholeSize - 1 : wholeSize / 2);
        window.startButton()->click();
    }
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().constFirst().kind, MessageBoxRecorder::Kind::Error);
    QVERIFY2(boxes.texts().constFirst().startsWith(message), qPrintable(boxes.texts().constFirst()));
    if (realDisk)
        QVERIFY2(boxes.texts().constFirst().contains(message + path + u" (megtelt a lemez)"_s),
                 qPrintable(boxes.texts().constFirst()));
    QCOMPARE(ReadTestFile(path), earlier);
    QCOMPARE(filesIn(QFileInfo(path).path()), QStringList{QFileInfo(path).fileName()});
    // The window is ready for another try.
    QVERIFY(window.startButton()->isEnabled());
}

void TestFullDisk::fileOnAFullDisk_data()
{
    QTest::addColumn<Writer>("writer");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("lastByte");

    QTest::newRow("the list as PDF") << Writer::ListPdf << u"Lista.pdf"_s << false;
    QTest::newRow("a downloaded notice") << Writer::Download << u"hirkov.txt"_s << false;
    QTest::newRow("a downloaded notice, all but its last byte")
        << Writer::Download << u"hirkov.txt"_s << true;
    QTest::newRow("an SQL file") << Writer::SqlFile << u"lekerdezes.sql"_s << false;
    QTest::newRow("an SQL file, all but its last byte") << Writer::SqlFile << u"lekerdezes.sql"_s << true;
}

bool TestFullDisk::write(Writer writer, const QString &path)
{
    switch (writer) {
    case Writer::ListPdf: {
        const ResultSet rows = m_con->query(u"SELECT * FROM vw_iktato ORDER BY sorrend"_s);
        const QrLista report(rows, LoadReportOwner(*m_con), u"2024"_s);
        return WriteReportPdf(report, path);
    }
    case Writer::Download:
        return DownloadToFile(QUrl::fromLocalFile(m_sources.filePath(u"hirkov.txt"_s)).toString(), path,
                              10000);
    case Writer::SqlFile:
        WriteSqlFile(path, u"SELECT * FROM iktato WHERE targy = 'Árvíztűrő';\n"_s.repeated(4000));
        return true;
    }
    return false;
}

void TestFullDisk::fileOnAFullDisk()
{
    QFETCH(Writer, writer);
    QFETCH(QString, fileName);
    QFETCH(bool, lastByte);

    QTemporaryDir folder;
    const QString whole = folder.filePath(u"egesz-"_s + fileName);
    QVERIFY(write(writer, whole));
    const qint64 wholeSize = QFileInfo(whole).size();
    QVERIFY2(wholeSize > 32 * 1024, qPrintable(QString::number(wholeSize)));
    QVERIFY(QFile::remove(whole));

    const QString path = folder.filePath(fileName);
    WriteTestFile(path, EarlierContent);
    bool succeeded = false;
    QString error;
    {
        const FileSizeLimit diskFull(lastByte ? wholeSize - 1 : wholeSize / 2);
        try {
            succeeded = write(writer, path);
        } catch (const std::exception &e) {
            error = QString::fromUtf8(e.what());
        }
    }
    QVERIFY(!succeeded);
    // The routines that raise an error say what went wrong; the download only answers false.
    if (writer != Writer::Download)
        QVERIFY2(error.contains(u"nem írható"_s), qPrintable(error));
    QCOMPARE(ReadTestFile(path), EarlierContent);
    QCOMPARE(filesIn(folder.path()), QStringList{fileName});
}

QTEST_MAIN(TestFullDisk)
#include "tst_fulldisk.moc"
