#include "app/setup.h"
#include "common/cp1250.h"
#include "common/sqltext.h"
#include "db/backupscript.h"
#include "db/connection.h"
#include "gui/messagebox.h"
#include "modaldialogs.h"
#include "sqlconsole/frm_sql.h"
#include "sqlconsole/sqleditor.h"
#include "sqlconsole/sqlfiles.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace Qt::StringLiterals;

// The SQL console driven as an administrator drives it, on a real server.
namespace {

// The longest time the event loop went without a turn, from its making until stop(): a timer
// ticks every 5 ms and each tick measures the gap since the last.
class StallMeter
{
public:
    StallMeter()
    {
        m_ticker.setInterval(5);
        QObject::connect(&m_ticker, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_clock.elapsed() - m_last);
            m_last = m_clock.elapsed();
            ++m_ticks;
        });
        m_clock.start();
        m_ticker.start();
    }
    // A tick after the end, so that work that held the thread to its end is measured too.
    void stop()
    {
        const int ticks = m_ticks;
        if (!QTest::qWaitFor([&] { return m_ticks > ticks; }, 5000))
            qWarning("the stall meter's timer did not tick again");
        m_ticker.stop();
    }
    qint64 longest() const { return m_longest; }
    qint64 elapsed() const { return m_clock.elapsed(); }

private:
    QElapsedTimer m_clock;
    QTimer m_ticker;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    int m_ticks = 0;
};

} // namespace

class TestSqlConsole : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void editorHasFocusAndResultActionsWaitForADataset();
    void keysReachTheirActions_data();
    void keysReachTheirActions();
    void queries_data();
    void queries();
    void rejectedQueryShowsTheServersText();
    void scriptRunReportsDoneAndLeavesTheGridEmpty_data();
    void scriptRunReportsDoneAndLeavesTheGridEmpty();
    void failingStatementStopsTheScript();
    void backupScriptFromAFileRestoresEveryTable();
    void stopButtonEndsTheScript();
    void tableIsEditableInPlace();
    void clipboardTextByteForByte();
    void exportOpensOnTheShownRows_data();
    void exportOpensOnTheShownRows();
    void copyAndExportAfterAScriptSayWhy();
    void sqlFileRoundTripInCp1250();
    void boundsAreRemembered();
    void popupMenusAreTheConsolesOwn();
    void screenshots();

    void sessionStateStaysInTheConsole();
    void openTransactionIsAskedAboutOnClose_data();
    void openTransactionIsAskedAboutOnClose();
    void scriptSendsStatementsByteForByte_data();
    void scriptSendsStatementsByteForByte();
    void upperCaseDelimiterProcedure();
    void scriptErrorNamesTheStatementsLine();
    void stopEndsARunningQueryOnTheServer();
    void eventLoopTurnsDuringALongQuery();
    void tableIsReadAgainOffTheWindowsThread();
    void tableModeAddsARow_data();
    void tableModeAddsARow();
    void tableNameWithItsDatabase();
    void closingAsksWhileTheTextIsNotSaved_data();
    void closingAsksWhileTheTextIsNotSaved();

private:
    Tfrm_SQL &window();
    // The window, its grid's model checked by QAbstractItemModelTester from here to cleanup().
    // Not for the tests of large tables: the tester walks every row on each reset.
    Tfrm_SQL &checkedWindow();
    void type(const QString &text);
    static void runAndWait(Tfrm_SQL &w, Tfrm_SQL::ActionId id);

    std::unique_ptr<ScopedDataFolder> m_folder;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_con;
    std::unique_ptr<Tfrm_SQL> m_window;
    std::unique_ptr<QAbstractItemModelTester> m_modelTester;
};

void TestSqlConsole::initTestCase()
{
    REQUIRE_TEST_SERVER();
    SetUpApplication(*qApp);
}

void TestSqlConsole::init()
{
    m_folder = std::make_unique<ScopedDataFolder>();
    QDir().mkpath(m_folder->dataFolder());
    m_db = std::make_unique<TestDatabase>();
    m_db->load(SourcePath(u"sql/demo.sql"_s));
    m_con = std::make_unique<Connection>(m_db->params());
    m_con->open();
}

void TestSqlConsole::cleanup()
{
    VerifyNoDialogLeftOpen();
    m_modelTester.reset();
    m_window.reset();
    m_con.reset();
    m_db.reset();
    m_folder.reset();
}

Tfrm_SQL &TestSqlConsole::checkedWindow()
{
    Tfrm_SQL &w = window();
    if (!m_modelTester)
        m_modelTester = std::make_unique<QAbstractItemModelTester>(
            w.grid()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    return w;
}

Tfrm_SQL &TestSqlConsole::window()
{
    if (!m_window) {
        m_window = std::make_unique<Tfrm_SQL>(m_con->params());
        m_window->resize(900, 600);
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            qWarning("the console was not exposed");
    }
    return *m_window;
}

void TestSqlConsole::type(const QString &text)
{
    window().editor()->setText(text);
}

// Runs F5 or F9 and waits until the run has ended (it runs off the window's thread).
void TestSqlConsole::runAndWait(Tfrm_SQL &w, Tfrm_SQL::ActionId id)
{
    w.action(id)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!w.isRunning(), 20000);
}

void TestSqlConsole::editorHasFocusAndResultActionsWaitForADataset()
{
    Tfrm_SQL &w = window();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.editor()));
    QCOMPARE(w.pages()->currentIndex(), 0);
    QVERIFY(!w.action(Tfrm_SQL::Copy)->isEnabled());
    QVERIFY(!w.action(Tfrm_SQL::Export)->isEnabled());
    type(u"select 1"_s);
    runAndWait(w, Tfrm_SQL::Run);
    QVERIFY(w.action(Tfrm_SQL::Copy)->isEnabled());
    QVERIFY(w.action(Tfrm_SQL::Export)->isEnabled());
    // A query the server refuses closes the result, but the actions stay.
    MessageBoxRecorder boxes;
    type(u"select * from nincs_ilyen"_s);
    runAndWait(w, Tfrm_SQL::Run);
    QCOMPARE(boxes.count(), 1);
    QVERIFY(w.action(Tfrm_SQL::Copy)->isEnabled());
    QVERIFY(w.action(Tfrm_SQL::Export)->isEnabled());
}

void TestSqlConsole::keysReachTheirActions_data()
{
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<QString>("action");
    QTest::newRow("F5") << QKeyCombination(Qt::Key_F5) << u"aFuttat"_s;
    QTest::newRow("Ctrl+Enter") << QKeyCombination(Qt::CTRL | Qt::Key_Return) << u"aFuttat"_s;
    QTest::newRow("F9") << QKeyCombination(Qt::Key_F9) << u"aEredmeny"_s;
    QTest::newRow("F3") << QKeyCombination(Qt::Key_F3) << u"aMasol"_s;
    QTest::newRow("Ctrl+E") << QKeyCombination(Qt::CTRL | Qt::Key_E) << u"aExport"_s;
    QTest::newRow("Ctrl+N") << QKeyCombination(Qt::CTRL | Qt::Key_N) << u"aUj"_s;
    QTest::newRow("Ctrl+O") << QKeyCombination(Qt::CTRL | Qt::Key_O) << u"aMegnyit"_s;
    QTest::newRow("Ctrl+S") << QKeyCombination(Qt::CTRL | Qt::Key_S) << u"aMent"_s;
    QTest::newRow("Ctrl+Tab") << QKeyCombination(Qt::CTRL | Qt::Key_Tab) << u"aTab"_s;
}

// Typed in the editor, where the user is: the editor must not keep the keys for itself.
void TestSqlConsole::keysReachTheirActions()
{
    QFETCH(QKeyCombination, key);
    QFETCH(QString, action);
    Tfrm_SQL &w = window();
    REQUIRE_CHILD(a, QAction, &w, action);
    QVERIFY(a);
    a->setEnabled(true);
    // The action's work is not wanted here, only whether the key reaches it.
    a->disconnect();
    QSignalSpy triggered(a, &QAction::triggered);
    w.editor()->setFocus();
    QTest::keyClick(w.editor(), key.key(), key.keyboardModifiers());
    QCOMPARE(triggered.count(), 1);
}

void TestSqlConsole::queries_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("asQuery"); // F9 instead of F5
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("firstCell");
    QTest::addColumn<bool>("allColumns100"); // else only narrowed to at most 100

    QTest::newRow("lower-case select")
        << u"select * from csoport order by csoport"_s << false << 7 << u"1"_s << true;
    QTest::newRow("show") << u"SHOW TABLES"_s << false << 10 << u"beallit"_s << true;
    QTest::newRow("F9 opens only the first of two")
        << u"SELECT COUNT(*) AS db FROM iktato;\r\nSELECT * FROM csoport;"_s << true << 1 << u"400"_s
        << false;
}

void TestSqlConsole::queries()
{
    QFETCH(QString, text);
    QFETCH(bool, asQuery);
    QFETCH(int, rows);
    QFETCH(QString, firstCell);
    QFETCH(bool, allColumns100);
    Tfrm_SQL &w = checkedWindow();
    type(text);
    MessageBoxRecorder boxes;
    runAndWait(w, asQuery ? Tfrm_SQL::RunQuery : Tfrm_SQL::Run);
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(w.pages()->currentIndex(), 1);
    QAbstractItemModel *model = w.grid()->model();
    QCOMPARE(model->rowCount(), rows);
    QCOMPARE(model->index(0, 0).data().toString(), firstCell);
    for (int c = 0; c < model->columnCount(); ++c) {
        const int width = w.grid()->columnWidth(c);
        QVERIFY2(allColumns100 ? width == 100 : width <= 100, qPrintable(QString::number(width)));
    }
    QCOMPARE(w.positionLabel()->text(), u"%1: 1"_s.arg(rows));
    if (rows > 2) {
        w.grid()->setCurrentIndex(model->index(2, 0));
        QCOMPARE(w.positionLabel()->text(), u"%1: 3"_s.arg(rows));
        QCOMPARE(w.query().recNo(), 2);
    }
    // The text typed is left as it was.
    QCOMPARE(w.editor()->text(), text);
}

void TestSqlConsole::rejectedQueryShowsTheServersText()
{
    Tfrm_SQL &w = window();
    type(u"SELECT * FROM nincs_ilyen"_s);
    MessageBoxRecorder boxes;
    runAndWait(w, Tfrm_SQL::Run);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().at(0).kind, MessageBoxRecorder::Kind::Error);
    QVERIFY2(boxes.texts().at(0).startsWith(u"SQL hiba:\r\nTable '"_s), qPrintable(boxes.texts().at(0)));
    QCOMPARE(w.pages()->currentIndex(), 0);
}

void TestSqlConsole::scriptRunReportsDoneAndLeavesTheGridEmpty_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("statements");
    QTest::addColumn<QString>("firstName"); // csoport 1 afterwards
    QTest::newRow("comment line first") << u"-- rename\r\nUPDATE csoport SET csoport_nev = 'Testület'\r\n"
                                           "WHERE csoport = 1;\r\nSELECT 1;"_s
                                        << 2 << u"Testület"_s;
    QTest::newRow("empty editor") << QString() << 0 << u"Képviselő-testület"_s;
}

void TestSqlConsole::scriptRunReportsDoneAndLeavesTheGridEmpty()
{
    QFETCH(QString, text);
    QFETCH(int, statements);
    QFETCH(QString, firstName);
    Tfrm_SQL &w = checkedWindow();
    type(u"select * from csoport"_s);
    runAndWait(w, Tfrm_SQL::Run);
    QCOMPARE(w.grid()->model()->rowCount(), 7);

    type(text);
    MessageBoxRecorder boxes;
    runAndWait(w, Tfrm_SQL::Run);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().at(0).kind, MessageBoxRecorder::Kind::Info);
    const QStringList message = boxes.texts().at(0).split(u"\r\n"_s);
    QCOMPARE(message.at(0), u"SQL futtatás kész."_s);
    QVERIFY2(message.at(1).startsWith(u"%1 utasítás lefutott"_s.arg(statements)), qPrintable(message.at(1)));
    QVERIFY(!w.query().isOpen());
    QCOMPARE(w.grid()->model()->rowCount(), 0);
    QVERIFY(!w.progressBar()->isVisible());
    const ResultSet name = m_con->query(u"SELECT csoport_nev FROM csoport WHERE csoport = 1"_s);
    QCOMPARE(name.text(0, 0), firstName);
}

void TestSqlConsole::failingStatementStopsTheScript()
{
    Tfrm_SQL &w = checkedWindow();
    type(u"INSERT INTO targy VALUES ('előtte');\r\nINSERT INTO nincs_ilyen VALUES (1);\r\n"
         "INSERT INTO targy VALUES ('utána');"_s);
    MessageBoxRecorder boxes;
    runAndWait(w, Tfrm_SQL::Run);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().at(0).kind, MessageBoxRecorder::Kind::Error);
    QVERIFY2(boxes.texts().at(0).startsWith(u"Hiba: Table '"_s), qPrintable(boxes.texts().at(0)));
    QVERIFY(!w.progressBar()->isVisible());
    QCOMPARE(m_con->query(u"SELECT COUNT(*) FROM targy WHERE targy = 'előtte'"_s).text(0, 0), u"1"_s);
    QCOMPARE(m_con->query(u"SELECT COUNT(*) FROM targy WHERE targy = 'utána'"_s).text(0, 0), u"0"_s);
}

// The backup script the program writes, opened from its file and run with F5 on an empty copy
// of the schema: every table comes back as it was.
void TestSqlConsole::backupScriptFromAFileRestoresEveryTable()
{
    QDir().mkpath(SqlFolder());
    const QString path = SqlFolder() + u"/mentes.sql"_s;
    WriteBackupScript(*m_con, path);

    TestDatabase target;
    Connection to(target.params());
    to.open();
    Tfrm_SQL w(to.params());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    {
        const ModalAnswer open = AnswerModal(u"SQL megnyitás"_s, [&](QDialog *dialog) {
            auto fileDialog = qobject_cast<QFileDialog *>(dialog);
            QVERIFY(fileDialog);
            QCOMPARE(QDir(fileDialog->directory()).absolutePath(), QDir(SqlFolder()).absolutePath());
            REQUIRE_CHILD(fileNameEdit, QLineEdit, fileDialog, u"fileNameEdit"_s);
            fileNameEdit->setText(u"mentes.sql"_s);
            dialog->accept();
        });
        w.action(Tfrm_SQL::Open)->trigger();
    }
    QCOMPARE(w.fileName(), path);
    MessageBoxRecorder boxes;
    runAndWait(w, Tfrm_SQL::Run);
    QCOMPARE(boxes.count(), 1);
    QVERIFY2(boxes.texts().at(0).startsWith(u"SQL futtatás kész."_s), qPrintable(boxes.texts().at(0)));
    const QStringList tables = m_con->tableNames();
    for (const QString &table : tables) {
        QCOMPARE(to.query(u"CHECKSUM TABLE "_s + table).text(0, 1),
                 m_con->query(u"CHECKSUM TABLE "_s + table).text(0, 1));
    }
}

void TestSqlConsole::stopButtonEndsTheScript()
{
    Tfrm_SQL &w = window();
    QStringList lines;
    for (int i = 0; i < 10; ++i)
        lines.append(u"DO SLEEP(0.15);"_s);
    lines.append(u"INSERT INTO targy VALUES ('a vége');"_s);
    type(lines.join(u"\r\n"_s));
    bool sawProgress = false;
    QTimer::singleShot(400, &w, [&] {
        sawProgress = w.progressBar()->isVisible() && w.progressBar()->value() > 0 && w.isRunning();
        w.stopButton()->click();
    });
    MessageBoxRecorder boxes;
    runAndWait(w, Tfrm_SQL::Run);
    QVERIFY(sawProgress);
    QCOMPARE(boxes.count(), 1);
    QVERIFY2(boxes.texts().at(0).startsWith(u"SQL futtatás megállítva.\r\n"_s),
             qPrintable(boxes.texts().at(0)));
    QCOMPARE(m_con->query(u"SELECT COUNT(*) FROM targy WHERE targy = 'a vége'"_s).text(0, 0), u"0"_s);
    QVERIFY(!w.isRunning());
    QVERIFY(w.action(Tfrm_SQL::Run)->isEnabled());
}

// "table: iktato" opens the table; a cell typed in the grid is posted, and another connection
// reads it back; a row deleted in the grid is gone.
void TestSqlConsole::tableIsEditableInPlace()
{
    Tfrm_SQL &w = checkedWindow();
    type(u"table: iktato\r\nSELECT 1;"_s);
    runAndWait(w, Tfrm_SQL::Run);
    QCOMPARE(w.pages()->currentIndex(), 1);
    QAbstractItemModel *model = w.grid()->model();
    QCOMPARE(model->rowCount(), 400);
    int targy = -1;
    for (int c = 0; c < model->columnCount(); ++c) {
        QVERIFY(w.grid()->columnWidth(c) <= 100);
        if (model->headerData(c, Qt::Horizontal).toString() == u"targy"_s)
            targy = c;
    }
    QVERIFY(targy >= 0);
    const QString id = model->index(4, 0).data().toString();
    w.grid()->setFocus();
    w.grid()->setCurrentIndex(model->index(4, targy));
    QCOMPARE(w.positionLabel()->text(), u"400: 5"_s);
    QTest::keyClick(w.grid(), Qt::Key_F2);
    QWidget *editor = QApplication::focusWidget();
    QVERIFY(qobject_cast<QLineEdit *>(editor));
    qobject_cast<QLineEdit *>(editor)->setText(u"Árvíztűrő „tükörfúrógép”"_s);
    {
        MessageBoxRecorder boxes;
        QTest::keyClick(editor, Qt::Key_Return);
        // The grid commits the typed text from the event loop.
        QTRY_COMPARE(model->index(4, targy).data().toString(), u"Árvíztűrő „tükörfúrógép”"_s);
        QCOMPARE(boxes.texts(), QStringList());
    }

    Connection other(m_db->params());
    other.open();
    QCOMPARE(other.query(u"SELECT targy FROM iktato WHERE iktato = "_s + id).text(0, 0),
             u"Árvíztűrő „tükörfúrógép”"_s);
    QCOMPARE(model->index(4, targy).data().toString(), u"Árvíztűrő „tükörfúrógép”"_s);
    QCOMPARE(w.grid()->currentIndex().row(), 4);

    {
        MessageBoxRecorder boxes{true};
        w.grid()->setFocus();
        QTest::keyClick(w.grid(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(boxes.texts(), QStringList{u"Valóban töröljem a sort?"_s});
    }
    QCOMPARE(other.query(u"SELECT COUNT(*) FROM iktato WHERE iktato = "_s + id).text(0, 0), u"0"_s);
    // The table is read again off the window's thread.
    QTRY_COMPARE(model->rowCount(), 399);
    QCOMPARE(w.positionLabel()->text(), u"399: 5"_s);
}

void TestSqlConsole::clipboardTextByteForByte()
{
    m_con->exec(u"UPDATE csoport SET csoport_nev = 'Ülés; „rendkívüli” – ő ű' WHERE csoport = 2"_s);
    Tfrm_SQL &w = window();
    type(u"SELECT csoport, csoport_nev, NULL AS semmi FROM csoport WHERE csoport <= 2 ORDER BY csoport"_s);
    runAndWait(w, Tfrm_SQL::Run);
    QApplication::clipboard()->clear();
    QTest::keyClick(w.grid(), Qt::Key_F3);
    QCOMPARE(QApplication::clipboard()->text(), u"csoport\tcsoport_nev\tsemmi\t\r\n"
                                                "1\tKépviselő-testület\t\t\r\n"
                                                "2\tÜlés, „rendkívüli” – ő ű\t\t\r\n"_s);
    // The copy walked the rows to the end.
    QCOMPARE(w.positionLabel()->text(), u"2: 2"_s);
}

void TestSqlConsole::exportOpensOnTheShownRows_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("query") << u"SELECT csoport_nev, csoport FROM csoport"_s
                           << QStringList{u"csoport_nev"_s, u"csoport"_s};
    QTest::newRow("table") << u"table: statusz"_s << QStringList{u"statusz"_s, u"statusz_nev"_s};
}

void TestSqlConsole::exportOpensOnTheShownRows()
{
    QFETCH(QString, text);
    QFETCH(QStringList, fields);
    Tfrm_SQL &w = window();
    type(text);
    runAndWait(w, Tfrm_SQL::Run);
    QStringList listed;
    const ModalAnswer exportWindow = AnswerModal(u"Határolt szöveg export"_s, [&](QDialog *dialog) {
        auto list = dialog->findChild<QListWidget *>();
        QVERIFY(list);
        for (int i = 0; i < list->count(); ++i)
            listed.append(list->item(i)->text());
        dialog->reject();
    });
    QTest::keyClick(w.grid(), Qt::Key_E, Qt::ControlModifier);
    QVERIFY(exportWindow.answered());
    QCOMPARE(listed, fields);
}

void TestSqlConsole::copyAndExportAfterAScriptSayWhy()
{
    Tfrm_SQL &w = window();
    type(u"SELECT * FROM csoport"_s);
    runAndWait(w, Tfrm_SQL::Run);
    type(u"DO 1;"_s);
    {
        MessageBoxRecorder boxes;
        runAndWait(w, Tfrm_SQL::Run);
        QCOMPARE(boxes.count(), 1);
    }
    QApplication::clipboard()->setText(u"régi"_s);
    const ModalWatch noExportWindow;
    MessageBoxRecorder boxes;
    w.action(Tfrm_SQL::Copy)->trigger();
    w.action(Tfrm_SQL::Export)->trigger();
    QCOMPARE(boxes.count(), 2);
    for (const MessageBoxRecorder::Box &box : boxes.boxes()) {
        QCOMPARE(box.kind, MessageBoxRecorder::Kind::Warning);
        QVERIFY2(box.text.startsWith(u"Nincs megnyitott eredmény"_s), qPrintable(box.text));
    }
    QCOMPARE(QApplication::clipboard()->text(), u"régi"_s);
    QCOMPARE(noExportWindow.seen(), QStringList());
}

// „ ” – and ő ű in a file of the SQL folder: opened and saved again byte for byte; a new
// editor text is saved under the remembered name proposed by the dialog.
void TestSqlConsole::sqlFileRoundTripInCp1250()
{
    const QByteArray bytes = ToCp1250(u"-- „Idézet” – ő ű Ő Ű\r\nSELECT 'árvíztűrő';\r\n"_s);
    QDir().mkpath(SqlFolder());
    const QString original = SqlFolder() + u"/proba.sql"_s;
    {
        QFile f(original);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    Tfrm_SQL &w = window();
    QVERIFY(w.fileName().isEmpty());
    {
        const ModalAnswer open = AnswerModal(u"SQL megnyitás"_s, [&](QDialog *dialog) {
            dialog->findChild<QLineEdit *>(u"fileNameEdit"_s)->setText(u"proba.sql"_s);
            dialog->accept();
        });
        w.action(Tfrm_SQL::Open)->trigger();
    }
    QCOMPARE(w.editor()->text(), u"-- „Idézet” – ő ű Ő Ű\r\nSELECT 'árvíztűrő';\r\n"_s);

    const QString copy = SqlFolder() + u"/masolat.sql"_s;
    {
        const ModalAnswer save = AnswerModal(u"SQL mentése"_s, [&](QDialog *dialog) {
            auto fileDialog = qobject_cast<QFileDialog *>(dialog);
            QCOMPARE(fileDialog->selectedFiles().value(0), original);
            // The dialog fills its folder in the background and then selects the proposed file
            // again: a name typed before that is overwritten, and accept() would ask whether to
            // replace proba.sql. So wait until the folder is listed.
            auto *files = fileDialog->findChild<QFileSystemModel *>();
            QVERIFY(files);
            QTRY_VERIFY(files->rowCount(files->index(SqlFolder())) > 0);
            QTest::qWait(100);
            fileDialog->findChild<QLineEdit *>(u"fileNameEdit"_s)->setText(u"masolat"_s);
            dialog->accept();
        });
        w.action(Tfrm_SQL::Save)->trigger();
    }
    QFile saved(copy);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), bytes);
    QCOMPARE(w.fileName(), copy);

    // "Új SQL file" keeps the remembered name for the next save.
    w.action(Tfrm_SQL::New)->trigger();
    QCOMPARE(w.editor()->text(), QString());
    const ModalAnswer save = AnswerModal(u"SQL mentése"_s, [&](QDialog *dialog) {
        QCOMPARE(qobject_cast<QFileDialog *>(dialog)->selectedFiles().value(0), copy);
        dialog->reject();
    });
    w.action(Tfrm_SQL::Save)->trigger();
}

void TestSqlConsole::boundsAreRemembered()
{
    {
        Tfrm_SQL first(m_con->params());
        first.show();
        QVERIFY(QTest::qWaitForWindowExposed(&first));
        first.setGeometry(40, 50, 700, 480);
        first.reject();
    }
    Tfrm_SQL second(m_con->params());
    second.show();
    QVERIFY(QTest::qWaitForWindowExposed(&second));
    QCOMPARE(second.size(), QSize(700, 480));
}

// A right click shows the console's menus, not the editor component's own one.
void TestSqlConsole::popupMenusAreTheConsolesOwn()
{
    Tfrm_SQL &w = window();
    const auto rightClick = [](QAbstractScrollArea *area) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20),
                                area->viewport()->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(area->viewport(), &event);
    };
    rightClick(w.editor());
    QTRY_VERIFY(w.editorMenu()->isVisible());
    QCOMPARE(w.editorMenu()->actions().value(0), w.action(Tfrm_SQL::Run));
    w.editorMenu()->hide();
    w.pages()->setCurrentIndex(1);
    rightClick(w.grid());
    QTRY_VERIFY(w.gridMenu()->isVisible());
    QCOMPARE(w.gridMenu()->actions().value(0), w.action(Tfrm_SQL::Export));
    w.gridMenu()->hide();
}

void TestSqlConsole::screenshots()
{
    Tfrm_SQL &w = window();
    type(u"-- Bizottság átnevezése: ŐSZI ŰRLAP ÁRVÍZTŰRŐ ÉS TÜKÖRFÚRÓGÉP\r\n"
         "UPDATE csoport SET csoport_nev = 'Pénzügyi és Ellenőrző Bizottság'\r\n"
         "WHERE csoport = 2;\r\n"
         "# hány határozat van évente\r\n"
         "SELECT ev, COUNT(*) AS db, MAX(datum) FROM iktato WHERE ev >= 2020 GROUP BY ev;\r\n"
         "delimiter $$\r\n"
         "CREATE PROCEDURE p()\r\nBEGIN\r\n\tSELECT 1.5 * 2;\r\nEND$$\r\ndelimiter ;\r\n"_s);
    w.editor()->setCursorPosition(2, 3);
    QCoreApplication::processEvents();
    SaveShot(&w, u"sql_console_script"_s);
    type(u"SELECT * FROM vw_iktato ORDER BY iktato"_s);
    runAndWait(w, Tfrm_SQL::RunQuery);
    w.grid()->setCurrentIndex(w.grid()->model()->index(3, 2));
    QCoreApplication::processEvents();
    SaveShot(&w, u"sql_console_result"_s);
    QCOMPARE(w.grid()->model()->rowCount(), 400);
}

// Whatever the console does to its session (another database, another character set, a server
// mode without backslash escapes, a temporary table shadowing a real one, an open transaction)
// stays there: the register's connection still saves the right bytes into the right table.
void TestSqlConsole::sessionStateStaysInTheConsole()
{
    TestDatabase other;
    Tfrm_SQL &w = window();
    type(u"USE %1;\r\n/*!40101 SET NAMES utf8mb4 */;\r\nSET SESSION sql_mode = 'NO_BACKSLASH_ESCAPES';\r\n"
         "CREATE TEMPORARY TABLE targy (targy VARCHAR(255));\r\nSTART TRANSACTION;\r\n"_s.arg(other.name()));
    {
        MessageBoxRecorder boxes;
        runAndWait(w, Tfrm_SQL::Run);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.boxes().at(0).kind, MessageBoxRecorder::Kind::Info);
    }
    const QString name = u"Győző \\ „út”"_s;
    m_con->exec(u"INSERT INTO targy VALUES ("_s + SqlQuoted(name) + u')');

    Connection fresh(m_db->params());
    fresh.open();
    const ResultSet stored = fresh.query(u"SELECT HEX(targy) FROM targy WHERE targy LIKE 'Gy%'"_s);
    QCOMPARE(stored.rowCount(), 1);
    QCOMPARE(stored.text(0, 0).toLatin1(), ToCp1250(name).toHex().toUpper());
    QCOMPARE(other.client("SELECT COUNT(*) FROM targy"), QByteArray("0\n"));
}

void TestSqlConsole::openTransactionIsAskedAboutOnClose_data()
{
    QTest::addColumn<bool>("commit");
    QTest::addColumn<QString>("rows");
    QTest::newRow("commit") << true << u"1"_s;
    QTest::newRow("roll back") << false << u"0"_s;
}

void TestSqlConsole::openTransactionIsAskedAboutOnClose()
{
    QFETCH(bool, commit);
    QFETCH(QString, rows);
    Tfrm_SQL &w = window();
    type(u"START TRANSACTION;\r\nINSERT INTO targy VALUES ('függőben');\r\n"_s);
    {
        MessageBoxRecorder boxes;
        runAndWait(w, Tfrm_SQL::Run);
    }
    // The text typed is not in a file: that question comes first, and is answered "close".
    MessageBoxRecorder boxes{true, commit};
    w.reject();
    QVERIFY(!w.isVisible());
    QCOMPARE(boxes.count(), 2);
    QVERIFY2(boxes.texts().at(1).contains(u"tranzakció"_s), qPrintable(boxes.texts().at(1)));
    QCOMPARE(boxes.unanswered(), 0);
    QCOMPARE(m_con->query(u"SELECT COUNT(*) FROM targy WHERE targy = 'függőben'"_s).text(0, 0), rows);
}

void TestSqlConsole::scriptSendsStatementsByteForByte_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    const QString value = u"első sor\n    behúzott sor\n\n\tutolsó  "_s;
    QTest::newRow("LF") << u"INSERT INTO targy\nVALUES ('"_s + value + u"');\n"_s << value;
    QString crlf = value;
    crlf.replace(u"\n"_s, u"\r\n"_s);
    QTest::newRow("CR LF") << u"INSERT INTO targy\r\nVALUES ('"_s + crlf + u"');\r\n"_s << crlf;
    QTest::newRow("procedure body")
        << u"delimiter //\n  CREATE PROCEDURE p()\n  BEGIN\n    INSERT INTO targy VALUES ('"_s + value +
               u"');\n  END //\ndelimiter ;\nCALL p();\n"_s
        << value;
}

void TestSqlConsole::scriptSendsStatementsByteForByte()
{
    QFETCH(QString, text);
    QFETCH(QString, stored);
    Tfrm_SQL &w = window();
    type(text);
    MessageBoxRecorder boxes;
    runAndWait(w, Tfrm_SQL::Run);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().at(0).kind, MessageBoxRecorder::Kind::Info);
    const ResultSet hex = m_con->query(u"SELECT HEX(targy) FROM targy WHERE targy LIKE 'els%'"_s);
    QCOMPARE(hex.rowCount(), 1);
    QCOMPARE(hex.text(0, 0).toLatin1(), ToCp1250(stored).toHex().toUpper());
}

// As the mariadb client reads it: the word in any letter case.
void TestSqlConsole::upperCaseDelimiterProcedure()
{
    Tfrm_SQL &w = window();
    type(u"-- két sor egy eljárással\r\nDELIMITER $$\r\nCREATE PROCEDURE ket_sor()\r\nBEGIN\r\n"
         "  INSERT INTO targy VALUES ('egy');\r\n  INSERT INTO targy VALUES ('kettő');\r\nEND $$\r\n"
         "Delimiter ;\r\nCALL ket_sor();\r\n"_s);
    MessageBoxRecorder boxes;
    runAndWait(w, Tfrm_SQL::Run);
    QCOMPARE(boxes.count(), 1);
    QVERIFY2(boxes.texts().at(0).startsWith(u"SQL futtatás kész.\r\n2 utasítás"_s),
             qPrintable(boxes.texts().at(0)));
    QCOMPARE(m_con->query(u"SELECT COUNT(*) FROM targy WHERE targy IN ('egy', 'kettő')"_s).text(0, 0),
             u"2"_s);
}

void TestSqlConsole::scriptErrorNamesTheStatementsLine()
{
    Tfrm_SQL &w = window();
    type(u"INSERT INTO targy VALUES ('a');\r\n\r\n-- a hibás\r\nINSERT INTO targy\r\n  VALUES ('b'), "
         u"(nincs_ilyen);\r\n"
         "INSERT INTO targy VALUES ('c');\r\n"_s);
    MessageBoxRecorder boxes;
    runAndWait(w, Tfrm_SQL::Run);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().at(0).kind, MessageBoxRecorder::Kind::Error);
    const QString text = boxes.texts().at(0);
    QVERIFY2(text.startsWith(u"Hiba: Unknown column 'nincs_ilyen'"_s), qPrintable(text));
    // The comment line before it is not where the statement begins.
    QVERIFY2(text.contains(u"4. sor"_s), qPrintable(text));
    QVERIFY2(text.contains(u"INSERT INTO targy VALUES ('b'), (nincs_ilyen)"_s), qPrintable(text));
}

// "Megállít" stops a query on the server, and the rows that came before it stay with their count.
void TestSqlConsole::stopEndsARunningQueryOnTheServer()
{
    Tfrm_SQL &w = window();
    type(u"SELECT seq, REPEAT('x', 300) AS r, IF(seq = 600, SLEEP(30), 0) AS s FROM seq_1_to_1000"_s);
    QElapsedTimer clock;
    clock.start();
    MessageBoxRecorder boxes;
    w.action(Tfrm_SQL::Run)->trigger();
    QVERIFY(clock.elapsed() < 1000);
    QTRY_VERIFY_WITH_TIMEOUT(w.grid()->model()->rowCount() >= 256, 5000);
    QVERIFY(w.isRunning());
    QVERIFY2(w.positionLabel()->text().startsWith(QString::number(w.grid()->model()->rowCount())),
             qPrintable(w.positionLabel()->text()));
    QVERIFY(w.stopButton()->isVisible() && w.stopButton()->isEnabled());
    w.stopButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.isRunning(), 3000);
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(boxes.count(), 0);
    QVERIFY(w.grid()->model()->rowCount() >= 256);
    QVERIFY(w.grid()->model()->rowCount() < 1000);
    QCOMPARE(m_con
                 ->query(u"SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE INFO LIKE '%SLEEP(30)%' "
                         "AND ID <> CONNECTION_ID()"_s)
                 .text(0, 0),
             u"0"_s);
}

// The window keeps answering while the server works on a query or a script.
void TestSqlConsole::eventLoopTurnsDuringALongQuery()
{
    Tfrm_SQL &w = window();
    for (const QString &text : {u"SELECT SLEEP(1.5) AS alszik"_s, u"DO SLEEP(0.8);\r\nDO SLEEP(0.7);"_s}) {
        type(text);
        MessageBoxRecorder boxes;
        StallMeter stalls;
        runAndWait(w, Tfrm_SQL::Run);
        stalls.stop();
        QVERIFY2(stalls.elapsed() >= 1400, qPrintable(QString::number(stalls.elapsed())));
        QVERIFY2(stalls.longest() < 50,
                 qPrintable(u"%1: %2 ms without events"_s.arg(text).arg(stalls.longest())));
    }
}

// A cell written in a large table: the table is read again while the window keeps answering.
void TestSqlConsole::tableIsReadAgainOffTheWindowsThread()
{
    REQUIRE_SQL(m_db->client("CREATE TABLE nagy (id INT NOT NULL PRIMARY KEY, szoveg VARCHAR(200)) "
                             "SELECT seq AS id, REPEAT('x', 150) AS szoveg FROM seq_1_to_150000"));
    Tfrm_SQL &w = window();
    type(u"table: nagy"_s);
    runAndWait(w, Tfrm_SQL::Run);
    QAbstractItemModel *model = w.grid()->model();
    QCOMPARE(model->rowCount(), 150000);
    MessageBoxRecorder boxes;
    StallMeter stalls;
    QVERIFY(model->setData(model->index(2, 1), u"átírva"_s));
    QTRY_VERIFY_WITH_TIMEOUT(!w.isRunning(), 20000);
    stalls.stop();
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(model->index(2, 1).data().toString(), u"átírva"_s);
    QCOMPARE(model->rowCount(), 150000);
    QVERIFY2(stalls.longest() < 50, qPrintable(u"%1 ms without events"_s.arg(stalls.longest())));
}

void TestSqlConsole::tableModeAddsARow_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Insert") << u"insert"_s;
    QTest::newRow("Down on the last row") << u"down"_s;
    QTest::newRow("grid menu") << u"menu"_s;
}

// A new row is posted when the user leaves it; what was not typed is NULL, the key comes from the
// server, and the grid shows the row as stored.
void TestSqlConsole::tableModeAddsARow()
{
    QFETCH(QString, how);
    REQUIRE_SQL(
        m_db->client("CREATE TABLE proba (id INT NOT NULL AUTO_INCREMENT PRIMARY KEY, nev VARCHAR(20), "
                     "megj VARCHAR(20), szam INT); INSERT INTO proba (nev) VALUES ('meglévő')"));
    Tfrm_SQL &w = checkedWindow();
    type(u"table: proba"_s);
    runAndWait(w, Tfrm_SQL::Run);
    QAbstractItemModel *model = w.grid()->model();
    QCOMPARE(model->rowCount(), 1);
    w.grid()->setFocus();
    w.grid()->setCurrentIndex(model->index(0, 1));
    if (how == u"insert"_s) {
        QTest::keyClick(w.grid(), Qt::Key_Insert);
    } else if (how == u"down"_s) {
        QTest::keyClick(w.grid(), Qt::Key_Down);
    } else {
        QAction *add = nullptr;
        for (QAction *a : w.gridMenu()->actions()) {
            if (a->objectName() == u"aSorUj"_s)
                add = a;
        }
        QVERIFY(add);
        QVERIFY(add->isEnabled());
        add->trigger();
    }
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(w.grid()->currentIndex().row(), 1);
    w.grid()->setCurrentIndex(model->index(1, 1));
    QTest::keyClick(w.grid(), Qt::Key_F2);
    auto edit = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(edit);
    edit->setText(u"új sor"_s);
    MessageBoxRecorder boxes;
    QTest::keyClick(edit, Qt::Key_Return);
    // Still on the row: nothing is written yet.
    QCOMPARE(m_con->query(u"SELECT COUNT(*) FROM proba"_s).text(0, 0), u"1"_s);
    QTest::keyClick(w.grid(), Qt::Key_Up);
    QTRY_COMPARE(m_con->query(u"SELECT COUNT(*) FROM proba"_s).text(0, 0), u"2"_s);
    QCOMPARE(boxes.texts(), QStringList());
    const ResultSet row = m_con->query(u"SELECT id, nev, megj, szam FROM proba WHERE nev = 'új sor'"_s);
    QCOMPARE(row.rowCount(), 1);
    QVERIFY(row.isNull(0, 2));
    QVERIFY(row.isNull(0, 3));
    QTRY_COMPARE(model->index(1, 0).data().toString(), row.text(0, 0));
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->index(1, 1).data().toString(), u"új sor"_s);
}

// "table: database.table" names a table of another database, each part quoted on its own.
void TestSqlConsole::tableNameWithItsDatabase()
{
    Tfrm_SQL &w = checkedWindow();
    type(u"table: %1.csoport"_s.arg(m_db->name()));
    MessageBoxRecorder boxes;
    runAndWait(w, Tfrm_SQL::Run);
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(w.grid()->model()->rowCount(), 7);
}

void TestSqlConsole::closingAsksWhileTheTextIsNotSaved_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("typed, stays") << u"SELECT 1"_s << false << true << false << false;
    QTest::newRow("typed, closes") << u"SELECT 1"_s << false << true << true << true;
    QTest::newRow("saved to a file") << u"SELECT 1"_s << true << false << false << true;
    QTest::newRow("empty") << QString() << false << false << false << true;
}

// Esc on the result page closes the window; typed SQL not saved to a file is not lost unasked.
void TestSqlConsole::closingAsksWhileTheTextIsNotSaved()
{
    QFETCH(QString, text);
    QFETCH(bool, saved);
    QFETCH(bool, asked);
    QFETCH(bool, answer);
    QFETCH(bool, closed);
    Tfrm_SQL &w = window();
    type(u"SELECT 1"_s);
    runAndWait(w, Tfrm_SQL::Run);
    type(text);
    if (saved) {
        QDir().mkpath(SqlFolder());
        w.saveFileAs(SqlFolder() + u"/megtartott.sql"_s);
    }
    QCOMPARE(w.pages()->currentIndex(), 1);
    w.grid()->setFocus();
    MessageBoxRecorder boxes{answer};
    QTest::keyClick(w.grid(), Qt::Key_Escape);
    QCOMPARE(boxes.count(), asked ? 1 : 0);
    if (asked)
        QVERIFY2(boxes.texts().at(0).contains(u"nincs"_s), qPrintable(boxes.texts().at(0)));
    QCOMPARE(!w.isVisible(), closed);
    QCOMPARE(w.editor()->text(), text);
}

QTEST_MAIN(TestSqlConsole)
#include "tst_sqlconsole.moc"
