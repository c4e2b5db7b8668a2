#include "common/cp1250.h"
#include "config/inifile.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/dbroutines.h"
#include "gui/messagebox.h"
#include "modaldialogs.h"
#include "testdatabase.h"
#include "testutil.h"
#include "users/frm_inpstr.h"
#include "users/frm_login.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kInvalid = u"Érvénytelen felhasználó, vagy jelszó"_s;

struct Attempt
{
    bool result = false;
    LoginUser user;
    QStringList boxes;
    bool stayedOpen = false;
};

} // namespace

class TestLogin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void init();
    void cleanup();

    void credentials_data();
    void credentials();
    void successFillsUserFromRow();
    void givingUpReturnsFalse();
    void passwordChangeInSameDialog();
    void passwordChangeMismatchWritesNothing();
    void passwordChangeNeedsCurrentPassword();
    void errorInButtonKeepsDialogOpen();
    void errorOutsideDialogIsThrown();
    void enterMovesFocusAndFieldTurnsBlue();

    void inpStrMinimumLength_data();
    void inpStrMinimumLength();
    void inpStrCancelKeepsValue();
    void inpStrPasswordMode();
    void inpStrMaximumLength();
    void inpStrHeightHeldAndPlaceSaved();

private:
    Attempt login(const QString &code, const QString &password, const QString &offered = QString());
    QString storedDigest(int id);

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_con;
    std::unique_ptr<ScopedDataFolder> m_folder;
};

void TestLogin::init()
{
    m_folder = std::make_unique<ScopedDataFolder>();
    QDir().mkpath(m_folder->dataFolder());
    m_db = std::make_unique<TestDatabase>();
    // Digests made by the server over the command-line client's latin2 connection, as another
    // workstation stores them; "jelszó" goes in as code page 1250 bytes.
    REQUIRE_SQL(m_db->client(
        ToCp1250(u"INSERT INTO felhasznalo VALUES (1, 'anna', 'Kiss Anna', MD5('Titok1'), 'I', 'N');\n"
                 u"INSERT INTO felhasznalo VALUES (2, 'bela', 'Nagy Béla', NULL, 'N', 'N');\n"
                 u"INSERT INTO felhasznalo VALUES (3, 'cecil', NULL, UPPER(MD5('titok')), 'N', 'N');\n"
                 u"INSERT INTO felhasznalo VALUES (4, 'dora', 'Tóth Dóra', MD5('jelszó'), 'N', 'I');\n"_s)));
    m_con = std::make_unique<Connection>(m_db->params());
    m_con->open();
}

void TestLogin::cleanup()
{
    VerifyNoDialogLeftOpen();
    m_con.reset();
    m_db.reset();
    m_folder.reset();
}

QString TestLogin::storedDigest(int id)
{
    return QueryText(*m_con,
                     u"SELECT jelszomd5 FROM felhasznalo WHERE felhkod = "_s + QString::number(id) + u';',
                     u"(no row)"_s);
}

// One press of OK with the given code and password; when the dialog stays open it is given up.
Attempt TestLogin::login(const QString &code, const QString &password, const QString &offered)
{
    Attempt attempt;
    MessageBoxRecorder boxes;
    const ModalAnswer loginDialog = AnswerModal(u"Belépés azonosítás"_s, [&](QDialog *dialog) {
        auto *form = qobject_cast<Tfrm_Login *>(dialog);
        QVERIFY(form);
        REQUIRE_CHILD(edtFelhasznalo, QLineEdit, form, u"edtFelhasznalo"_s);
        edtFelhasznalo->setText(code);
        REQUIRE_CHILD(edtJelszo, QLineEdit, form, u"edtJelszo"_s);
        edtJelszo->setText(password);
        REQUIRE_CHILD(btnOK, QPushButton, form, u"btnOK"_s);
        btnOK->click();
        if (form->isVisible()) {
            attempt.stayedOpen = true;
            REQUIRE_CHILD(btnMegsem, QPushButton, form, u"btnMegsem"_s);
            btnMegsem->click();
        }
    });
    attempt.user.loginName = offered;
    attempt.result = ShowLogin(*m_con, attempt.user);
    attempt.boxes = boxes.texts();
    return attempt;
}

void TestLogin::credentials_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("ok");

    QTest::newRow("right password") << u"anna"_s << u"Titok1"_s << true;
    QTest::newRow("password in other letter case") << u"anna"_s << u"titok1"_s << false;
    QTest::newRow("code in other letter case") << u"Anna"_s << u"Titok1"_s << false;
    QTest::newRow("part of the code") << u"ann"_s << u"Titok1"_s << false;
    QTest::newRow("code with a trailing blank") << u"anna "_s << u"Titok1"_s << false;
    QTest::newRow("unknown code") << u"zoli"_s << u"Titok1"_s << false;
    QTest::newRow("NULL digest, empty password") << u"bela"_s << QString() << false;
    QTest::newRow("NULL digest, some password") << u"bela"_s << u"x"_s << false;
    QTest::newRow("upper-case stored digest") << u"cecil"_s << u"titok"_s << false;
    QTest::newRow("Hungarian letters, digest of another workstation") << u"dora"_s << u"jelszó"_s << true;
    QTest::newRow("Hungarian letters without accent") << u"dora"_s << u"jelszo"_s << false;
}

void TestLogin::credentials()
{
    QFETCH(QString, code);
    QFETCH(QString, password);
    QFETCH(bool, ok);

    const Attempt attempt = login(code, password);
    QCOMPARE(attempt.result, ok);
    QCOMPARE(attempt.stayedOpen, !ok);
    // A wrong code and a wrong password read the same.
    QCOMPARE(attempt.boxes, ok ? QStringList() : QStringList{kInvalid});
}

void TestLogin::successFillsUserFromRow()
{
    // The digest the other workstation stored is the known one for these bytes.
    QCOMPARE(storedDigest(4), u"8690fb265e135a0025657c072681d33f"_s);
    QCOMPARE(ServerMd5(*m_con, u"jelszó"_s), storedDigest(4));

    Attempt attempt = login(u"anna"_s, u"Titok1"_s);
    QVERIFY(attempt.result);
    QCOMPARE(attempt.user.loginName, u"anna"_s);
    QCOMPARE(attempt.user.fullName, u"Kiss Anna"_s);
    QCOMPARE(attempt.user.id, 1);
    QCOMPARE(attempt.user.adminRight, true);
    QCOMPARE(attempt.user.masterDataRight, false);

    attempt = login(u"dora"_s, u"jelszó"_s);
    QVERIFY(attempt.result);
    QCOMPARE(attempt.user.fullName, u"Tóth Dóra"_s);
    QCOMPARE(attempt.user.id, 4);
    QCOMPARE(attempt.user.adminRight, false);
    QCOMPARE(attempt.user.masterDataRight, true);
}

void TestLogin::givingUpReturnsFalse()
{
    MessageBoxRecorder boxes;
    QString offeredCode;
    const ModalAnswer loginDialog = AnswerModal(u"Belépés azonosítás"_s, [&](QDialog *dialog) {
        auto *form = qobject_cast<Tfrm_Login *>(dialog);
        REQUIRE_CHILD(edtFelhasznalo, QLineEdit, form, u"edtFelhasznalo"_s);
        offeredCode = edtFelhasznalo->text();
        SaveShot(form, u"login"_s);
        REQUIRE_CHILD(btnMegsem, QPushButton, form, u"btnMegsem"_s);
        btnMegsem->click();
    });
    LoginUser user;
    user.loginName = u"dora"_s;
    QVERIFY(!ShowLogin(*m_con, user));
    // The last user of the workstation is offered, and giving up changes nothing.
    QCOMPARE(offeredCode, u"dora"_s);
    QCOMPARE(user.loginName, u"dora"_s);
    QCOMPARE(user.id, 0);
    QCOMPARE(boxes.count(), 0);
}

void TestLogin::passwordChangeInSameDialog()
{
    MessageBoxRecorder boxes;
    QStringList afterOld;
    bool stillOpenAfterChange = false;
    const ModalAnswer loginDialog = AnswerModal(u"Belépés azonosítás"_s, [&](QDialog *dialog) {
        auto *form = qobject_cast<Tfrm_Login *>(dialog);
        REQUIRE_CHILD(edtFelhasznalo, QLineEdit, form, u"edtFelhasznalo"_s);
        edtFelhasznalo->setText(u"anna"_s);
        REQUIRE_CHILD(edtJelszo, QLineEdit, form, u"edtJelszo"_s);
        edtJelszo->setText(u"Titok1"_s);
        AnswerModal(u"Jelszó megadása"_s, [](QDialog *first) {
            REQUIRE_CHILD(edit, QLineEdit, first, QString());
            edit->setText(u"Új-jelszó"_s);
            AnswerModal(u"Megerősítés"_s, [](QDialog *second) {
                REQUIRE_CHILD(repeated, QLineEdit, second, QString());
                repeated->setText(u"Új-jelszó"_s);
                second->accept();
            });
            first->accept();
        });
        REQUIRE_CHILD(btnUjJelszo, QPushButton, form, u"btnUjJelszo"_s);
        btnUjJelszo->click();
        stillOpenAfterChange = form->isVisible();
        // The box still holds the old password, which no longer passes.
        REQUIRE_CHILD(btnOK, QPushButton, form, u"btnOK"_s);
        btnOK->click();
        afterOld = boxes.texts();
        edtJelszo->setText(u"Új-jelszó"_s);
        btnOK->click();
        if (form->isVisible()) {
            REQUIRE_CHILD(btnMegsem, QPushButton, form, u"btnMegsem"_s);
            btnMegsem->click();
        }
    });
    LoginUser user;
    QVERIFY(ShowLogin(*m_con, user));
    QVERIFY(stillOpenAfterChange);
    QCOMPARE(afterOld, (QStringList{u"Jelszó változtatás kész."_s, kInvalid}));
    QCOMPARE(user.id, 1);
    QCOMPARE(storedDigest(1), ServerMd5(*m_con, u"Új-jelszó"_s));
    QCOMPARE(boxes.count(), 2);
}

void TestLogin::passwordChangeMismatchWritesNothing()
{
    MessageBoxRecorder boxes;
    const ModalAnswer loginDialog = AnswerModal(u"Belépés azonosítás"_s, [&](QDialog *dialog) {
        auto *form = qobject_cast<Tfrm_Login *>(dialog);
        REQUIRE_CHILD(edtFelhasznalo, QLineEdit, form, u"edtFelhasznalo"_s);
        edtFelhasznalo->setText(u"anna"_s);
        REQUIRE_CHILD(edtJelszo, QLineEdit, form, u"edtJelszo"_s);
        edtJelszo->setText(u"Titok1"_s);
        AnswerModal(u"Jelszó megadása"_s, [](QDialog *first) {
            REQUIRE_CHILD(edit, QLineEdit, first, QString());
            edit->setText(u"egyik"_s);
            AnswerModal(u"Megerősítés"_s, [](QDialog *second) {
                REQUIRE_CHILD(repeated, QLineEdit, second, QString());
                repeated->setText(u"Egyik"_s);
                second->accept();
            });
            first->accept();
        });
        REQUIRE_CHILD(btnUjJelszo, QPushButton, form, u"btnUjJelszo"_s);
        btnUjJelszo->click();
        REQUIRE_CHILD(btnMegsem, QPushButton, form, u"btnMegsem"_s);
        btnMegsem->click();
    });
    const QString before = storedDigest(1);
    LoginUser user;
    QVERIFY(!ShowLogin(*m_con, user));
    QCOMPARE(boxes.texts(), QStringList{u"A megadott jelszavak nem egyezőek"_s});
    QCOMPARE(storedDigest(1), before);
}

void TestLogin::passwordChangeNeedsCurrentPassword()
{
    MessageBoxRecorder boxes;
    QStringList asked;
    const ModalAnswer loginDialog = AnswerModal(u"Belépés azonosítás"_s, [&](QDialog *dialog) {
        auto *form = qobject_cast<Tfrm_Login *>(dialog);
        REQUIRE_CHILD(edtFelhasznalo, QLineEdit, form, u"edtFelhasznalo"_s);
        edtFelhasznalo->setText(u"anna"_s);
        REQUIRE_CHILD(edtJelszo, QLineEdit, form, u"edtJelszo"_s);
        edtJelszo->setText(u"rossz"_s);
        // Should a question come, it is given up so the test goes on, and reported below. The
        // button asks within its click, so nothing can come after it returns.
        const ModalWatch questions;
        REQUIRE_CHILD(btnUjJelszo, QPushButton, form, u"btnUjJelszo"_s);
        btnUjJelszo->click();
        asked = questions.seen();
        REQUIRE_CHILD(btnMegsem, QPushButton, form, u"btnMegsem"_s);
        btnMegsem->click();
    });
    const QString before = storedDigest(1);
    LoginUser user;
    QVERIFY(!ShowLogin(*m_con, user));
    QCOMPARE(asked, QStringList());
    QCOMPARE(boxes.texts(), QStringList{kInvalid});
    QCOMPARE(storedDigest(1), before);
}

void TestLogin::errorInButtonKeepsDialogOpen()
{
    // A character that the connection cannot carry makes the digest query fail: the general
    // error handler shows the text and the user can try again.
    MessageBoxRecorder boxes;
    bool open = false;
    const ModalAnswer loginDialog = AnswerModal(u"Belépés azonosítás"_s, [&](QDialog *dialog) {
        auto *form = qobject_cast<Tfrm_Login *>(dialog);
        REQUIRE_CHILD(edtFelhasznalo, QLineEdit, form, u"edtFelhasznalo"_s);
        edtFelhasznalo->setText(u"anna"_s);
        REQUIRE_CHILD(edtJelszo, QLineEdit, form, u"edtJelszo"_s);
        edtJelszo->setText(u"Титок"_s);
        REQUIRE_CHILD(btnOK, QPushButton, form, u"btnOK"_s);
        btnOK->click();
        open = form->isVisible();
        edtJelszo->setText(u"Titok1"_s);
        btnOK->click();
    });
    LoginUser user;
    QVERIFY(ShowLogin(*m_con, user));
    QVERIFY(open);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().at(0).kind, MessageBoxRecorder::Kind::Error);
    QVERIFY(boxes.texts().at(0) != kInvalid);
    QVERIFY(!boxes.texts().at(0).isEmpty());
}

void TestLogin::errorOutsideDialogIsThrown()
{
    ExecSql(*m_con, u"DROP TABLE felhasznalo;"_s);
    LoginUser user;
    QVERIFY_THROWS_EXCEPTION(DbError, ShowLogin(*m_con, user));
}

void TestLogin::enterMovesFocusAndFieldTurnsBlue()
{
    MessageBoxRecorder boxes;
    QString afterUser;
    QString afterPassword;
    QColor focusedBase;
    QColor leftBase;
    const ModalAnswer loginDialog = AnswerModal(u"Belépés azonosítás"_s, [&](QDialog *dialog) {
        auto *form = qobject_cast<Tfrm_Login *>(dialog);
        REQUIRE_CHILD(userEdit, QLineEdit, form, u"edtFelhasznalo"_s);
        form->activateWindow();
        userEdit->setFocus();
        focusedBase = userEdit->palette().color(QPalette::Base);
        QTest::keyClick(userEdit, Qt::Key_Return);
        afterUser = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
        leftBase = userEdit->palette().color(QPalette::Base);
        REQUIRE_CHILD(edtJelszo, QLineEdit, form, u"edtJelszo"_s);
        QTest::keyClick(edtJelszo, Qt::Key_Return);
        afterPassword = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
        REQUIRE_CHILD(btnMegsem, QPushButton, form, u"btnMegsem"_s);
        btnMegsem->click();
    });
    LoginUser user;
    ShowLogin(*m_con, user);
    QCOMPARE(afterUser, u"edtJelszo"_s);
    QCOMPARE(afterPassword, u"btnOK"_s);
    QCOMPARE(focusedBase, QColor::fromRgb(0xA6, 0xCA, 0xF0));
    QCOMPARE(leftBase, QApplication::palette().color(QPalette::Base));
    // Enter did not press OK on the way.
    QCOMPARE(boxes.count(), 0);
}

void TestLogin::inpStrMinimumLength_data()
{
    QTest::addColumn<int>("minLength");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");

    QTest::newRow("three of four") << 4 << u"abc"_s << u"Túl rövid. Legalább 4 karakter kell."_s;
    QTest::newRow("four of four") << 4 << u"abcd"_s << QString();
    QTest::newRow("empty of one") << 1 << QString() << u"Túl rövid. Legalább 1 karakter kell."_s;
    QTest::newRow("empty of none") << 0 << QString() << QString();
}

void TestLogin::inpStrMinimumLength()
{
    QFETCH(int, minLength);
    QFETCH(QString, typed);
    QFETCH(QString, message);

    MessageBoxRecorder boxes;
    bool refused = false;
    const ModalAnswer input = AnswerModal(u"Próba"_s, [&](QDialog *dialog) {
        auto *form = qobject_cast<Tfrm_InpStr *>(dialog);
        REQUIRE_CHILD(edit1, QLineEdit, form, u"Edit1"_s);
        edit1->setText(typed);
        REQUIRE_CHILD(button1, QPushButton, form, u"Button1"_s);
        button1->click();
        refused = form->isVisible();
        if (refused) {
            REQUIRE_CHILD(button2, QPushButton, form, u"Button2"_s);
            button2->click();
        }
    });
    QString value = u"előző"_s;
    const bool ok = AskString(u"Próba"_s, u"Írj valamit"_s, false, minLength, -1, value);
    QCOMPARE(ok, message.isEmpty());
    QCOMPARE(refused, !message.isEmpty());
    QCOMPARE(boxes.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(value, ok ? typed : u"előző"_s);
}

void TestLogin::inpStrCancelKeepsValue()
{
    const ModalAnswer input = AnswerModal(u"Próba"_s, [&](QDialog *dialog) {
        auto *form = qobject_cast<Tfrm_InpStr *>(dialog);
        REQUIRE_CHILD(edit1, QLineEdit, form, u"Edit1"_s);
        QCOMPARE(edit1->text(), u"eredeti"_s);
        edit1->setText(u"más"_s);
        REQUIRE_CHILD(button2, QPushButton, form, u"Button2"_s);
        button2->click();
    });
    QString value = u"eredeti"_s;
    QVERIFY(!AskString(u"Próba"_s, u"Írj valamit"_s, false, 0, -1, value));
    QCOMPARE(value, u"eredeti"_s);
}

void TestLogin::inpStrPasswordMode()
{
    struct Seen
    {
        QLineEdit::EchoMode echo;
        bool boxVisible;
        bool boxTicked;
        QLineEdit::EchoMode echoAfterTick;
        bool focusBack;
        QLineEdit::EchoMode echoAfterUntick;
    } seen{};
    ModalAnswer input = AnswerModal(u"Jelszó megadás"_s, [&](QDialog *dialog) {
        auto *form = qobject_cast<Tfrm_InpStr *>(dialog);
        REQUIRE_CHILD(edit, QLineEdit, form, u"Edit1"_s);
        REQUIRE_CHILD(showCharacters, QCheckBox, form, u"CheckBox1"_s);
        form->activateWindow();
        edit->setText(u"titkos"_s);
        seen.echo = edit->echoMode();
        seen.boxVisible = showCharacters->isVisible();
        seen.boxTicked = showCharacters->isChecked();
        QTest::mouseClick(showCharacters, Qt::LeftButton);
        seen.echoAfterTick = edit->echoMode();
        seen.focusBack = edit->hasFocus();
        SaveShot(form, u"inpstr"_s);
        QTest::mouseClick(showCharacters, Qt::LeftButton);
        seen.echoAfterUntick = edit->echoMode();
        REQUIRE_CHILD(button1, QPushButton, form, u"Button1"_s);
        button1->click();
    });
    QString value;
    QVERIFY(AskString(u"Jelszó megadás"_s, u"Add meg a jelszót"_s, true, 0, -1, value));
    QCOMPARE(value, u"titkos"_s);
    QCOMPARE(seen.echo, QLineEdit::Password);
    QVERIFY(seen.boxVisible);
    QVERIFY(!seen.boxTicked);
    QCOMPARE(seen.echoAfterTick, QLineEdit::Normal);
    QVERIFY(seen.focusBack);
    QCOMPARE(seen.echoAfterUntick, QLineEdit::Password);

    // Without password mode the characters show and the box is hidden.
    bool boxVisible = true;
    QLineEdit::EchoMode echo = QLineEdit::Password;
    input = AnswerModal(u"Név"_s, [&](QDialog *dialog) {
        auto *form = qobject_cast<Tfrm_InpStr *>(dialog);
        REQUIRE_CHILD(checkBox1, QCheckBox, form, u"CheckBox1"_s);
        boxVisible = checkBox1->isVisible();
        REQUIRE_CHILD(edit1, QLineEdit, form, u"Edit1"_s);
        echo = edit1->echoMode();
        REQUIRE_CHILD(button2, QPushButton, form, u"Button2"_s);
        button2->click();
    });
    AskString(u"Név"_s, u"Név"_s, false, 0, -1, value);
    QVERIFY(!boxVisible);
    QCOMPARE(echo, QLineEdit::Normal);
}

void TestLogin::inpStrMaximumLength()
{
    const ModalAnswer input = AnswerModal(u"Próba"_s, [&](QDialog *dialog) {
        auto *form = qobject_cast<Tfrm_InpStr *>(dialog);
        REQUIRE_CHILD(edit1, QLineEdit, form, u"Edit1"_s);
        QTest::keyClicks(edit1, u"abcdefgh"_s);
        REQUIRE_CHILD(button1, QPushButton, form, u"Button1"_s);
        button1->click();
    });
    QString value;
    QVERIFY(AskString(u"Próba"_s, u"Legfeljebb öt"_s, false, 0, 5, value));
    QCOMPARE(value, u"abcde"_s);
}

void TestLogin::inpStrHeightHeldAndPlaceSaved()
{
    QSize afterDrag;
    int outerWidth = 0;
    int editWidth = 0;
    int button1Left = 0;
    int button2Left = 0;
    ModalAnswer input = AnswerModal(u"Próba"_s, [&](QDialog *dialog) {
        auto *form = qobject_cast<Tfrm_InpStr *>(dialog);
        form->resize(600, 500);
        afterDrag = form->size();
        outerWidth = ShownOuterGeometry(form).width();
        REQUIRE_CHILD(edit1, QLineEdit, form, u"Edit1"_s);
        editWidth = edit1->width();
        REQUIRE_CHILD(button1, QPushButton, form, u"Button1"_s);
        button1Left = button1->x();
        REQUIRE_CHILD(button2, QPushButton, form, u"Button2"_s);
        button2Left = button2->x();
        form->move(40, 50);
        button2->click();
    });
    QString value;
    AskString(u"Próba"_s, u"Méret"_s, false, 0, -1, value);
    QCOMPARE(afterDrag, QSize(600, Tfrm_InpStr::FixedHeight));
    QCOMPARE(editWidth, 600 - 73);
    QCOMPARE(button1Left, 600 - 110);
    QCOMPARE(button2Left, 600 - 110);

    // The place is kept for next time, also after Mégsem; the settings hold the outer window.
    const IniFile ini = SettingsFile();
    QCOMPARE(ini.readInteger(u"frm_InpStr"_s, u"Width"_s, -1), outerWidth);
    QSize shown;
    input = AnswerModal(u"Próba"_s, [&](QDialog *dialog) {
        shown = dialog->size();
        dialog->reject();
    });
    AskString(u"Próba"_s, u"Méret"_s, false, 0, -1, value);
    QCOMPARE(shown, QSize(600, Tfrm_InpStr::FixedHeight));
}

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
