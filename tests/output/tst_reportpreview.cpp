#include "app/setup.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/dbroutines.h"
#include "db/query.h"
#include "gui/messagebox.h"
#include "output/qrhatarozat.h"
#include "output/qrlista.h"
#include "output/reportpreview.h"
#include "register/registerlistreader.h"
#include "register/registerstatement.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QString AllYears = u"SELECT * FROM vw_iktato\nWHERE (iktato > 0)\nORDER BY sorrend;"_s;

// The number in "/ 12", also while it is a lower bound ("/ 12…").
int PageCountShown(const ReportPreview &preview)
{
    QString text = preview.pageCountLabel()->text().mid(2);
    if (text.endsWith(u"…"_s))
        text.chop(1);
    return text.toInt();
}

// Rows `from` to `to` (exclusive) of a result, as a part of it read on its own.
ResultSet RowsOf(const ResultSet &all, int from, int to)
{
    ResultSet part;
    part.setFields(all.fields());
    std::vector<const char *> cells(all.columnCount());
    std::vector<unsigned long> lengths(all.columnCount());
    for (int row = from; row < to; ++row) {
        for (int column = 0; column < all.columnCount(); ++column) {
            const QByteArrayView raw = all.raw(row, column);
            cells[column] = all.isNull(row, column) ? nullptr : raw.data();
            lengths[column] = static_cast<unsigned long>(raw.size());
        }
        part.appendRow(cells.data(), lengths.data());
    }
    return part;
}
} // namespace

// The preview on the demo register (400 records, about a hundred pages of list): the first page
// at once, further pages only when looked at, navigation, zoom and the print button.
class TestReportPreview : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void firstPageAtOnceOthersWhenSeen();
    void navigation();
    void zoom();
    void printWithoutPrinterSaysSo();
    void resolutionPreviewCountsItsPages();
    void previewFollowsArrivingRows();
    void readerGetsEveryRow_data();
    void readerGetsEveryRow();
    void failedReadingClosesPreview();

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_connection;
    std::unique_ptr<Query> m_query;
    std::unique_ptr<QrLista> m_list;
};

void TestReportPreview::initTestCase()
{
    REQUIRE_TEST_SERVER();
    SetUpApplication(*qApp);
    m_db = std::make_unique<TestDatabase>();
    m_db->load(SourcePath(u"sql/demo.sql"_s));
    m_connection = std::make_unique<Connection>(m_db->params());
    m_connection->open();
    m_query = std::make_unique<Query>(m_connection.get());
    m_query->setSql(AllYears);
    m_query->open();
    QCOMPARE(m_query->rowCount(), 400);
    m_list = std::make_unique<QrLista>(m_query->result(), LoadReportOwner(*m_connection), u"Összes"_s);
}

void TestReportPreview::cleanupTestCase()
{
    m_list.reset();
    m_query.reset();
    m_connection.reset();
    m_db.reset();
}

void TestReportPreview::firstPageAtOnceOthersWhenSeen()
{
    ReportPreview preview(*m_list, QString());
    // Nothing beyond the first page is laid out before the window shows.
    QCOMPARE(preview.pageCountLabel()->text(), u"/ 1…"_s);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QTRY_VERIFY(preview.pageView()->paintedPages() >= 1);
    SaveShot(&preview, u"report-preview-lista"_s);

    // The rest is counted while the window is idle, without painting a page.
    QTRY_VERIFY_WITH_TIMEOUT(!preview.pageCountLabel()->text().endsWith(u"…"_s), 30000);
    const int pages = PageCountShown(preview);
    QVERIFY2(pages > 50, qPrintable(preview.pageCountLabel()->text()));
    QCOMPARE(pages, ReportLayout(*m_list).pageCount());
    QVERIFY2(preview.pageView()->paintedPages() <= 2,
             qPrintable(QString::number(preview.pageView()->paintedPages())));
    QCOMPARE(preview.pageBox()->maximum(), pages);
}

void TestReportPreview::navigation()
{
    ReportPreview preview(*m_list, QString());
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    ReportPageView *view = preview.pageView();

    // A page far ahead is painted without the pages before it.
    const int paintedBefore = view->paintedPages();
    preview.pageBox()->setValue(40);
    QCOMPARE(view->currentPage(), 39);
    QApplication::processEvents();
    QVERIFY2(view->paintedPages() - paintedBefore <= 3, qPrintable(QString::number(view->paintedPages())));

    QTest::mouseClick(preview.nextButton(), Qt::LeftButton);
    QCOMPARE(view->currentPage(), 40);
    QCOMPARE(preview.pageBox()->value(), 41);
    QTest::mouseClick(preview.previousButton(), Qt::LeftButton);
    QCOMPARE(view->currentPage(), 39);
    QTest::keyClick(view, Qt::Key_PageDown);
    QCOMPARE(preview.pageBox()->value(), 41);

    QTest::mouseClick(preview.lastButton(), Qt::LeftButton);
    const int pages = ReportLayout(*m_list).pageCount();
    QCOMPARE(preview.pageBox()->value(), pages);
    QCOMPARE(preview.pageCountLabel()->text(), u"/ %1"_s.arg(pages));
    QTest::mouseClick(preview.nextButton(), Qt::LeftButton); // nothing after the last page
    QCOMPARE(preview.pageBox()->value(), pages);

    QTest::mouseClick(preview.firstButton(), Qt::LeftButton);
    QCOMPARE(view->currentPage(), 0);
    QCOMPARE(preview.pageBox()->value(), 1);
}

void TestReportPreview::zoom()
{
    ReportPreview preview(*m_list, QString());
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    ReportPageView *view = preview.pageView();
    auto choose = [&](const QString &text) {
        const int index = preview.zoomBox()->findText(text);
        QVERIFY(index >= 0);
        preview.zoomBox()->setCurrentIndex(index);
        emit preview.zoomBox()->activated(index);
    };

    choose(u"100%"_s);
    const qreal realWidth = 210 / 25.4 * view->logicalDpiX();
    QVERIFY2(std::abs(view->pageImage(0).width() - realWidth) <= 2,
             qPrintable(QString::number(view->pageImage(0).width())));
    choose(u"200%"_s);
    QVERIFY(std::abs(view->pageImage(0).width() - 2 * realWidth) <= 3);
    QVERIFY(std::abs(view->zoom() - 2.0) < 0.02);

    choose(u"Egész oldal"_s);
    QVERIFY(view->pageImage(0).height() <= view->viewport()->height());
    choose(u"Oldalszélesség"_s);
    QVERIFY(view->pageImage(0).width() <= view->viewport()->width());
    QVERIFY(view->pageImage(0).width() >= view->viewport()->width() - 40);
}

void TestReportPreview::printWithoutPrinterSaysSo()
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        QSKIP("This machine has printers: printing would reach one");
    ReportPreview preview(*m_list, QString());
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    MessageBoxRecorder boxes;
    QTest::mouseClick(preview.printButton(), Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{u"Nincs telepített nyomtató."_s});
    QVERIFY(preview.isVisible());
}

void TestReportPreview::resolutionPreviewCountsItsPages()
{
    const int id =
        QueryInt(*m_connection, u"SELECT iktato FROM iktato ORDER BY LENGTH(hatarozat) DESC LIMIT 1;"_s, 0);
    Query query(m_connection.get());
    OpenResolutionQuery(query, id);
    QrHatarozat report(query.result(), LoadReportOwner(*m_connection));
    ReportPreview preview(report, QString());
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QTRY_VERIFY(!preview.pageCountLabel()->text().endsWith(u"…"_s));
    QCOMPARE(PageCountShown(preview), ReportLayout(report).pageCount());
    QVERIFY(preview.windowTitle().contains(u"Határozat"_s));
    SaveShot(&preview, u"report-preview-hatarozat"_s);
}

// The list is shown while its rows still arrive: a page is painted only once its rows are all
// in, the pages come out as those of the whole list, and End waits for the last page.
void TestReportPreview::previewFollowsArrivingRows()
{
    const ResultSet &all = m_query->result();
    Query arriving(m_connection.get());
    arriving.assign(RowsOf(all, 0, 10), 0);
    QrLista report(arriving.result(), LoadReportOwner(*m_connection), u"Összes"_s);
    report.setPrintedAt(m_list->printedAt());
    report.setHasAllBands(false);

    ReportPreview preview(report, QString());
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    ReportPageView *view = preview.pageView();
    QTRY_VERIFY(view->paintedPages() >= 1);
    // Ten rows fill more than a page of the list; the page they end on waits for more.
    ReportLayout partial(report);
    while (partial.layoutNextPage()) {
    }
    QVERIFY(!partial.isComplete());
    const int known = partial.knownPageCount();
    QVERIFY(known >= 2);
    QTRY_COMPARE(preview.pageCountLabel()->text(), u"/ %1…"_s.arg(known));
    QVERIFY(view->pageImage(known - 1).isNull());

    ReportPreview whole(*m_list, QString());
    view->setZoom(1.0);
    whole.pageView()->setZoom(1.0);
    QCOMPARE(view->pageImage(0), whole.pageView()->pageImage(0));

    view->goToLastPage(); // not known yet: it is gone to when it is
    arriving.append(RowsOf(all, 10, all.rowCount()));
    report.setHasAllBands(true);
    view->bandsAdded();
    const int pages = ReportLayout(*m_list).pageCount();
    QTRY_COMPARE_WITH_TIMEOUT(preview.pageCountLabel()->text(), u"/ %1"_s.arg(pages), 30000);
    QTRY_COMPARE(preview.pageBox()->value(), pages);
    for (const int page : {known - 1, pages / 2, pages - 1})
        QCOMPARE(view->pageImage(page), whole.pageView()->pageImage(page));
}

void TestReportPreview::readerGetsEveryRow_data()
{
    QTest::addColumn<bool>("firstPartAlone");
    QTest::newRow("in one reading") << false;
    // The first part read with a LIMIT, then the whole list passing over its leading rows.
    QTest::newRow("first part on its own") << true;
}

// The reader hands over every row of the query, byte for byte, in the query's order.
void TestReportPreview::readerGetsEveryRow()
{
    QFETCH(bool, firstPartAlone);
    RegisterFilter everyYearByNumber;
    everyYearByNumber.orderField = u"sorrend"_s;
    const RegisterStatement statement(everyYearByNumber);
    QCOMPARE(statement.sql(), AllYears);
    RegisterListReader reader(*m_connection, statement, firstPartAlone);
    reader.waitForFirstRows();
    QVERIFY(reader.query().rowCount() >= std::min(400, RegisterListReader::FirstPageRows));
    reader.waitForAll();
    QVERIFY(reader.isComplete());
    QVERIFY(!reader.hasFailed());
    const ResultSet &got = reader.query().result();
    const ResultSet &expected = m_query->result();
    QCOMPARE(got.rowCount(), expected.rowCount());
    QCOMPARE(got.columnCount(), expected.columnCount());
    for (int row = 0; row < got.rowCount(); ++row) {
        for (int column = 0; column < got.columnCount(); ++column) {
            QCOMPARE(got.isNull(row, column), expected.isNull(row, column));
            QVERIFY(got.raw(row, column) == expected.raw(row, column));
        }
    }
}

// A reading that fails keeps its error for the caller and closes a preview that follows it.
void TestReportPreview::failedReadingClosesPreview()
{
    RegisterListReader reader(*m_connection, u"SELECT * FROM nincs_ilyen_tabla;"_s);
    reader.waitForFirstRows();
    QVERIFY(reader.hasFailed());
    QVERIFY(reader.isComplete());
    try {
        reader.throwIfFailed();
        QFAIL("no error");
    } catch (const DbError &error) {
        QCOMPARE(error.number(), 1146u); // no such table
    }

    Query rows(m_connection.get());
    QrLista report(rows.result(), ReportOwner(), u"Összes"_s);
    ReportPreview preview(report, QString());
    preview.followRows(reader);
    preview.show();
    QTRY_VERIFY(!preview.isVisible());
    QCOMPARE(preview.result(), int(QDialog::Rejected));
}

QTEST_MAIN(TestReportPreview)
#include "tst_reportpreview.moc"
