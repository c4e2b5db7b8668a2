#include "app/beall.h"
#include "app/frm_beallit.h"
#include "app/frm_main.h"
#include "app/mainactions.h"
#include "common/paths.h"
#include "config/conprofile.h"
#include "config/documentstore.h"
#include "config/inifile.h"
#include "config/settings.h"
#include "db/settingsrow.h"
#include "gui/dialogfields.h"
#include "gui/messagebox.h"
#include "modaldialogs.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The `beallit` row as the command-line client sees it, NULL as "NULL".
QByteArray SettingsRowText(const TestDatabase &db)
{
    return db.client("SELECT vanbelep, IFNULL(mentesutvonal, 'NULL'), hirelfogadva FROM beallit;").trimmed();
}

} // namespace

class TestSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void documentStoreProposedWhenEmpty_data();
    void documentStoreProposedWhenEmpty();
    void okTakesEveryControl_data();
    void okTakesEveryControl();
    void printerBox_data();
    void printerBox();
    void enterMovesOn_data();
    void enterMovesOn();
    void browseFolder_data();
    void browseFolder();
    void mainWindowReadsTheRowAgain_data();
    void mainWindowReadsTheRowAgain();
    void localFolderForTheDatabasesPath_data();
    void localFolderForTheDatabasesPath();
    void administratorActionsRefusePlainUser_data();
    void administratorActionsRefusePlainUser();
    void screenshots();

private:
    std::unique_ptr<ScopedDataFolder> m_folder;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_con;
};

void TestSettingsDialog::init()
{
    REQUIRE_TEST_SERVER();
    m_folder = std::make_unique<ScopedDataFolder>();
    m_db = std::make_unique<TestDatabase>();
    m_con = std::make_unique<Connection>(m_db->params());
    m_con->open();
    Beall = TBeall();
}

void TestSettingsDialog::cleanup()
{
    VerifyNoDialogLeftOpen();
    m_con.reset();
    m_db.reset();
    m_folder.reset();
    QVERIFY(!QApplication::activeModalWidget());
}

void TestSettingsDialog::documentStoreProposedWhenEmpty_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("empty, OK") << QByteArray("''") << true << QByteArray("DOK");
    QTest::newRow("empty, Mégsem") << QByteArray("''") << false << QByteArray("");
    QTest::newRow("NULL, OK") << QByteArray("NULL") << true << QByteArray("DOK");
    QTest::newRow("NULL, Mégsem") << QByteArray("NULL") << false << QByteArray("NULL");
    QTest::newRow("set, OK") << QByteArray("'/srv/dok'") << true << QByteArray("/srv/dok");
}

void TestSettingsDialog::documentStoreProposedWhenEmpty()
{
    QFETCH(QByteArray, stored);
    QFETCH(bool, ok);
    QFETCH(QByteArray, after);
    REQUIRE_SQL(m_db->client("UPDATE beallit SET mentesutvonal = " + stored + ";"));
    const QString proposal = DataFolder() + u"/Dok"_s;
    const QString shown = stored.startsWith('/') || stored.startsWith("'/") ? u"/srv/dok"_s : proposal;

    const ModalAnswer dialog = AnswerModal(u"Beállítások"_s, [&](QDialog *d) {
        REQUIRE_CHILD(dbEdit1, QLineEdit, d, u"DBEdit1"_s);
        QCOMPARE(dbEdit1->text(), shown);
        REQUIRE_CHILD(closing, QPushButton, d, ok ? u"btnOK"_s : u"btnMegsem"_s);
        closing->click();
    });
    WorkstationSettings settings;
    QCOMPARE(RunSettings(*m_con, settings, 9, nullptr, {}), ok);
    const QByteArray expected = after == "DOK" ? proposal.toUtf8() : after;
    QCOMPARE(SettingsRowText(*m_db), "N\t" + expected + "\t0");
}

void TestSettingsDialog::okTakesEveryControl_data()
{
    QTest::addColumn<QByteArray>("vanbelep");
    QTest::addColumn<bool>("tick");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("ticked, OK") << QByteArray("N") << true << true << QByteArray("I");
    QTest::newRow("unticked, OK") << QByteArray("I") << false << true << QByteArray("N");
    QTest::newRow("ticked, Mégsem") << QByteArray("N") << true << false << QByteArray("N");
    // A value the box does not know is left alone while the box is not touched.
    QTest::newRow("odd value untouched, OK") << QByteArray("x") << false << true << QByteArray("x");
    QTest::newRow("odd value ticked, OK") << QByteArray("x") << true << true << QByteArray("I");
}

void TestSettingsDialog::okTakesEveryControl()
{
    QFETCH(QByteArray, vanbelep);
    QFETCH(bool, tick);
    QFETCH(bool, ok);
    QFETCH(QByteArray, stored);
    REQUIRE_SQL(m_db->client("UPDATE beallit SET vanbelep = '" + vanbelep +
                             "', mentesutvonal = '/srv/dok', hirelfogadva = 7;"));

    const ModalAnswer dialog = AnswerModal(u"Beállítások"_s, [&](QDialog *d) {
        REQUIRE_CHILD(fullScreen, QCheckBox, d, u"CheckBox1"_s);
        REQUIRE_CHILD(login, QCheckBox, d, u"DBCheckBox1"_s);
        QVERIFY(fullScreen->isChecked());
        QCOMPARE(login->isChecked(), vanbelep == "I");
        REQUIRE_CHILD(comboBox1, QComboBox, d, u"ComboBox1"_s);
        QCOMPARE(comboBox1->currentText(), u"Régi nyomtató"_s);
        fullScreen->setChecked(false);
        login->setChecked(tick);
        comboBox1->setEditText(u"Új nyomtató"_s);
        REQUIRE_CHILD(dbEdit1, QLineEdit, d, u"DBEdit1"_s);
        dbEdit1->setText(u"/srv/új"_s);
        REQUIRE_CHILD(closing, QPushButton, d, ok ? u"btnOK"_s : u"btnMegsem"_s);
        closing->click();
    });
    WorkstationSettings settings;
    settings.fullScreen = true;
    settings.printer = u"Régi nyomtató"_s;
    QCOMPARE(RunSettings(*m_con, settings, 9, nullptr, {u"PDF"_s}), ok);

    QCOMPARE(settings.fullScreen, !ok);
    QCOMPARE(settings.printer, ok ? u"Új nyomtató"_s : u"Régi nyomtató"_s);
    // The folder's "ú" reaches the latin2 column as the code page 1250 byte 0xFA.
    QCOMPARE(SettingsRowText(*m_db),
             stored + "\t" + (ok ? QByteArray("/srv/\xFAj") : QByteArray("/srv/dok")) + "\t7");
}

void TestSettingsDialog::printerBox_data()
{
    QTest::addColumn<QStringList>("printers");
    QTest::addColumn<QString>("stored");
    QTest::newRow("no printer installed") << QStringList{} << u"Irodai lézer"_s;
    QTest::newRow("stored name not installed") << QStringList{u"HP"_s, u"Canon"_s} << u"Irodai lézer"_s;
    QTest::newRow("installed one") << QStringList{u"HP"_s, u"Canon"_s} << u"Canon"_s;
    // The first printer of the list must not slip in for a name that is not set.
    QTest::newRow("none stored") << QStringList{u"HP"_s, u"Canon"_s} << QString();
}

void TestSettingsDialog::printerBox()
{
    QFETCH(QStringList, printers);
    QFETCH(QString, stored);
    const ModalAnswer dialog = AnswerModal(u"Beállítások"_s, [&](QDialog *d) {
        REQUIRE_CHILD(box, QComboBox, d, u"ComboBox1"_s);
        QVERIFY(box->isEditable());
        QCOMPARE(box->currentText(), stored);
        QStringList listed;
        for (int i = 0; i < box->count(); ++i)
            listed.append(box->itemText(i));
        QCOMPARE(listed, printers);
        // When shown, no text of the box is selected.
        QVERIFY(!box->lineEdit()->hasSelectedText());
        REQUIRE_CHILD(btnOK, QPushButton, d, u"btnOK"_s);
        btnOK->click();
    });
    WorkstationSettings settings;
    settings.printer = stored;
    QVERIFY(RunSettings(*m_con, settings, 9, nullptr, printers));
    QCOMPARE(settings.printer, stored);
}

void TestSettingsDialog::enterMovesOn_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("page");
    QTest::newRow("printer box") << u"ComboBox1"_s << 0;
    QTest::newRow("folder box") << u"DBEdit1"_s << 1;
    QTest::newRow("full-screen box") << u"CheckBox1"_s << 0;
}

void TestSettingsDialog::enterMovesOn()
{
    QFETCH(QString, field);
    QFETCH(int, page);
    Tfrm_Beallit dialog({u"HP"_s});
    dialog.setPrinter(u"Irodai"_s);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    REQUIRE_CHILD(pageControl1, QTabWidget, &dialog, u"PageControl1"_s);
    pageControl1->setCurrentIndex(page);
    REQUIRE_CHILD(widget, QWidget, &dialog, field);
    widget->setFocus();
    QTRY_VERIFY(widget->hasFocus());
    const bool painted = field != u"CheckBox1"_s;
    if (painted)
        QCOMPARE(widget->palette().color(QPalette::Base), FocusedFieldColour());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QVERIFY(!widget->hasFocus());
    if (painted)
        QVERIFY(widget->palette().color(QPalette::Base) != FocusedFieldColour());
    // Enter in the printer box adds nothing to its list.
    REQUIRE_CHILD(comboBox1, QComboBox, &dialog, u"ComboBox1"_s);
    QCOMPARE(comboBox1->count(), 1);
    QCOMPARE(dialog.printer(), u"Irodai"_s);

    // Enter on a focused button presses it.
    REQUIRE_CHILD(cancel, QPushButton, &dialog, u"btnMegsem"_s);
    cancel->setFocus();
    QTRY_VERIFY(cancel->hasFocus());
    QTest::keyClick(cancel, Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestSettingsDialog::browseFolder_data()
{
    QTest::addColumn<bool>("pick");
    QTest::newRow("folder picked") << true;
    QTest::newRow("browse cancelled") << false;
}

void TestSettingsDialog::browseFolder()
{
    QFETCH(bool, pick);
    const QString folder = QDir(m_folder->path()).filePath(u"dokumentumok"_s);
    QVERIFY(QDir().mkpath(folder));
    Tfrm_Beallit dialog({});
    dialog.setDocumentStore(u"/régi"_s);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const ModalAnswer browse = AnswerModal([&](QDialog *d) {
        auto *files = qobject_cast<QFileDialog *>(d);
        QVERIFY(files);
        if (!pick) {
            files->reject();
            return;
        }
        // Typed into the dialog's own name box: selectFile() would race with the folder being
        // read in the background.
        REQUIRE_CHILD(name, QLineEdit, files, u"fileNameEdit"_s);
        QVERIFY(name);
        name->setText(folder);
        static_cast<QDialog *>(files)->accept();
    });
    REQUIRE_CHILD(speedButton1, QToolButton, &dialog, u"SpeedButton1"_s);
    speedButton1->click();
    QCOMPARE(dialog.documentStore(), pick ? folder : u"/régi"_s);
    dialog.reject();
}

void TestSettingsDialog::mainWindowReadsTheRowAgain_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("OK") << true;
    QTest::newRow("Mégsem") << false;
}

void TestSettingsDialog::mainWindowReadsTheRowAgain()
{
    QFETCH(bool, ok);
    REQUIRE_SQL(m_db->client("UPDATE beallit SET mentesutvonal = '/srv/regi';"));
    const ConnectionParams p = m_db->params();
    QDir().mkpath(DataFolder());
    IniFile(SettingsFilePath())
        .writeString(u"Adatbazis"_s, u"ConStr1"_s,
                     EncodeConStr(u"%1;%2;%3;root;;Teszt"_s.arg(p.database, p.host).arg(p.port)));
    Tfrm_Main window;
    QCOMPARE(window.startUp(), StartupOutcome::Started);
    QCOMPARE(Beall.documentStore, u"/srv/regi"_s);
    QVERIFY(!Beall.loginRequired);

    // Another workstation changes the row while the dialog is open: the main window reads it
    // again afterwards whichever button closed the dialog.
    const ModalAnswer dialog = AnswerModal(u"Beállítások"_s, [&](QDialog *d) {
        REQUIRE_SQL(m_db->client("UPDATE beallit SET mentesutvonal = '/srv/masik', vanbelep = 'I';"));
        REQUIRE_CHILD(dbEdit1, QLineEdit, d, u"DBEdit1"_s);
        dbEdit1->setText(u"/srv/uj"_s);
        REQUIRE_CHILD(closing, QPushButton, d, ok ? u"btnOK"_s : u"btnMegsem"_s);
        closing->click();
    });
    Beall.profileName = u"Átnevezett"_s;
    window.actions().action(MainAction::Settings)->trigger();
    QCOMPARE(Beall.documentStore, ok ? u"/srv/uj"_s : u"/srv/masik"_s);
    QVERIFY(Beall.loginRequired);
    QCOMPARE(window.titleLabel()->text(), u"Határozatok könyve: Átnevezett  "_s);
}

void TestSettingsDialog::localFolderForTheDatabasesPath_data()
{
    QTest::addColumn<bool>("mappedBefore"); // the settings file maps the path when the window starts
    QTest::addColumn<QString>("typed");     // into the local folder box; "@" is a folder of the test
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("mappedAfter");
    QTest::newRow("mapped, OK") << false << u"@"_s << true << true;
    QTest::newRow("mapped, Mégsem") << false << u"@"_s << false << false;
    QTest::newRow("kept") << true << u"@"_s << true << true;
    QTest::newRow("cleared") << true << QString() << true << false;
    // Refused with a message; the dialog stays open and Mégsem then closes it.
    QTest::newRow("relative local folder") << false << u"Dok"_s << true << false;
}

// A database whose store path was set on a Windows workstation: this workstation names the
// folder where the same share is mounted here; the database keeps its path for Windows, and the
// main window attaches into the local folder.
void TestSettingsDialog::localFolderForTheDatabasesPath()
{
    QFETCH(bool, mappedBefore);
    QFETCH(QString, typed);
    QFETCH(bool, ok);
    QFETCH(bool, mappedAfter);
    const QString windows = u"H:\\Dok\\Hatarozatok"_s;
    const QString local = QDir(m_folder->path()).filePath(u"hivatal/Dok/Hatarozatok"_s);
    if (typed == u"@"_s)
        typed = local;
    REQUIRE_SQL(m_db->client("UPDATE beallit SET mentesutvonal = 'H:\\\\Dok\\\\Hatarozatok';"));
    const QByteArray rowBefore = SettingsRowText(*m_db);
    const ConnectionParams p = m_db->params();
    QDir().mkpath(DataFolder());
    IniFile ini(SettingsFilePath());
    ini.writeString(u"Adatbazis"_s, u"ConStr1"_s,
                    EncodeConStr(u"%1;%2;%3;root;;Teszt"_s.arg(p.database, p.host).arg(p.port)));
    if (mappedBefore)
        WriteStoreMapping(ini, windows, local);
    Tfrm_Main window;
    QCOMPARE(window.startUp(), StartupOutcome::Started);
    QCOMPARE(Beall.documentStore, mappedBefore ? local : windows);

    QString shown;
    QStringList refusals;
    bool openAfterOk = false;
    const ModalAnswer dialog = AnswerModal(u"Beállítások"_s, [&](QDialog *d) {
        REQUIRE_CHILD(edit, QLineEdit, d, u"localFolderEdit"_s);
        QVERIFY(edit);
        shown = edit->text();
        edit->setText(typed);
        MessageBoxRecorder boxes;
        REQUIRE_CHILD(closing, QPushButton, d, ok ? u"btnOK"_s : u"btnMegsem"_s);
        closing->click();
        refusals = boxes.texts();
        openAfterOk = d->isVisible();
        if (d->isVisible()) {
            REQUIRE_CHILD(btnMegsem, QPushButton, d, u"btnMegsem"_s);
            btnMegsem->click();
        }
    });
    window.actions().action(MainAction::Settings)->trigger();
    QCOMPARE(shown, mappedBefore ? local : QString());
    const bool relative = typed == u"Dok"_s;
    QCOMPARE(openAfterOk, relative);
    QCOMPARE(refusals.size(), relative ? 1 : 0);
    if (relative)
        QVERIFY2(refusals.constFirst().contains(u"\"Dok\""_s), qPrintable(refusals.constFirst()));

    QCOMPARE(MappedLocalFolder(windows, ReadStoreMappings(ini)), mappedAfter ? local : QString());
    QCOMPARE(Beall.documentStore, mappedAfter ? local : windows);
    // The database keeps its path for the Windows workstations.
    QCOMPARE(SettingsRowText(*m_db), rowBefore);
}

void TestSettingsDialog::administratorActionsRefusePlainUser_data()
{
    QTest::addColumn<int>("action");
    QTest::newRow("aAdatbazisok") << int(MainAction::Databases);
    QTest::newRow("aBeallit") << int(MainAction::Settings);
}

void TestSettingsDialog::administratorActionsRefusePlainUser()
{
    QFETCH(int, action);
    const ConnectionParams p = m_db->params();
    QDir().mkpath(DataFolder());
    IniFile ini(SettingsFilePath());
    ini.writeString(u"Adatbazis"_s, u"ConStr1"_s,
                    EncodeConStr(u"%1;%2;%3;root;;Teszt"_s.arg(p.database, p.host).arg(p.port)));
    Tfrm_Main window;
    QCOMPARE(window.startUp(), StartupOutcome::Started);
    QAction *a = window.actions().action(MainAction(action));
    // Bound and enabled for everybody; the right is checked when it is used.
    QVERIFY(a->isEnabled());
    Beall.adminRight = false;
    const QByteArray before = ini.read().toBytes();

    ModalWatch watch;
    MessageBoxRecorder boxes;
    a->trigger();
    QCOMPARE(boxes.texts(), QStringList{u"Nincs jogosultság a művelethez."_s});
    QCOMPARE(boxes.boxes().first().kind, MessageBoxRecorder::Kind::Error);
    QCOMPARE(watch.seen(), QStringList());
    // Nothing was stored either (the profile manager rewrites the profiles when it closes).
    QCOMPARE(ini.read().toBytes(), before);
}

void TestSettingsDialog::screenshots()
{
    if (qEnvironmentVariableIsEmpty("ORVANTH_SHOTS"))
        QSKIP("Set ORVANTH_SHOTS to a folder to take the pictures");
    REQUIRE_SQL(m_db->client("UPDATE beallit SET mentesutvonal = NULL, vanbelep = 'I';"));
    const ModalAnswer dialog = AnswerModal(u"Beállítások"_s, [](QDialog *d) {
        QTest::qWait(200);
        SaveShot(d, u"settings-general"_s);
        REQUIRE_CHILD(pageControl1, QTabWidget, d, u"PageControl1"_s);
        pageControl1->setCurrentIndex(1);
        REQUIRE_CHILD(dbEdit1, QLineEdit, d, u"DBEdit1"_s);
        dbEdit1->setFocus();
        QTest::qWait(200);
        SaveShot(d, u"settings-documents"_s);
        d->reject();
    });
    WorkstationSettings settings;
    settings.printer = u"Irodai lézernyomtató"_s;
    RunSettings(*m_con, settings, 9, nullptr, {u"PDF"_s, u"Irodai lézernyomtató"_s});
}

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
