#include "common/cp1250.h"
#include "db/connection.h"
#include "db/dbroutines.h"
#include "gui/messagebox.h"
#include "modaldialogs.h"
#include "testdatabase.h"
#include "testutil.h"
#include "users/frm_felhasznaloszerkeszt.h"
#include "users/frm_inpstr.h"
#include "users/frm_login.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kEditorCaption = u"Felhasználó adatainak szerkesztése"_s;

using EditorAnswer = std::function<void(Tfrm_FelhasznaloSzerkeszt *)>;

// Gives the password through "Jelszó megadás" of the open editor.
void SetPassword(Tfrm_FelhasznaloSzerkeszt *form, const QString &password)
{
    AnswerModal(u"Jelszó megadás"_s, [password](QDialog *dialog) {
        auto *input = qobject_cast<Tfrm_InpStr *>(dialog);
        REQUIRE_CHILD(edit1, QLineEdit, input, u"Edit1"_s);
        edit1->setText(password);
        REQUIRE_CHILD(button1, QPushButton, input, u"Button1"_s);
        button1->click();
    });
    REQUIRE_CHILD(bitBtn1, QPushButton, form, u"BitBtn1"_s);
    bitBtn1->click();
}

// Presses OK; when the editor stays open it is given up.
void PressOkOrGiveUp(Tfrm_FelhasznaloSzerkeszt *form, bool *stayedOpen = nullptr)
{
    REQUIRE_CHILD(btnOK, QPushButton, form, u"btnOK"_s);
    btnOK->click();
    if (stayedOpen)
        *stayedOpen = form->isVisible();
    if (form->isVisible()) {
        REQUIRE_CHILD(btnCancel, QPushButton, form, u"btnCancel"_s);
        btnCancel->click();
    }
}

} // namespace

class TestUserAdmin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void init();
    void cleanup();

    void idsOfNewUsers();
    void cancelledNewUserUsesNoId();
    void newUserWithoutPasswordRefused();
    void refusedWriteKeepsEditorOpen_data();
    void refusedWriteKeepsEditorOpen();
    void idTakenMeanwhileByAnotherWorkstation();
    void refusedEditCanGoBack_data();
    void refusedEditCanGoBack();
    void editingNameKeepsDigest();
    void passwordSetHereLogsIn();
    void codeLongerThan20CannotBeTyped();

private:
    int runEditor(bool isNew, int id, const EditorAnswer &answer);
    QStringList row(int id);
    int count();

    std::unique_ptr<ScopedDataFolder> m_folder;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_con;
};

void TestUserAdmin::init()
{
    m_folder = std::make_unique<ScopedDataFolder>();
    m_db = std::make_unique<TestDatabase>();
    m_con = std::make_unique<Connection>(m_db->params());
    m_con->open();
}

void TestUserAdmin::cleanup()
{
    VerifyNoDialogLeftOpen();
    m_con.reset();
    m_db.reset();
    m_folder.reset();
}

int TestUserAdmin::runEditor(bool isNew, int id, const EditorAnswer &answer)
{
    const ModalAnswer editor = AnswerModal(kEditorCaption, [answer](QDialog *dialog) {
        auto *form = qobject_cast<Tfrm_FelhasznaloSzerkeszt *>(dialog);
        QVERIFY(form);
        answer(form);
        if (form->isVisible()) {
            qWarning("editor left open by the test");
            form->reject();
        }
    });
    return EditUser(*m_con, isNew, id);
}

// code | name | admin | master data | digest of the row, NULL as "NULL"
QStringList TestUserAdmin::row(int id)
{
    return QueryText(*m_con,
                     u"SELECT CONCAT_WS('|', felhasznalo, IFNULL(felhasznalo_nev, 'NULL'), rendszergazda, "
                     u"torzsszerkeszt, IFNULL(jelszomd5, 'NULL')) FROM felhasznalo WHERE felhkod = "_s +
                         QString::number(id) + u';',
                     u"no row"_s)
        .split(u'|');
}

int TestUserAdmin::count()
{
    return QueryInt(*m_con, u"SELECT COUNT(*) FROM felhasznalo;"_s, -1);
}

void TestUserAdmin::idsOfNewUsers()
{
    MessageBoxRecorder boxes;
    bool shownRightsOff = false;
    int id = runEditor(true, -1, [&](Tfrm_FelhasznaloSzerkeszt *form) {
        REQUIRE_CHILD(dbCheckBox2, QCheckBox, form, u"DBCheckBox2"_s);
        REQUIRE_CHILD(dbCheckBox1, QCheckBox, form, u"DBCheckBox1"_s);
        shownRightsOff = !dbCheckBox1->isChecked() && !dbCheckBox2->isChecked();
        REQUIRE_CHILD(dbEdit1, QLineEdit, form, u"DBEdit1"_s);
        dbEdit1->setText(u"anna"_s);
        REQUIRE_CHILD(dbEdit3, QLineEdit, form, u"DBEdit3"_s);
        dbEdit3->setText(u"Kiss Anna"_s);
        SetPassword(form, u"titok"_s);
        SaveShot(form, u"felhasznaloszerkeszt"_s);
        PressOkOrGiveUp(form);
    });
    QCOMPARE(id, 1);
    QVERIFY(shownRightsOff);
    QCOMPARE(row(1), (QStringList{u"anna"_s, u"Kiss Anna"_s, u"N"_s, u"N"_s, ServerMd5(*m_con, u"titok"_s)}));

    // The highest id + 1, also when lower ids are free.
    REQUIRE_SQL(m_db->client("INSERT INTO felhasznalo (felhkod, felhasznalo) VALUES (7, 'hetes');"));
    id = runEditor(true, -1, [&](Tfrm_FelhasznaloSzerkeszt *form) {
        REQUIRE_CHILD(dbEdit1, QLineEdit, form, u"DBEdit1"_s);
        dbEdit1->setText(u"bela"_s);
        REQUIRE_CHILD(dbCheckBox2, QCheckBox, form, u"DBCheckBox2"_s);
        dbCheckBox2->setChecked(true);
        SetPassword(form, QString());
        PressOkOrGiveUp(form);
    });
    QCOMPARE(id, 8);
    // An empty password is a password: the digest of the empty text.
    QCOMPARE(row(8),
             (QStringList{u"bela"_s, u"NULL"_s, u"N"_s, u"I"_s, u"d41d8cd98f00b204e9800998ecf8427e"_s}));
    QCOMPARE(boxes.count(), 0);
}

void TestUserAdmin::cancelledNewUserUsesNoId()
{
    REQUIRE_SQL(m_db->client("INSERT INTO felhasznalo (felhkod, felhasznalo) VALUES (3, 'harmas');"));
    const int cancelled = runEditor(true, -1, [](Tfrm_FelhasznaloSzerkeszt *form) {
        REQUIRE_CHILD(dbEdit1, QLineEdit, form, u"DBEdit1"_s);
        dbEdit1->setText(u"elvetett"_s);
        SetPassword(form, u"x"_s);
        REQUIRE_CHILD(btnCancel, QPushButton, form, u"btnCancel"_s);
        btnCancel->click();
    });
    QCOMPARE(cancelled, -1);
    QCOMPARE(count(), 1);
    const int id = runEditor(true, -1, [](Tfrm_FelhasznaloSzerkeszt *form) {
        REQUIRE_CHILD(dbEdit1, QLineEdit, form, u"DBEdit1"_s);
        dbEdit1->setText(u"negyes"_s);
        SetPassword(form, u"x"_s);
        PressOkOrGiveUp(form);
    });
    QCOMPARE(id, 4);
}

void TestUserAdmin::newUserWithoutPasswordRefused()
{
    MessageBoxRecorder boxes;
    bool stayedOpen = false;
    const int id = runEditor(true, -1, [&](Tfrm_FelhasznaloSzerkeszt *form) {
        REQUIRE_CHILD(dbEdit1, QLineEdit, form, u"DBEdit1"_s);
        dbEdit1->setText(u"jelszotlan"_s);
        // Giving up the password question sets nothing either.
        AnswerModal(u"Jelszó megadás"_s, [](QDialog *d) { d->reject(); });
        REQUIRE_CHILD(bitBtn1, QPushButton, form, u"BitBtn1"_s);
        bitBtn1->click();
        PressOkOrGiveUp(form, &stayedOpen);
    });
    QCOMPARE(id, -1);
    QVERIFY(stayedOpen);
    QCOMPARE(boxes.texts(), QStringList{u"Adj meg induló jelszót!"_s});
    QCOMPARE(count(), 0);
}

void TestUserAdmin::refusedWriteKeepsEditorOpen_data()
{
    QTest::addColumn<QString>("code");
    QTest::newRow("code of another user") << u"anna"_s;
    QTest::newRow("no code") << QString();
}

void TestUserAdmin::refusedWriteKeepsEditorOpen()
{
    QFETCH(QString, code);
    REQUIRE_SQL(m_db->client(
        "INSERT INTO felhasznalo (felhkod, felhasznalo, jelszomd5) VALUES (1, 'anna', MD5('a'));"));
    MessageBoxRecorder boxes;
    bool stayedOpen = false;
    QString typedAfter;
    const int id = runEditor(true, -1, [&](Tfrm_FelhasznaloSzerkeszt *form) {
        REQUIRE_CHILD(dbEdit1, QLineEdit, form, u"DBEdit1"_s);
        dbEdit1->setText(code);
        REQUIRE_CHILD(dbEdit3, QLineEdit, form, u"DBEdit3"_s);
        dbEdit3->setText(u"Második"_s);
        SetPassword(form, u"b"_s);
        REQUIRE_CHILD(btnOK, QPushButton, form, u"btnOK"_s);
        btnOK->click();
        stayedOpen = form->isVisible();
        typedAfter = dbEdit3->text();
        // Corrected, the same editor saves.
        dbEdit1->setText(u"masodik"_s);
        PressOkOrGiveUp(form);
    });
    QVERIFY(stayedOpen);
    QCOMPARE(typedAfter, u"Második"_s);
    QCOMPARE(boxes.count(), 1);
    const QString text = boxes.texts().at(0);
    QVERIFY2(text.startsWith(u"Hiányos adat megadás\n"_s), qPrintable(text));
    QVERIFY2(text.size() > u"Hiányos adat megadás\n"_s.size(), "the server's text follows");
    QCOMPARE(id, 2);
    QCOMPARE(row(2), (QStringList{u"masodik"_s, u"Második"_s, u"N"_s, u"N"_s, ServerMd5(*m_con, u"b"_s)}));
}

void TestUserAdmin::idTakenMeanwhileByAnotherWorkstation()
{
    MessageBoxRecorder boxes;
    const int id = runEditor(true, -1, [&](Tfrm_FelhasznaloSzerkeszt *form) {
        // Another administrator saves a user while this editor is open.
        REQUIRE_SQL(m_db->client("INSERT INTO felhasznalo (felhkod, felhasznalo) VALUES (1, 'masik');"));
        REQUIRE_CHILD(dbEdit1, QLineEdit, form, u"DBEdit1"_s);
        dbEdit1->setText(u"enyem"_s);
        SetPassword(form, u"x"_s);
        PressOkOrGiveUp(form);
    });
    QCOMPARE(boxes.count(), 0);
    QCOMPARE(id, 2);
    QCOMPARE(row(2).value(0), u"enyem"_s);
    QCOMPARE(row(1).value(0), u"masik"_s);
}

void TestUserAdmin::refusedEditCanGoBack_data()
{
    QTest::addColumn<QString>("refusal"); // "duplicate": the code of another user; "lock": the row is locked
    QTest::addColumn<QString>("firstCode"); // typed before the refused OK
    QTest::addColumn<QString>("firstName");
    QTest::addColumn<QString>("secondCode"); // typed before the second OK
    QTest::addColumn<QString>("secondName");
    QTest::addColumn<QString>("stored"); // code|name afterwards

    QTest::newRow("old code typed back") << u"duplicate"_s << u"bela"_s << u"Kiss Anna"_s << u"anna"_s
                                         << u"Kiss Anna"_s << u"anna|Kiss Anna"_s;
    QTest::newRow("name given up with the refused code")
        << u"duplicate"_s << u"bela"_s << u"Elvetett"_s << u"anna2"_s << u"Kiss Anna"_s
        << u"anna2|Kiss Anna"_s;
    QTest::newRow("name given up after a passing failure")
        << u"lock"_s << u"anna"_s << u"Elvetett"_s << u"anna"_s << u"Kiss Anna"_s << u"anna|Kiss Anna"_s;
}

void TestUserAdmin::refusedEditCanGoBack()
{
    QFETCH(QString, refusal);
    QFETCH(QString, firstCode);
    QFETCH(QString, firstName);
    QFETCH(QString, secondCode);
    QFETCH(QString, secondName);
    QFETCH(QString, stored);
    REQUIRE_SQL(
        m_db->client(ToCp1250(u"INSERT INTO felhasznalo VALUES (1, 'anna', 'Kiss Anna', MD5('a'), 'N', 'N'),"
                              u" (2, 'bela', 'Nagy Béla', MD5('b'), 'N', 'N');"_s)));
    // Another workstation holds the row for a moment: the write times out, a failure that
    // passes.
    std::unique_ptr<Connection> other;
    if (refusal == u"lock"_s) {
        m_con->exec(u"SET SESSION innodb_lock_wait_timeout = 1"_s);
        other = std::make_unique<Connection>(m_db->params());
        other->open();
        other->begin();
        other->query(u"SELECT * FROM felhasznalo WHERE felhkod = 1 FOR UPDATE"_s);
    }

    MessageBoxRecorder boxes;
    bool refused = false;
    bool openAfterSecond = true;
    const int id = runEditor(false, 1, [&](Tfrm_FelhasznaloSzerkeszt *form) {
        REQUIRE_CHILD(dbEdit1, QLineEdit, form, u"DBEdit1"_s);
        dbEdit1->setText(firstCode);
        REQUIRE_CHILD(dbEdit3, QLineEdit, form, u"DBEdit3"_s);
        dbEdit3->setText(firstName);
        REQUIRE_CHILD(btnOK, QPushButton, form, u"btnOK"_s);
        btnOK->click();
        refused = form->isVisible();
        if (other)
            other->rollback();
        dbEdit1->setText(secondCode);
        dbEdit3->setText(secondName);
        PressOkOrGiveUp(form, &openAfterSecond);
    });
    QVERIFY(refused);
    QVERIFY2(!openAfterSecond, qPrintable(boxes.texts().join(u" | "_s)));
    QCOMPARE(boxes.count(), 1);
    QVERIFY2(boxes.texts().at(0).startsWith(u"Hiányos adat megadás\n"_s), qPrintable(boxes.texts().at(0)));
    QCOMPARE(id, 1);
    QCOMPARE(row(1).mid(0, 2).join(u'|'), stored);
    QCOMPARE(row(2).mid(0, 2).join(u'|'), u"bela|Nagy Béla"_s);
}

void TestUserAdmin::editingNameKeepsDigest()
{
    REQUIRE_SQL(m_db->client(
        ToCp1250(u"INSERT INTO felhasznalo VALUES (5, 'anna', 'Kiss Anna', MD5('régi'), 'I', 'N');"_s)));
    const QStringList before = row(5);
    QString shownCode;
    bool shownAdmin = false;
    const int id = runEditor(false, 5, [&](Tfrm_FelhasznaloSzerkeszt *form) {
        REQUIRE_CHILD(dbEdit1, QLineEdit, form, u"DBEdit1"_s);
        shownCode = dbEdit1->text();
        REQUIRE_CHILD(dbCheckBox1, QCheckBox, form, u"DBCheckBox1"_s);
        shownAdmin = dbCheckBox1->isChecked();
        REQUIRE_CHILD(dbEdit3, QLineEdit, form, u"DBEdit3"_s);
        dbEdit3->setText(u"Kissné Anna"_s);
        dbCheckBox1->setChecked(false);
        PressOkOrGiveUp(form);
    });
    QCOMPARE(id, 5);
    QCOMPARE(shownCode, u"anna"_s);
    QVERIFY(shownAdmin);
    QCOMPARE(row(5), (QStringList{u"anna"_s, u"Kissné Anna"_s, u"N"_s, u"N"_s, before.at(4)}));
    QCOMPARE(before.at(4), ServerMd5(*m_con, u"régi"_s));

    // Mégsem writes nothing.
    runEditor(false, 5, [](Tfrm_FelhasznaloSzerkeszt *form) {
        REQUIRE_CHILD(dbEdit3, QLineEdit, form, u"DBEdit3"_s);
        dbEdit3->setText(u"Elvetett"_s);
        SetPassword(form, u"új"_s);
        REQUIRE_CHILD(btnCancel, QPushButton, form, u"btnCancel"_s);
        btnCancel->click();
    });
    QCOMPARE(row(5).at(1), u"Kissné Anna"_s);
    QCOMPARE(row(5).at(4), before.at(4));
}

void TestUserAdmin::passwordSetHereLogsIn()
{
    runEditor(true, -1, [](Tfrm_FelhasznaloSzerkeszt *form) {
        REQUIRE_CHILD(dbEdit1, QLineEdit, form, u"DBEdit1"_s);
        dbEdit1->setText(u"Ödön"_s);
        SetPassword(form, u"Árvíztűrő"_s);
        PressOkOrGiveUp(form);
    });
    const auto tryLogin = [this](const QString &password) {
        MessageBoxRecorder boxes;
        const ModalAnswer loginDialog = AnswerModal(u"Belépés azonosítás"_s, [password](QDialog *dialog) {
            auto *form = qobject_cast<Tfrm_Login *>(dialog);
            REQUIRE_CHILD(edtFelhasznalo, QLineEdit, form, u"edtFelhasznalo"_s);
            edtFelhasznalo->setText(u"Ödön"_s);
            REQUIRE_CHILD(edtJelszo, QLineEdit, form, u"edtJelszo"_s);
            edtJelszo->setText(password);
            REQUIRE_CHILD(btnOK, QPushButton, form, u"btnOK"_s);
            btnOK->click();
            if (form->isVisible()) {
                REQUIRE_CHILD(btnMegsem, QPushButton, form, u"btnMegsem"_s);
                btnMegsem->click();
            }
        });
        LoginUser user;
        return ShowLogin(*m_con, user);
    };
    QVERIFY(tryLogin(u"Árvíztűrő"_s));
    QVERIFY(!tryLogin(u"árvíztűrő"_s));
}

void TestUserAdmin::codeLongerThan20CannotBeTyped()
{
    QString typed;
    runEditor(true, -1, [&](Tfrm_FelhasznaloSzerkeszt *form) {
        REQUIRE_CHILD(dbEdit1, QLineEdit, form, u"DBEdit1"_s);
        QTest::keyClicks(dbEdit1, u"abcdefghijklmnopqrstuvwxyz"_s);
        typed = dbEdit1->text();
        REQUIRE_CHILD(btnCancel, QPushButton, form, u"btnCancel"_s);
        btnCancel->click();
    });
    QCOMPARE(typed, u"abcdefghijklmnopqrst"_s);
}

QTEST_MAIN(TestUserAdmin)
#include "tst_useradmin.moc"
