#include "app/beall.h"
#include "app/frm_main.h"
#include "app/mainactions.h"
#include "app/mainregister.h"
#include "app/setup.h"
#include "app/startup.h"
#include "app/statuspanels.h"
#include "common/paths.h"
#include "config/conprofile.h"
#include "config/inifile.h"
#include "gui/formgeometry.h"
#include "gui/messagebox.h"
#include "modaldialogs.h"
#include "register/flowtabbar.h"
#include "register/registerquery.h"
#include "register/registerview.h"
#include "testdatabase.h"
#include "testutil.h"
#include "users/frm_login.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QWindow>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QString profileText(const TestDatabase &db, const QString &name, int port = 0)
{
    const ConnectionParams p = db.params();
    return u"%1;%2;%3;%4;%5;%6"_s.arg(p.database, p.host, QString::number(port ? port : p.port), p.user,
                                      p.password, name);
}

IniFile settingsFile()
{
    QDir().mkpath(DataFolder());
    return IniFile(SettingsFilePath());
}

void storeProfile(int key, const QString &plain)
{
    IniFile ini = settingsFile();
    ini.writeString(u"Adatbazis"_s, u"ConStr"_s + QString::number(key), EncodeConStr(plain));
}

// A port nobody listens on.
int closedPort()
{
    return TestServer::port() == 1 ? 2 : 1;
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        REQUIRE_TEST_SERVER();
        SetUpApplication(*qApp);
    }
    void init()
    {
        m_folder = std::make_unique<ScopedDataFolder>();
        Beall = TBeall();
    }
    void cleanup()
    {
        VerifyNoDialogLeftOpen();
        m_folder.reset();
    }

    void singleWorkingProfileOpensWithoutChooser();
    void chooserListsKeysAndConnectsWithChosen();
    void noProfileRunsSetupAndStoresIt();
    void failedConnectionWritesNothingBack();
    void versionWarning_data();
    void versionWarning();
    void chooserAbandonedQuits();
    void closeWritesSettingsBack();
    void windowGeometryRoundTrip_data();
    void windowGeometryRoundTrip();
    void loginGivesTheUsersRights();
    void loginAbandonedQuitsWithoutWriting();

private:
    std::unique_ptr<ScopedDataFolder> m_folder;
};

void TestStartup::singleWorkingProfileOpensWithoutChooser()
{
    TestDatabase db;
    REQUIRE_SQL(db.client("INSERT INTO csoport (csoport_nev) VALUES ('B'); "
                          "INSERT INTO iktato (ev, csoport, az, datum) VALUES (2024, 1, 1, '2024-05-06');"));
    storeProfile(1, profileText(db, u"Egyetlen"_s));
    MessageBoxRecorder boxes;
    Tfrm_Main window;
    QCOMPARE(window.startUp(), StartupOutcome::Started);
    QCOMPARE(boxes.count(), 0);
    QCOMPARE(Beall.profileName, u"Egyetlen"_s);
    QVERIFY(Beall.adminRight && Beall.masterDataRight);
    QCOMPARE(Beall.userId, 0);
    QVERIFY(window.mainRegister());
    // The register's rows are read on another thread.
    QTRY_VERIFY_WITH_TIMEOUT(!window.mainRegister()->view().isBusy(), 20000);
    QCOMPARE(window.mainRegister()->view().registerQuery().query().rowCount(), 1);
    QCOMPARE(window.statusPanels().text(StatusPanel::Position), u"1: 1"_s);
    QVERIFY(window.actions().action(MainAction::Refresh)->isEnabled());
    QVERIFY(window.titleLabel()->text().contains(u"Egyetlen"_s));
}

void TestStartup::chooserListsKeysAndConnectsWithChosen()
{
    TestDatabase first;
    TestDatabase fourth;
    REQUIRE_SQL(fourth.client("INSERT INTO csoport (csoport_nev) VALUES ('Negyedik');"));
    storeProfile(1, profileText(first, u"Első"_s));
    storeProfile(2, profileText(first, u"Második"_s));
    storeProfile(4, profileText(fourth, u"Negyedik"_s));
    storeProfile(26, profileText(first, u"Huszonhatodik"_s));
    QStringList listed;
    const ModalAnswer chooserDialog = AnswerModal([&listed](QWidget *chooser) {
        REQUIRE_CHILD(list, QListWidget, chooser, u"ListBox1"_s);
        for (int i = 0; i < list->count(); ++i)
            listed.append(list->item(i)->text());
        list->setCurrentRow(2);
        REQUIRE_CHILD(button1, QPushButton, chooser, u"Button1"_s);
        button1->click();
    });
    MessageBoxRecorder boxes;
    Tfrm_Main window;
    QCOMPARE(window.startUp(), StartupOutcome::Started);
    QCOMPARE(listed, (QStringList{u"1; Első"_s, u"2; Második"_s, u"4; Negyedik"_s}));
    QCOMPARE(window.connection().params().database, fourth.name());
    QCOMPARE(Beall.profileName, u"Negyedik"_s);
    QCOMPARE(window.mainRegister()->view().committeeTabs()->count(), 2);
}

void TestStartup::noProfileRunsSetupAndStoresIt()
{
    TestDatabase db;
    storeProfile(2, profileText(db, QString())); // no display name: not offered, key taken
    const ConnectionParams p = db.params();
    const ModalAnswer setupDialog = AnswerModal([&p](QWidget *setup) {
        const auto set = [setup](const char16_t *name, const QString &text) {
            REQUIRE_CHILD(edit, QLineEdit, setup, QString::fromUtf16(name));
            edit->setText(text);
        };
        set(u"Edit1", p.database);
        set(u"Edit2", p.host);
        set(u"Edit3", p.user);
        set(u"Edit4", u"Új adatbázis"_s);
        set(u"Edit5", QString::number(p.port));
        REQUIRE_CHILD(button1, QPushButton, setup, u"Button1"_s);
        button1->click(); // the connection test
        REQUIRE_CHILD(button2, QPushButton, setup, u"Button2"_s);
        button2->click();
    });
    MessageBoxRecorder boxes;
    Tfrm_Main window;
    QCOMPARE(window.startUp(), StartupOutcome::Started);
    IniFile ini = settingsFile();
    QCOMPARE(DecodeConStr(ini.readString(u"Adatbazis"_s, u"ConStr1"_s)),
             u"%1;%2;%3;%4;;Új adatbázis"_s.arg(p.database, p.host).arg(p.port).arg(p.user));
    QCOMPARE(Beall.profileName, u"Új adatbázis"_s);
    QVERIFY(QDir(DataFolder() + u"/Html"_s).exists());
}

// The connection fails after the set-up stored a profile without testing it: the error is
// shown, the window closes by itself, the new profile stays and nothing else is written.
void TestStartup::failedConnectionWritesNothingBack()
{
    IniFile ini = settingsFile();
    ini.writeString(u"Font"_s, u"Size"_s, u"10"_s);
    const ModalAnswer setupDialog = AnswerModal([](QWidget *setup) {
        REQUIRE_CHILD(edit1, QLineEdit, setup, u"Edit1"_s);
        edit1->setText(u"nincs"_s);
        REQUIRE_CHILD(edit2, QLineEdit, setup, u"Edit2"_s);
        edit2->setText(u"127.0.0.1"_s);
        REQUIRE_CHILD(edit3, QLineEdit, setup, u"Edit3"_s);
        edit3->setText(u"root"_s);
        REQUIRE_CHILD(edit4, QLineEdit, setup, u"Edit4"_s);
        edit4->setText(u"Rossz"_s);
        REQUIRE_CHILD(edit5, QLineEdit, setup, u"Edit5"_s);
        edit5->setText(QString::number(closedPort()));
        qobject_cast<QDialog *>(setup)->accept(); // stored without a connection test
    });
    MessageBoxRecorder boxes;
    {
        Tfrm_Main window;
        QCOMPARE(window.startUp(), StartupOutcome::Failed);
        QVERIFY(window.startupFailed());
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 3000); // closes by itself within a second
    }
    QCOMPARE(boxes.count(), 1);
    QVERIFY2(boxes.texts().first().startsWith(u"Sikertelen kapcsolódás: "_s),
             qPrintable(boxes.texts().first()));
    QVERIFY(DecodeConStr(ini.readString(u"Adatbazis"_s, u"ConStr1"_s)).endsWith(u";Rossz"_s));
    QCOMPARE(ini.readString(u"Font"_s, u"Size"_s), u"10"_s);
    QVERIFY(!ini.keyExists(u"Alapertek"_s, u"Szeles"_s));
    QVERIFY(!ini.keyExists(u"User"_s, u"LastUser"_s));
}

void TestStartup::versionWarning_data()
{
    QTest::addColumn<QByteArray>("sql");
    QTest::addColumn<QString>("warning");
    QTest::newRow("same") << QByteArray() << QString();
    QTest::newRow("older") << QByteArray("DELETE FROM verzio; INSERT INTO verzio VALUES ('23.0.0.36');")
                           << u"Eltérő verziók, hiba lehetséges, frissítse programját, adatbázisát\n"
                              "adatbázis : 23.0.0.36\nprogram: 23.0.0.37"_s;
    QTest::newRow("empty") << QByteArray("DELETE FROM verzio;")
                           << u"Eltérő verziók, hiba lehetséges, frissítse programját, adatbázisát\n"
                              "adatbázis : \nprogram: 23.0.0.37"_s;
    // Compared as text: 23.0.0.4 is the greatest.
    QTest::newRow("text order") << QByteArray("INSERT INTO verzio VALUES ('23.0.0.4');")
                                << u"Eltérő verziók, hiba lehetséges, frissítse programját, adatbázisát\n"
                                   "adatbázis : 23.0.0.4\nprogram: 23.0.0.37"_s;
}

void TestStartup::versionWarning()
{
    QFETCH(QByteArray, sql);
    QFETCH(QString, warning);
    TestDatabase db;
    if (!sql.isEmpty())
        REQUIRE_SQL(db.client(sql));
    storeProfile(1, profileText(db, u"V"_s));
    MessageBoxRecorder boxes;
    Tfrm_Main window;
    QCOMPARE(window.startUp(), StartupOutcome::Started);
    QCOMPARE(boxes.texts(), warning.isEmpty() ? QStringList() : QStringList{warning});
}

void TestStartup::chooserAbandonedQuits()
{
    TestDatabase db;
    storeProfile(1, profileText(db, u"Egy"_s));
    storeProfile(2, profileText(db, u"Kettő"_s));
    const ModalAnswer chooserDialog = AnswerModal([](QWidget *chooser) {
        REQUIRE_CHILD(button2, QPushButton, chooser, u"Button2"_s);
        button2->click();
    });
    Tfrm_Main window;
    QCOMPARE(window.startUp(), StartupOutcome::Quit);
    QVERIFY(!window.mainRegister());
}

void TestStartup::closeWritesSettingsBack()
{
    TestDatabase db;
    storeProfile(1, profileText(db, u"Zárás"_s));
    IniFile ini = settingsFile();
    ini.writeString(u"Alapertek"_s, u"TeljesKep"_s, u"0"_s);
    ini.writeString(u"User"_s, u"LastUser"_s, u"kati"_s);
    MessageBoxRecorder boxes;
    {
        Tfrm_Main window;
        QCOMPARE(window.startUp(), StartupOutcome::Started);
        window.show();
        window.actions().action(MainAction::FontBigger)->trigger();
        window.close();
    }
    QCOMPARE(ini.readString(u"Font"_s, u"Size"_s), u"10"_s);
    QCOMPARE(ini.readString(u"User"_s, u"LastUser"_s), u"kati"_s);
    QCOMPARE(ini.readString(u"Alapertek"_s, u"TeljesKep"_s), u"0"_s);
    QVERIFY(ini.keyExists(u"Alapertek"_s, u"Szeles"_s));
}

void TestStartup::windowGeometryRoundTrip_data()
{
    QTest::addColumn<bool>("fullScreen");
    QTest::newRow("full screen") << true;
    QTest::newRow("windowed") << false;
}

// The stored geometry is the outer window, frame included: full screen it is the work area, and a
// windowed start shows the window where it was closed, however often that happens.
void TestStartup::windowGeometryRoundTrip()
{
    QFETCH(bool, fullScreen);
    TestDatabase db;
    storeProfile(1, profileText(db, u"Ablak"_s));
    IniFile ini = settingsFile();
    const QRect work = WorkArea();
    const QRect expected =
        fullScreen ? QRect(0, 0, work.x() + work.width(), work.y() + work.height()) : QRect(10, 20, 780, 520);
    ini.writeString(u"Alapertek"_s, u"TeljesKep"_s, fullScreen ? u"1"_s : u"0"_s);
    ini.writeString(u"Alapertek"_s, u"Bal"_s, QString::number(expected.x()));
    ini.writeString(u"Alapertek"_s, u"Felul"_s, QString::number(expected.y()));
    ini.writeString(u"Alapertek"_s, u"Szeles"_s, QString::number(fullScreen ? 640 : expected.width()));
    ini.writeString(u"Alapertek"_s, u"Magas"_s, QString::number(fullScreen ? 400 : expected.height()));
    const auto stored = [&ini] {
        const auto number = [&ini](const char16_t *key) {
            return ini.readString(u"Alapertek"_s, QString::fromUtf16(key)).toInt();
        };
        return QRect(number(u"Bal"), number(u"Felul"), number(u"Szeles"), number(u"Magas"));
    };
    MessageBoxRecorder boxes;
    for (int run = 1; run <= 3; ++run) {
        Beall = TBeall();
        Tfrm_Main window;
        QCOMPARE(window.startUp(), StartupOutcome::Started);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY2(!window.windowHandle()->frameMargins().isNull(), "this test needs windows with a frame");
        QTRY_COMPARE(ShownOuterGeometry(&window), expected);
        const QRect statusBar(window.statusBar()->mapToGlobal(QPoint(0, 0)), window.statusBar()->size());
        QVERIFY2(work.contains(statusBar), "the status bar is on the screen");
        window.close();
        QCOMPARE(stored(), expected);
    }
}

namespace {
// A database that asks for a log-in, with one user without the administrator right.
void requireLogin(const TestDatabase &db)
{
    REQUIRE_SQL(
        db.client("UPDATE beallit SET vanbelep = 'I';"
                  "INSERT INTO felhasznalo (felhkod, felhasznalo, felhasznalo_nev, jelszomd5, rendszergazda, "
                  "torzsszerkeszt)"
                  " VALUES (3, 'kati', 'Kiss Katalin', MD5('titok'), 'N', 'I');"));
}
} // namespace

void TestStartup::loginGivesTheUsersRights()
{
    TestDatabase db;
    requireLogin(db);
    storeProfile(1, profileText(db, u"Belépős"_s));
    settingsFile().writeString(u"User"_s, u"LastUser"_s, u"kati"_s);
    QString offered;
    const ModalAnswer loginDialog = AnswerModal([&offered](QWidget *dialog) {
        auto login = qobject_cast<Tfrm_Login *>(dialog);
        QVERIFY(login);
        REQUIRE_CHILD(edtFelhasznalo, QLineEdit, login, u"edtFelhasznalo"_s);
        offered = edtFelhasznalo->text();
        REQUIRE_CHILD(edtJelszo, QLineEdit, login, u"edtJelszo"_s);
        edtJelszo->setText(u"titok"_s);
        REQUIRE_CHILD(btnOK, QPushButton, login, u"btnOK"_s);
        btnOK->click();
    });
    MessageBoxRecorder boxes;
    Tfrm_Main window;
    QCOMPARE(window.startUp(), StartupOutcome::Started);
    QCOMPARE(offered, u"kati"_s);
    QCOMPARE(Beall.userId, 3);
    QCOMPARE(Beall.userFullName, u"Kiss Katalin"_s);
    QVERIFY(!Beall.adminRight);
    QVERIFY(Beall.masterDataRight);
    // Without the administrator right the users window is refused.
    window.actions().action(MainAction::Users)->trigger();
    QCOMPARE(boxes.texts(), QStringList{u"Nincs jogosultság a művelethez."_s});
}

void TestStartup::loginAbandonedQuitsWithoutWriting()
{
    TestDatabase db;
    requireLogin(db);
    storeProfile(1, profileText(db, u"Belépős"_s));
    IniFile ini = settingsFile();
    const QByteArray before = ini.read().toBytes();
    const ModalAnswer loginDialog = AnswerModal([](QWidget *dialog) {
        REQUIRE_CHILD(btnMegsem, QPushButton, dialog, u"btnMegsem"_s);
        btnMegsem->click();
    });
    {
        Tfrm_Main window;
        QCOMPARE(window.startUp(), StartupOutcome::Quit);
        window.close();
    }
    QCOMPARE(ini.read().toBytes(), before);
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
