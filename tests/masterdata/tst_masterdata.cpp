#include "common/cp1250.h"
#include "db/connection.h"
#include "db/dbroutines.h"
#include "db/query.h"
#include "gui/gridsearch.h"
#include "gui/messagebox.h"
#include "gui/querytablemodel.h"
#include "masterdata/frm_torzsadat.h"
#include "masterdata/frm_torzsadat_szerkeszt.h"
#include "masterdata/frm_torzsme.h"
#include "masterdata/frm_torzsme_szerkeszt.h"
#include "modaldialogs.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Sorted by the Hungarian collation: Kulturális Alap, O'Brien..., Oktatási..., Őrségi...,
// Pénzügyi..., Ügyrendi...
const QString Fixture = QString::fromUtf16(
    u"INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Pénzügyi Bizottság'), (2, 'Ügyrendi Bizottság'),"
    u" (3, 'Oktatási és Kulturális Bizottság'), (4, 'Kulturális Alap'), (5, 'O''Brien Bizottság'),"
    u" (6, 'Őrségi Bizottság');"
    u"INSERT INTO targy (targy) VALUES (''), ('Költségvetés'), ('Két szó egymás után'), ('Szó két helyen'),"
    u" ('Telekeladás'), ('Zárszámadás');");

QStringList Column(const Query &q, const QString &field)
{
    QStringList values;
    for (int r = 0; r < q.rowCount(); ++r)
        values.append(q.result().text(r, q.fieldIndex(field)));
    return values;
}

// Shows a list window as the user sees it: active, with the keyboard focus in it.
void ShowActive(QWidget *window)
{
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
}

// Answers the next modal window, which must be a T, as the user would: active, then `answer`.
// A window that `answer` leaves open (a failed check returns early) is rejected so that the
// test goes on instead of hanging.
template <class T>
ModalAnswer Answer(std::function<void(T *)> answer,
                   std::source_location where = std::source_location::current())
{
    return AnswerModal(
        [answer = std::move(answer)](QDialog *dialog) {
            auto *window = qobject_cast<T *>(dialog);
            if (!window) {
                QFAIL(qPrintable(u"Unexpected modal window: "_s +
                                 QLatin1StringView(dialog->metaObject()->className())));
            } else {
                QApplication::setActiveWindow(window);
                if (QTest::qWaitForWindowActive(window))
                    answer(window);
            }
            if (dialog->isVisible())
                dialog->reject();
        },
        5000, where);
}

} // namespace

class TestMasterData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void modelFollowsQuery();
    void startsSearch_data();
    void startsSearch();
    void typedCharacterStartsSearch_data();
    void typedCharacterStartsSearch();
    void searchBoxKeysReturnToGrid_data();
    void searchBoxKeysReturnToGrid();
    void searchByAllWords_data();
    void searchByAllWords();
    void newRenameDeleteCommittee();
    void duplicateCommitteeKeepsEditorOpen();
    void choiceMode_data();
    void choiceMode();
    void acceptOnEmptyListKeepsWindowOpen();
    void withoutRightNothingChanges();
    void emptySubjectNeverListed_data();
    void emptySubjectNeverListed();
    void subjectSearchByWholePhrase();
    void duplicateSubjectKeepsEditorOpen();
    void renameAndDeleteSubject();
    void subjectWithoutRight();
    void deleteOnEmptyCatalogueKeepsEmptySubject();
    void boundsRemembered();
    void screenshots();

private:
    std::unique_ptr<ScopedDataFolder> m_folder;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_con;
};

void TestMasterData::initTestCase()
{
    REQUIRE_TEST_SERVER();
}

void TestMasterData::init()
{
    m_folder = std::make_unique<ScopedDataFolder>();
    // The program makes its data folder at start; the windows write their bounds there.
    QVERIFY(QDir().mkpath(m_folder->dataFolder()));
    m_db = std::make_unique<TestDatabase>();
    REQUIRE_SQL(m_db->client(ToCp1250(Fixture)));
    m_con = std::make_unique<Connection>(m_db->params());
    m_con->open();
}

void TestMasterData::cleanup()
{
    VerifyNoDialogLeftOpen();
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    m_con.reset();
    m_db.reset();
    m_folder.reset();
}

void TestMasterData::modelFollowsQuery()
{
    Query q(m_con.get());
    q.setSql(u"SELECT * FROM csoport\nWHERE (1 = 1)\nORDER BY csoport_nev;"_s);
    QueryTableModel model(&q, {{u"csoport_nev"_s, u"Bizottság"_s}, {u"nincs_ilyen"_s, u"Hiányzó"_s}});
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 0);
    q.open();
    QCOMPARE(model.rowCount(), 6);
    QCOMPARE(model.columnCount(), 2);
    QCOMPARE(model.index(0, 0).data().toString(), u"Kulturális Alap"_s);
    QCOMPARE(model.index(0, 1).data(), QVariant()); // a field the query lacks shows nothing
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), u"Bizottság"_s);
    q.close();
    q.sql()[1] = u"WHERE (csoport = 2)"_s;
    q.open();
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.index(0, 0).data().toString(), u"Ügyrendi Bizottság"_s);
    REQUIRE_SQL(m_db->client("INSERT INTO csoport (csoport, csoport_nev) VALUES (7, 'Z');"));
    q.sql()[1] = u"WHERE (csoport > 1)"_s;
    q.refresh();
    QCOMPARE(model.rowCount(), 6);
    q.close();
    QCOMPARE(model.rowCount(), 0);
}

void TestMasterData::startsSearch_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("starts");
    const int none = Qt::NoModifier;
    QTest::newRow("capital letter") << u"K"_s << none << true;
    QTest::newRow("small letter") << u"z"_s << none << true;
    QTest::newRow("digit") << u"7"_s << none << true;
    QTest::newRow("capital Ő") << u"Ő"_s << none << true;
    QTest::newRow("ű") << u"ű"_s << none << true;
    QTest::newRow("ä is not Hungarian") << u"ä"_s << none << false;
    QTest::newRow("blank") << u" "_s << none << false;
    QTest::newRow("minus") << u"-"_s << none << false;
    // Shift and the keypad are typing; Ctrl, Alt and Meta make the key a shortcut.
    QTest::newRow("Shift+K") << u"K"_s << int(Qt::ShiftModifier) << true;
    QTest::newRow("keypad 7") << u"7"_s << int(Qt::KeypadModifier) << true;
    QTest::newRow("Ctrl+k") << u"k"_s << int(Qt::ControlModifier) << false;
    QTest::newRow("Alt+k") << u"k"_s << int(Qt::AltModifier) << false;
    QTest::newRow("Meta+k") << u"k"_s << int(Qt::MetaModifier) << false;
    QTest::newRow("Ctrl+Alt+k") << u"k"_s << int(Qt::ControlModifier | Qt::AltModifier) << false;
    QTest::newRow("a key without text") << QString() << none << false;
    QTest::newRow("two characters at once") << u"ab"_s << none << false;
}

void TestMasterData::startsSearch()
{
    QFETCH(QString, typed);
    QFETCH(int, modifiers);
    QFETCH(bool, starts);
    if (typed.size() == 1 && modifiers == Qt::NoModifier)
        QCOMPARE(IsSearchStartCharacter(typed.at(0)), starts);
    const QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::KeyboardModifiers(modifiers), typed);
    QCOMPARE(StartsGridSearch(&key), starts);
}

void TestMasterData::typedCharacterStartsSearch_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("searchText");
    QTest::addColumn<QString>("current");
    QTest::newRow("capital K") << u"K"_s << u"k"_s << u"Kulturális Alap"_s;
    QTest::newRow("small o, two match") << u"o"_s << u"o"_s << u"O'Brien Bizottság"_s;
    QTest::newRow("capital Ő") << u"Ő"_s << u"ő"_s << u"Őrségi Bizottság"_s;
    // Every name holds an "s" but none begins with one: the first row stays current.
    QTest::newRow("no name begins with it") << u"s"_s << u"s"_s << u"Kulturális Alap"_s;
}

void TestMasterData::typedCharacterStartsSearch()
{
    QFETCH(QString, typed);
    QFETCH(QString, searchText);
    QFETCH(QString, current);
    Tfrm_Torzsadat window(*m_con, u"csoport"_s, u"Bizottság"_s, false, true);
    window.open();
    ShowActive(&window);
    window.grid()->setFocus();
    window.locateId(2); // somewhere else first
    QTest::sendKeyEvent(QTest::Click, window.grid(), Qt::Key_unknown, typed, Qt::NoModifier);
    QCOMPARE(window.searchEdit()->text(), searchText);
    QVERIFY(window.searchEdit()->hasFocus());
    QCOMPARE(window.searchEdit()->selectedText(), QString()); // the next key adds, not replaces
    QCOMPARE(window.searchEdit()->cursorPosition(), 1);
    QCOMPARE(window.currentValue(u"csoport_nev"_s).toString(), current);
    QCOMPARE(window.positionLabel()->text(), RecordPositionText(*window.query()));

    // The same character again (search box already holding it) still positions.
    window.grid()->setFocus();
    window.query()->last();
    QTest::sendKeyEvent(QTest::Click, window.grid(), Qt::Key_unknown, typed, Qt::NoModifier);
    QCOMPARE(window.currentValue(u"csoport_nev"_s).toString(), current);
}

void TestMasterData::searchBoxKeysReturnToGrid_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("toGrid");
    QTest::newRow("Page Up") << int(Qt::Key_PageUp) << true;
    QTest::newRow("Page Down") << int(Qt::Key_PageDown) << true;
    QTest::newRow("Up") << int(Qt::Key_Up) << true;
    QTest::newRow("Down") << int(Qt::Key_Down) << true;
    QTest::newRow("Left stays") << int(Qt::Key_Left) << false;
}

void TestMasterData::searchBoxKeysReturnToGrid()
{
    QFETCH(int, key);
    QFETCH(bool, toGrid);
    Tfrm_Torzsadat window(*m_con, u"csoport"_s, u"Bizottság"_s, false, true);
    window.open();
    ShowActive(&window);
    window.searchEdit()->setText(u"bizottság"_s);
    // Ctrl+F enters the search box with its text selected.
    window.grid()->setFocus();
    QTest::keyClick(window.grid(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(window.searchEdit()->hasFocus());
    QCOMPARE(window.searchEdit()->selectedText(), u"bizottság"_s);
    QTest::keyClick(window.searchEdit(), Qt::Key(key));
    QCOMPARE(window.grid()->hasFocus(), toGrid);
    QCOMPARE(window.searchEdit()->hasFocus(), !toGrid);
}

void TestMasterData::searchByAllWords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("current");
    const QStringList all{
        u"Kulturális Alap"_s,  u"O'Brien Bizottság"_s,  u"Oktatási és Kulturális Bizottság"_s,
        u"Őrségi Bizottság"_s, u"Pénzügyi Bizottság"_s, u"Ügyrendi Bizottság"_s};
    QTest::newRow("empty") << QString() << all << all.first();
    QTest::newRow("two words") << u"bizottság kult"_s << QStringList{u"Oktatási és Kulturális Bizottság"_s}
                               << u"Oktatási és Kulturális Bizottság"_s;
    QTest::newRow("other order") << u"kult bizottság"_s << QStringList{u"Oktatási és Kulturális Bizottság"_s}
                                 << u"Oktatási és Kulturális Bizottság"_s;
    QTest::newRow("positions on the beginning")
        << u"kult"_s << QStringList{u"Kulturális Alap"_s, u"Oktatási és Kulturális Bizottság"_s}
        << u"Kulturális Alap"_s;
    QTest::newRow("comma counts as blank")
        << u"pénz,bizottság"_s << QStringList{u"Pénzügyi Bizottság"_s} << u"Pénzügyi Bizottság"_s;
    QTest::newRow("quote") << u"o'brien"_s << QStringList{u"O'Brien Bizottság"_s} << u"O'Brien Bizottság"_s;
    QTest::newRow("backslash and quote") << u"\\' OR 1=1 -- "_s << QStringList() << QString();
    QTest::newRow("accent-insensitive collation")
        << u"ŰGYREND"_s << QStringList{u"Ügyrendi Bizottság"_s} << u"Ügyrendi Bizottság"_s;
    QTest::newRow("no match") << u"xyz"_s << QStringList() << QString();
}

void TestMasterData::searchByAllWords()
{
    QFETCH(QString, text);
    QFETCH(QStringList, listed);
    QFETCH(QString, current);
    Tfrm_Torzsadat window(*m_con, u"csoport"_s, u"Bizottság"_s, false, true);
    window.open();
    window.searchEdit()->setText(u"valami"_s);
    window.searchEdit()->setText(text);
    QCOMPARE(Column(*window.query(), u"csoport_nev"_s), listed);
    QCOMPARE(window.currentValue(u"csoport_nev"_s).toString(), current);
    QCOMPARE(window.model()->rowCount(), listed.size());
    QCOMPARE(window.positionLabel()->text(), RecordPositionText(*window.query()));
}

void TestMasterData::newRenameDeleteCommittee()
{
    Tfrm_Torzsadat window(*m_con, u"csoport"_s, u"Bizottság"_s, false, true);
    window.open();
    ShowActive(&window);
    QVERIFY(window.action(ListWindow::New)->isEnabled());
    QVERIFY(!window.action(ListWindow::Accept)->isVisible());

    // New: the first small letter typed into the empty name becomes a capital; Ctrl+Enter saves.
    QString caption;
    QString idText;
    ModalAnswer editing = Answer<Tfrm_Torzsadat_Szerkeszt>([&](Tfrm_Torzsadat_Szerkeszt *editor) {
        caption = editor->windowTitle();
        REQUIRE_CHILD(dbText1, QLabel, editor, u"DBText1"_s);
        idText = dbText1->text();
        REQUIRE_CHILD(dbEdit1, QLineEdit, editor, u"DBEdit1"_s);
        QTest::keyClick(dbEdit1, 'z');
        dbEdit1->insert(u"öld bizottság"_s);
        QTest::keyClick(dbEdit1, Qt::Key_Return, Qt::ControlModifier);
    });
    window.action(ListWindow::New)->trigger();
    QCOMPARE(caption, u"Bizottság"_s);
    QCOMPARE(idText, QString());
    QCOMPARE(window.currentValue(u"csoport_nev"_s).toString(), u"Zöld bizottság"_s);
    const int id = window.currentId();
    QCOMPARE(id, 7);
    QCOMPARE(LookupName(*m_con, 7, u"csoport"_s, {}), u"Zöld bizottság"_s);

    // Rename: the editor shows the row and its id; cancelling changes nothing.
    editing = Answer<Tfrm_Torzsadat_Szerkeszt>([&](Tfrm_Torzsadat_Szerkeszt *editor) {
        REQUIRE_CHILD(dbText1, QLabel, editor, u"DBText1"_s);
        idText = dbText1->text();
        REQUIRE_CHILD(dbEdit1, QLineEdit, editor, u"DBEdit1"_s);
        dbEdit1->setText(u"Elvetett"_s);
        REQUIRE_CHILD(btnMegsem, QPushButton, editor, u"btnMegsem"_s);
        btnMegsem->click();
    });
    window.action(ListWindow::Edit)->trigger();
    QCOMPARE(idText, u"7"_s);
    QCOMPARE(LookupName(*m_con, 7, u"csoport"_s, {}), u"Zöld bizottság"_s);

    editing = Answer<Tfrm_Torzsadat_Szerkeszt>([&](Tfrm_Torzsadat_Szerkeszt *editor) {
        REQUIRE_CHILD(dbEdit1, QLineEdit, editor, u"DBEdit1"_s);
        dbEdit1->setText(u"Alapítványi Bizottság"_s);
        REQUIRE_CHILD(btnOK, QPushButton, editor, u"btnOK"_s);
        btnOK->click();
    });
    window.action(ListWindow::Edit)->trigger();
    QCOMPARE(LookupName(*m_con, 7, u"csoport"_s, {}), u"Alapítványi Bizottság"_s);
    QCOMPARE(window.currentId(), 7); // re-read and found again, now first by name
    QCOMPARE(window.query()->recNo(), 0);

    // Delete: No keeps the row, Yes deletes it.
    {
        MessageBoxRecorder boxes{false, true};
        window.action(ListWindow::Delete)->trigger();
        QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM csoport"_s, -1), 7);
        window.action(ListWindow::Delete)->trigger();
        QCOMPARE(boxes.count(), 2);
        for (const auto &box : boxes.boxes()) {
            QCOMPARE(box.kind, MessageBoxRecorder::Kind::Confirm);
            QCOMPARE(box.caption, u"Megerősítés"_s);
            QCOMPARE(box.text, u"Valóban töröljem a sort?"_s);
        }
    }
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM csoport WHERE csoport = 7"_s, -1), 0);
    QCOMPARE(window.query()->rowCount(), 6);
    QCOMPARE(window.positionLabel()->text(), u"6: 1"_s);
}

void TestMasterData::duplicateCommitteeKeepsEditorOpen()
{
    MessageBoxRecorder boxes;
    bool stillOpen = false;
    const ModalAnswer editing = Answer<Tfrm_Torzsadat_Szerkeszt>([&](Tfrm_Torzsadat_Szerkeszt *editor) {
        REQUIRE_CHILD(dbEdit1, QLineEdit, editor, u"DBEdit1"_s);
        dbEdit1->setText(u"pénzügyi bizottság"_s); // the collation ignores case
        REQUIRE_CHILD(btnOK, QPushButton, editor, u"btnOK"_s);
        btnOK->click();
        stillOpen = editor->isVisible();
        dbEdit1->setText(u"Pénzügyi Albizottság"_s);
        btnOK->click();
    });
    const int id = EditMasterDataRow(*m_con, -1, u"csoport"_s, u"Bizottság"_s, true);
    QVERIFY(stillOpen);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().first().kind, MessageBoxRecorder::Kind::Error);
    QVERIFY2(boxes.boxes().first().text.contains(u"Duplicate"_s), qPrintable(boxes.boxes().first().text));
    QCOMPARE(LookupName(*m_con, id, u"csoport"_s, {}), u"Pénzügyi Albizottság"_s);
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM csoport"_s, -1), 7);
}

void TestMasterData::choiceMode_data()
{
    QTest::addColumn<int>("initialId");
    QTest::addColumn<QString>("presetName");
    QTest::addColumn<int>("move"); // rows to move down before answering
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    // Sorted: 4 Kulturális Alap, 5 O'Brien, 3 Oktatási, 6 Őrségi, 1 Pénzügyi, 2 Ügyrendi.
    QTest::newRow("Enter on the preset") << 1 << u"Pénzügyi Bizottság"_s << 0 << int(Qt::Key_Return) << 1;
    QTest::newRow("Enter after moving")
        << 3 << u"Oktatási és Kulturális Bizottság"_s << 2 << int(Qt::Key_Return) << 1;
    QTest::newRow("unknown preset starts on the first")
        << 99 << u"Kulturális Alap"_s << 0 << int(Qt::Key_Return) << 4;
    QTest::newRow("Esc returns -1") << 2 << u"Ügyrendi Bizottság"_s << 0 << int(Qt::Key_Escape) << -1;
}

void TestMasterData::choiceMode()
{
    QFETCH(int, initialId);
    QFETCH(QString, presetName);
    QFETCH(int, move);
    QFETCH(int, key);
    QFETCH(int, result);
    QString shownOn;
    bool acceptShown = false;
    const ModalAnswer list = Answer<Tfrm_Torzsadat>([&](Tfrm_Torzsadat *window) {
        acceptShown = window->action(ListWindow::Accept)->isVisible();
        shownOn = window->currentValue(u"csoport_nev"_s).toString();
        window->grid()->setFocus();
        for (int i = 0; i < move; ++i)
            QTest::keyClick(window->grid(), Qt::Key_Down);
        QTest::keyClick(window->grid(), Qt::Key(key));
    });
    // A user without the right may still choose.
    const int id = OpenMasterData(*m_con, initialId, true, u"csoport"_s, u"Bizottság"_s, false);
    QVERIFY(acceptShown);
    QCOMPARE(shownOn, presetName);
    QCOMPARE(id, result);
}

void TestMasterData::acceptOnEmptyListKeepsWindowOpen()
{
    REQUIRE_SQL(m_db->client("DELETE FROM csoport;"));
    MessageBoxRecorder boxes;
    bool openAfterAccept = false;
    const ModalAnswer list = Answer<Tfrm_Torzsadat>([&](Tfrm_Torzsadat *window) {
        window->action(ListWindow::Accept)->trigger();
        openAfterAccept = window->isVisible();
        window->action(ListWindow::Close)->trigger();
    });
    QCOMPARE(OpenMasterData(*m_con, -1, true, u"csoport"_s, u"Bizottság"_s, true), -1);
    QVERIFY(openAfterAccept);
    QCOMPARE(boxes.texts(), QStringList{u"Nincs kiválasztott sor."_s});
}

void TestMasterData::withoutRightNothingChanges()
{
    Tfrm_Torzsadat window(*m_con, u"csoport"_s, u"Bizottság"_s, false, false);
    window.open();
    ShowActive(&window);
    QVERIFY(!window.action(ListWindow::New)->isEnabled());
    QVERIFY(!window.action(ListWindow::Delete)->isEnabled());
    QVERIFY(window.action(ListWindow::Edit)->isEnabled());

    MessageBoxRecorder boxes{true};
    window.grid()->setFocus();
    QTest::keyClick(window.grid(), Qt::Key_F2);
    QTest::keyClick(window.grid(), Qt::Key_Insert); // disabled: nothing happens
    window.onNewTriggered();
    window.onDeleteTriggered();
    QCOMPARE(boxes.texts(), QStringList(3, u"Nincs jogosultság a művelethez."_s));
    QCOMPARE(boxes.pendingAnswers(), 1); // no confirmation was asked
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM csoport"_s, -1), 6);

    // Searching still works.
    window.searchEdit()->setText(u"ügy"_s);
    QCOMPARE(Column(*window.query(), u"csoport_nev"_s),
             (QStringList{u"Pénzügyi Bizottság"_s, u"Ügyrendi Bizottság"_s}));

    // The row editor reached without the right cannot save.
    bool okEnabled = true;
    const ModalAnswer editing = Answer<Tfrm_Torzsadat_Szerkeszt>([&](Tfrm_Torzsadat_Szerkeszt *editor) {
        REQUIRE_CHILD(btnOK, QPushButton, editor, u"btnOK"_s);
        okEnabled = btnOK->isEnabled();
        editor->reject();
    });
    QCOMPARE(EditMasterDataRow(*m_con, 1, u"csoport"_s, u"Bizottság"_s, false), -1);
    QVERIFY(!okEnabled);
}

void TestMasterData::emptySubjectNeverListed_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("no search") << QString();
    QTest::newRow("blank") << u" "_s;
    QTest::newRow("percent") << u"%"_s;
    QTest::newRow("underscore") << u"_"_s;
}

void TestMasterData::emptySubjectNeverListed()
{
    QFETCH(QString, text);
    Tfrm_TorzsMe window(*m_con, true);
    window.open();
    window.searchEdit()->setText(u"x"_s);
    window.searchEdit()->setText(text);
    const QStringList listed = Column(*window.query(), u"targy"_s);
    QVERIFY(!listed.contains(QString()));
    if (text != u" "_s)
        QCOMPARE(listed.size(), 5);
}

void TestMasterData::subjectSearchByWholePhrase()
{
    Tfrm_TorzsMe window(*m_con, true);
    window.open();
    QCOMPARE(window.currentValue(u"targy"_s).toString(), u"Két szó egymás után"_s);
    window.searchEdit()->setText(u"két szó"_s);
    QCOMPARE(Column(*window.query(), u"targy"_s), QStringList{u"Két szó egymás után"_s});
    window.searchEdit()->setText(u"szó két"_s);
    QCOMPARE(Column(*window.query(), u"targy"_s), QStringList{u"Szó két helyen"_s});
    window.searchEdit()->setText(u"z"_s);
    QCOMPARE(window.currentValue(u"targy"_s).toString(), u"Zárszámadás"_s);
    QCOMPARE(window.query()->rowCount(), 3);
}

void TestMasterData::duplicateSubjectKeepsEditorOpen()
{
    Tfrm_TorzsMe window(*m_con, true);
    window.open();
    ShowActive(&window);
    MessageBoxRecorder boxes;
    bool stillOpen = false;
    QString kept;
    ModalAnswer editing = Answer<Tfrm_TorzsMe_Szerkeszt>([&](Tfrm_TorzsMe_Szerkeszt *editor) {
        REQUIRE_CHILD(dbEdit1, QLineEdit, editor, u"DBEdit1"_s);
        dbEdit1->setText(u"Telekeladás"_s);
        QTest::keyClick(dbEdit1, Qt::Key_Return, Qt::ControlModifier);
        stillOpen = editor->isVisible();
        kept = dbEdit1->text();
        dbEdit1->setText(u"Telekvásárlás"_s);
        REQUIRE_CHILD(btnOK, QPushButton, editor, u"btnOK"_s);
        btnOK->click();
    });
    window.action(ListWindow::New)->trigger();
    QVERIFY(stillOpen);
    QCOMPARE(kept, u"Telekeladás"_s);
    QCOMPARE(boxes.count(), 1);
    const QString message = boxes.boxes().first().text;
    QVERIFY2(message.startsWith(u"Hiányos, vagy hibás adatmegadás\r\n"_s), qPrintable(message));
    QVERIFY2(message.contains(u"Duplicate entry"_s), qPrintable(message));
    QCOMPARE(window.currentValue(u"targy"_s).toString(), u"Telekvásárlás"_s);
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM targy WHERE targy = ''"_s, -1), 1);
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM targy"_s, -1), 7);

    // An empty subject is refused too, and cancelling writes nothing.
    boxes.clear();
    editing = Answer<Tfrm_TorzsMe_Szerkeszt>([&](Tfrm_TorzsMe_Szerkeszt *editor) {
        REQUIRE_CHILD(btnOK, QPushButton, editor, u"btnOK"_s);
        btnOK->click();
        stillOpen = editor->isVisible();
        REQUIRE_CHILD(btnMegsem, QPushButton, editor, u"btnMegsem"_s);
        btnMegsem->click();
    });
    QCOMPARE(EditSubject(*m_con, QString()), QString());
    QVERIFY(stillOpen);
    QCOMPARE(boxes.count(), 1);
    QVERIFY(boxes.boxes().first().text.startsWith(u"Hiányos, vagy hibás adatmegadás\r\n"_s));
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM targy"_s, -1), 7);
}

void TestMasterData::renameAndDeleteSubject()
{
    Tfrm_TorzsMe window(*m_con, true);
    window.open();
    ShowActive(&window);
    QVERIFY(window.searchEdit()->hasFocus());
    window.locate(u"targy"_s, u"Telekeladás"_s);
    QString shown;
    const ModalAnswer editing = Answer<Tfrm_TorzsMe_Szerkeszt>([&](Tfrm_TorzsMe_Szerkeszt *editor) {
        REQUIRE_CHILD(dbEdit1, QLineEdit, editor, u"DBEdit1"_s);
        shown = dbEdit1->text();
        dbEdit1->setText(u"Telek eladása"_s);
        REQUIRE_CHILD(btnOK, QPushButton, editor, u"btnOK"_s);
        btnOK->click();
    });
    window.action(ListWindow::Edit)->trigger();
    QCOMPARE(shown, u"Telekeladás"_s);
    QCOMPARE(window.currentValue(u"targy"_s).toString(), u"Telek eladása"_s);
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM targy WHERE targy = 'Telekeladás'"_s, -1), 0);

    MessageBoxRecorder boxes{true};
    window.action(ListWindow::Delete)->trigger();
    QCOMPARE(boxes.texts(), QStringList{u"Valóban töröljem a sort?"_s});
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM targy WHERE targy = 'Telek eladása'"_s, -1), 0);
    QCOMPARE(window.query()->rowCount(), 4);
}

void TestMasterData::subjectWithoutRight()
{
    Tfrm_TorzsMe window(*m_con, false);
    window.open();
    ShowActive(&window);
    MessageBoxRecorder boxes{true};
    QVERIFY(window.action(ListWindow::New)->isEnabled());
    window.action(ListWindow::New)->trigger();
    window.action(ListWindow::Edit)->trigger();
    window.action(ListWindow::Delete)->trigger();
    QCOMPARE(boxes.texts(), QStringList(3, u"Nincs jogosultság a művelethez."_s));
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM targy"_s, -1), 6);
    window.searchEdit()->setText(u"szó"_s);
    QCOMPARE(window.query()->rowCount(), 2);
}

void TestMasterData::deleteOnEmptyCatalogueKeepsEmptySubject()
{
    Tfrm_TorzsMe window(*m_con, true);
    window.open();
    window.searchEdit()->setText(u"nincs ilyen tárgy"_s);
    QVERIFY(window.isEmpty());
    MessageBoxRecorder boxes{true};
    window.action(ListWindow::Delete)->trigger();
    QCOMPARE(boxes.texts(), QStringList{u"Nincs sor kiválasztva."_s});
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM targy WHERE targy = ''"_s, -1), 1);
}

void TestMasterData::boundsRemembered()
{
    {
        Tfrm_Torzsadat window(*m_con, u"csoport"_s, u"Bizottság"_s, false, true);
        window.open();
        window.show();
        QCOMPARE(window.size(), QSize(502, 441));
        window.resize(600, 500);
        window.action(ListWindow::Close)->trigger();
    }
    Tfrm_Torzsadat again(*m_con, u"csoport"_s, u"Bizottság"_s, false, true);
    again.open();
    again.show();
    QCOMPARE(again.size(), QSize(600, 500));
    again.reject();
}

// The windows as a person sees them: what each picture shows is checked, and the picture is not
// blank (a window drawn before its rows came would be one colour).
void TestMasterData::screenshots()
{
    const auto drawn = [](QWidget *window) {
        const QImage picture = window->grab().toImage();
        if (picture.isNull())
            return false;
        const QRgb first = picture.pixel(0, 0);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (picture.pixel(x, y) != first)
                    return true;
        return false;
    };
    {
        Tfrm_Torzsadat window(*m_con, u"csoport"_s, u"Bizottság"_s, true, true);
        window.open();
        window.locateId(3);
        ShowActive(&window);
        QCOMPARE(window.model()->rowCount(), 6);
        QCOMPARE(window.currentId(), 3);
        QCOMPARE(window.currentValue(u"csoport_nev"_s).toString(), u"Oktatási és Kulturális Bizottság"_s);
        QVERIFY(drawn(&window));
        SaveShot(&window, u"masterdata_committees"_s);
        window.reject();
    }
    {
        Tfrm_TorzsMe window(*m_con, true);
        window.open();
        ShowActive(&window);
        const int all = window.model()->rowCount();
        QTest::keyClicks(window.searchEdit(), u"sz"_s);
        const QStringList listed = Column(*window.query(), u"targy"_s);
        QVERIFY(!listed.isEmpty());
        QVERIFY(listed.size() < all);
        for (const QString &subject : listed)
            QVERIFY2(subject.contains(u"sz"_s, Qt::CaseInsensitive), qPrintable(subject));
        QCOMPARE(window.model()->rowCount(), listed.size());
        QVERIFY(drawn(&window));
        SaveShot(&window, u"masterdata_subjects"_s);
        window.reject();
    }
    Tfrm_Torzsadat_Szerkeszt editor;
    editor.setCaption(u"Bizottság"_s);
    editor.setName(u"Pénzügyi Bizottság"_s);
    editor.setIdText(u"1"_s);
    ShowActive(&editor);
    REQUIRE_CHILD(dbEdit1, QLineEdit, &editor, u"DBEdit1"_s);
    REQUIRE_CHILD(dbText1, QLabel, &editor, u"DBText1"_s);
    dbEdit1->setFocus();
    QCOMPARE(editor.windowTitle(), u"Bizottság"_s);
    QCOMPARE(dbEdit1->text(), u"Pénzügyi Bizottság"_s);
    QCOMPARE(dbText1->text(), u"1"_s);
    QTRY_VERIFY(dbEdit1->hasFocus());
    QVERIFY(drawn(&editor));
    SaveShot(&editor, u"masterdata_editor"_s);
    editor.reject();
}

QTEST_MAIN(TestMasterData)
#include "tst_masterdata.moc"
