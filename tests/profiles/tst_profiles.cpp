#include "common/cp1250.h"
#include "common/paths.h"
#include "config/conprofile.h"
#include "config/inifile.h"
#include "gui/messagebox.h"
#include "modaldialogs.h"
#include "profiles/frm_adatbazisnyit.h"
#include "profiles/frm_init.h"
#include "silentserver.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Counts the times a window with the given object name is shown.
class ShowCounter : public QObject
{
public:
    explicit ShowCounter(QString name) : m_name(std::move(name)) { qApp->installEventFilter(this); }
    ~ShowCounter() override { qApp->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType() && watched->objectName() == m_name)
            ++count;
        return false;
    }

private:
    QString m_name;
};

struct InitFields
{
    QString host, user, password, database, displayName, port;
};

void Fill(QWidget *init, const InitFields &f)
{
    REQUIRE_CHILD(edit2, QLineEdit, init, u"Edit2"_s);
    edit2->setText(f.host);
    REQUIRE_CHILD(edit3, QLineEdit, init, u"Edit3"_s);
    edit3->setText(f.user);
    REQUIRE_CHILD(edit6, QLineEdit, init, u"Edit6"_s);
    edit6->setText(f.password);
    REQUIRE_CHILD(edit1, QLineEdit, init, u"Edit1"_s);
    edit1->setText(f.database);
    REQUIRE_CHILD(edit4, QLineEdit, init, u"Edit4"_s);
    edit4->setText(f.displayName);
    REQUIRE_CHILD(edit5, QLineEdit, init, u"Edit5"_s);
    edit5->setText(f.port);
}

// Closes a dialog a callback left open, so a failed step cannot hang the test.
void EnsureClosed(QWidget *window)
{
    if (window->isVisible())
        if (auto *dialog = qobject_cast<QDialog *>(window))
            dialog->reject();
}

QString ProfileKey(int n)
{
    return ConnectionProfileKey(n);
}

// Counts the paint events of a window and its children.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *window) : m_window(window) { qApp->installEventFilter(this); }
    ~PaintCounter() override { qApp->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            (watched == m_window || m_window->isAncestorOf(static_cast<QWidget *>(watched))))
            ++count;
        return false;
    }

private:
    QWidget *m_window;
};

bool BusyCursorShown()
{
    return QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
}

} // namespace

class TestProfiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startupListSkipsGapsEmptyNamesAndHighKeys();
    void chooserTestsPickedProfileAndStaysOpenOnFailure_data();
    void chooserTestsPickedProfileAndStaysOpenOnFailure();
    void singleProfile_data();
    void singleProfile();
    void abandoningChooser_data();
    void abandoningChooser();
    void newProfileThroughChooser();
    void arrowKeysWrapAround();
    void chooserKeepsItsSizeAcrossUses();

    void setupStoresScrambledAtFirstFreeKey();
    void failedTestShowsMessageAndStoresNothing();
    void ctrlEnterInHostAcceptsWithoutTest();
    void unstorableInputKeepsSetupOpen_data();
    void unstorableInputKeepsSetupOpen();
    void noFreeKeyKeepsStoredProfiles();
    void settingsFileLinkedElsewhere();

    void dialogsShowWholeTexts();

    void slowConnectionTestKeepsWindowAlive_data();
    void slowConnectionTestKeepsWindowAlive();
    void cancelDuringSlowTestAbandonsIt();

private:
    QString goodProfile(const QString &name) const;
    QString badProfile(const QString &name) const;
    InitFields goodFields(const QString &name) const;
    QString setupAcceptedWithoutTest(const QString &name);
    void writeProfile(int n, const QString &plain);
    QByteArray settingsBytes() const;

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScopedDataFolder> m_folder;
};

void TestProfiles::initTestCase()
{
    REQUIRE_TEST_SERVER();
    m_db = std::make_unique<TestDatabase>(TestDatabase::Content::Empty);
}

void TestProfiles::init()
{
    m_folder = std::make_unique<ScopedDataFolder>();
    QCOMPARE(SettingsFilePath(), m_folder->dataFolder() + u"/OrvantH.ini"_s);
}

void TestProfiles::cleanup()
{
    VerifyNoDialogLeftOpen();
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    m_folder.reset();
}

QString TestProfiles::goodProfile(const QString &name) const
{
    const ConnectionParams p = m_db->params();
    return ConnectionProfile{p.database, p.host, QString::number(p.port), p.user, p.password, name}.toText();
}

QString TestProfiles::badProfile(const QString &name) const
{
    const ConnectionParams p = m_db->params();
    return ConnectionProfile{
        u"nincs_ilyen_adatbazis"_s, p.host, QString::number(p.port), p.user, p.password, name}
        .toText();
}

InitFields TestProfiles::goodFields(const QString &name) const
{
    const ConnectionParams p = m_db->params();
    return {p.host, p.user, p.password, p.database, name, QString::number(p.port)};
}

// The first-run set-up filled with a reachable profile named `name` and closed with Ctrl+Enter,
// without a connection test: the profile it gives for this run, empty when it gave none.
QString TestProfiles::setupAcceptedWithoutTest(const QString &name)
{
    const ModalAnswer setup = AnswerModal([&](QWidget *init) {
        Fill(init, goodFields(name));
        REQUIRE_CHILD(edit2, QLineEdit, init, u"Edit2"_s);
        QTest::keyClick(edit2, Qt::Key_Return, Qt::ControlModifier);
        EnsureClosed(init);
    });
    QString current;
    return RunFirstSetup(current) ? current : QString();
}

void TestProfiles::writeProfile(int n, const QString &plain)
{
    QDir().mkpath(m_folder->dataFolder());
    IniWriteString(ConnectionProfileSection(), ProfileKey(n), EncodeConStr(plain));
}

QByteArray TestProfiles::settingsBytes() const
{
    QFile f(SettingsFilePath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestProfiles::startupListSkipsGapsEmptyNamesAndHighKeys()
{
    writeProfile(1, badProfile(u"Első"_s));
    // The profile manager's form, with a ";" after the name.
    writeProfile(2, badProfile(u"Második"_s) + u';');
    writeProfile(4, goodProfile(u"Negyedik"_s));
    writeProfile(5, goodProfile(QString()));
    writeProfile(26, goodProfile(u"Huszonhatodik"_s));

    const StartupProfiles list = ReadStartupProfiles();
    QCOMPARE(list.listText, u"1; Első\r\n2; Második\r\n4; Negyedik\r\n"_s);
    QCOMPARE(list.profileStrings, (QStringList{badProfile(u"Első"_s), badProfile(u"Második"_s) + u';',
                                               goodProfile(u"Negyedik"_s)}));
}

void TestProfiles::chooserTestsPickedProfileAndStaysOpenOnFailure_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("OK button") << u"OK"_s;
    QTest::newRow("Enter") << u"Enter"_s;
    QTest::newRow("double click") << u"double click"_s;
}

void TestProfiles::chooserTestsPickedProfileAndStaysOpenOnFailure()
{
    QFETCH(QString, how);
    writeProfile(1, badProfile(u"Első"_s));
    writeProfile(2, badProfile(u"Második"_s));
    writeProfile(4, goodProfile(u"Negyedik"_s));
    const StartupProfiles list = ReadStartupProfiles();

    MessageBoxRecorder boxes;
    QString caption;
    QStringList shownLines;
    int firstSelected = -2;
    bool openAfterFailure = false;
    const ModalAnswer chooser = AnswerModal([&](QWidget *w) {
        caption = w->windowTitle();
        REQUIRE_CHILD(listBox, QListWidget, w, u"ListBox1"_s);
        for (int i = 0; i < listBox->count(); ++i)
            shownLines << listBox->item(i)->text();
        firstSelected = listBox->currentRow();
        const auto choose = [&](int row) {
            listBox->setCurrentRow(row);
            if (how == u"OK"_s) {
                REQUIRE_CHILD(button1, QPushButton, w, u"Button1"_s);
                button1->click();
            } else if (how == u"Enter"_s) {
                QTest::keyClick(listBox, Qt::Key_Return);
            } else {
                const QRect rect = listBox->visualItemRect(listBox->item(row));
                // The view reacts to a double click only after the press that precedes it.
                QTest::mousePress(listBox->viewport(), Qt::LeftButton, {}, rect.center());
                QTest::mouseDClick(listBox->viewport(), Qt::LeftButton, {}, rect.center());
            }
        };
        choose(0); // its database does not exist
        openAfterFailure = w->isVisible();
        choose(2);
        EnsureClosed(w);
    });
    QString newProfile = u"untouched"_s;
    const int result =
        ChooseProfile(list.listText, list.profileStrings, ProfileChooserCaption(), &newProfile);

    QCOMPARE(caption, u"OrvantH Határozatok adatbázis választás"_s);
    QCOMPARE(shownLines, (QStringList{u"1; Első"_s, u"2; Második"_s, u"4; Negyedik"_s}));
    QCOMPARE(firstSelected, 0);
    QVERIFY(openAfterFailure);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().at(0).kind, MessageBoxRecorder::Kind::Error);
    QVERIFY2(boxes.texts().at(0).startsWith(u"Hiba: "_s) &&
                 boxes.texts().at(0).contains(u"nincs_ilyen_adatbazis"_s),
             qPrintable(boxes.texts().at(0)));
    QCOMPARE(result, 2);
    QCOMPARE(list.profileStrings.at(result), goodProfile(u"Negyedik"_s));
    QCOMPARE(newProfile, u"untouched"_s);
    // The chooser's size is kept for the next start.
    QVERIFY(IniKeyExists(u"frm_AdatbazisNyit"_s, u"Width"_s));
}

void TestProfiles::singleProfile_data()
{
    QTest::addColumn<bool>("works");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("errorBoxes");
    QTest::newRow("connection works: no window") << true << 0 << 0 << 0;
    // The error box first, then the chooser with its one line (abandoned here).
    QTest::newRow("server refuses: error, then chooser") << false << -1 << 1 << 1;
}

void TestProfiles::singleProfile()
{
    QFETCH(bool, works);
    QFETCH(int, result);
    QFETCH(int, shown);
    QFETCH(int, errorBoxes);

    // A listed profile comes from the settings file, so its folder exists.
    QDir().mkpath(m_folder->dataFolder());
    ShowCounter shows(u"frm_AdatbazisNyit"_s);
    MessageBoxRecorder boxes;
    const QString profile = works ? goodProfile(u"Egyetlen"_s) : badProfile(u"Egyetlen"_s);
    int lines = -1;
    ModalAnswer chooser;
    if (!works) {
        chooser = AnswerModal([&](QWidget *w) {
            REQUIRE_CHILD(listBox1, QListWidget, w, u"ListBox1"_s);
            lines = listBox1->count();
            EnsureClosed(w);
        });
    }
    QCOMPARE(ChooseProfile(u"1; Egyetlen\r\n"_s, {profile}, ProfileChooserCaption()), result);
    QCOMPARE(shows.count, shown);
    QVERIFY2(boxes.count() == errorBoxes, qPrintable(boxes.texts().join(u" | "_s)));
    if (!works)
        QCOMPARE(lines, 1);
}

void TestProfiles::abandoningChooser_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Mégsem") << u"Mégsem"_s;
    QTest::newRow("Esc") << u"Esc"_s;
    QTest::newRow("Új, then Mégsem in the set-up") << u"Új"_s;
}

// The chooser stores its outer size and must come back at that size: under a window manager a
// size applied to the inner area grew by the frame at every use.
void TestProfiles::chooserKeepsItsSizeAcrossUses()
{
    writeProfile(1, goodProfile(u"Első"_s));
    writeProfile(2, goodProfile(u"Második"_s));
    const StartupProfiles list = ReadStartupProfiles();
    IniFile ini(SettingsFilePath());
    QList<QSize> shown;
    QList<QSize> stored;
    for (int use = 0; use < 3; ++use) {
        const ModalAnswer chooser = AnswerModal([&](QWidget *w) {
            QTRY_VERIFY(w->isVisible());
            // A window manager frames the window a moment after it shows, and the chooser puts
            // its outer size right then; on a busy machine that can come after the first look.
            if (QGuiApplication::platformName() == u"xcb"_s)
                QTRY_VERIFY(!w->windowHandle()->frameMargins().isNull());
            if (!stored.isEmpty())
                QTRY_COMPARE(ShownOuterGeometry(w).size(), stored.at(0));
            shown.append(ShownOuterGeometry(w).size());
            REQUIRE_CHILD(button2, QPushButton, w, u"Button2"_s);
            button2->click();
        });
        QCOMPARE(ChooseProfile(list.listText, list.profileStrings, ProfileChooserCaption()), -1);
        stored.append(QSize(ini.readInteger(u"frm_AdatbazisNyit"_s, u"Width"_s, -1),
                            ini.readInteger(u"frm_AdatbazisNyit"_s, u"Height"_s, -1)));
    }
    QCOMPARE(shown.size(), 3);
    QCOMPARE(stored.at(0), shown.at(0));
    QCOMPARE(shown.at(1), shown.at(0));
    QCOMPARE(shown.at(2), shown.at(0));
    QCOMPARE(stored.at(2), stored.at(0));
}

void TestProfiles::abandoningChooser()
{
    QFETCH(QString, how);
    writeProfile(1, goodProfile(u"Első"_s));
    writeProfile(2, goodProfile(u"Második"_s));
    const StartupProfiles list = ReadStartupProfiles();
    const QByteArray before = settingsBytes();

    QString setupCaption;
    const ModalAnswer chooser = AnswerModal([&](QWidget *w) {
        if (how == u"Mégsem"_s) {
            REQUIRE_CHILD(button2, QPushButton, w, u"Button2"_s);
            button2->click();
        } else if (how == u"Esc"_s) {
            REQUIRE_CHILD(listBox1, QListWidget, w, u"ListBox1"_s);
            QTest::keyClick(listBox1, Qt::Key_Escape);
        } else {
            AnswerModal([&](QWidget *init) {
                setupCaption = init->windowTitle();
                REQUIRE_CHILD(button3, QPushButton, init, u"Button3"_s);
                button3->click();
                EnsureClosed(init);
            });
            REQUIRE_CHILD(bitBtn1, QPushButton, w, u"BitBtn1"_s);
            bitBtn1->click();
        }
        EnsureClosed(w);
    });
    QString newProfile;
    QCOMPARE(ChooseProfile(list.listText, list.profileStrings, ProfileChooserCaption(), &newProfile), -1);
    QVERIFY(newProfile.isEmpty());
    if (how == u"Új"_s)
        QCOMPARE(setupCaption, u"Adatbázis beállítás"_s);
    // No profile was added or changed.
    const IniDocument was = IniDocument::fromBytes(before);
    const IniDocument now = IniDocument::fromBytes(settingsBytes());
    QCOMPARE(now.keys(ConnectionProfileSection()), was.keys(ConnectionProfileSection()));
    for (const QString &key : was.keys(ConnectionProfileSection()))
        QCOMPARE(now.value(ConnectionProfileSection(), key), was.value(ConnectionProfileSection(), key));
}

void TestProfiles::newProfileThroughChooser()
{
    writeProfile(1, badProfile(u"Első"_s));
    writeProfile(2, badProfile(u"Második"_s));
    // A key with an empty value is taken too: the new profile goes to ConStr4.
    IniWriteString(ConnectionProfileSection(), ProfileKey(3), QString());
    const StartupProfiles list = ReadStartupProfiles();
    QCOMPARE(list.profileStrings.size(), 2);

    const ModalAnswer chooser = AnswerModal([&](QWidget *w) {
        AnswerModal([&](QWidget *init) {
            Fill(init, goodFields(u"Új testület"_s));
            REQUIRE_CHILD(button1, QPushButton, init, u"Button1"_s);
            button1->click();
            REQUIRE_CHILD(button2, QPushButton, init, u"Button2"_s);
            button2->click();
            EnsureClosed(init);
        });
        REQUIRE_CHILD(bitBtn1, QPushButton, w, u"BitBtn1"_s);
        bitBtn1->click();
        EnsureClosed(w);
    });
    MessageBoxRecorder boxes;
    QString newProfile;
    QCOMPARE(ChooseProfile(list.listText, list.profileStrings, ProfileChooserCaption(), &newProfile), 2);
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(newProfile, goodProfile(u"Új testület"_s));
    QCOMPARE(DecodeConStr(IniReadString(ConnectionProfileSection(), ProfileKey(4), QString())), newProfile);
    QCOMPARE(IniReadString(ConnectionProfileSection(), ProfileKey(3), u"x"_s), QString());
}

void TestProfiles::arrowKeysWrapAround()
{
    Tfrm_AdatbazisNyit chooser({u"1; A"_s, u"2; B"_s, u"5; C"_s}, {}, 9);
    chooser.show();
    REQUIRE_CHILD(listBox, QListWidget, &chooser, u"ListBox1"_s);
    listBox->setFocus();
    QCOMPARE(listBox->currentRow(), 0);
    QTest::keyClick(listBox, Qt::Key_Up);
    QCOMPARE(listBox->currentRow(), 2);
    QTest::keyClick(listBox, Qt::Key_Up);
    QCOMPARE(listBox->currentRow(), 1);
    QTest::keyClick(listBox, Qt::Key_Down);
    QCOMPARE(listBox->currentRow(), 2);
    QTest::keyClick(listBox, Qt::Key_Down);
    QCOMPARE(listBox->currentRow(), 0);
    QTest::keyClick(listBox, Qt::Key_Down);
    QCOMPARE(listBox->currentRow(), 1);
}

void TestProfiles::setupStoresScrambledAtFirstFreeKey()
{
    QVERIFY(!QDir(m_folder->dataFolder()).exists());
    const InitFields typed = goodFields(u"Képviselő-testület"_s);

    bool okBefore = true, okAfterTest = false, okAfterEdit = false;
    QString initialPort;
    const ModalAnswer setup = AnswerModal([&](QWidget *init) {
        REQUIRE_CHILD(button2, QPushButton, init, u"Button2"_s);
        okBefore = button2->isEnabled();
        REQUIRE_CHILD(edit5, QLineEdit, init, u"Edit5"_s);
        initialPort = edit5->text();
        Fill(init, goodFields(u"Ideiglenes"_s));
        REQUIRE_CHILD(button1, QPushButton, init, u"Button1"_s);
        button1->click();
        okAfterTest = button2->isEnabled();
        // Changes after a good test are taken as they are.
        REQUIRE_CHILD(edit4, QLineEdit, init, u"Edit4"_s);
        edit4->setText(typed.displayName);
        okAfterEdit = button2->isEnabled();
        button2->click();
        EnsureClosed(init);
    });
    MessageBoxRecorder boxes;
    QString current;
    QVERIFY(RunFirstSetup(current));
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(initialPort, u"3306"_s);
    QVERIFY(!okBefore);
    QVERIFY(okAfterTest);
    QVERIFY(okAfterEdit);

    const QString expected = typed.database + u';' + typed.host + u';' + typed.port + u';' + typed.user +
                             u';' + typed.password + u';' + typed.displayName;
    QCOMPARE(current, expected);
    const QString stored = IniReadString(ConnectionProfileSection(), ProfileKey(1), QString());
    QCOMPARE(stored.size(), 3 + 2 * ToCp1250(expected).size());
    QVERIFY(!stored.contains(typed.database));
    QCOMPARE(DecodeConStr(stored), expected);
    const ConnectionProfile profile = ConnectionProfile::fromText(DecodeConStr(stored));
    QCOMPARE(profile, (ConnectionProfile{typed.database, typed.host, typed.port, typed.user, typed.password,
                                         typed.displayName}));
    // Its dialog position is kept.
    QVERIFY(IniKeyExists(u"frm_Init"_s, u"Left"_s));
}

void TestProfiles::failedTestShowsMessageAndStoresNothing()
{
    writeProfile(1, goodProfile(u"Meglévő"_s));
    const QByteArray before = settingsBytes();

    bool okAfterTest = true;
    const ModalAnswer setup = AnswerModal([&](QWidget *init) {
        InitFields f = goodFields(u"Rossz"_s);
        f.database = u"nincs_ilyen_adatbazis"_s;
        Fill(init, f);
        REQUIRE_CHILD(button1, QPushButton, init, u"Button1"_s);
        button1->click();
        REQUIRE_CHILD(button2, QPushButton, init, u"Button2"_s);
        okAfterTest = button2->isEnabled();
        REQUIRE_CHILD(button3, QPushButton, init, u"Button3"_s);
        button3->click();
        EnsureClosed(init);
    });
    MessageBoxRecorder boxes;
    QString current = u"előző"_s;
    QVERIFY(!RunFirstSetup(current));
    QVERIFY(!okAfterTest);
    QCOMPARE(current, u"előző"_s);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().at(0).caption, u"Hiba"_s);
    QVERIFY2(boxes.texts().at(0).startsWith(u"Hiba: "_s) &&
                 boxes.texts().at(0).contains(u"nincs_ilyen_adatbazis"_s),
             qPrintable(boxes.texts().at(0)));
    IniDocument after = IniDocument::fromBytes(settingsBytes());
    after.remove(u"frm_Init"_s, u"Left"_s);
    after.remove(u"frm_Init"_s, u"Top"_s);
    QCOMPARE(after.keys(ConnectionProfileSection()), QStringList{ProfileKey(1)});
    QCOMPARE(after.value(ConnectionProfileSection(), ProfileKey(1)),
             IniDocument::fromBytes(before).value(ConnectionProfileSection(), ProfileKey(1)));
}

void TestProfiles::ctrlEnterInHostAcceptsWithoutTest()
{
    const InitFields typed{
        u"nem.elerheto.invalid"_s, u"iktato"_s, u"titok"_s, u"hatarozat"_s, u"Távoli"_s, u"3307"_s};
    QString afterEnter;
    const ModalAnswer setup = AnswerModal([&](QWidget *init) {
        init->activateWindow();
        Fill(init, typed);
        REQUIRE_CHILD(host, QLineEdit, init, u"Edit2"_s);
        host->setFocus();
        QTest::keyClick(host, Qt::Key_Return);
        afterEnter = init->focusWidget() ? init->focusWidget()->objectName() : QString();
        QTest::keyClick(host, Qt::Key_Return, Qt::ControlModifier);
        EnsureClosed(init);
    });
    MessageBoxRecorder boxes;
    QString current;
    QVERIFY(RunFirstSetup(current));
    QCOMPARE(afterEnter, u"Edit3"_s);
    QCOMPARE(boxes.count(), 0);
    QCOMPARE(current, u"hatarozat;nem.elerheto.invalid;3307;iktato;titok;Távoli"_s);
    QCOMPARE(DecodeConStr(IniReadString(ConnectionProfileSection(), ProfileKey(1), QString())), current);
}

void TestProfiles::unstorableInputKeepsSetupOpen_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    // A ";" would shift the later fields of the stored profile.
    QTest::newRow("semicolon in the password") << u"Edit6"_s << u"jel;szó"_s;
    QTest::newRow("semicolon in the name") << u"Edit4"_s << u"A;B"_s;
    // Code page 1250 cannot hold it; the settings file would get a "?".
    QTest::newRow("Cyrillic name") << u"Edit4"_s << u"Дума"_s;
}

void TestProfiles::unstorableInputKeepsSetupOpen()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    bool openAfterOk = false;
    const ModalAnswer setup = AnswerModal([&](QWidget *init) {
        Fill(init, goodFields(u"Név"_s));
        REQUIRE_CHILD(edited, QLineEdit, init, field);
        edited->setText(text);
        REQUIRE_CHILD(edit2, QLineEdit, init, u"Edit2"_s);
        QTest::keyClick(edit2, Qt::Key_Return, Qt::ControlModifier);
        openAfterOk = init->isVisible();
        REQUIRE_CHILD(button3, QPushButton, init, u"Button3"_s);
        button3->click();
        EnsureClosed(init);
    });
    MessageBoxRecorder boxes;
    QString current;
    QVERIFY(!RunFirstSetup(current));
    QVERIFY(openAfterOk);
    QVERIFY(!boxes.texts().isEmpty());
    QVERIFY2(boxes.texts().constLast().contains(u";"_s) || boxes.texts().constLast().contains(text),
             qPrintable(boxes.texts().constLast()));
    QVERIFY(!IniKeyExists(ConnectionProfileSection(), ProfileKey(1)));
}

void TestProfiles::noFreeKeyKeepsStoredProfiles()
{
    QDir().mkpath(m_folder->dataFolder());
    IniFile ini = SettingsFile();
    ini.update([](IniDocument &doc) {
        for (int n = 1; n <= kMaxConnectionProfiles; ++n)
            doc.setValue(ConnectionProfileSection(), ConnectionProfileKey(n), QString());
    });
    MessageBoxRecorder boxes;
    // Used for this run, and the user is told it was not stored.
    QCOMPARE(setupAcceptedWithoutTest(u"Száztizedik"_s), goodProfile(u"Száztizedik"_s));
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().at(0).kind, MessageBoxRecorder::Kind::Warning);
    const IniDocument doc = ini.read();
    QVERIFY(!doc.contains(ConnectionProfileSection(), ProfileKey(0)));
    QVERIFY(!doc.contains(ConnectionProfileSection(), ProfileKey(101)));
    for (int n = 1; n <= kMaxConnectionProfiles; ++n)
        QCOMPARE(doc.value(ConnectionProfileSection(), ProfileKey(n), u"x"_s), QString());
}

// OrvantH.ini is a link to another program's file: the set-up writes nothing through it and the
// user is told which link points where; the profile still serves this run.
void TestProfiles::settingsFileLinkedElsewhere()
{
    QVERIFY(QDir().mkpath(m_folder->dataFolder()));
    const QString target = QDir(m_folder->path()).filePath(u"masik program.conf"_s);
    const QByteArray content = "# another program's settings\nnev=ertek\n";
    WriteTestFile(target, content);
    QVERIFY(QFile::link(target, SettingsFilePath()));
    MessageBoxRecorder boxes;
    QCOMPARE(setupAcceptedWithoutTest(u"Hivatkozott"_s), goodProfile(u"Hivatkozott"_s));
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().at(0).kind, MessageBoxRecorder::Kind::Error);
    const QString text = boxes.texts().at(0);
    QVERIFY2(text.startsWith(u"Hiba: "_s) && text.contains(SettingsFilePath()) && text.contains(target) &&
                 text.contains(u"hivatkozás"_s),
             qPrintable(text));
    QCOMPARE(ReadTestFile(target), content);
    QVERIFY(QFileInfo(SettingsFilePath()).isSymLink());
}

void TestProfiles::dialogsShowWholeTexts()
{
    // Every caption on the two dialogs must be readable in full at the default size.
    const QString shots = qEnvironmentVariable("ORVANTH_SHOTS");
    auto check = [&](QWidget *w, const QString &shotName) {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        for (QLabel *label : w->findChildren<QLabel *>()) {
            if (!label->text().isEmpty())
                QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
        }
        for (QPushButton *button : w->findChildren<QPushButton *>()) {
            QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
            QVERIFY(w->rect().contains(button->geometry()));
        }
        if (!shots.isEmpty())
            w->grab().save(QDir(shots).filePath(shotName));
    };

    Tfrm_AdatbazisNyit chooser(
        {u"1; Képviselő-testület"_s, u"2; Pénzügyi Bizottság"_s, u"4; Próba adatbázis"_s}, {}, 9);
    chooser.setWindowTitle(ProfileChooserCaption());
    check(&chooser, u"chooser.png"_s);
    // When resized, the list takes the room above the button strip.
    REQUIRE_CHILD(listBox, QListWidget, &chooser, u"ListBox1"_s);
    const int listHeight = listBox->height();
    chooser.resize(chooser.width() + 100, chooser.height() + 80);
    QTRY_COMPARE(listBox->height(), listHeight + 80);
    REQUIRE_CHILD(button2, QPushButton, &chooser, u"Button2"_s);
    QVERIFY(button2->geometry().bottom() < chooser.height());

    Tfrm_Init init;
    Fill(&init,
         {u"192.168.1.20"_s, u"iktato"_s, u"titok"_s, u"hatarozat"_s, u"Képviselő-testület"_s, u"3306"_s});
    REQUIRE_CHILD(edit2, QLineEdit, &init, u"Edit2"_s);
    edit2->setFocus();
    check(&init, u"init.png"_s);
    // The password shows stars only.
    REQUIRE_CHILD(edit6, QLineEdit, &init, u"Edit6"_s);
    QCOMPARE(edit6->echoMode(), QLineEdit::Password);
    QCOMPARE(edit6->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter), int('*'));
}

void TestProfiles::slowConnectionTestKeepsWindowAlive_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("set-up, Kapcsolat tesztelése") << u"set-up"_s;
    QTest::newRow("chooser, OK") << u"chooser"_s;
    QTest::newRow("single profile, before any window") << u"single"_s;
}

void TestProfiles::slowConnectionTestKeepsWindowAlive()
{
    QFETCH(QString, where);
    constexpr int holdMs = 2500;
    SilentServer server(holdMs);
    const QString port = QString::number(server.port());
    const QString profile =
        ConnectionProfile{u"lassu"_s, u"127.0.0.1"_s, port, u"root"_s, {}, u"Lassú"_s}.toText();
    QDir().mkpath(m_folder->dataFolder());

    std::unique_ptr<QDialog> window;
    QPushButton *testButton = nullptr;
    QPushButton *cancelButton = nullptr;
    if (where == u"set-up"_s) {
        window = std::make_unique<Tfrm_Init>();
        Fill(window.get(), {u"127.0.0.1"_s, u"root"_s, {}, u"lassu"_s, u"Lassú"_s, port});
        testButton = RequireChild<QPushButton>(window.get(), u"Button1"_s);
        cancelButton = RequireChild<QPushButton>(window.get(), u"Button3"_s);
    } else if (where == u"chooser"_s) {
        window = std::make_unique<Tfrm_AdatbazisNyit>(QStringList{u"1; Lassú"_s}, QStringList{profile}, 9);
        testButton = RequireChild<QPushButton>(window.get(), u"Button1"_s);
        cancelButton = RequireChild<QPushButton>(window.get(), u"Button2"_s);
    }
    if (QTest::currentTestFailed())
        return;
    std::unique_ptr<PaintCounter> paints;
    if (window) {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        paints = std::make_unique<PaintCounter>(window.get());
    }

    // What the user sees while the server keeps silent.
    bool probedWhileHolding = false, busyMeanwhile = false, testButtonLocked = false, cancelFree = false;
    int paintsAtProbe = -1;
    bool paintedWhileHolding = false;
    // Dies before what the probes write to, also when a check below returns early.
    QObject probes;
    QTimer::singleShot(400, &probes, [&] {
        probedWhileHolding = server.holding();
        busyMeanwhile = BusyCursorShown();
        if (window) {
            testButtonLocked = !testButton->isEnabled();
            cancelFree = cancelButton->isEnabled();
            paintsAtProbe = paints->count;
            window->update();
            const QString shots = qEnvironmentVariable("ORVANTH_SHOTS");
            if (!shots.isEmpty())
                window->grab().save(QDir(shots).filePath(u"testing-"_s + where + u".png"_s));
        }
    });
    QTimer::singleShot(800, &probes, [&] {
        if (window)
            paintedWhileHolding = server.holding() && paints->count > paintsAtProbe;
    });

    MessageBoxRecorder boxes;
    QElapsedTimer clock;
    clock.start();
    if (window) {
        testButton->click();
    } else {
        // The error box, then the chooser, which is given up here.
        const ModalAnswer chooser = AnswerModal([](QWidget *w) { EnsureClosed(w); }, 10000);
        QCOMPARE(ChooseProfile(u"1; Lassú\r\n"_s, {profile}, ProfileChooserCaption()), -1);
    }
    QVERIFY2(clock.elapsed() >= holdMs - 100, "the test waited for the server");
    QCOMPARE(server.accepted(), 1);
    QVERIFY(probedWhileHolding);
    QVERIFY(busyMeanwhile);
    QVERIFY(!BusyCursorShown());
    if (window) {
        QVERIFY(testButtonLocked);
        QVERIFY(cancelFree);
        QVERIFY(paintedWhileHolding);
        QVERIFY(testButton->isEnabled());
        QVERIFY(window->isVisible());
    }
    // The failure is told as before, once.
    QCOMPARE(boxes.count(), 1);
    QVERIFY2(boxes.texts().at(0).startsWith(u"Hiba: "_s), qPrintable(boxes.texts().at(0)));
}

void TestProfiles::cancelDuringSlowTestAbandonsIt()
{
    constexpr int holdMs = 4000;
    SilentServer server(holdMs);
    const QString port = QString::number(server.port());

    bool holdingAtCancel = false;
    const ModalAnswer setup = AnswerModal([&](QWidget *init) {
        Fill(init, {u"127.0.0.1"_s, u"root"_s, {}, u"lassu"_s, u"Lassú"_s, port});
        QTimer::singleShot(300, init, [&server, &holdingAtCancel, init] {
            holdingAtCancel = server.holding();
            QTest::keyClick(init, Qt::Key_Escape);
        });
        REQUIRE_CHILD(button1, QPushButton, init, u"Button1"_s);
        button1->click();
        EnsureClosed(init);
    });
    MessageBoxRecorder boxes;
    QElapsedTimer clock;
    clock.start();
    QString current = u"előző"_s;
    QVERIFY(!RunFirstSetup(current));
    QVERIFY2(clock.elapsed() < holdMs - 1000, "Esc closed the set-up without waiting for the server");
    QVERIFY(holdingAtCancel);
    QCOMPARE(current, u"előző"_s);
    // An abandoned test reports nothing, now or when it ends later.
    QCOMPARE(boxes.texts(), QStringList());
    QVERIFY(!BusyCursorShown());
    QTRY_VERIFY_WITH_TIMEOUT(!server.holding(), holdMs + 2000);
    QTest::qWait(200);
    QCOMPARE(boxes.texts(), QStringList());
    QVERIFY(!IniKeyExists(ConnectionProfileSection(), ProfileKey(1)));
}

QTEST_MAIN(TestProfiles)
#include "tst_profiles.moc"
