// The line to the server breaks at the moment the program logs in or changes a record's status:
// the user is told in Hungarian, nothing is left half done, and the next try works.
#include "app/application.h"
#include "app/beall.h"
#include "app/frm_main.h"
#include "app/mainregister.h"
#include "db/connection.h"
#include "db/dbroutines.h"
#include "gui/messagebox.h"
#include "modaldialogs.h"
#include "register/registerquery.h"
#include "register/registerview.h"
#include "startedprogram.h"
#include "tcprelay.h"
#include "testdatabase.h"
#include "testutil.h"
#include "users/frm_login.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QThread>
#include <atomic>
#include <memory>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

const QString NoConnection = u"Nincs kapcsolat az adatbázis-kiszolgálóval"_s;

// How the line breaks under a statement.
enum class Break {
    BeforeSending, // the session is killed just before the statement leaves the program
    WhileRunning   // the session is killed while its statement waits for a row another session holds
};

bool sessionExists(Connection &watch, unsigned long id)
{
    return QueryInt(watch, u"SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = %1"_s.arg(id),
                    0) > 0;
}

// Breaks the program's connection under the first statement that begins with `prefix`.
class LineBreaker
{
public:
    LineBreaker(Connection &program, const ConnectionParams &params, Break how, const QString &prefix)
        : m_program(program), m_params(params), m_prefix(prefix.toUtf8()), m_watch(params)
    {
        m_watch.open();
        if (how == Break::BeforeSending) {
            program.setBeforeSendHook([this](QByteArrayView sql) {
                if (m_done || !sql.startsWith(m_prefix))
                    return;
                m_done = true;
                const unsigned long id = m_program.threadId();
                m_watch.exec(u"KILL CONNECTION %1"_s.arg(id));
                for (int i = 0; i < 200 && sessionExists(m_watch, id); ++i)
                    QThread::msleep(10);
            });
        } else {
            // The killer has a line of its own: the program's thread is blocked in the statement.
            const unsigned long id = program.threadId();
            m_killer = std::thread([this, id] {
                Connection killer(m_params);
                killer.open();
                const QString waiting =
                    u"SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = %1 AND "
                    "INFO LIKE CONCAT(%2, '%')"_s.arg(id)
                        .arg(u"'"_s + QString::fromUtf8(m_prefix) + u"'"_s);
                for (int i = 0; i < 1000 && !m_stop; ++i) {
                    if (QueryInt(killer, waiting, 0) > 0) {
                        killer.exec(u"KILL CONNECTION %1"_s.arg(id));
                        m_done = true;
                        return;
                    }
                    QThread::msleep(10);
                }
            });
        }
    }
    ~LineBreaker()
    {
        m_stop = true;
        if (m_killer.joinable())
            m_killer.join();
        m_program.setBeforeSendHook({});
    }
    LineBreaker(const LineBreaker &) = delete;
    LineBreaker &operator=(const LineBreaker &) = delete;

    // Whether the line was broken; waits for the killer to finish.
    bool done()
    {
        if (m_killer.joinable())
            m_killer.join();
        return m_done;
    }

private:
    Connection &m_program;
    ConnectionParams m_params;
    QByteArray m_prefix;
    Connection m_watch;
    std::thread m_killer;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_done{false};
};

// A session of its own that holds a row of iktato locked while it lives.
class RowLock
{
public:
    RowLock(const ConnectionParams &params, int recordId) : m_con(params)
    {
        m_con.open();
        m_con.begin();
        m_con.query(u"SELECT * FROM iktato WHERE iktato = %1 FOR UPDATE"_s.arg(recordId));
    }
    ~RowLock() { m_con.rollback(); }

private:
    Connection m_con;
};

enum class Change { Finish, Reopen, Delete };

} // namespace

Q_DECLARE_METATYPE(Break)
Q_DECLARE_METATYPE(Change)

class TestLostConnection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void init();
    void cleanup();

    void statusChangeWhenTheLineBreaks_data();
    void statusChangeWhenTheLineBreaks();
    void logInWhenTheLineBreaks_data();
    void logInWhenTheLineBreaks();

private:
    std::unique_ptr<ScopedDataFolder> m_folder;
    std::unique_ptr<TestDatabase> m_db;
};

void TestLostConnection::init()
{
    m_folder = std::make_unique<ScopedDataFolder>();
    m_db = std::make_unique<TestDatabase>();
    REQUIRE_SQL(m_db->client(
        "INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Pénzügyi Bizottság');"
        "INSERT INTO iktato (iktato, ev, csoport, az, datum, targy, van_hatid, dat_hatid, statusz) VALUES "
        "(1, 2025, 1, 1, '2025-01-10', 'Nyitott', 'I', '2025-06-30', 1),"
        "(2, 2025, 1, 2, '2025-02-11', 'Kész', 'I', '2025-05-31', 2),"
        "(3, 2025, 1, 3, '2025-03-12', 'Törlendő', 'N', NULL, NULL);",
        "utf8mb4"));
}

void TestLostConnection::cleanup()
{
    VerifyNoDialogLeftOpen();
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    m_db.reset();
    m_folder.reset();
}

void TestLostConnection::statusChangeWhenTheLineBreaks_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<Break>("how");

    const std::pair<const char *, Change> changes[] = {
        {"done", Change::Finish}, {"not done", Change::Reopen}, {"delete", Change::Delete}};
    for (const auto &[name, change] : changes) {
        QTest::addRow("%s, killed before sending", name) << change << Break::BeforeSending;
        QTest::addRow("%s, killed while running", name) << change << Break::WhileRunning;
    }
}

void TestLostConnection::statusChangeWhenTheLineBreaks()
{
    QFETCH(Change, change);
    QFETCH(Break, how);

    const int recordId = change == Change::Finish ? 1 : change == Change::Reopen ? 2 : 3;
    const auto window = StartMainWindow(*m_db);
    QVERIFY(window);
    QApplication::setActiveWindow(window.get());
    RegisterView &view = window->mainRegister()->view();
    view.refreshAndLocate(recordId);
    QVERIFY(QTest::qWaitFor([&view] { return !view.isBusy(); }, 20000));
    QCOMPARE(view.currentId(), recordId);

    Connection direct(m_db->params());
    direct.open();
    const QString checksum = u"CHECKSUM TABLE iktato"_s;
    const QString before = direct.query(checksum).text(0, 1);
    const QString statement =
        change == Change::Delete ? u"DELETE FROM iktato"_s : u"UPDATE iktato SET statusz"_s;
    const auto press = [&] {
        if (change == Change::Delete)
            QTest::keyClick(view.grid(), Qt::Key_Delete, Qt::ControlModifier);
        else
            QTest::keyClick(view.grid(), Qt::Key_F3);
    };

    MessageBoxRecorder boxes{true};
    {
        std::unique_ptr<RowLock> lock;
        if (how == Break::WhileRunning)
            lock = std::make_unique<RowLock>(m_db->params(), recordId);
        LineBreaker breaker(window->connection(), m_db->params(), how, statement);
        press();
        QVERIFY(breaker.done());
    }
    // Asked, then told in Hungarian; nothing of the change stayed.
    QCOMPARE(boxes.count(), 2);
    QCOMPARE(boxes.boxes().at(0).kind, MessageBoxRecorder::Kind::Confirm);
    QCOMPARE(boxes.boxes().at(1).kind, MessageBoxRecorder::Kind::Error);
    QVERIFY2(boxes.texts().at(1).startsWith(NoConnection), qPrintable(boxes.texts().at(1)));
    QCOMPARE(direct.query(checksum).text(0, 1), before);

    // The next try works on a new line, at once.
    boxes.clear();
    boxes.queueAnswer(true);
    press();
    QVERIFY(QTest::qWaitFor([&view] { return !view.isBusy(); }, 20000));
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().at(0).kind, MessageBoxRecorder::Kind::Confirm);
    const QString stored = u"SELECT COALESCE(statusz, 'nincs') FROM iktato WHERE iktato = %1"_s.arg(recordId);
    switch (change) {
    case Change::Finish: QCOMPARE(QueryText(direct, stored, u"törölve"_s), u"2"_s); break;
    case Change::Reopen: QCOMPARE(QueryText(direct, stored, u"törölve"_s), u"1"_s); break;
    case Change::Delete: QCOMPARE(QueryText(direct, stored, u"törölve"_s), u"törölve"_s); break;
    }
    QCOMPARE(QueryInt(direct, u"SELECT COUNT(*) FROM iktato"_s, -1), change == Change::Delete ? 2 : 3);
    QCOMPARE(view.registerQuery().query().rowCount(), change == Change::Delete ? 2 : 3);
    window->close();
}

void TestLostConnection::logInWhenTheLineBreaks_data()
{
    QTest::addColumn<bool>("serverAway"); // false: the session is killed under the password check

    QTest::newRow("killed before the password check") << false;
    QTest::newRow("server away when OK is pressed") << true;
}

void TestLostConnection::logInWhenTheLineBreaks()
{
    QFETCH(bool, serverAway);

    REQUIRE_SQL(m_db->client("UPDATE beallit SET vanbelep = 'I';"
                             "INSERT INTO felhasznalo (felhkod, felhasznalo, felhasznalo_nev, jelszomd5, "
                             "rendszergazda, "
                             "torzsszerkeszt) VALUES (3, 'kati', 'Kiss Katalin', MD5('titkos jelsz\xF3'), "
                             "'N', 'I');")); // latin2:
                                             // the
                                             // digest
                                             // of the
                                             // password
                                             // as the
                                             // program
                                             // sends it
    TcpRelay relay(TestServer::port());
    WriteTestProfile(*m_db, relay.port());
    Tfrm_Main window;
    MessageBoxRecorder boxes;
    QStringList boxesAtFirstOk;
    bool openAfterFailure = false;
    QString userAfter, passwordAfter;
    bool broken = false;
    const ModalAnswer login = AnswerModal(u"Belépés azonosítás"_s, [&](QDialog *dialog) {
        REQUIRE_CHILD(user, QLineEdit, dialog, u"edtFelhasznalo"_s);
        REQUIRE_CHILD(password, QLineEdit, dialog, u"edtJelszo"_s);
        REQUIRE_CHILD(ok, QPushButton, dialog, u"btnOK"_s);
        user->clear();
        TypeText(user, u"kati"_s);
        TypeText(password, u"titkos jelszó"_s);
        if (serverAway) {
            relay.cut();
            ok->click();
            broken = true;
        } else {
            LineBreaker breaker(window.connection(), m_db->params(), Break::BeforeSending, u"SELECT MD5("_s);
            ok->click();
            broken = breaker.done();
        }
        boxesAtFirstOk = boxes.texts();
        openAfterFailure = dialog->isVisible();
        userAfter = user->text();
        passwordAfter = password->text();
        if (dialog->isVisible()) {
            relay.restore();
            ok->click();
        }
        if (dialog->isVisible())
            dialog->reject();
    });
    QCOMPARE(window.startUp(), StartupOutcome::Started);
    QVERIFY(broken);
    if (serverAway) {
        // Told in Hungarian, with the dialog and what was typed kept for the next OK.
        QCOMPARE(boxesAtFirstOk.size(), 1);
        QVERIFY2(boxesAtFirstOk.first().startsWith(NoConnection), qPrintable(boxesAtFirstOk.first()));
        QVERIFY(openAfterFailure);
        QCOMPARE(userAfter, u"kati"_s);
        QCOMPARE(passwordAfter, u"titkos jelszó"_s);
    } else {
        // The check only reads: it was run again on a new line without troubling the user.
        QCOMPARE(boxesAtFirstOk, QStringList());
        QVERIFY(!openAfterFailure);
    }
    QCOMPARE(boxes.count(), serverAway ? 1 : 0);
    QCOMPARE(Beall.userId, 3);
    QCOMPARE(Beall.userFullName, u"Kiss Katalin"_s);
    QVERIFY(Beall.masterDataRight);
    QVERIFY(!Beall.adminRight);
    // The connection the program goes on with works.
    QCOMPARE(QueryText(window.connection(), u"SELECT @@collation_connection"_s, {}),
             u"latin2_hungarian_ci"_s);
    window.close();
}

int main(int argc, char *argv[])
{
    // The program's own application object: an error no window handles reaches its general handler.
    OrvanthApplication app(argc, argv);
    TestLostConnection test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_lostconnection.moc"
