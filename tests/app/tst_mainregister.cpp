#include "app/beall.h"
#include "app/frm_main.h"
#include "app/mainactions.h"
#include "app/mainregister.h"
#include "app/setup.h"
#include "app/statuspanels.h"
#include "common/paths.h"
#include "config/conprofile.h"
#include "config/inifile.h"
#include "db/dbroutines.h"
#include "gui/listwindow.h"
#include "gui/messagebox.h"
#include "modaldialogs.h"
#include "register/flowtabbar.h"
#include "register/frm_szerkeszt.h"
#include "register/registermodel.h"
#include "register/registerquery.h"
#include "register/registerview.h"
#include "startedprogram.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <Qsci/qsciscintilla.h>
#include <memory>

using namespace Qt::StringLiterals;

// The register's rows are read on another thread: wait until the newest reading is in.
#define SETTLE(view) QTRY_VERIFY_WITH_TIMEOUT(!(view).isBusy(), 20000)

// The register actions of the main window on a started program: new, edit, status, delete, the
// period actions and the captions that follow the current record.
class TestMainRegister : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        REQUIRE_TEST_SERVER();
        SetUpApplication(*qApp);
    }
    void init();
    void cleanup();

    void newResolutionThroughCommitteeDateAndEditor();
    void cancelledCommitteeChoiceWritesNothing();
    void statusAndDeleteFollowTheCurrentRecord();
    void attachmentCaptionsFollowTheRecord();
    void periodActionsKeepTheirMark();
    void shortcutsReachTheActions();
    void everyShortcutWinsInTheSearchBox();
    void exportKeyFromTheWindowSystem();
    void sortMessageStaysUntilTheNextRecordChange();
    void emptyRegisterSaysThereIsNothingToDo_data();
    void emptyRegisterSaysThereIsNothingToDo();

private:
    Query &registerQuery() { return m_window->mainRegister()->view().registerQuery().query(); }

    std::unique_ptr<ScopedDataFolder> m_folder;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Tfrm_Main> m_window;
};

void TestMainRegister::init()
{
    m_folder = std::make_unique<ScopedDataFolder>();
    Beall = TBeall();
    m_db = std::make_unique<TestDatabase>();
    REQUIRE_SQL(m_db->client(
        "INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Alpha'), (2, 'Beta');"
        "INSERT INTO iktato (iktato, ev, csoport, az, datum, targy, statusz, van_hatid, dat_hatid, "
        "origfilenev2) "
        "VALUES (1, 2024, 1, 1, '2024-02-01', 'Els\xF5', 1, 'I', '2024-03-01', 'terv.pdf'),"
        " (2, 2024, 1, 2, '2024-02-02', 'M\xE1sodik', NULL, 'N', NULL, NULL);"));
    m_window = StartMainWindow(*m_db);
    QVERIFY(m_window);
}

void TestMainRegister::cleanup()
{
    VerifyNoDialogLeftOpen();
    m_window.reset();
    m_db.reset();
    m_folder.reset();
}

void TestMainRegister::newResolutionThroughCommitteeDateAndEditor()
{
    // The committee list opens on the selected tab's committee; Enter chooses it.
    const ModalAnswer committees = AnswerModal([](QWidget *list) {
        auto window = qobject_cast<ListWindow *>(list);
        QVERIFY(window);
        QCOMPARE(window->currentId(), 1);
        window->action(ListWindow::Accept)->trigger();
        // Then the date dialog, offered today's date.
        AnswerModal([](QWidget *dateDialog) {
            QCOMPARE(dateDialog->objectName(), u"frm_Datumbe"_s);
            REQUIRE_CHILD(btnOK, QPushButton, dateDialog, u"btnOK"_s);
            btnOK->click();
            AnswerModal([](QWidget *editor) {
                auto form = qobject_cast<Tfrm_Szerkeszt *>(editor);
                QVERIFY(form);
                REQUIRE_CHILD(dbComboBox1, QComboBox, form, u"DBComboBox1"_s);
                dbComboBox1->setEditText(u"Harmadik"_s);
                REQUIRE_CHILD(synEdit1, QsciScintilla, form, u"SynEdit1"_s);
                synEdit1->setText(u"Új határozat"_s);
                REQUIRE_CHILD(btnOK2, QPushButton, form, u"btnOK"_s);
                btnOK2->click();
            });
        });
    });
    MessageBoxRecorder boxes;
    m_window->actions().action(MainAction::New)->trigger();
    const int year = QDate::currentDate().year();
    QCOMPARE(QueryInt(m_window->connection(), u"SELECT az FROM iktato WHERE targy = 'Harmadik'"_s, -1), 1);
    QCOMPARE(QueryInt(m_window->connection(), u"SELECT ev FROM iktato WHERE targy = 'Harmadik'"_s, -1), year);
    QCOMPARE(boxes.count(), 0);
}

void TestMainRegister::cancelledCommitteeChoiceWritesNothing()
{
    const ModalAnswer committees = RejectModal();
    m_window->actions().action(MainAction::New)->trigger();
    QCOMPARE(QueryInt(m_window->connection(), u"SELECT COUNT(*) FROM iktato"_s, -1), 2);
}

void TestMainRegister::statusAndDeleteFollowTheCurrentRecord()
{
    QVERIFY(m_window->mainRegister()->view().registerQuery().locateId(1));
    {
        MessageBoxRecorder boxes{true};
        m_window->actions().action(MainAction::Status)->trigger();
        QCOMPARE(boxes.count(), 1);
    }
    SETTLE(m_window->mainRegister()->view());
    QCOMPARE(QueryInt(m_window->connection(), u"SELECT statusz FROM iktato WHERE iktato = 1"_s, -1), 2);
    QCOMPARE(m_window->mainRegister()->view().currentId(), 1); // stays on the record
    QCOMPARE(registerQuery().text(u"statusz_nev"_s), u"Lezárt"_s);
    {
        MessageBoxRecorder boxes{true};
        m_window->actions().action(MainAction::Delete)->trigger();
        QCOMPARE(boxes.count(), 1);
    }
    SETTLE(m_window->mainRegister()->view());
    QCOMPARE(QueryInt(m_window->connection(), u"SELECT COUNT(*) FROM iktato"_s, -1), 1);
    QCOMPARE(registerQuery().rowCount(), 1);
    QCOMPARE(m_window->statusPanels().text(StatusPanel::Position), u"1: 1"_s);
}

void TestMainRegister::attachmentCaptionsFollowTheRecord()
{
    MainActions &a = m_window->actions();
    QVERIFY(m_window->mainRegister()->view().registerQuery().locateId(1));
    QCOMPARE(a.action(MainAction::ViewFile1)->text(), u"Nincs file kiválasztva"_s);
    QCOMPARE(a.action(MainAction::ViewFile2)->text(), u"terv.pdf"_s);
    QCOMPARE(m_window->statusPanels().text(StatusPanel::Attachment2), u"terv.pdf"_s);
    QVERIFY(m_window->mainRegister()->view().registerQuery().locateId(2));
    QCOMPARE(a.action(MainAction::ViewFile2)->text(), u"Nincs file kiválasztva"_s);
    QCOMPARE(m_window->statusPanels().text(StatusPanel::Attachment2), QString());
}

void TestMainRegister::periodActionsKeepTheirMark()
{
    MainActions &a = m_window->actions();
    ModalAnswer period = RejectModal();
    a.action(MainAction::PeriodFilter)->trigger();
    QVERIFY(a.action(MainAction::NoFilter)->isChecked()); // cancelled: no filter, the mark stays
    period = AnswerModal([](QWidget *dialog) { qobject_cast<QDialog *>(dialog)->accept(); });
    a.action(MainAction::PeriodFilter)->trigger();
    QVERIFY(a.action(MainAction::PeriodFilter)->isChecked());
    QVERIFY(m_window->mainRegister()->view().periodFilterActive());
    period = RejectModal();
    a.action(MainAction::PeriodFilter)->trigger();
    QVERIFY(a.action(MainAction::PeriodFilter)
                ->isChecked()); // cancelled again: the earlier period stays in force
    a.action(MainAction::NoFilter)->trigger();
    QVERIFY(a.action(MainAction::NoFilter)->isChecked());
    QVERIFY(!m_window->mainRegister()->view().periodFilterActive());
}

void TestMainRegister::shortcutsReachTheActions()
{
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    RegisterView &view = m_window->mainRegister()->view();
    view.grid()->setFocus();
    QTest::keyClick(view.grid(), Qt::Key_F6);
    QVERIFY(!view.isPanelShown());
    QVERIFY(!m_window->actions().action(MainAction::ResolutionPanel)->isChecked());
    view.searchEdit()->setFocus();
    QTest::keyClick(view.searchEdit(), Qt::Key_F6);
    QVERIFY(view.isPanelShown());
}

// The search box has the focus at start-up; a text field on Linux takes Ctrl+E, Ctrl+Del and
// others as editing keys. Each of the window's shortcuts reaches its action all the same.
void TestMainRegister::everyShortcutWinsInTheSearchBox()
{
    // Offscreen, a line edit uses no Linux desktop's key bindings and never claims these keys.
    if (QGuiApplication::platformName() != u"xcb"_s)
        QSKIP("needs an X display: runs as tst_mainregister_wm");
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QLineEdit *search = m_window->mainRegister()->view().searchEdit();
    search->setText(u"szöveg"_s);
    QStringList missed;
    for (QAction *action : m_window->actions().all()) {
        if (action->shortcut().isEmpty() || !action->isEnabled())
            continue;
        // Only whether the key arrives is asked here: the action's own work is tested elsewhere.
        disconnect(action, &QAction::triggered, nullptr, nullptr);
        int triggered = 0;
        connect(action, &QAction::triggered, this, [&triggered] { ++triggered; });
        search->setFocus();
        const QKeyCombination key = action->shortcut()[0];
        QTest::keyClick(search, key.key(), key.keyboardModifiers());
        if (triggered != 1)
            missed << action->shortcut().toString();
        disconnect(action, &QAction::triggered, this, nullptr);
    }
    QCOMPARE(missed, QStringList());
    QCOMPARE(search->text(), u"szöveg"_s);
}

// The same through the window system: X key events typed by xdotool into the focused search box
// open the export window. Run on the virtual display with a window manager.
void TestMainRegister::exportKeyFromTheWindowSystem()
{
    if (QGuiApplication::platformName() != u"xcb"_s)
        QSKIP("needs an X display: runs as tst_mainregister_wm");
    QApplication::setActiveWindow(m_window.get());
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QLineEdit *search = m_window->mainRegister()->view().searchEdit();
    search->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), search);
    ModalAnswer exportWindow = AnswerModal([](QDialog *d) { d->reject(); }, 10000);
    QProcess::startDetached(u"xdotool"_s, {u"key"_s, u"--clearmodifiers"_s, u"ctrl+e"_s});
    QVERIFY(exportWindow.verify());
    QCOMPARE(search->text(), QString());
}

void TestMainRegister::sortMessageStaysUntilTheNextRecordChange()
{
    RegisterView &view = m_window->mainRegister()->view();
    QVERIFY(view.registerQuery().locateId(1)); // its second attachment fills panel 2
    QCOMPARE(m_window->statusPanels().text(StatusPanel::Attachment2), u"terv.pdf"_s);
    QHeaderView *titles = view.grid()->horizontalHeader();
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                      QPoint(titles->sectionViewportPosition(RegisterModel::ColSubject) + 5, 5));
    SETTLE(view);
    QCOMPARE(view.registerQuery().query().sql().last(), u"ORDER BY targy;"_s);
    QCOMPARE(view.currentId(), 1);
    QCOMPARE(m_window->statusPanels().text(StatusPanel::Attachment2), u"Sorrend: Tárgy"_s);
    // The next record change writes the record's attachment there again.
    QVERIFY(view.registerQuery().locateId(2));
    QCOMPARE(m_window->statusPanels().text(StatusPanel::Attachment2), QString());
    QVERIFY(view.registerQuery().locateId(1));
    QCOMPARE(m_window->statusPanels().text(StatusPanel::Attachment2), u"terv.pdf"_s);
}

void TestMainRegister::emptyRegisterSaysThereIsNothingToDo_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("message");
    QTest::newRow("F3") << u"aStatusz"_s << u"Nincs mit beállítani."_s;
    QTest::newRow("Ctrl+Del") << u"aTorol"_s << u"Nincs mit törölni."_s;
}

void TestMainRegister::emptyRegisterSaysThereIsNothingToDo()
{
    QFETCH(QString, action);
    QFETCH(QString, message);
    REQUIRE_SQL(m_db->client("DELETE FROM iktato;"));
    m_window->actions().action(MainAction::Refresh)->trigger();
    SETTLE(m_window->mainRegister()->view());
    QCOMPARE(registerQuery().rowCount(), 0);
    MessageBoxRecorder boxes;
    m_window->actions().byName(action)->trigger();
    QCOMPARE(boxes.texts(), QStringList{message});
    QCOMPARE(boxes.boxes().first().kind, MessageBoxRecorder::Kind::Error);
    QCOMPARE(boxes.unanswered(), 0);
}

QTEST_MAIN(TestMainRegister)
#include "tst_mainregister.moc"
