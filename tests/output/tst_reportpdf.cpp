#include "app/setup.h"
#include "common/sqltext.h"
#include "db/connection.h"
#include "db/query.h"
#include "output/qrhatarozat.h"
#include "output/qrlista.h"
#include "output/reportoutput.h"
#include "pdfwords.h"
#include "reportfixture.h"
#include "testdatabase.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr qreal Tolerance = 0.5; // mm
// Millimetres from the paper's top: the body below the list's page header, the page footer.
constexpr qreal ListBodyTop = 10 + 22.2;
constexpr qreal FooterTop = 297 - 10 - 14.6;

const QDateTime PrintTime(QDate(2024, 5, 6), QTime(7, 8));
// A maker's address for the footer, as a deployment would set it (the build has none by default).
const QString FooterAddress = u"www.example.org"_s;

enum class Kind { List, Resolution };

} // namespace

// The two reports written as PDF and read back by poppler: where their texts stand, how a long
// text runs over pages, what an empty report holds, where the frames and rules are.
class TestReportPdf : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void listPlaces_data();
    void listPlaces();
    void resolutionPlaces_data();
    void resolutionPlaces();
    void rulesAndFrames_data();
    void rulesAndFrames();
    void longTextContinuesWithFooters_data();
    void longTextContinuesWithFooters();
    void emptyReportsPrintHeaderAndFooterOnly_data();
    void emptyReportsPrintHeaderAndFooterOnly();
    void failedOrStoppedPdfLeavesTheOldFile();

private:
    // Writes the report of the query's rows as PDF and reads it back.
    QString writePdf(Kind kind, const QString &sql, int iktato = 0);
    void checkPlaces(Kind kind);

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_connection;
    QTemporaryDir m_dir;
    int m_files = 0;
    QHash<QString, QString> m_written;
};

void TestReportPdf::initTestCase()
{
    REQUIRE_TEST_SERVER();
    SetUpApplication(*qApp);
    m_db = std::make_unique<TestDatabase>();
    m_connection = std::make_unique<Connection>(m_db->params());
    m_connection->open();
    FillReportFixture(*m_connection);
}

void TestReportPdf::cleanupTestCase()
{
    m_connection.reset();
    m_db.reset();
}

QString TestReportPdf::writePdf(Kind kind, const QString &sql, int iktato)
{
    // Each report is written once and read by every case that looks at it.
    const QString key = kind == Kind::List ? u"list "_s + sql : u"resolution "_s + QString::number(iktato);
    if (m_written.contains(key))
        return m_written.value(key);
    Query query(m_connection.get());
    const QString path =
        m_dir.filePath(u"%1%2.pdf"_s.arg(kind == Kind::List ? u"lista"_s : u"hatarozat"_s).arg(++m_files));
    m_written.insert(key, path);
    if (kind == Kind::List) {
        query.setSql(sql);
        query.open();
        QrLista report(query.result(), LoadReportOwner(*m_connection), u"2024"_s);
        report.setPrintedAt(PrintTime);
        report.setFooterAddress(FooterAddress);
        WriteReportPdf(report, path);
    } else {
        OpenResolutionQuery(query, iktato);
        QrHatarozat report(query.result(), LoadReportOwner(*m_connection));
        report.setPrintedAt(PrintTime);
        report.setFooterAddress(FooterAddress);
        WriteReportPdf(report, path);
    }
    if (const QByteArray keep = qgetenv("ORVANTH_KEEP_REPORTS"); !keep.isEmpty())
        QFile::copy(path, QString::fromLocal8Bit(keep) + u'/' + QFileInfo(path).fileName());
    return path;
}

void TestReportPdf::checkPlaces(Kind kind)
{
    QFETCH(QString, phrase);
    QFETCH(int, edge);
    QFETCH(qreal, x);
    QFETCH(qreal, y);
    const QString path =
        kind == Kind::List ? writePdf(kind, ListSql2024) : writePdf(kind, QString(), ShortRecordId);
    const PdfWords pdf(path);
    QVERIFY2(pdf.error().isEmpty(), qPrintable(pdf.error()));
    const std::optional<QPointF> place = NearestPlace(pdf, 0, phrase, Edge(edge), QPointF(x, y));
    QVERIFY2(place, qPrintable(u"not on the page: "_s + phrase + u"\npage text: "_s + pdf.text(0)));
    QVERIFY2(std::abs(place->x() - x) <= Tolerance && std::abs(place->y() - y) <= Tolerance,
             qPrintable(u"%1 stands at %2, %3 mm instead of %4, %5"_s.arg(phrase)
                            .arg(place->x(), 0, 'f', 2)
                            .arg(place->y(), 0, 'f', 2)
                            .arg(x)
                            .arg(y)));
}

// Places are the paper's: the 10 mm margin plus the band's top plus the place in the band.
void TestReportPdf::listPlaces_data()
{
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<int>("edge");
    QTest::addColumn<qreal>("x");
    QTest::addColumn<qreal>("y");
    const int left = int(Edge::Left), right = int(Edge::Right), centre = int(Edge::Centre);
    QTest::newRow("title") << u"Határozatok listája"_s << left << 10.0 << 11.3;
    QTest::newRow("year caption") << u"2024"_s << left << 10.0 << 20.6;
    QTest::newRow("owner name") << OwnerName << right << 200.0 << 11.3;
    QTest::newRow("owner town") << u"2099 Hársfalva"_s << right << 200.0 << 16.6;
    QTest::newRow("owner phone") << u"+36 26 555 0100"_s << right << 200.0 << 20.6;
    QTest::newRow("heading Dátum") << u"Dátum"_s << left << 10.5 << 27.2;
    QTest::newRow("heading Tárgy") << u"Tárgy"_s << left << 37.0 << 27.2;
    QTest::newRow("heading Felelős") << u"Felelős"_s << left << 90.4 << 27.2;
    QTest::newRow("heading Határidő") << u"Határidő"_s << left << 150.2 << 27.2;
    QTest::newRow("heading Státusz") << u"Státusz"_s << left << 174.0 << 27.2;
    // The first row: its long identifier, its columns under the headings, its text.
    QTest::newRow("row identifier") << u"Képviselő-testület 1/2024. (II. 1.)"_s << left << 10.0
                                    << ListBodyTop;
    QTest::newRow("row date") << u"2024.02.01"_s << left << 10.5 << ListBodyTop + 6.4;
    QTest::newRow("row subject") << u"Költségvetés elfogadása"_s << left << 37.0 << ListBodyTop + 6.4;
    QTest::newRow("row responsible") << u"polgármester"_s << left << 90.4 << ListBodyTop + 6.4;
    QTest::newRow("row deadline") << u"2024.03.31"_s << left << 150.2 << ListBodyTop + 6.4;
    QTest::newRow("row status") << u"Folyamatban"_s << left << 174.0 << ListBodyTop + 6.4;
    QTest::newRow("row text") << u"A testület a"_s << left << 15.3 << ListBodyTop + 11.9;
    QTest::newRow("footer program") << u"Orvant.H"_s << left << 10.0 << FooterTop + 1.1;
    QTest::newRow("footer time") << u"2024.05.06 07:08"_s << right << 200.0 << FooterTop + 1.1;
    QTest::newRow("footer page") << u"oldal: 1"_s << left << 10.0 << FooterTop + 10.6;
    QTest::newRow("footer address") << FooterAddress << centre << 105.0 << FooterTop + 10.6;
    QTest::newRow("footer report") << u"qrLista"_s << right << 200.0 << FooterTop + 10.6;
}

void TestReportPdf::listPlaces()
{
    checkPlaces(Kind::List);
}

void TestReportPdf::resolutionPlaces_data()
{
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<int>("edge");
    QTest::addColumn<qreal>("x");
    QTest::addColumn<qreal>("y");
    const int left = int(Edge::Left), right = int(Edge::Right);
    QTest::newRow("title") << u"Határozat"_s << left << 12.1 << 11.1;
    QTest::newRow("subject") << u"Költségvetés elfogadása"_s << left << 12.1 << 18.5;
    QTest::newRow("label Dátum") << u"Dátum"_s << left << 77.7 << 12.1;
    QTest::newRow("label Határidő") << u"Határidő"_s << left << 77.7 << 16.4;
    QTest::newRow("label Felelős") << u"Felelős"_s << left << 77.7 << 20.6;
    QTest::newRow("date") << u"2024.02.01"_s << left << 95.7 << 12.1;
    QTest::newRow("deadline") << u"2024.03.31"_s << left << 95.7 << 16.4;
    QTest::newRow("responsible") << u"polgármester"_s << left << 95.7 << 20.6;
    QTest::newRow("owner name") << OwnerName << left << 135.9 << 11.1;
    QTest::newRow("owner town") << u"2099 Hársfalva"_s << left << 135.9 << 16.4;
    QTest::newRow("owner phone") << u"+36 26 555 0100"_s << left << 135.9 << 20.6;
    QTest::newRow("identifier") << u"Képviselő-testület 1/2024. (II. 1.)"_s << left << 12.1 << 29.1;
    QTest::newRow("text") << u"A testület a"_s << left << 12.1 << 10 + 29.4 + 1.1;
    QTest::newRow("footer program") << u"Orvant.H"_s << left << 10.0 << FooterTop + 1.1;
    QTest::newRow("footer time") << u"2024.05.06 07:08"_s << right << 200.0 << FooterTop + 1.1;
    QTest::newRow("footer page") << u"oldal: 1"_s << left << 10.0 << FooterTop + 10.6;
    QTest::newRow("footer report") << u"qrHatarozat"_s << right << 200.0 << FooterTop + 10.6;
}

void TestReportPdf::resolutionPlaces()
{
    checkPlaces(Kind::Resolution);
}

// The lines that texts cannot show, seen on the page as poppler renders it at 10 dots a millimetre.
void TestReportPdf::rulesAndFrames_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<qreal>("x");
    QTest::addColumn<qreal>("y");
    QTest::addColumn<bool>("ink");
    const int list = int(Kind::List), one = int(Kind::Resolution);
    QTest::newRow("list: left frame top") << list << 50.0 << 10.0 << true;
    QTest::newRow("list: left frame bottom") << list << 50.0 << 26.2 << true;
    QTest::newRow("list: right frame top") << list << 160.0 << 10.0 << true;
    QTest::newRow("list: right frame bottom") << list << 160.0 << 26.2 << true;
    QTest::newRow("list: gap between frames") << list << 105.0 << 10.0 << false;
    QTest::newRow("list: left frame ends") << list << 88.0 << 26.2 << false;
    QTest::newRow("list: rule under header") << list << 105.0 << 32.2 << true;
    QTest::newRow("one: left box side") << one << 10.0 << 15.0 << true;
    QTest::newRow("one: left and middle box") << one << 75.75 << 15.0 << true;
    QTest::newRow("one: middle and right box") << one << 133.95 << 15.0 << true;
    QTest::newRow("one: right box side") << one << 199.7 << 15.0 << true;
    QTest::newRow("one: inside right box") << one << 190.0 << 24.0 << false;
    QTest::newRow("one: top of boxes") << one << 105.0 << 10.0 << true;
    QTest::newRow("one: bottom of strip") << one << 105.0 << 10 + 16.9 + 8.7 << true;
    QTest::newRow("one: line under text") << one << 105.0 << 10 + 29.4 + 7.4 << true;
}

void TestReportPdf::rulesAndFrames()
{
    QFETCH(int, kind);
    QFETCH(qreal, x);
    QFETCH(qreal, y);
    QFETCH(bool, ink);
    const QString pdf =
        writePdf(Kind(kind), Kind(kind) == Kind::List ? ListSql2024 : QString(), ShortRecordId);
    const QString prefix = pdf + u"-page"_s;
    QCOMPARE(QProcess::execute(u"pdftoppm"_s, {u"-r"_s, u"254"_s, u"-gray"_s, u"-f"_s, u"1"_s, u"-l"_s,
                                               u"1"_s, u"-singlefile"_s, pdf, prefix}),
             0);
    const QImage page(prefix + u".pgm"_s);
    QVERIFY(!page.isNull());
    // The darkest dot within 0.3 mm of the place.
    int darkest = 255;
    for (int dy = -3; dy <= 3; ++dy) {
        for (int dx = -3; dx <= 3; ++dx)
            darkest = std::min(darkest, qGray(page.pixel(qRound(x * 10) + dx, qRound(y * 10) + dy)));
    }
    if (ink)
        QVERIFY2(darkest < 128,
                 qPrintable(u"no line at %1, %2 mm (darkest %3)"_s.arg(x).arg(y).arg(darkest)));
    else
        QVERIFY2(darkest > 200, qPrintable(u"ink at %1, %2 mm (darkest %3)"_s.arg(x).arg(y).arg(darkest)));
}

void TestReportPdf::longTextContinuesWithFooters_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("reportName");
    QTest::addColumn<qreal>("continuedTop");
    QTest::newRow("resolution") << int(Kind::Resolution) << u"qrHatarozat"_s << 10 + 1.1;
    QTest::newRow("list") << int(Kind::List) << u"qrLista"_s << ListBodyTop + 1.1;
}

void TestReportPdf::longTextContinuesWithFooters()
{
    QFETCH(int, kind);
    QFETCH(QString, reportName);
    QFETCH(qreal, continuedTop);
    const PdfWords pdf(
        writePdf(Kind(kind), Kind(kind) == Kind::List ? ListSql2024 : QString(), LongRecordId));
    QVERIFY2(pdf.error().isEmpty(), qPrintable(pdf.error()));
    QVERIFY2(pdf.pageCount() >= 3, qPrintable(QString::number(pdf.pageCount())));

    const qreal bodyTop = Kind(kind) == Kind::List ? ListBodyTop : 10.0;
    QStringList body;
    for (int page = 0; page < pdf.pageCount(); ++page) {
        // Every page has its footer, with its own number.
        const auto number =
            NearestPlace(pdf, page, u"oldal: %1"_s.arg(page + 1), Edge::Left, QPointF(10, FooterTop + 10.6));
        QVERIFY2(number && std::abs(number->y() - (FooterTop + 10.6)) <= Tolerance,
                 qPrintable(pdf.text(page)));
        const auto name = NearestPlace(pdf, page, reportName, Edge::Right, QPointF(200, FooterTop + 10.6));
        QVERIFY2(name && std::abs(name->x() - 200) <= Tolerance, qPrintable(pdf.text(page)));
        for (const PdfWord &w : pdf.wordsOnPage(page)) {
            if (w.box.top() >= FooterTop || w.box.top() < bodyTop - Tolerance)
                continue;
            // Nothing of the body runs into the footer.
            QVERIFY2(w.box.bottom() <= FooterTop + 0.1, qPrintable(w.text));
            body.append(w.text);
        }
    }
    // The text follows on the next pages word for word, from the top of their body.
    const QStringList expected = LongText().split(QRegularExpression(u"\\s+"_s), Qt::SkipEmptyParts);
    const qsizetype start = body.indexOf(expected.first());
    QVERIFY(start >= 0);
    QCOMPARE(body.mid(start, expected.size()), expected);
    // Pages between the first and the last hold nothing but the continued text.
    for (int page = 1; page < pdf.pageCount() - 1; ++page) {
        qreal top = FooterTop;
        for (const PdfWord &w : pdf.wordsOnPage(page)) {
            if (w.box.top() >= bodyTop - Tolerance)
                top = std::min(top, w.box.top());
        }
        QVERIFY2(std::abs(top - continuedTop) <= Tolerance, qPrintable(QString::number(top)));
    }
}

void TestReportPdf::emptyReportsPrintHeaderAndFooterOnly_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("expected");
    QTest::newRow("list without rows")
        << int(Kind::List)
        << u"Határozatok listája 2024 %1 2099 Hársfalva +36 26 555 0100 Dátum Tárgy Felelős Határidő Státusz "
           "Orvant.H 2024.05.06 07:08 oldal: 1 www.example.org qrLista"_s.arg(OwnerName);
    QTest::newRow("resolution 0") << int(Kind::Resolution)
                                  << u"Határozat Dátum Határidő Felelős %1 2099 Hársfalva +36 26 555 0100 "
                                     "Orvant.H 2024.05.06 07:08 oldal: 1 www.example.org qrHatarozat"_s.arg(
                                         OwnerName);
}

void TestReportPdf::emptyReportsPrintHeaderAndFooterOnly()
{
    QFETCH(int, kind);
    QFETCH(QString, expected);
    const PdfWords pdf(writePdf(Kind(kind), u"SELECT * FROM vw_iktato\nWHERE (1=0)\nORDER BY 1;"_s, 0));
    QVERIFY2(pdf.error().isEmpty(), qPrintable(pdf.error()));
    QCOMPARE(pdf.pageCount(), 1);
    QStringList words = pdf.text().split(u' ');
    QStringList wanted = expected.split(u' ');
    words.sort();
    wanted.sort();
    QCOMPARE(words, wanted);
}

void TestReportPdf::failedOrStoppedPdfLeavesTheOldFile()
{
    Query query(m_connection.get());
    query.setSql(ListSql2024);
    query.open();
    QrLista report(query.result(), LoadReportOwner(*m_connection), u"2024"_s);
    const QString missing = m_dir.filePath(u"nincs/ilyen/lista.pdf"_s);
    QVERIFY_THROWS_EXCEPTION(ReportError, WriteReportPdf(report, missing));
    QVERIFY(!QFile::exists(missing));

    QTemporaryDir folder;
    const QString path = folder.filePath(u"lista.pdf"_s);
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    // Stopped after the second of its five pages.
    QList<int> pages;
    const bool done = WriteReportPdf(report, path, [&pages](int page, int bandsDone, int bandCount) {
        pages.append(page);
        return bandsDone < bandCount && page < 2;
    });
    QVERIFY(!done);
    QCOMPARE(pages, (QList<int>{1, 2}));
    QFile old(path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"lista.pdf"_s});

    // Run to its end, the bands done reach the report's bands on the last page.
    int lastDone = 0, lastCount = -1;
    QVERIFY(WriteReportPdf(report, path, [&](int, int bandsDone, int bandCount) {
        lastDone = bandsDone;
        lastCount = bandCount;
        return true;
    }));
    QCOMPARE(lastDone, lastCount);
    QCOMPARE(lastCount, 4);
    QCOMPARE(PdfWords(path).pageCount(), 5);
}

QTEST_MAIN(TestReportPdf)
#include "tst_reportpdf.moc"
