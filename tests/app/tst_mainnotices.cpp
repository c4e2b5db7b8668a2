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
#include <QProcess>
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
    void newsDuringTheVersionNoticeComesToTheFront();

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

namespace {

// The top-level windows of the X display from the bottom of the stack to its top, as the window
// manager keeps them.
QList<WId> StackingOrder()
{
    QProcess xprop;
    xprop.start(u"xprop"_s, {u"-root"_s, u"_NET_CLIENT_LIST_STACKING"_s});
    if (!xprop.waitForFinished(5000))
        return {};
    const QString out = QString::fromLatin1(xprop.readAllStandardOutput());
    QList<WId> ids;
    const qsizetype hash = out.indexOf(u'#');
    if (hash < 0)
        return ids;
    for (const QString &part : out.mid(hash + 1).split(u',', Qt::SkipEmptyParts))
        ids.append(part.trimmed().toULongLong(nullptr, 16));
    return ids;
}

} // namespace

// The news arrives while the version notice waits for its OK: once the notice is closed, the news
// is on top of the main window and has the focus, not hidden behind the window the notice left.
void TestMainNotices::newsDuringTheVersionNoticeComesToTheFront()
{
    if (QGuiApplication::platformName() != u"xcb"_s)
        QSKIP("needs an X display with a window manager: runs as tst_mainnotices_wm");
    REQUIRE_TEST_SERVER();
    m_server.setHanging(false);
    m_server.setReply(u"verziokovetes.php"_s, "23.0.0.38|Van újabb.|");
    m_server.setReply(u"hirfolyam.php"_s, "12|Hír|Szöveg|");
    startMainWindow();
    if (QTest::currentTestFailed())
        return;
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));

    bool newsCameDuringNotice = false;
    ModalAnswer notice = AnswerModal(
        u"Verziókövetés: 23.0.0.38"_s,
        [&](QDialog *dialog) {
            QTRY_VERIFY_WITH_TIMEOUT(m_window->notices().newsWindow(), 10000);
            newsCameDuringNotice = true;
            // Let the window manager map the news under the notice before the notice goes.
            QVERIFY(QTest::qWaitForWindowExposed(m_window->notices().newsWindow()));
            QTest::qWait(300);
            dialog->findChild<QPushButton *>(u"ok"_s)->click();
        },
        20000);
    m_window->notices().setDelays(50, 400);
    QVERIFY(notice.verify());
    QVERIFY(newsCameDuringNotice);
    Tfrm_Hirfolyam *news = m_window->notices().newsWindow();
    QVERIFY(news);
    const WId newsId = news->winId();
    const WId mainId = m_window->winId();
    // The window manager settles the stack and the focus after the notice is gone.
    QTRY_VERIFY_WITH_TIMEOUT(news->isActiveWindow(), 5000);
    QTest::qWait(500);
    const QList<WId> stack = StackingOrder();
    QVERIFY(stack.contains(mainId));
    QCOMPARE(stack.indexOf(newsId), stack.size() - 1);
    QVERIFY(news->isActiveWindow());
}

int main(int argc, char *argv[])
{
    OrvanthApplication app(argc, argv);
    TestMainNotices test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainnotices.moc"
