// The database server goes away and comes back while the program runs: the register is browsed
// again, and an editor whose save failed meanwhile keeps everything typed and saves it once.
// The server is taken away by a relay between the program and the shared test server.
#include "app/frm_main.h"
#include "app/mainregister.h"
#include "db/connection.h"
#include "db/dbroutines.h"
#include "editorfields.h"
#include "gui/messagebox.h"
#include "modaldialogs.h"
#include "register/registerquery.h"
#include "register/registerview.h"
#include "register/resolutioneditor.h"
#include "startedprogram.h"
#include "tcprelay.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;
using namespace editorfields;

namespace {

// What the user typed into the editor, and what it showed later.
struct EditorText
{
    QString date, subject, text, responsible;
    bool operator==(const EditorText &) const = default;
};

EditorText shownIn(Tfrm_Szerkeszt *f)
{
    return {dateEdit(f)->text(), subjectCombo(f)->currentText(), textEditor(f)->text(),
            responsibleEdit(f)->text()};
}

void typeInto(Tfrm_Szerkeszt *f, const EditorText &typed)
{
    dateEdit(f)->setText(typed.date);
    subjectCombo(f)->setEditText(QString());
    TypeText(subjectCombo(f)->lineEdit(), typed.subject);
    textEditor(f)->clear();
    textEditor(f)->setFocus();
    const QStringList lines = typed.text.split(u"\r\n"_s);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(textEditor(f), Qt::Key_Return);
        TypeText(textEditor(f), lines[i]);
    }
    deadlineCheck(f)->setChecked(true);
    responsibleEdit(f)->clear();
    TypeText(responsibleEdit(f), typed.responsible);
}

bool waitForRegister(Tfrm_Main &window)
{
    return QTest::qWaitFor([&window] { return !window.mainRegister()->view().isBusy(); }, 20000);
}

} // namespace

class TestServerRestart : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void init();
    void cleanup();

    void browseAfterRestart();
    void editorKeepsItsTextAndSavesOnce_data();
    void editorKeepsItsTextAndSavesOnce();

private:
    std::unique_ptr<ScopedDataFolder> m_folder;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<TcpRelay> m_relay;
    std::unique_ptr<Tfrm_Main> m_window;
};

void TestServerRestart::init()
{
    m_folder = std::make_unique<ScopedDataFolder>();
    m_db = std::make_unique<TestDatabase>();
    REQUIRE_SQL(m_db->client("INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Pénzügyi Bizottság');"
                             "INSERT INTO iktato (iktato, ev, csoport, az, datum, targy, hatarozat) VALUES "
                             "(1, 2025, 1, 1, '2025-01-10', 'Beszámoló', 'régi szöveg'),"
                             "(2, 2025, 1, 2, '2025-02-11', 'Árajánlat', 'másik szöveg');",
                             "utf8mb4"));
    m_relay = std::make_unique<TcpRelay>(TestServer::port());
    m_window = StartMainWindow(*m_db, m_relay->port());
    QVERIFY(m_window);
    QCOMPARE(m_window->mainRegister()->view().registerQuery().query().rowCount(), 2);
}

void TestServerRestart::cleanup()
{
    VerifyNoDialogLeftOpen();
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    if (m_window)
        m_window->close();
    m_window.reset();
    m_relay.reset();
    m_db.reset();
    m_folder.reset();
}

// While the server is away the register says so in Hungarian; once it is back, the next reading
// of the register works without a word.
void TestServerRestart::browseAfterRestart()
{
    RegisterView &view = m_window->mainRegister()->view();
    MessageBoxRecorder boxes;
    m_relay->cut();
    view.refresh();
    QVERIFY(waitForRegister(*m_window));
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().first().kind, MessageBoxRecorder::Kind::Error);
    QVERIFY2(boxes.texts().first().startsWith(u"Nincs kapcsolat az adatbázis-kiszolgálóval"_s),
             qPrintable(boxes.texts().first()));

    // Another workstation saved a record while this one was cut off.
    REQUIRE_SQL(m_db->client("INSERT INTO iktato (iktato, ev, csoport, az, datum, targy) "
                             "VALUES (3, 2025, 1, 3, '2025-03-12', 'Közben');",
                             "utf8mb4"));
    m_relay->restore();
    boxes.clear();
    view.refreshAndLocate(3);
    QVERIFY(waitForRegister(*m_window));
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(view.registerQuery().query().rowCount(), 3);
    QCOMPARE(view.currentId(), 3);
    // The main connection is taken up again as well (the keep-alive's statement).
    QCOMPARE(QueryInt(m_window->connection(), u"SELECT COUNT(*) FROM iktato"_s, -1), 3);
}

void TestServerRestart::editorKeepsItsTextAndSavesOnce_data()
{
    QTest::addColumn<int>("recordId");  // -1: a new record
    QTest::addColumn<bool>("downAtOk"); // false: the server was back before OK was pressed
    QTest::addColumn<int>("number");    // the number the record is stored under

    QTest::newRow("new record, OK while the server is down") << -1 << true << 3;
    QTest::newRow("edited record, OK while the server is down") << 2 << true << 2;
    QTest::newRow("new record, server restarted before OK") << -1 << false << 3;
    QTest::newRow("edited record, server restarted before OK") << 2 << false << 2;
}

void TestServerRestart::editorKeepsItsTextAndSavesOnce()
{
    QFETCH(int, recordId);
    QFETCH(bool, downAtOk);
    QFETCH(int, number);

    const EditorText typed{u"03.04"_s, u"Költségvetés módosítása"_s,
                           u"Első sor: ő és ű\r\nmásodik sor \"idézet\""_s, u"Kiss Éva"_s};
    Connection direct(m_db->params()); // the test's own line, past the relay
    direct.open();
    QTemporaryDir store;
    MessageBoxRecorder boxes;
    bool openAfterFailure = false;
    EditorText afterFailure;
    QStringList boxesAfterFailure;
    int rowsAfterFailure = -1;
    const ModalAnswer editor = AnswerModal([&](QWidget *w) {
        auto *form = qobject_cast<Tfrm_Szerkeszt *>(w);
        if (!form) {
            w->close();
            return;
        }
        REQUIRE_EDITOR_FIELDS(form);
        typeInto(form, typed);
        m_relay->cut();
        if (!downAtOk)
            m_relay->restore();
        okButton(form)->click();
        openAfterFailure = form->isVisible();
        afterFailure = shownIn(form);
        if (downAtOk)
            SaveShot(form, u"editor-kept-after-failed-save"_s);
        boxesAfterFailure = boxes.texts();
        rowsAfterFailure = QueryInt(direct, u"SELECT COUNT(*) FROM iktato"_s, -1);
        if (downAtOk) {
            m_relay->restore();
            okButton(form)->click();
        }
        if (form->isVisible())
            form->reject();
    });
    const int saved = EditResolution(m_window->connection(), recordId, 1, QDate(2025, 3, 4), store.path(), 0,
                                     m_window.get());
    QVERIFY(editor.answered());

    if (downAtOk) {
        // The editor stayed open with every character, and said in Hungarian why.
        QVERIFY(openAfterFailure);
        QCOMPARE(afterFailure, typed);
        QCOMPARE(boxesAfterFailure.size(), 1);
        QVERIFY2(
            boxesAfterFailure.first().startsWith(
                u"Hiba: A kapcsolat az adatbázis-kiszolgálóval megszakadt, vagy a kiszolgáló nem érhető el, "
                "ezért a határozat nem került mentésre."_s),
            qPrintable(boxesAfterFailure.first()));
        QCOMPARE(rowsAfterFailure, 2);
    } else {
        QVERIFY(!openAfterFailure);
        QCOMPARE(boxesAfterFailure, QStringList());
    }
    QCOMPARE(boxes.count(), downAtOk ? 1 : 0);

    // Stored once, under one number, with exactly what was typed.
    QVERIFY(saved > 0);
    if (recordId > 0)
        QCOMPARE(saved, recordId);
    QCOMPARE(QueryInt(direct, u"SELECT COUNT(*) FROM iktato"_s, -1), recordId < 0 ? 3 : 2);
    QCOMPARE(QueryInt(direct, u"SELECT COUNT(*) FROM iktato WHERE targy = 'Költségvetés módosítása'"_s, -1),
             1);
    QCOMPARE(QueryInt(direct, u"SELECT COUNT(DISTINCT az) FROM iktato WHERE ev = 2025 AND csoport = 1"_s, -1),
             recordId < 0 ? 3 : 2);
    QCOMPARE(QueryText(direct,
                       u"SELECT CONCAT_WS('|', az, datum, targy, hatarozat, felelos, van_hatid, statusz) "
                       "FROM iktato WHERE iktato = %1"_s.arg(saved),
                       {}),
             u"%1|2025-03-04|%2|%3|%4|I|1"_s.arg(number).arg(typed.subject, typed.text, typed.responsible));
    QCOMPARE(QueryInt(direct, u"SELECT COUNT(*) FROM targy WHERE targy = 'Költségvetés módosítása'"_s, -1),
             1);

    // The register shows it.
    RegisterView &view = m_window->mainRegister()->view();
    view.refreshAndLocate(saved);
    QVERIFY(waitForRegister(*m_window));
    QCOMPARE(view.currentId(), saved);
    QCOMPARE(boxes.count(), downAtOk ? 1 : 0);
}

QTEST_MAIN(TestServerRestart)
#include "tst_serverrestart.moc"
