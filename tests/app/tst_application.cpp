#include "app/application.h"
#include "app/beall.h"
#include "app/frm_main.h"
#include "app/setup.h"
#include "common/paths.h"
#include "common/values.h"
#include "config/conprofile.h"
#include "config/inifile.h"
#include "db/dberror.h"
#include "db/dbroutines.h"
#include "gui/messagebox.h"
#include "modaldialogs.h"
#include "startedprogram.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

enum class Thrown { DbError, ConversionError, RuntimeError, Unknown };

[[noreturn]] void Throw(Thrown what, const QString &text)
{
    switch (what) {
    case Thrown::DbError: throw DbError(text, 1146); // a server error, shown as the server says it
    case Thrown::ConversionError: throw ConversionError(text);
    case Thrown::RuntimeError: throw std::runtime_error(text.toStdString());
    case Thrown::Unknown: throw 42;
    }
    throw std::logic_error("unknown kind of error");
}

// A widget whose key press handler fails on the first key and counts the keys after it.
class FailingKeys : public QWidget
{
public:
    FailingKeys(std::function<void()> fail, QWidget *parent) : QWidget(parent), m_fail(std::move(fail)) {}
    int handled = 0;

protected:
    void keyPressEvent(QKeyEvent *) override
    {
        if (std::exchange(m_failNext, false))
            m_fail();
        ++handled;
    }

private:
    std::function<void()> m_fail;
    bool m_failNext = true;
};

} // namespace

Q_DECLARE_METATYPE(Thrown)

// The application object's general error handler, and the main window's keep-alive, on the
// application object the program runs with.
class TestApplication : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void errorInAnEventIsShownAndTheProgramGoesOn_data();
    void errorInAnEventIsShownAndTheProgramGoesOn();
    void realErrorBoxIsAnsweredAndTheProgramGoesOn();

    void keepAlivePingsTheServerWhileIdle();
    void keepAliveRestoresALostConnection();

private:
    void startMainWindow();

    std::unique_ptr<ScopedDataFolder> m_folder;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Tfrm_Main> m_window;
};

void TestApplication::initTestCase()
{
    QVERIFY(qobject_cast<OrvanthApplication *>(qApp));
    SetUpApplication(*qApp);
}

void TestApplication::cleanup()
{
    VerifyNoDialogLeftOpen();
    m_window.reset();
    m_db.reset();
    m_folder.reset();
}

void TestApplication::errorInAnEventIsShownAndTheProgramGoesOn_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<Thrown>("thrown");
    QTest::addColumn<QString>("shown");

    QTest::newRow("database error from a button")
        << u"click"_s << Thrown::DbError << u"Table 'orvanth.iktato' doesn't exist"_s;
    QTest::newRow("conversion error from a timer")
        << u"timer"_s << Thrown::ConversionError << u"„12x” nem egész szám"_s;
    QTest::newRow("standard error from a key press") << u"key"_s << Thrown::RuntimeError << u"elfogyott"_s;
    QTest::newRow("something that is no std::exception")
        << u"click"_s << Thrown::Unknown << u"Ismeretlen hiba történt."_s;
}

// The error leaves its event handler, the error box shows its text, and the next event of the
// same loop is handled as usual.
void TestApplication::errorInAnEventIsShownAndTheProgramGoesOn()
{
    QFETCH(QString, from);
    QFETCH(Thrown, thrown);
    QFETCH(QString, shown);

    QWidget window;
    auto *button = new QPushButton(u"Mentés"_s, &window);
    int clicks = 0;
    bool fail = true;
    QObject::connect(button, &QPushButton::clicked, [&] {
        if (std::exchange(fail, false))
            Throw(thrown, shown);
        ++clicks;
    });
    auto *keys = new FailingKeys([&] { Throw(thrown, shown); }, &window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    MessageBoxRecorder boxes;
    QEventLoop loop;
    bool wentOn = false;
    const auto strike = [&] {
        if (from == u"click"_s) {
            QTest::mouseClick(button, Qt::LeftButton);
            QTest::mouseClick(button, Qt::LeftButton);
        } else if (from == u"key"_s) {
            QTest::keyClick(keys, Qt::Key_A);
            QTest::keyClick(keys, Qt::Key_B);
        } else {
            Throw(thrown, shown);
        }
    };
    QTimer::singleShot(0, &window, strike);
    QTimer::singleShot(0, &window, [&] {
        wentOn = true;
        loop.quit();
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();

    QVERIFY(wentOn);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().at(0).kind, MessageBoxRecorder::Kind::Error);
    QCOMPARE(boxes.boxes().at(0).caption, u"Hiba"_s);
    QCOMPARE(boxes.texts(), QStringList{shown});
    // The event after the failing one, in the same handler, runs as before.
    if (from == u"click"_s)
        QCOMPARE(clicks, 1);
    if (from == u"key"_s)
        QCOMPARE(keys->handled, 1);
}

void TestApplication::realErrorBoxIsAnsweredAndTheProgramGoesOn()
{
    QWidget window;
    auto *button = new QPushButton(u"Mentés"_s, &window);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] {
        if (++clicks == 1)
            throw DbError(u"Table 'hatarozat.nincs' doesn't exist"_s, 1146);
    });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QString text;
    const ModalAnswer errorBox = AnswerModal(u"Hiba"_s, [&text](QDialog *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        QVERIFY(box);
        text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(text, u"Table 'hatarozat.nincs' doesn't exist"_s);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks, 2);
}

void TestApplication::startMainWindow()
{
    m_folder = std::make_unique<ScopedDataFolder>();
    Beall = TBeall();
    m_db = std::make_unique<TestDatabase>();
    REQUIRE_SQL(m_db->client("INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Alpha');"));
    m_window = StartMainWindow(*m_db);
    QVERIFY(m_window);
    QCOMPARE(m_window->keepAliveInterval(), 60 * 1000);
    m_window->setKeepAliveInterval(100);
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestApplication::keepAlivePingsTheServerWhileIdle()
{
    REQUIRE_TEST_SERVER();
    startMainWindow();
    if (QTest::currentTestFailed())
        return;
    QStringList sent;
    m_window->connection().setBeforeSendHook(
        [&sent](QByteArrayView sql) { sent.append(QString::fromLatin1(sql.data(), sql.size())); });
    QTRY_VERIFY2(sent.count(u"SELECT CURDATE();"_s) >= 3, qPrintable(sent.join(u" | "_s)));
    m_window->connection().setBeforeSendHook({});
}

// The server drops the idle connection (here: it is killed); the next keep-alive finds it lost
// and connects again, with the character set set again, before the user needs it.
void TestApplication::keepAliveRestoresALostConnection()
{
    REQUIRE_TEST_SERVER();
    startMainWindow();
    if (QTest::currentTestFailed())
        return;
    Connection &connection = m_window->connection();
    const unsigned long before = connection.threadId();
    QCOMPARE(connection.reconnectCount(), 0);
    bool ok = false;
    TestServer::client("KILL " + QByteArray::number(quint64(before)) + ';', {}, &ok);
    QVERIFY(ok);
    QTRY_COMPARE(connection.reconnectCount(), 1);
    QVERIFY(connection.threadId() != before);
    QCOMPARE(QueryText(connection, u"SELECT @@character_set_connection;"_s, QString()), u"latin2"_s);
}

int main(int argc, char *argv[])
{
    OrvanthApplication app(argc, argv);
    TestApplication test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
