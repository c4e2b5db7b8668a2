#include "app/application.h"
#include "app/beall.h"
#include "app/frm_main.h"
#include "app/mainregister.h"
#include "app/setup.h"
#include "common/download.h"
#include "common/paths.h"
#include "httpsserver.h"
#include "modaldialogs.h"
#include "notices/frm_hirfolyam.h"
#include "notices/noticechecks.h"
#include "register/registerview.h"
#include "startedprogram.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace Qt::StringLiterals;

// The main window runs the version and news checks once it is shown, and goes on working
// whatever the web service does.
class TestMainNotices : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void checksRunFiveAndTenSecondsAfterShowing();
    void silentServerLeavesTheWindowResponsive();

private:
    void startMainWindow();

    HttpsServer m_server;
    std::unique_ptr<ScopedDataFolder> m_folder;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Tfrm_Main> m_window;
};

void TestMainNotices::initTestCase()
{
    SetUpApplication(*qApp);
    QVERIFY2(m_server.start(), qPrintable(m_server.error()));
    m_server.trustInThisProcess();
    SetNoticesBaseUrl(m_server.baseUrl());
}

void TestMainNotices::cleanup()
{
    VerifyNoDialogLeftOpen();
    m_window.reset();
    m_db.reset();
    m_folder.reset();
}

void TestMainNotices::startMainWindow()
{
    m_folder = std::make_unique<ScopedDataFolder>();
    Beall = TBeall();
    m_db = std::make_unique<TestDatabase>();
    m_window = StartMainWindow(*m_db);
    QVERIFY(m_window);
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestMainNotices::checksRunFiveAndTenSecondsAfterShowing()
{
    REQUIRE_TEST_SERVER();
    m_server.setHanging(false);
    m_server.setReply(u"verziokovetes.php"_s, "23.0.0.38|Van újabb.|");
    m_server.setReply(u"hirfolyam.php"_s, "12|Hír|Szöveg|");
    const int before = m_server.requests().size();
    startMainWindow();
    if (QTest::currentTestFailed())
        return;
    REQUIRE_CHILD(versionTimer, QTimer, m_window, u"TimerVerzio"_s);
    REQUIRE_CHILD(newsTimer, QTimer, m_window, u"TimerHirek"_s);
    QVERIFY(versionTimer && newsTimer);
    QVERIFY(versionTimer->isActive() && versionTimer->isSingleShot());
    QVERIFY(newsTimer->isActive() && newsTimer->isSingleShot());
    QCOMPARE(versionTimer->interval(), 5000);
    QCOMPARE(newsTimer->interval(), 10000);
    QCOMPARE(m_server.requests().size(), before);

    // Shortened from here on; the notice opens over the main window, the news beside it.
    bool newsOpenDuringNotice = true;
    ModalAnswer notice = AnswerModal(u"Verziókövetés: 23.0.0.38"_s, [&](QDialog *dialog) {
        QCOMPARE(dialog->parentWidget(), m_window.get());
        newsOpenDuringNotice = m_window->notices().newsWindow() != nullptr;
        REQUIRE_CHILD(ok, QPushButton, dialog, u"ok"_s);
        ok->click();
    });
    m_window->notices().setDelays(50, 2000);
    QVERIFY(notice.verify());
    QVERIFY(!newsOpenDuringNotice);
    QTRY_VERIFY_WITH_TIMEOUT(m_window->notices().newsWindow(), 10000);
    Tfrm_Hirfolyam *news = m_window->notices().newsWindow();
    QCOMPARE(news->parentWidget(), m_window.get());
    QVERIFY(news->isWindow());
    QVERIFY(QTest::qWaitForWindowExposed(news));
    QCOMPARE(m_server.requests().mid(before),
             (QList<QByteArray>{"GET /verziokovetes.php?prg=52 HTTP/1.1",
                                "GET /hirfolyam.php?prg=52&hir=0 HTTP/1.1"}));
    // Each check runs once: both timers are single-shot and spent, so no request can follow.
    QVERIFY(!versionTimer->isActive());
    QVERIFY(!newsTimer->isActive());
    QCOMPARE(m_server.requests().size(), before + 2);
}

// The service accepts the connection and never answers. While both requests hang, the user
// types in the search box, every tick of a 20 ms timer comes on time from the program's own
// event loop (not from a loop nested inside a wait), and no notice or message appears.
void TestMainNotices::silentServerLeavesTheWindowResponsive()
{
    REQUIRE_TEST_SERVER();
    m_server.setHanging(true);
    const int before = m_server.requests().size();
    startMainWindow();
    if (QTest::currentTestFailed())
        return;
    ModalWatch watch;

    const int ownLevel = QThread::currentThread()->loopLevel();
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longestGap = 0;
    int ticks = 0;
    int nestedTicks = 0;
    QTimer tick;
    tick.setInterval(20);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longestGap = std::max(longestGap, now - last);
        last = now;
        ++ticks;
        if (QThread::currentThread()->loopLevel() != ownLevel)
            ++nestedTicks;
    });
    tick.start();
    // The checks start while the ticks are counted.
    m_window->notices().setDelays(10, 20);
    QTRY_COMPARE(m_server.requests().size(), before + 2);
    QLineEdit *search = m_window->mainRegister()->view().searchEdit();
    search->setFocus();
    QTest::keyClicks(search, u"ab"_s);
    // Watched for as many ticks as 1.5 s brings, however long the machine takes to give them.
    const int ticksBefore = ticks;
    QTRY_VERIFY_WITH_TIMEOUT(ticks >= ticksBefore + 75, 30000);
    tick.stop();

    QVERIFY(ticks > 20);
    QVERIFY2(longestGap < 400, qPrintable(u"longest gap %1 ms"_s.arg(longestGap)));
    QCOMPARE(nestedTicks, 0);
    QVERIFY(search->text().endsWith(u"ab"_s));
    QCOMPARE(watch.seen(), QStringList());
    QVERIFY(!m_window->notices().newsWindow());
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible() || !w->objectName().startsWith(u"frm_"_s) || w == m_window.get(),
                 qPrintable(w->objectName()));
    // Closing the window while the requests still hang ends them.
    m_window->close();
    m_window.reset();
}

int main(int argc, char *argv[])
{
    OrvanthApplication app(argc, argv);
    TestMainNotices test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainnotices.moc"
