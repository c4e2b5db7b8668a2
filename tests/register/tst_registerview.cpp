#include "common/cp1250.h"
#include "db/connection.h"
#include "gui/messagebox.h"
#include "register/flowtabbar.h"
#include "register/registerfetcher.h"
#include "register/registermodel.h"
#include "register/registerquery.h"
#include "register/registerview.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QThread>
#include <QVBoxLayout>
#include <atomic>
#include <memory>

using namespace Qt::StringLiterals;

// The rows are read on another thread: wait until the newest reading is in.
#define SETTLE(view) QTRY_VERIFY_WITH_TIMEOUT(!(view).isBusy(), 20000)

namespace {

// Two committees, records over 2016-2017, statuses 1 and 2 and none.
const QString Fixture = QString::fromUtf16(
    u"INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Pénzügyi Bizottság'), (2, 'Ügyrendi Bizottság');"
    u"INSERT INTO iktato (iktato, ev, csoport, az, datum, targy, hatarozat, van_hatid, dat_hatid, felelos, "
    u"statusz, origfilenev2) VALUES"
    u" (1, 2017, 1, 1, '2017-03-02', 'Költségvetés', 'A testület elfogadja a költségvetést.', 'I', "
    u"'2017-04-30', 'polgármester', 1, NULL),"
    u" (2, 2017, 1, 2, '2017-03-20', 'Telekeladás', 'Az ingatlan 100% -os ára', 'I', '2017-05-31', 'jegyző', "
    u"2, 'szerzodes.pdf'),"
    u" (3, 2017, 2, 1, '2017-06-01', 'Ügyrend', 'O''Brien javaslata', 'N', NULL, NULL, NULL, NULL),"
    u" (4, 2016, 1, 1, '2016-11-15', 'Pályázat', 'Szöveg', 'N', NULL, NULL, NULL, NULL);");

QStringList listedIds(RegisterView &view)
{
    QStringList ids;
    const Query &q = view.registerQuery().query();
    for (int r = 0; r < q.rowCount(); ++r)
        ids.append(q.result().text(r, q.fieldIndex(u"iktato"_s)));
    ids.sort();
    return ids;
}

// Sixty more records (ids 10 to 69, year 2015, committee 1), each with a subject and a text of
// its own: "Összes" then lists 64 rows in the order 1, 2, 3, 4, 10, ..., 69.
void addSixtyRecords(TestDatabase &db)
{
    QByteArray rows;
    for (int id = 10; id < 70; ++id) {
        rows += QByteArray(rows.isEmpty() ? "" : ",") + "(" + QByteArray::number(id) + ", 2015, 1, " +
                QByteArray::number(id) + ", '2015-01-02', 'T" + QByteArray::number(id) + "', 'Sz\xF6veg " +
                QByteArray::number(id) + "')";
    }
    REQUIRE_SQL(db.client("INSERT INTO iktato (iktato, ev, csoport, az, datum, targy, hatarozat) VALUES " +
                          rows + ";"));
}

// Holds the register's reading on its own thread each time it has handed over one of the numbers
// of rows, until the test lets it go (also when the test ends early). With a search text only the
// search for it is held.
class HeldReading
{
public:
    HeldReading(RegisterFetcher &fetcher, QList<int> rows, QString search = {}) : m_fetcher(fetcher)
    {
        fetcher.setAfterPart([this, rows, search](const RegisterRequest &request, int sent) {
            if (rows.contains(sent) && (search.isEmpty() || request.locateText == search)) {
                m_held.release();
                m_go.acquire();
            }
        });
    }
    ~HeldReading()
    {
        m_go.release(8);
        m_fetcher.setAfterPart({});
    }
    // Waits without letting the window handle anything meanwhile: what was handed over before
    // the hold is still waiting in the window's queue.
    bool waitHeld() { return m_held.tryAcquire(1, 10000); }
    void release() { m_go.release(); }

private:
    RegisterFetcher &m_fetcher;
    QSemaphore m_held;
    QSemaphore m_go;
};

void typeSearch(RegisterView &view, const QString &text)
{
    view.searchEdit()->setText(text);
    SETTLE(view);
    QCOMPARE(view.registerQuery().query().isOpen(), true);
}

} // namespace

class TestRegisterView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void init();
    void cleanup();

    void startsOnNewestYearAndFirstCommittee();
    void emptyRegisterListsNothing();
    void tabPictureIndices_data();
    void tabPictureIndices();
    void search_data();
    void search();
    void letterInGridStartsSearch();
    void searchBoxKeysReturnToGrid();
    void tabChangeEmptiesSearch();
    void cancelledPeriodStillEmptiesSearch();
    void periodFilter();
    void titleClickKeepsRecord();
    void refreshShowsRecordOfAnotherWorkstation();
    void columnWidths();
    void rowColoursByStatus();
    void recordChangeReportsAttachments();
    void clicksOffTheRowsKeepTheCurrentRecord_data();
    void clicksOffTheRowsKeepTheCurrentRecord();
    void rowIndicatorMarksTheCurrentRow();
    void lateAnswerOfAnOlderReadingIsDropped_data();
    void lateAnswerOfAnOlderReadingIsDropped();
    void panelTextIsReadByKeyWithItsNeighbours();
    void failedReadingClosesTheListAndSaysWhy();
    void rowsArriveInPartsAndTheCurrentRowHolds();
    void lastRowKeyWaitsForEveryRow();
    void landingInALatePart_data();
    void landingInALatePart();
    void latePartsOfAStaleReadingAreDropped();
    void firstScreenfulAloneOnlyWhereItPays_data();
    void firstScreenfulAloneOnlyWhereItPays();

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_con;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<QAbstractItemModelTester> m_tester; // checks the grid model through every test
    QPointer<RegisterView> m_view;
};

void TestRegisterView::init()
{
    m_db = std::make_unique<TestDatabase>();
    REQUIRE_SQL(m_db->client(ToCp1250(Fixture)));
    m_con = std::make_unique<Connection>(m_db->params());
    m_con->open();
    // The main window puts the search box above the register; here a plain window does.
    m_window = std::make_unique<QWidget>();
    m_view = new RegisterView(m_con.get());
    auto layout = new QVBoxLayout(m_window.get());
    layout->addWidget(m_view->searchEdit());
    layout->addWidget(m_view);
    m_tester = std::make_unique<QAbstractItemModelTester>(
        m_view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_window->resize(1000, 500);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_view->start();
    SETTLE(*m_view);
}

void TestRegisterView::cleanup()
{
    m_tester.reset();
    m_window.reset();
    m_con.reset();
    m_db.reset();
}

void TestRegisterView::startsOnNewestYearAndFirstCommittee()
{
    QCOMPARE(m_view->yearTabs()->count(), 3);
    QCOMPARE(m_view->yearTabs()->tabText(0), u"2017"_s);
    QCOMPARE(m_view->yearTabs()->tabText(2), u"Összes"_s);
    QCOMPARE(m_view->committeeTabs()->tabText(0), u"Pénzügyi Bizottság"_s);
    QCOMPARE(m_view->committeeTabs()->tabText(2), u"Összes"_s);
    const QStringList sql = m_view->registerQuery().query().sql();
    QCOMPARE(sql, (QStringList{u"SELECT * FROM vw_iktato"_s, u"WHERE (ev = 2017) AND (csoport = 1)"_s,
                               u"ORDER BY 1;"_s}));
    QCOMPARE(listedIds(*m_view), (QStringList{u"1"_s, u"2"_s}));
}

void TestRegisterView::emptyRegisterListsNothing()
{
    TestDatabase empty;
    Connection con(empty.params());
    con.open();
    RegisterView view(&con);
    QSignalSpy records(&view, &RegisterView::recordChanged);
    view.start();
    SETTLE(view);
    QCOMPARE(view.yearTabs()->count(), 1);
    QCOMPARE(view.committeeTabs()->count(), 1);
    QCOMPARE(view.registerQuery().query().sql().at(1), u"WHERE (iktato > 0)"_s);
    QCOMPARE(view.registerQuery().query().rowCount(), 0);
    QVERIFY(!records.isEmpty());
    QCOMPARE(records.last().at(0).toString(), u"0: 0"_s);
    QCOMPARE(records.last().at(1).toString(), QString());
}

void TestRegisterView::tabPictureIndices_data()
{
    QTest::addColumn<int>("tabs");
    QTest::addColumn<int>("pictures");
    QTest::addColumn<QList<int>>("indices");
    QTest::newRow("only all") << 1 << 26 << QList<int>{0};
    QTest::newRow("three years") << 4 << 26 << QList<int>{0, 23, 24, 25};
    QTest::newRow("two committees") << 3 << 16 << QList<int>{0, 14, 15};
    QTest::newRow("24 years") << 25 << 26 << [] {
        QList<int> l{0};
        for (int i = 2; i <= 25; ++i)
            l.append(i);
        return l;
    }();
    QTest::newRow("27 years") << 28 << 26 << [] {
        QList<int> l;
        for (int i = 0; i < 26; ++i)
            l.append(i);
        return l << -1 << -1;
    }();
}

void TestRegisterView::tabPictureIndices()
{
    QFETCH(int, tabs);
    QFETCH(int, pictures);
    QFETCH(QList<int>, indices);
    QCOMPARE(TabPictureIndices(tabs, pictures), indices);
}

void TestRegisterView::search_data()
{
    QTest::addColumn<int>("yearTab");
    QTest::addColumn<int>("committeeTab");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("date prefix") << 2 << 2 << u"2017.03"_s << QStringList{u"1"_s, u"2"_s};
    QTest::newRow("committee name") << 2 << 2 << u"ügyrendi"_s << QStringList{u"3"_s};
    QTest::newRow("accent-insensitive") << 2 << 2 << u"KÖLTSEGVETES"_s << QStringList{u"1"_s};
    QTest::newRow("number") << 2 << 2 << u"2/2017"_s << QStringList{u"2"_s};
    QTest::newRow("status") << 2 << 2 << u"lezárt"_s << QStringList{u"2"_s};
    QTest::newRow("quote") << 2 << 2 << u"O'Brien"_s << QStringList{u"3"_s};
    QTest::newRow("percent is a wildcard") << 2 << 2 << u"100%os"_s << QStringList{u"2"_s};
    QTest::newRow("injection") << 2 << 2 << u"' OR 1=1 --"_s << QStringList{};
    QTest::newRow("within committee") << 0 << 0 << u"2017"_s << QStringList{u"1"_s, u"2"_s};
}

void TestRegisterView::search()
{
    QFETCH(int, yearTab);
    QFETCH(int, committeeTab);
    QFETCH(QString, text);
    QFETCH(QStringList, ids);
    m_view->yearTabs()->setCurrentIndex(yearTab);
    m_view->committeeTabs()->setCurrentIndex(committeeTab);
    typeSearch(*m_view, text);
    QCOMPARE(listedIds(*m_view), ids);
}

void TestRegisterView::letterInGridStartsSearch()
{
    m_view->yearTabs()->setCurrentIndex(2);
    m_view->committeeTabs()->setCurrentIndex(2);
    m_view->grid()->setFocus();
    QTest::keyClick(m_view->grid(), Qt::Key_T, Qt::ShiftModifier, 'T');
    QCOMPARE(m_view->searchEdit()->text(), u"t"_s);
    QVERIFY(m_view->searchEdit()->hasFocus());
    QCOMPARE(m_view->searchEdit()->cursorPosition(), 1);
    QTRY_VERIFY(m_view->registerQuery().query().sql().at(1).contains(u"LIKE '%t%'"_s));
    SETTLE(*m_view);
    QCOMPARE(listedIds(*m_view), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
    // Blanks and punctuation do nothing.
    m_view->grid()->setFocus();
    QTest::keyClick(m_view->grid(), Qt::Key_Space, Qt::NoModifier, ' ');
    QCOMPARE(m_view->searchEdit()->text(), u"t"_s);
    QVERIFY(m_view->grid()->hasFocus());
    // Ctrl, Alt and Meta make a shortcut, not typing: the same rule as the list windows.
    for (const Qt::KeyboardModifier modifier : {Qt::ControlModifier, Qt::AltModifier, Qt::MetaModifier}) {
        QTest::keyClick(m_view->grid(), Qt::Key_K, modifier, 'k');
        QCOMPARE(m_view->searchEdit()->text(), u"t"_s);
        QVERIFY(m_view->grid()->hasFocus());
    }
}

void TestRegisterView::searchBoxKeysReturnToGrid()
{
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_PageUp}) {
        m_view->searchEdit()->setFocus();
        QTest::keyClick(m_view->searchEdit(), key);
        QVERIFY(m_view->grid()->hasFocus());
    }
}

void TestRegisterView::tabChangeEmptiesSearch()
{
    typeSearch(*m_view, u"Telek"_s);
    QCOMPARE(listedIds(*m_view), QStringList{u"2"_s});
    int opens = 0;
    const Query &query = m_view->registerQuery().query();
    QObject counting;
    connect(&query, &Query::reset, &counting, [&] { opens += query.isOpen() ? 1 : 0; });
    m_view->yearTabs()->setCurrentIndex(2);
    SETTLE(*m_view);
    QCoreApplication::processEvents();
    QCOMPARE(opens, 1); // one query for the new tab, none for the emptied box
    QCOMPARE(m_view->searchEdit()->text(), QString());
    QCOMPARE(m_view->registerQuery().query().sql().at(1), u"WHERE (iktato > 0) AND (csoport = 1)"_s);
    QCOMPARE(listedIds(*m_view), (QStringList{u"1"_s, u"2"_s, u"4"_s}));
    typeSearch(*m_view, u"Telek"_s);
    m_view->committeeTabs()->setCurrentIndex(1);
    SETTLE(*m_view);
    QCOMPARE(m_view->searchEdit()->text(), QString());
    QCOMPARE(listedIds(*m_view), QStringList{u"3"_s});
}

void TestRegisterView::cancelledPeriodStillEmptiesSearch()
{
    m_view->setPeriodPicker([](QDate &from, QDate &to) {
        from = QDate(2017, 3, 1);
        to = QDate(2017, 3, 10);
        return true;
    });
    m_view->filterByPeriod(QDate(2017, 1, 1));
    SETTLE(*m_view);
    QCOMPARE(listedIds(*m_view), QStringList{u"1"_s});
    typeSearch(*m_view, u"x"_s);
    m_view->setPeriodPicker([](QDate &, QDate &) { return false; });
    m_view->filterByPeriod(QDate(2017, 1, 1));
    SETTLE(*m_view);
    QCOMPARE(m_view->searchEdit()->text(), QString());
    QVERIFY(m_view->periodFilterActive());
    QCOMPARE(m_view->filterLabel()->text(), u"Szűrés:\n2017.03.01 - 2017.03.10"_s);
    QCOMPARE(listedIds(*m_view), QStringList{u"1"_s});
}

void TestRegisterView::periodFilter()
{
    m_view->yearTabs()->setCurrentIndex(2);
    SETTLE(*m_view);
    QDate offered;
    m_view->setPeriodPicker([&offered](QDate &from, QDate &to) {
        offered = from;
        from = QDate(2016, 1, 1);
        to = QDate(2017, 3, 2); // inclusive
        return true;
    });
    m_view->filterByPeriod(QDate(2020, 5, 6));
    SETTLE(*m_view);
    QCOMPARE(offered, QDate(2020, 5, 6));
    QCOMPARE(m_view->registerQuery().query().sql().at(1),
             u"WHERE (iktato > 0) AND (datum BETWEEN '2016-01-01' AND '2017-03-02') AND (csoport = 1)"_s);
    QCOMPARE(listedIds(*m_view), (QStringList{u"1"_s, u"4"_s}));
    // The period stays when the year tab changes.
    m_view->yearTabs()->setCurrentIndex(0);
    SETTLE(*m_view);
    QCOMPARE(listedIds(*m_view), QStringList{u"1"_s});
    m_view->clearPeriodFilter();
    SETTLE(*m_view);
    QCOMPARE(m_view->filterLabel()->text(), QString());
    QCOMPARE(listedIds(*m_view), (QStringList{u"1"_s, u"2"_s}));
}

void TestRegisterView::titleClickKeepsRecord()
{
    m_view->yearTabs()->setCurrentIndex(2);
    m_view->committeeTabs()->setCurrentIndex(2);
    SETTLE(*m_view);
    QVERIFY(m_view->registerQuery().locateId(3));
    QSignalSpy sort(m_view, &RegisterView::sortMessage);
    QTest::mouseClick(m_view->grid()->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(m_view->grid()->horizontalHeader()->sectionViewportPosition(0) + 5, 5));
    SETTLE(*m_view);
    QCOMPARE(sort.count(), 1);
    QCOMPARE(sort.first().first().toString(), u"Sorrend: Határozatszám"_s);
    QCOMPARE(m_view->registerQuery().query().sql().last(), u"ORDER BY sorrend;"_s);
    QCOMPARE(m_view->currentId(), 3);
    QCOMPARE(m_view->grid()->currentIndex().row(), m_view->registerQuery().query().recNo());
    QVERIFY(m_view->searchEdit()->hasFocus());
    m_view->sortByColumn(RegisterModel::ColSubject);
    SETTLE(*m_view);
    QCOMPARE(m_view->registerQuery().query().sql().last(), u"ORDER BY targy;"_s);
    QCOMPARE(m_view->currentId(), 3);
    // The sort column also leads the locate after a search.
    typeSearch(*m_view, u"tel"_s);
    QCOMPARE(m_view->currentId(), 2);
}

void TestRegisterView::refreshShowsRecordOfAnotherWorkstation()
{
    QVERIFY(m_view->registerQuery().locateId(2));
    REQUIRE_SQL(
        m_db->client("INSERT INTO iktato (iktato, ev, csoport, az, datum, targy) VALUES (9, 2017, 1, 3, "
                     "'2017-12-01', '\xDAj');"));
    m_view->refresh();
    SETTLE(*m_view);
    QCOMPARE(listedIds(*m_view), (QStringList{u"1"_s, u"2"_s, u"9"_s}));
    QCOMPARE(m_view->currentId(), 2);
}

void TestRegisterView::columnWidths()
{
    QTableView *grid = m_view->grid();
    // One committee selected and the panel shown: committee and short text hidden.
    QVERIFY(grid->isColumnHidden(RegisterModel::ColCommittee));
    QVERIFY(grid->isColumnHidden(RegisterModel::ColShortText));
    const int available = grid->width() - 44;
    QCOMPARE(grid->columnWidth(RegisterModel::ColNumber), int(available * 0.10 * (100.0 / 56)));
    m_view->committeeTabs()->setCurrentIndex(2);
    QVERIFY(!grid->isColumnHidden(RegisterModel::ColCommittee));
    QCOMPARE(grid->columnWidth(RegisterModel::ColCommittee), int(available * 0.11 * (100.0 / 67)));
    m_view->setPanelShown(false);
    QVERIFY(!grid->isColumnHidden(RegisterModel::ColShortText));
    const int wide = grid->width() - 44;
    QCOMPARE(grid->columnWidth(RegisterModel::ColShortText), int(wide * 0.33 * (100.0 / 100)));
    m_view->setPanelShown(true);
    QVERIFY(grid->isColumnHidden(RegisterModel::ColShortText));
}

void TestRegisterView::rowColoursByStatus()
{
    m_view->yearTabs()->setCurrentIndex(2);
    m_view->committeeTabs()->setCurrentIndex(2);
    m_view->sortByColumn(RegisterModel::ColNumber); // order by number: rows 4, 1, 2, 3 by id
    SETTLE(*m_view);
    QTableView *grid = m_view->grid();
    QVERIFY(m_view->registerQuery().locateId(4)); // a plain row is current
    QApplication::processEvents();
    const QImage image = grid->viewport()->grab().toImage();
    const auto colourAt = [&](qint64 id, int column) {
        const Query &q = m_view->registerQuery().query();
        int row = -1;
        for (int r = 0; r < q.rowCount(); ++r) {
            if (q.result().text(r, q.fieldIndex(u"iktato"_s)) == QString::number(id))
                row = r;
        }
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        return image.pixelColor(cell.center() + QPoint(cell.width() / 2 - 3, 0));
    };
    QCOMPARE(colourAt(1, RegisterModel::ColDate), RegisterModel::OpenColour);
    QCOMPARE(colourAt(2, RegisterModel::ColDate), RegisterModel::FinishedColour);
    QCOMPARE(colourAt(3, RegisterModel::ColDate), grid->palette().color(QPalette::Base));
    // The sort column keeps its mark in coloured rows too.
    QCOMPARE(colourAt(1, RegisterModel::ColNumber), QColor(255, 255, 185));
    // The current row shows the selection, not its status colour.
    QCOMPARE(colourAt(4, RegisterModel::ColDate),
             grid->palette().color(QPalette::Active, QPalette::Highlight));
}

void TestRegisterView::recordChangeReportsAttachments()
{
    QSignalSpy records(m_view, &RegisterView::recordChanged);
    QVERIFY(m_view->registerQuery().locateId(2));
    QCOMPARE(records.last().at(0).toString(), u"2: 2"_s);
    QCOMPARE(records.last().at(1).toString(), QString());
    QCOMPARE(records.last().at(2).toString(), u"szerzodes.pdf"_s);
    QVERIFY(m_view->panelHeader()->text().startsWith(u"Pénzügyi Bizottság 2/2017. (III. 20.)"_s));
    QCOMPARE(m_view->resolutionMemo()->toPlainText(), u"Az ingatlan 100% -os ára"_s);
}

void TestRegisterView::clicksOffTheRowsKeepTheCurrentRecord_data()
{
    QTest::addColumn<bool>("belowRows");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("click below the rows") << true << Qt::KeyboardModifiers();
    QTest::newRow("Ctrl+click below the rows") << true << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("Shift+click below the rows") << true << Qt::KeyboardModifiers(Qt::ShiftModifier);
    QTest::newRow("Ctrl+click on the current row") << false << Qt::KeyboardModifiers(Qt::ControlModifier);
}

void TestRegisterView::clicksOffTheRowsKeepTheCurrentRecord()
{
    QFETCH(bool, belowRows);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QTableView *grid = m_view->grid();
    QVERIFY(m_view->registerQuery().locateId(2));
    const int row = grid->currentIndex().row();
    QVERIFY(grid->selectionModel()->isRowSelected(row, {}));
    const QRect lastRow = grid->visualRect(grid->model()->index(grid->model()->rowCount() - 1, 0));
    const QPoint target = belowRows ? QPoint(lastRow.center().x(), lastRow.bottom() + 2 * lastRow.height())
                                    : grid->visualRect(grid->currentIndex()).center();
    QVERIFY(grid->viewport()->rect().contains(target));
    QCOMPARE(grid->indexAt(target).isValid(), !belowRows);

    QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, target);
    QCOMPARE(grid->currentIndex().row(), row);
    QVERIFY(grid->selectionModel()->isRowSelected(row, {}));
    QCOMPARE(grid->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(m_view->currentId(), 2);
    // The keyboard goes on from the record, not from the top of the list.
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Up);
    QCOMPARE(grid->currentIndex().row(), row - 1);
    QVERIFY(grid->selectionModel()->isRowSelected(row - 1, {}));
}

void TestRegisterView::rowIndicatorMarksTheCurrentRow()
{
    QTableView *grid = m_view->grid();
    QHeaderView *indicator = grid->verticalHeader();
    QVERIFY(indicator->isVisible());
    const QColor mark = indicator->palette().color(QPalette::ButtonText);
    const auto marked = [&](const QImage &image, int row) {
        const QRect section(0, indicator->sectionViewportPosition(row), image.width(),
                            indicator->sectionSize(row));
        for (int y = section.top(); y <= section.bottom(); ++y) {
            for (int x = section.left(); x <= section.right(); ++x) {
                if (image.pixelColor(x, y) == mark)
                    return true;
            }
        }
        return false;
    };
    QCOMPARE(grid->model()->rowCount(), 2);
    for (qint64 id : {1, 2, 1}) {
        QVERIFY(m_view->registerQuery().locateId(id));
        QApplication::processEvents();
        const QImage image = indicator->viewport()->grab().toImage();
        const int current = grid->currentIndex().row();
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            QVERIFY2(marked(image, row) == (row == current),
                     qPrintable(u"row %1, current %2"_s.arg(row).arg(current)));
    }
}

void TestRegisterView::lateAnswerOfAnOlderReadingIsDropped_data()
{
    QTest::addColumn<bool>("answerOnItsWay"); // the older answer is already on its way to the window
    QTest::addColumn<bool>("refresh");        // the newer reading is F5 landing on a record
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("search while the server works") << false << false << QStringList{u"2"_s};
    QTest::newRow("search while the answer comes") << true << false << QStringList{u"2"_s};
    QTest::newRow("refresh while the server works") << false << true << QStringList{u"1"_s, u"2"_s, u"3"_s};
    QTest::newRow("refresh while the answer comes") << true << true << QStringList{u"1"_s, u"2"_s, u"3"_s};
}

void TestRegisterView::lateAnswerOfAnOlderReadingIsDropped()
{
    QFETCH(bool, answerOnItsWay);
    QFETCH(bool, refresh);
    QFETCH(QStringList, ids);
    m_view->yearTabs()->setCurrentIndex(2);
    m_view->committeeTabs()->setCurrentIndex(2);
    SETTLE(*m_view);
    const QStringList before = listedIds(*m_view);
    QCOMPARE(before.size(), 4);

    // The reading of the older search waits until the test lets it go.
    RegisterFetcher &fetcher = m_view->registerQuery().fetcher();
    QSemaphore entered;
    QSemaphore go;
    fetcher.setBeforeReading([&](const RegisterRequest &request) {
        if (request.locateText == u"2017"_s) {
            entered.release();
            go.acquire();
        }
    });
    struct Unhook
    {
        RegisterFetcher &fetcher;
        QSemaphore &go;
        ~Unhook()
        {
            go.release(1);
            fetcher.setBeforeReading({});
        }
    } unhook{fetcher, go};
    QList<QStringList> shown;
    QObject listening;
    connect(&m_view->registerQuery().query(), &Query::reset, &listening, [&] {
        if (m_view->registerQuery().query().isOpen())
            shown.append(listedIds(*m_view));
    });

    m_view->searchEdit()->setText(u"2017"_s);
    QTRY_VERIFY(entered.available() > 0);
    // Meanwhile the window goes on with the rows it had.
    QVERIFY(m_view->isBusy());
    QCOMPARE(listedIds(*m_view), before);
    QCOMPARE(m_view->grid()->viewport()->cursor().shape(), Qt::BusyCursor);
    SaveShot(m_window.get(), u"register-while-reading"_s);

    const int completed = fetcher.completedReadings();
    const int posted = m_view->registerQuery().postedAnswers();
    if (answerOnItsWay) {
        go.release();
        // Its answer is posted to the window, which has not handled it yet: no event is
        // processed while waiting for it.
        QElapsedTimer waited;
        waited.start();
        while (m_view->registerQuery().postedAnswers() == posted && waited.elapsed() < 10000)
            QThread::msleep(5);
        QCOMPARE(fetcher.completedReadings(), completed + 1);
        QCOMPARE(m_view->registerQuery().postedAnswers(), posted + 1);
    } else {
        QCOMPARE(m_view->registerQuery().postedAnswers(), posted); // still held on the server's side
    }
    if (refresh)
        m_view->refreshAndLocate(2);
    else
        m_view->registerQuery().search(u"Telek"_s);
    go.release();
    SETTLE(*m_view);
    QCoreApplication::processEvents();

    QCOMPARE(shown, QList<QStringList>{ids});
    QCOMPARE(listedIds(*m_view), ids);
    QCOMPARE(m_view->currentId(), 2);
    QCOMPARE(m_view->resolutionMemo()->toPlainText(), u"Az ingatlan 100% -os ára"_s);
    QCOMPARE(m_view->grid()->viewport()->cursor().shape(), Qt::ArrowCursor);
}

void TestRegisterView::panelTextIsReadByKeyWithItsNeighbours()
{
    addSixtyRecords(*m_db);
    m_view->yearTabs()->setCurrentIndex(2);
    m_view->committeeTabs()->setCurrentIndex(2);
    SETTLE(*m_view);
    const Query &query = m_view->registerQuery().query();
    QCOMPARE(query.rowCount(), 64);
    // The grid's rows do not carry the long text.
    QCOMPARE(query.fieldIndex(u"hatarozat"_s), -1);

    int reads = 0;
    m_con->setBeforeSendHook([&reads](QByteArrayView sql) {
        if (sql.toByteArray().contains("WHERE iktato IN"))
            ++reads;
    });
    const QHash<qint64, QString> firstTexts{{1, u"A testület elfogadja a költségvetést."_s},
                                            {2, u"Az ingatlan 100% -os ára"_s},
                                            {3, u"O'Brien javaslata"_s},
                                            {4, u"Szöveg"_s}};
    QTableView *grid = m_view->grid();
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 0));
    for (int row = 0; row < query.rowCount(); ++row) {
        if (row > 0)
            QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(query.recNo(), row);
        const qint64 id = m_view->currentId();
        QCOMPARE(m_view->resolutionMemo()->toPlainText(), firstTexts.value(id, u"Szöveg %1"_s.arg(id)));
        if (id >= 10) {
            QVERIFY2(m_view->panelHeader()->text().endsWith(u"T%1"_s.arg(id)),
                     qPrintable(m_view->panelHeader()->text()));
        }
    }
    // Read with its neighbours: going through 64 records asked the server a few times, not 64.
    QVERIFY2(reads >= 1 && reads <= 4, qPrintable(QString::number(reads)));
    // Another workstation's change shows after F5, which reads the texts again; those of the
    // current record come with the rows, so the window itself does not wait for the server.
    REQUIRE_SQL(m_db->client("UPDATE iktato SET hatarozat = '\xDAj sz\xF6veg' WHERE iktato = 69;"));
    reads = 0;
    m_view->refresh();
    SETTLE(*m_view);
    m_con->setBeforeSendHook({});
    QCOMPARE(m_view->currentId(), 69);
    QCOMPARE(m_view->resolutionMemo()->toPlainText(), u"Új szöveg"_s);
    QCOMPARE(reads, 0);
    SaveShot(m_window.get(), u"register-text-read-by-key"_s);
}

void TestRegisterView::failedReadingClosesTheListAndSaysWhy()
{
    MessageBoxRecorder boxes;
    REQUIRE_SQL(m_db->client("DROP VIEW vw_iktato;"));
    m_view->refresh();
    SETTLE(*m_view);
    QTRY_COMPARE(boxes.count(), 1);
    QVERIFY2(boxes.texts().first().contains(u"vw_iktato"_s), qPrintable(boxes.texts().first()));
    QVERIFY(!m_view->registerQuery().query().isOpen());
    QCOMPARE(m_view->model()->rowCount(), 0);
    QCOMPARE(m_view->panelHeader()->text(), u"Határozat"_s);
}

void TestRegisterView::rowsArriveInPartsAndTheCurrentRowHolds()
{
    addSixtyRecords(*m_db);
    m_view->committeeTabs()->setCurrentIndex(2);
    SETTLE(*m_view);
    RegisterFetcher &fetcher = m_view->registerQuery().fetcher();
    fetcher.setPartRows(8, 20);
    HeldReading hold(fetcher, {8});
    QSignalSpy records(m_view, &RegisterView::recordChanged);
    int resets = 0;
    QObject counting;
    connect(&m_view->registerQuery().query(), &Query::reset, &counting, [&resets] { ++resets; });

    m_view->yearTabs()->setCurrentIndex(2);
    QVERIFY(hold.waitHeld());
    // The first part is shown while the rest is held back.
    QTRY_COMPARE(m_view->model()->rowCount(), 8);
    QVERIFY(m_view->isBusy());
    QCOMPARE(m_view->currentId(), 1);
    // The position would count only the rows so far: it waits for the rest.
    QCOMPARE(records.count(), 0);
    QTableView *grid = m_view->grid();
    grid->setFocus();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(m_view->currentId(), 4);
    const int scrolled = grid->verticalScrollBar()->value();
    SaveShot(m_window.get(), u"register-first-part-shown"_s);

    hold.release();
    SETTLE(*m_view);
    QCOMPARE(m_view->model()->rowCount(), 64);
    QCOMPARE(resets, 1); // the later parts were added, not put in place of the list
    QCOMPARE(m_view->currentId(), 4);
    QCOMPARE(grid->currentIndex().row(), 3);
    QCOMPARE(grid->selectionModel()->selectedRows().size(), 1);
    QVERIFY(grid->selectionModel()->isRowSelected(3, {}));
    QCOMPARE(grid->verticalScrollBar()->value(), scrolled);
    QVERIFY(!records.isEmpty());
    QCOMPARE(records.last().at(0).toString(), u"64: 4"_s);
    QCOMPARE(m_view->resolutionMemo()->toPlainText(), u"Szöveg"_s);
}

void TestRegisterView::lastRowKeyWaitsForEveryRow()
{
    addSixtyRecords(*m_db);
    m_view->committeeTabs()->setCurrentIndex(2);
    SETTLE(*m_view);
    RegisterFetcher &fetcher = m_view->registerQuery().fetcher();
    fetcher.setPartRows(8, 20);
    HeldReading hold(fetcher, {8});
    m_view->yearTabs()->setCurrentIndex(2);
    QVERIFY(hold.waitHeld());
    QTRY_COMPARE(m_view->model()->rowCount(), 8);
    m_view->grid()->setFocus();
    QTest::keyClick(m_view->grid(), Qt::Key_End, Qt::ControlModifier);
    hold.release();
    SETTLE(*m_view);
    QCoreApplication::processEvents();
    QCOMPARE(m_view->grid()->currentIndex().row(), 63);
    QCOMPARE(m_view->currentId(), 69);
    QCOMPARE(m_view->resolutionMemo()->toPlainText(), u"Szöveg 69"_s);
}

void TestRegisterView::landingInALatePart_data()
{
    QTest::addColumn<qint64>("current"); // the record current before the reading
    QTest::addColumn<qint64>("locate");  // the record the reading is to land on
    QTest::addColumn<int>("userMoves");  // rows the user goes down while the rest is held back
    QTest::addColumn<qint64>("landsOn");
    QTest::newRow("the record in a late part") << qint64(1) << qint64(50) << 0 << qint64(50);
    QTest::newRow("the record gone: the current one, in a late part")
        << qint64(60) << qint64(999) << 0 << qint64(60);
    QTest::newRow("the record gone, no current: the first row") << qint64(0) << qint64(999) << 0 << qint64(1);
    QTest::newRow("the user moved before it came") << qint64(1) << qint64(50) << 2 << qint64(3);
}

void TestRegisterView::landingInALatePart()
{
    QFETCH(qint64, current);
    QFETCH(qint64, locate);
    QFETCH(int, userMoves);
    QFETCH(qint64, landsOn);
    addSixtyRecords(*m_db);
    m_view->yearTabs()->setCurrentIndex(2);
    m_view->committeeTabs()->setCurrentIndex(2);
    SETTLE(*m_view);
    if (current > 0)
        QVERIFY(m_view->registerQuery().locateId(current));
    RegisterFetcher &fetcher = m_view->registerQuery().fetcher();
    fetcher.setPartRows(4, 10);
    HeldReading hold(fetcher, {4});
    if (current == 0)
        m_view->reopen();
    else
        m_view->refreshAndLocate(locate);
    QVERIFY(hold.waitHeld());
    QTRY_COMPARE(m_view->model()->rowCount(), 4);
    m_view->grid()->setFocus();
    for (int i = 0; i < userMoves; ++i)
        QTest::keyClick(m_view->grid(), Qt::Key_Down);
    hold.release();
    SETTLE(*m_view);
    QCOMPARE(m_view->model()->rowCount(), 64);
    QCOMPARE(m_view->currentId(), landsOn);
    QCOMPARE(m_view->grid()->currentIndex().row(), m_view->registerQuery().query().recNo());
    if (landsOn >= 10)
        QCOMPARE(m_view->resolutionMemo()->toPlainText(), u"Szöveg %1"_s.arg(landsOn));
}

void TestRegisterView::latePartsOfAStaleReadingAreDropped()
{
    addSixtyRecords(*m_db);
    m_view->yearTabs()->setCurrentIndex(2);
    m_view->committeeTabs()->setCurrentIndex(2);
    SETTLE(*m_view);
    RegisterFetcher &fetcher = m_view->registerQuery().fetcher();
    fetcher.setPartRows(4, 10);
    // What the list went through: the rows after each change of the whole list or each addition.
    QStringList steps;
    QObject listening;
    Query &query = m_view->registerQuery().query();
    connect(&query, &Query::reset, &listening, [&] { steps.append(u"new %1"_s.arg(query.rowCount())); });
    connect(&query, &Query::appended, &listening, [&] { steps.append(u"more %1"_s.arg(query.rowCount())); });

    // The older search's first part is shown; its second is on its way to the window when the
    // newer search starts.
    HeldReading hold(fetcher, {4, 14}, u"Szöveg"_s);
    m_view->registerQuery().search(u"Szöveg"_s);
    QVERIFY(hold.waitHeld());
    QTRY_COMPARE(m_view->model()->rowCount(), 4);
    hold.release();
    QVERIFY(hold.waitHeld());
    m_view->registerQuery().search(u"T1"_s);
    hold.release();
    SETTLE(*m_view);
    QCoreApplication::processEvents();
    QStringList ids;
    for (int id = 10; id < 20; ++id)
        ids.append(QString::number(id));
    QCOMPARE(listedIds(*m_view), ids);
    QCOMPARE(steps, (QStringList{u"new 4"_s, u"new 4"_s, u"more 10"_s}));
}

void TestRegisterView::firstScreenfulAloneOnlyWhereItPays_data()
{
    QTest::addColumn<bool>("yearIndex");
    QTest::addColumn<QString>("sortField"); // empty: the register's own order, by the key
    QTest::addColumn<bool>("alone");
    QTest::addColumn<QString>("search");
    QTest::addColumn<int>("rows");
    QTest::newRow("by the key, year index") << true << QString() << true << QString() << 3;
    // An older database: the server would walk the key from its start to find the year's rows.
    QTest::newRow("by the key, no year index") << false << QString() << false << QString() << 3;
    QTest::newRow("by the number, no year index") << false << u"sorrend"_s << true << QString() << 3;
    // The search text is a value in the statement, never a word of it.
    QTest::newRow("by the number, a search for the word limit")
        << true << u"sorrend"_s << true << u"LIMIT"_s << 0;
    // Ties of a user's column could come in another order in the two readings.
    QTest::newRow("by the subject") << true << u"targy"_s << false << QString() << 3;
}

void TestRegisterView::firstScreenfulAloneOnlyWhereItPays()
{
    QFETCH(bool, yearIndex);
    QFETCH(QString, sortField);
    QFETCH(bool, alone);
    QFETCH(QString, search);
    QFETCH(int, rows);
    if (!yearIndex)
        REQUIRE_SQL(m_db->client("ALTER TABLE iktato DROP KEY ix_iktato_ev;"));
    Connection con(m_db->params());
    con.open();
    RegisterQuery reg(&con);
    std::atomic<int> readAlone{-1}; // whether the last reading sent had its first rows read alone
    reg.fetcher().setBeforeReading(
        [&readAlone](const RegisterRequest &request) { readAlone = request.firstRowsAlone.has_value(); });
    QSignalSpy applied(&reg, &RegisterQuery::applied);
    reg.start(reg.loadYearTabs().first(), RegisterQuery::AllTab, true);
    if (!sortField.isEmpty())
        reg.sortBy(sortField);
    if (!search.isEmpty())
        reg.search(search);
    QCOMPARE(reg.firstScreenfulIsQuick(), alone);
    QTRY_VERIFY_WITH_TIMEOUT(!reg.isBusy(), 20000);
    QCOMPARE(readAlone.load(), int(alone));
    QCOMPARE(reg.query().rowCount(), rows); // 2017's records, read either way
}

QTEST_MAIN(TestRegisterView)
#include "tst_registerview.moc"
