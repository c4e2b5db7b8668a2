#include "common/cp1250.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/dbroutines.h"
#include "testdatabase.h"
#include "users/userrows.h"

#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

// The log-in's check, the password change and the deletion of a user without their windows,
// on the real server.
class TestUserRows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void init();
    void cleanup();

    void readLoginRows();
    void checkCredentials_data();
    void checkCredentials();
    void changePassword_data();
    void changePassword();
    void changePasswordOfDeletedUser();
    void deleteUser_data();
    void deleteUser();

private:
    QString storedDigest(int id);

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_con;
};

void TestUserRows::init()
{
    m_db = std::make_unique<TestDatabase>();
    // Digests made by the server over the command-line client's latin2 connection, as another
    // workstation stores them; "jelszó" goes in as code page 1250 bytes.
    REQUIRE_SQL(m_db->client(
        ToCp1250(u"INSERT INTO felhasznalo VALUES (1, 'anna', 'Kiss Anna', MD5('Titok1'), 'I', 'N');\n"
                 u"INSERT INTO felhasznalo VALUES (2, 'bela', 'Nagy Béla', NULL, 'N', 'N');\n"
                 u"INSERT INTO felhasznalo VALUES (3, 'cecil', NULL, UPPER(MD5('titok')), 'N', 'N');\n"
                 u"INSERT INTO felhasznalo VALUES (4, 'dora', 'Tóth Dóra', MD5('jelszó'), 'N', 'I');\n"
                 u"INSERT INTO felhasznalo VALUES (5, 'ede', 'Üres Ede', MD5(''), 'x', 'i');\n"_s)));
    m_con = std::make_unique<Connection>(m_db->params());
    m_con->open();
}

void TestUserRows::cleanup()
{
    m_con.reset();
    m_db.reset();
}

QString TestUserRows::storedDigest(int id)
{
    return QueryText(*m_con,
                     u"SELECT IFNULL(jelszomd5, 'NULL') FROM felhasznalo WHERE felhkod = "_s +
                         QString::number(id) + u';',
                     u"(no row)"_s);
}

void TestUserRows::readLoginRows()
{
    const QList<LoginRow> rows = ReadLoginRows(*m_con);
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows.at(1).user.loginName, u"bela"_s);
    QCOMPARE(rows.at(1).user.fullName, u"Nagy Béla"_s);
    QCOMPARE(rows.at(1).digest, QString());        // NULL
    QCOMPARE(rows.at(2).user.fullName, QString()); // NULL
    QCOMPARE(rows.at(3).digest, u"8690fb265e135a0025657c072681d33f"_s);

    REQUIRE_SQL(m_db->client("DROP TABLE felhasznalo;"));
    QVERIFY_THROWS_EXCEPTION(DbError, ReadLoginRows(*m_con));
}

void TestUserRows::checkCredentials_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("id"); // 0: refused
    QTest::addColumn<QString>("fullName");
    QTest::addColumn<bool>("adminRight");
    QTest::addColumn<bool>("masterDataRight");

    QTest::newRow("right password") << u"anna"_s << u"Titok1"_s << 1 << u"Kiss Anna"_s << true << false;
    QTest::newRow("password in other letter case")
        << u"anna"_s << u"titok1"_s << 0 << QString() << false << false;
    QTest::newRow("code in other letter case")
        << u"Anna"_s << u"Titok1"_s << 0 << QString() << false << false;
    QTest::newRow("part of the code") << u"ann"_s << u"Titok1"_s << 0 << QString() << false << false;
    QTest::newRow("code with a trailing blank")
        << u"anna "_s << u"Titok1"_s << 0 << QString() << false << false;
    QTest::newRow("unknown code") << u"zoli"_s << u"Titok1"_s << 0 << QString() << false << false;
    QTest::newRow("empty code") << QString() << u"Titok1"_s << 0 << QString() << false << false;
    QTest::newRow("NULL digest, empty password")
        << u"bela"_s << QString() << 0 << QString() << false << false;
    QTest::newRow("NULL digest, some password") << u"bela"_s << u"x"_s << 0 << QString() << false << false;
    QTest::newRow("upper-case stored digest") << u"cecil"_s << u"titok"_s << 0 << QString() << false << false;
    QTest::newRow("Hungarian letters, digest of another workstation")
        << u"dora"_s << u"jelszó"_s << 4 << u"Tóth Dóra"_s << false << true;
    QTest::newRow("Hungarian letters without accent")
        << u"dora"_s << u"jelszo"_s << 0 << QString() << false << false;
    // Only 'I' gives a right; an empty password is a password.
    QTest::newRow("odd rights, empty password")
        << u"ede"_s << QString() << 5 << u"Üres Ede"_s << false << false;
}

void TestUserRows::checkCredentials()
{
    QFETCH(QString, code);
    QFETCH(QString, password);
    QFETCH(int, id);
    QFETCH(QString, fullName);
    QFETCH(bool, adminRight);
    QFETCH(bool, masterDataRight);

    const std::optional<LoginUser> user = CheckCredentials(*m_con, ReadLoginRows(*m_con), code, password);
    QCOMPARE(user.has_value(), id != 0);
    if (!user)
        return;
    QCOMPARE(user->loginName, code);
    QCOMPARE(user->id, id);
    QCOMPARE(user->fullName, fullName);
    QCOMPARE(user->adminRight, adminRight);
    QCOMPARE(user->masterDataRight, masterDataRight);
}

void TestUserRows::changePassword_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("oldPassword"); // passes before the change
    QTest::addColumn<QString>("newPassword");

    QTest::newRow("new password") << 1 << u"anna"_s << u"Titok1"_s << u"Új-jelszó"_s;
    QTest::newRow("Hungarian letters") << 4 << u"dora"_s << u"jelszó"_s << u"Árvíztűrő tükörfúrógép"_s;
    QTest::newRow("quote and backslash") << 1 << u"anna"_s << u"Titok1"_s << u"O'Hara\\"_s;
    QTest::newRow("empty password") << 1 << u"anna"_s << u"Titok1"_s << QString();
    // The same password again changes no row; it is no failure.
    QTest::newRow("the same password") << 1 << u"anna"_s << u"Titok1"_s << u"Titok1"_s;
}

void TestUserRows::changePassword()
{
    QFETCH(int, id);
    QFETCH(QString, code);
    QFETCH(QString, oldPassword);
    QFETCH(QString, newPassword);
    const QString otherDigest = storedDigest(2);
    QVERIFY(CheckCredentials(*m_con, ReadLoginRows(*m_con), code, oldPassword));

    ChangePassword(*m_con, id, newPassword);
    QCOMPARE(storedDigest(id), ServerMd5(*m_con, newPassword));
    const QList<LoginRow> rows = ReadLoginRows(*m_con);
    QVERIFY(CheckCredentials(*m_con, rows, code, newPassword));
    if (oldPassword != newPassword)
        QVERIFY(!CheckCredentials(*m_con, rows, code, oldPassword));
    QCOMPARE(storedDigest(2), otherDigest); // no other user changed
}

void TestUserRows::changePasswordOfDeletedUser()
{
    // Another administrator deletes the user while its log-in dialog is open: the change must
    // not be reported as done.
    const QList<LoginRow> rows = ReadLoginRows(*m_con);
    const std::optional<LoginUser> user = CheckCredentials(*m_con, rows, u"anna"_s, u"Titok1"_s);
    QVERIFY(user);
    REQUIRE_SQL(m_db->client("DELETE FROM felhasznalo WHERE felhkod = 1;"));
    QVERIFY_THROWS_EXCEPTION(DbError, ChangePassword(*m_con, user->id, u"új"_s));
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM felhasznalo"_s, -1), 4);
}

void TestUserRows::deleteUser_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<QString>("left");
    QTest::newRow("a user") << 2 << true << u"anna|cecil|dora|ede"_s;
    QTest::newRow("the administrator") << 1 << true << u"bela|cecil|dora|ede"_s;
    QTest::newRow("unknown id") << 9 << false << u"anna|bela|cecil|dora|ede"_s;
    QTest::newRow("id 0") << 0 << false << u"anna|bela|cecil|dora|ede"_s;
}

void TestUserRows::deleteUser()
{
    QFETCH(int, id);
    QFETCH(bool, deleted);
    QFETCH(QString, left);
    QCOMPARE(DeleteUser(*m_con, id), deleted);
    QCOMPARE(
        QueryText(*m_con,
                  u"SELECT GROUP_CONCAT(felhasznalo ORDER BY felhasznalo SEPARATOR '|') FROM felhasznalo"_s,
                  {}),
        left);
}

QTEST_GUILESS_MAIN(TestUserRows)
#include "tst_userrows.moc"
