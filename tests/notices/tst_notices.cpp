#include "common/download.h"
#include "common/paths.h"
#include "config/inifile.h"
#include "db/connection.h"
#include "db/dbroutines.h"
#include "gui/messagebox.h"
#include "httpsserver.h"
#include "modaldialogs.h"
#include "notices/frm_hirfolyam.h"
#include "notices/frm_verziokovetes.h"
#include "notices/noticechecks.h"
#include "notices/noticerequest.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

QByteArray FileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

enum class Answer { Ok, OkTicked, ClosedTicked };

} // namespace

Q_DECLARE_METATYPE(Answer)

// The version notice and the news window against a real HTTPS server on 127.0.0.1 and a real
// database settings row.
class TestNotices : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void versionNotice_data();
    void versionNotice();
    void versionDismissal_data();
    void versionDismissal();
    void news_data();
    void news();
    void newsDismissal_data();
    void newsDismissal();
    void newsLinkOpensTheDetails();
    void failedRequestShowsNothingAndLeavesNoOldReply_data();
    void failedRequestShowsNothingAndLeavesNoOldReply();
    void noServiceAddressMakesNoRequest();
    void windowsKeepTheirPartsAtTheirDistances();
    void windowsRememberTheirPlaces();

private:
    // Runs one check to its end; false when the check ended without a reply.
    bool runCheck(bool news);
    // Whether a request of either check is still on its way.
    bool requestRunning() const;
    void setStored(const QByteArray &column, const QVariant &value);
    QVariant stored(const QString &column);

    HttpsServer m_server;
    std::unique_ptr<ScopedDataFolder> m_folder;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_connection;
    std::unique_ptr<QWidget> m_owner;
    std::unique_ptr<NoticeChecks> m_checks;
};

void TestNotices::initTestCase()
{
    QVERIFY2(m_server.start(), qPrintable(m_server.error()));
    m_server.trustInThisProcess();
    QFont::insertSubstitution(u"Segoe UI"_s, u"DejaVu Sans"_s);
}

void TestNotices::init()
{
    REQUIRE_TEST_SERVER();
    m_folder = std::make_unique<ScopedDataFolder>();
    QVERIFY(QDir().mkpath(DataFolder()));
    m_db = std::make_unique<TestDatabase>();
    // Older databases allow NULL in both columns; so does this one.
    REQUIRE_SQL(m_db->client("ALTER TABLE beallit MODIFY hirelfogadva INT NULL;"));
    m_connection = std::make_unique<Connection>(m_db->params());
    m_connection->open();
    m_owner = std::make_unique<QWidget>();
    m_owner->show();
    m_checks = std::make_unique<NoticeChecks>(*m_connection, m_owner.get());
    SetNoticesBaseUrl(m_server.baseUrl());
    m_server.setHanging(false);
}

void TestNotices::cleanup()
{
    VerifyNoDialogLeftOpen();
    m_checks.reset();
    m_owner.reset();
    m_connection.reset();
    m_db.reset();
    m_folder.reset();
}

bool TestNotices::runCheck(bool news)
{
    QSignalSpy done(m_checks.get(), news ? &NoticeChecks::newsCheckDone : &NoticeChecks::versionCheckDone);
    if (!(news ? m_checks->runNewsCheck() : m_checks->runVersionCheck()))
        return false;
    return done.wait(10000);
}

bool TestNotices::requestRunning() const
{
    const QList<NoticeRequest *> requests = m_checks->findChildren<NoticeRequest *>();
    return std::any_of(requests.begin(), requests.end(),
                       [](const NoticeRequest *r) { return r->isRunning(); });
}

void TestNotices::setStored(const QByteArray &column, const QVariant &value)
{
    const QByteArray sqlValue = !value.isValid()                   ? QByteArray("NULL")
                                : value.typeId() == QMetaType::Int ? QByteArray::number(value.toInt())
                                                                   : "'" + value.toString().toUtf8() + "'";
    REQUIRE_SQL(m_db->client("UPDATE beallit SET " + column + " = " + sqlValue + ";"));
}

QVariant TestNotices::stored(const QString &column)
{
    return QueryText(*m_connection, u"SELECT IFNULL(%1, 'NULL') FROM beallit;"_s.arg(column), u"no row"_s);
}

void TestNotices::versionNotice_data()
{
    QTest::addColumn<QVariant>("dismissed"); // invalid: NULL
    QTest::addColumn<bool>("settingsRow");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("message");

    QTest::newRow("dismissed 45, offered 44")
        << QVariant(u"23.0.0.45"_s) << true << QByteArray("23.0.0.44|Új verzió") << false << QString()
        << QString();
    QTest::newRow("nothing dismissed, offered 24.0.0.1")
        << QVariant() << true << QByteArray("24.0.0.1|Új főverzió") << false << QString() << QString();
    QTest::newRow("nothing dismissed, build 38")
        << QVariant() << true << u"23.0.0.38|Letölthető az új verzió: árvíztűrő"_s.toUtf8() << true
        << u"Verziókövetés: 23.0.0.38"_s << u"Letölthető az új verzió: árvíztűrő"_s;
    QTest::newRow("empty text dismissed, build 38") << QVariant(u""_s) << true << QByteArray("23.0.0.38|M")
                                                    << true << u"Verziókövetés: 23.0.0.38"_s << u"M"_s;
    QTest::newRow("38 dismissed, offered 38")
        << QVariant(u"23.0.0.38"_s) << true << QByteArray("23.0.0.38|M") << false << QString() << QString();
    QTest::newRow("38 dismissed, offered 39")
        << QVariant(u"23.0.0.38"_s) << true << QByteArray("23.0.0.39|M|x") << true
        << u"Verziókövetés: 23.0.0.39"_s << u"M"_s;
    QTest::newRow("fourth part with a line break, no message")
        << QVariant() << true << QByteArray("23.0.0.40\r\n") << true << u"Verziókövetés: 23.0.0.40"_s
        << QString();
    QTest::newRow("fourth part with blanks") << QVariant() << true << QByteArray("23.0.0. 41 \n") << true
                                             << u"Verziókövetés: 23.0.0. 41"_s << QString();
    QTest::newRow("three parts never notify")
        << QVariant() << true << QByteArray("24.1.99|M") << false << QString() << QString();
    QTest::newRow("message over two lines") << QVariant() << true << QByteArray("23.0.0.42|first\nsecond|")
                                            << true << u"Verziókövetés: 23.0.0.42"_s << u"first\nsecond"_s;
    QTest::newRow("no settings row: own build counts, 37")
        << QVariant() << false << QByteArray("23.0.0.37|M") << false << QString() << QString();
    QTest::newRow("no settings row: 38") << QVariant() << false << QByteArray("23.0.0.38|M") << true
                                         << u"Verziókövetés: 23.0.0.38"_s << u"M"_s;
}

void TestNotices::versionNotice()
{
    QFETCH(QVariant, dismissed);
    QFETCH(bool, settingsRow);
    QFETCH(QByteArray, reply);
    QFETCH(bool, shown);
    QFETCH(QString, caption);
    QFETCH(QString, message);

    setStored("verzioelfogadva", dismissed);
    if (!settingsRow)
        REQUIRE_SQL(m_db->client("DELETE FROM beallit;"));
    m_server.setReply(u"verziokovetes.php"_s, reply);

    if (shown) {
        QString seenMessage;
        QString seenHeading;
        const ModalAnswer notice = AnswerModal(caption, [&](QDialog *dialog) {
            REQUIRE_CHILD(heading, QLabel, dialog, u"heading"_s);
            seenHeading = heading->text();
            REQUIRE_CHILD(text, QLabel, dialog, u"text"_s);
            seenMessage = text->text();
            if (qstrcmp(QTest::currentDataTag(), "nothing dismissed, build 38") == 0)
                SaveShot(dialog, u"verziokovetes"_s);
            REQUIRE_CHILD(ok, QPushButton, dialog, u"ok"_s);
            ok->click();
        });
        QVERIFY(runCheck(false));
        QVERIFY(notice.answered());
        QCOMPARE(seenHeading, u"Új verzió megjelenés"_s);
        QCOMPARE(seenMessage, message);
    } else {
        ModalWatch watch;
        QVERIFY(runCheck(false));
        QCOMPARE(watch.seen(), QStringList());
    }
    QCOMPARE(m_server.requests().last(), QByteArray("GET /verziokovetes.php?prg=52 HTTP/1.1"));
    // The reply stays in the data folder as it came.
    QCOMPARE(FileBytes(QDir(DataFolder()).filePath(u"Verkov.txt"_s)), reply);
}

void TestNotices::versionDismissal_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("storedAfter");

    QTest::newRow("OK alone stores nothing") << Answer::Ok << u"23.0.0.20"_s;
    QTest::newRow("OK with the box ticked stores the version") << Answer::OkTicked << u"23.0.0.38"_s;
    QTest::newRow("closed with the box ticked stores nothing") << Answer::ClosedTicked << u"23.0.0.20"_s;
}

void TestNotices::versionDismissal()
{
    QFETCH(Answer, answer);
    setStored("verzioelfogadva", u"23.0.0.20"_s);
    m_server.setReply(u"verziokovetes.php"_s, "23.0.0.38\n|Új|");
    const ModalAnswer notice = AnswerModal(u"Verziókövetés: 23.0.0.38"_s, [answer](QDialog *dialog) {
        REQUIRE_CHILD(box, QCheckBox, dialog, u"dontShowAgain"_s);
        QCOMPARE(box->text(), u"Többet ne figyelmeztessen"_s);
        if (answer != Answer::Ok)
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        QVERIFY(box->isChecked() == (answer != Answer::Ok));
        if (answer == Answer::ClosedTicked) {
            dialog->close();
        } else {
            REQUIRE_CHILD(ok, QPushButton, dialog, u"ok"_s);
            ok->click();
        }
    });
    QVERIFY(runCheck(false));
    QTEST(stored(u"verzioelfogadva"_s).toString(), "storedAfter");
}

void TestNotices::news_data()
{
    QTest::addColumn<QVariant>("dismissed"); // invalid: NULL
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("linkEnd");

    const QByteArray hir0 = "GET /hirfolyam.php?prg=52&hir=0 HTTP/1.1";
    QTest::newRow("news 0 shows nothing")
        << QVariant(0) << QByteArray("0|") << hir0 << false << QString() << QString() << QString();
    QTest::newRow("0 as the whole reply shows nothing")
        << QVariant(0) << QByteArray("0\n") << hir0 << false << QString() << QString() << QString();
    QTest::newRow("empty reply shows nothing")
        << QVariant(0) << QByteArray() << hir0 << false << QString() << QString() << QString();
    QTest::newRow("12, T, B") << QVariant(0) << QByteArray("12|T|B") << hir0 << true << u"T"_s << u"B"_s
                              << u"hirek.php?hir=12"_s;
    QTest::newRow("NULL dismissed sends 0") << QVariant() << u"13|Hír|Új szöveg|"_s.toUtf8() << hir0 << true
                                            << u"Hír"_s << u"Új szöveg"_s << u"hirek.php?hir=13"_s;
    QTest::newRow("9 dismissed sends 9")
        << QVariant(9) << QByteArray("10|A|B|") << QByteArray("GET /hirfolyam.php?prg=52&hir=9 HTTP/1.1")
        << true << u"A"_s << u"B"_s << u"hirek.php?hir=10"_s;
    QTest::newRow("body over lines") << QVariant(0) << QByteArray("4|T|one\r\ntwo\n") << hir0 << true
                                     << u"T"_s << u"one\ntwo"_s << u"hirek.php?hir=4"_s;
    QTest::newRow("no separator opens an empty window")
        << QVariant(0) << QByteArray("7") << hir0 << true << QString() << QString() << u"hirek.php?hir=7"_s;
}

void TestNotices::news()
{
    QFETCH(QVariant, dismissed);
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, request);
    QFETCH(bool, shown);

    setStored("hirelfogadva", dismissed);
    m_server.setReply(u"hirfolyam.php"_s, reply);
    ModalWatch watch;
    QVERIFY(runCheck(true));
    QCOMPARE(m_server.requests().last(), request);
    QCOMPARE(FileBytes(QDir(DataFolder()).filePath(u"hirkov.txt"_s)), reply);
    QCOMPARE(watch.seen(), QStringList());

    Tfrm_Hirfolyam *window = m_checks->newsWindow();
    QCOMPARE(window != nullptr, shown);
    if (!window)
        return;
    // It does not hold up the program: it is open without being modal.
    QVERIFY(window->isVisible());
    QVERIFY(!window->isModal());
    QCOMPARE(window->windowTitle(), u"Hírek"_s);
    REQUIRE_CHILD(heading, QLabel, window, u"heading"_s);
    QTEST(heading->text(), "title");
    REQUIRE_CHILD(text, QLabel, window, u"text"_s);
    QTEST(text->text(), "body");
    QFETCH(QString, linkEnd);
    REQUIRE_CHILD(link, QLabel, window, u"link"_s);
    QCOMPARE(link->text(), m_server.baseUrl() + linkEnd);
    REQUIRE_CHILD(detailsCaption, QLabel, window, u"detailsCaption"_s);
    QCOMPARE(detailsCaption->text(), u"Részletek:"_s);
    if (qstrcmp(QTest::currentDataTag(), "12, T, B") == 0)
        SaveShot(window, u"hirfolyam"_s);
    window->close();
    QTRY_VERIFY(!m_checks->newsWindow()); // it frees itself
}

void TestNotices::newsDismissal_data()
{
    QTest::addColumn<QVariant>("storedBefore"); // invalid: NULL
    QTest::addColumn<int>("item");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("storedAfter");

    QTest::newRow("dismissing 5 with 9 stored keeps 9") << QVariant(9) << 5 << Answer::OkTicked << u"9"_s;
    QTest::newRow("dismissing 12 with 9 stored stores 12")
        << QVariant(9) << 12 << Answer::OkTicked << u"12"_s;
    QTest::newRow("dismissing 12 with NULL stored stores 12")
        << QVariant() << 12 << Answer::OkTicked << u"12"_s;
    QTest::newRow("OK alone stores nothing") << QVariant(9) << 12 << Answer::Ok << u"9"_s;
    QTest::newRow("closed with the box ticked stores nothing")
        << QVariant(9) << 12 << Answer::ClosedTicked << u"9"_s;
}

void TestNotices::newsDismissal()
{
    QFETCH(QVariant, storedBefore);
    QFETCH(int, item);
    QFETCH(Answer, answer);

    setStored("hirelfogadva", storedBefore);
    m_server.setReply(u"hirfolyam.php"_s, QByteArray::number(item) + "|Cím|Szöveg|");
    QVERIFY(runCheck(true));
    QPointer<Tfrm_Hirfolyam> window = m_checks->newsWindow();
    QVERIFY(window);
    REQUIRE_CHILD(box, QCheckBox, window, u"dontShowAgain"_s);
    QCOMPARE(box->text(), u"Többet ne mutassa"_s);
    if (answer != Answer::Ok)
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    QVERIFY(box->isChecked() == (answer != Answer::Ok));
    if (answer == Answer::ClosedTicked) {
        window->close();
    } else {
        REQUIRE_CHILD(ok, QPushButton, window, u"ok"_s);
        QTest::mouseClick(ok, Qt::LeftButton);
    }
    QTRY_VERIFY(!window);
    QTEST(stored(u"hirelfogadva"_s).toString(), "storedAfter");
}

void TestNotices::newsLinkOpensTheDetails()
{
    std::optional<UrlCatcher> catcher(std::in_place, u"https"_s);
    m_server.setReply(u"hirfolyam.php"_s, "12|T|B");
    QVERIFY(runCheck(true));
    Tfrm_Hirfolyam *window = m_checks->newsWindow();
    QVERIFY(window);
    REQUIRE_CHILD(link, QLabel, window, u"link"_s);
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(link->font().underline());
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(4, link->height() / 2));
    const QList<QUrl> opened = catcher->urls;
    catcher.reset();
    QCOMPARE(opened, QList<QUrl>{QUrl(m_server.baseUrl() + u"hirek.php?hir=12"_s)});
    // The link is no way of dismissing the news.
    QVERIFY(window->isVisible());
}

void TestNotices::failedRequestShowsNothingAndLeavesNoOldReply_data()
{
    QTest::addColumn<bool>("news");
    QTest::addColumn<int>("status");

    QTest::newRow("version, not found") << false << 404;
    QTest::newRow("version, server error") << false << 500;
    QTest::newRow("news, server error") << true << 500;
}

void TestNotices::failedRequestShowsNothingAndLeavesNoOldReply()
{
    QFETCH(bool, news);
    QFETCH(int, status);
    const QString file = QDir(DataFolder()).filePath(news ? u"hirkov.txt"_s : u"Verkov.txt"_s);
    // A reply of an earlier run would otherwise be read as this run's.
    QFile old(file);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(news ? "12|T|B" : "23.0.0.99|M");
    old.close();
    m_server.setReply(news ? u"hirfolyam.php"_s : u"verziokovetes.php"_s, "23.0.0.99|M", status);

    QSignalSpy done(m_checks.get(), news ? &NoticeChecks::newsCheckDone : &NoticeChecks::versionCheckDone);
    MessageBoxRecorder boxes;
    ModalWatch watch;
    const int before = m_server.requests().size();
    QVERIFY(news ? m_checks->runNewsCheck() : m_checks->runVersionCheck());
    QTRY_COMPARE(m_server.requests().size(), before + 1);
    // The request ends with the failed download; a reply would be read after a pause, so the
    // check is given that pause and more to end wrongly.
    QTRY_VERIFY(!requestRunning());
    QVERIFY(!done.wait(1000));
    QCOMPARE(done.count(), 0);
    QVERIFY(!QFile::exists(file));
    QCOMPARE(watch.seen(), QStringList());
    QCOMPARE(boxes.count(), 0);
    QVERIFY(!m_checks->newsWindow());
}

void TestNotices::noServiceAddressMakesNoRequest()
{
    SetNoticesBaseUrl(QString());
    const int connections = m_server.connections();
    QVERIFY(!m_checks->runVersionCheck());
    QVERIFY(!m_checks->runNewsCheck());
    // Nothing was started that could connect later.
    QVERIFY(!requestRunning());
    QCOMPARE(m_server.connections(), connections);
    QVERIFY(!QFile::exists(QDir(DataFolder()).filePath(u"Verkov.txt"_s)));
    QVERIFY(!QFile::exists(QDir(DataFolder()).filePath(u"hirkov.txt"_s)));
}

// Both windows: background, fonts, and the parts' distances from the edges at two sizes.
void TestNotices::windowsKeepTheirPartsAtTheirDistances()
{
    Tfrm_Verziokovetes version(u"23.0.0.38"_s, u"Szöveg"_s);
    auto news = new Tfrm_Hirfolyam(u"Cím"_s, u"Szöveg"_s, u"https://x/hirek.php?hir=1"_s);
    const QList<std::pair<QWidget *, int>> windows{{&version, Tfrm_Verziokovetes::MessageBottomReserve},
                                                   {news, Tfrm_Hirfolyam::BodyBottomReserve}};
    QCOMPARE(version.palette().color(QPalette::Window), QColor(0xF8, 0xC0, 0xB8));
    QCOMPARE(news->palette().color(QPalette::Window), QColor(0xB5, 0xD2, 0xF0));
    for (const auto &[window, reserve] : windows) {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->font().pointSize(), 10);
        REQUIRE_CHILD(headingLabel, QLabel, window, u"heading"_s);
        const QFont heading = headingLabel->font();
        QCOMPARE(heading.pointSize(), 14);
        QVERIFY(heading.bold());
        for (const QSize size : {QSize(500, 300), QSize(720, 460)}) {
            window->resize(size);
            QTRY_COMPARE(window->size(), size);
            REQUIRE_CHILD(textLabel, QLabel, window, u"text"_s);
            const QRect text = textLabel->geometry();
            QCOMPARE(text.size(), QSize(size.width() - 19, size.height() - reserve));
            REQUIRE_CHILD(dontShowAgain, QCheckBox, window, u"dontShowAgain"_s);
            const QRect box = dontShowAgain->geometry();
            REQUIRE_CHILD(okButton, QPushButton, window, u"ok"_s);
            const QRect ok = okButton->geometry();
            QCOMPARE(box.top(), size.height() - 35);
            QCOMPARE(ok.top(), size.height() - 35);
            QCOMPARE(ok.left(), size.width() - 128);
            QVERIFY(ok.right() < size.width());
            QVERIFY(box.right() < ok.left());
            QVERIFY(text.bottom() < box.top());
        }
    }
    const QSize size = news->size();
    REQUIRE_CHILD(detailsCaption, QLabel, news, u"detailsCaption"_s);
    QCOMPARE(detailsCaption->geometry().top(), size.height() - 67);
    REQUIRE_CHILD(link, QLabel, news, u"link"_s);
    QCOMPARE(link->geometry().top(), size.height() - 67);
    news->close();
}

void TestNotices::windowsRememberTheirPlaces()
{
    {
        Tfrm_Verziokovetes version(u"23.0.0.38"_s, QString());
        version.show();
        QVERIFY(QTest::qWaitForWindowExposed(&version));
        version.move(123, 77);
        version.accept();
    }
    const IniFile settings(SettingsFilePath());
    QCOMPARE(settings.readString(u"frm_Verziokovetes"_s, u"Left"_s), u"123"_s);
    QCOMPARE(settings.readString(u"frm_Verziokovetes"_s, u"Top"_s), u"77"_s);

    auto news = ShowNewsWindow(u"C"_s, u"B"_s, u"https://x/"_s, nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(news));
    news->setGeometry(150, 90, 530, 330);
    QTRY_COMPARE(news->size(), QSize(530, 330));
    news->close();
    QVERIFY(!settings.readString(u"frm_Hirfolyam"_s, u"Width"_s).isEmpty());

    // The next showing comes back there.
    auto again = ShowNewsWindow(u"C"_s, u"B"_s, u"https://x/"_s, nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(again));
    QCOMPARE(again->size(), QSize(530, 330));
    again->close();
    const ModalAnswer second = AnswerModal(u"Verziókövetés: 23.0.0.39"_s, [](QDialog *dialog) {
        QCOMPARE(dialog->pos(), QPoint(123, 77));
        dialog->reject();
    });
    QVERIFY(!ShowVersionNotice(u"23.0.0.39"_s, QString(), nullptr));
}

QTEST_MAIN(TestNotices)
#include "tst_notices.moc"
