#include "users/userrows.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Columns = QList<std::pair<QString, QVariant>>;

// What a save of the user editor writes: the rule, without a server.
class TestUserColumns : public QObject
{
    Q_OBJECT

private slots:
    void changedColumns_data();
    void changedColumns();
};

namespace {

UserRecord storedUser()
{
    UserRecord r;
    r.code = u"kovacs"_s;
    r.fullName = u"Kovács Éva"_s;
    r.adminRight = true;
    r.masterDataRight = false;
    r.digest = u"0cc175b9c0f1b6a831c399e269772661"_s;
    return r;
}

} // namespace

void TestUserColumns::changedColumns_data()
{
    QTest::addColumn<bool>("isNew");
    QTest::addColumn<UserRecord>("initial");
    QTest::addColumn<UserRecord>("edited");
    QTest::addColumn<Columns>("expected");

    const UserRecord stored = storedUser();
    const QString newDigest = u"92eb5ffee6ae2fec3ad71c777531578f"_s;

    UserRecord fresh;
    fresh.code = u"nagy"_s;
    fresh.digest = newDigest;
    QTest::newRow("new: every column, rights off") << true << UserRecord() << fresh
                                                   << Columns{{u"felhasznalo"_s, u"nagy"_s},
                                                              {u"felhasznalo_nev"_s, QVariant()},
                                                              {u"rendszergazda"_s, u"N"_s},
                                                              {u"torzsszerkeszt"_s, u"N"_s},
                                                              {u"jelszomd5"_s, newDigest}};

    UserRecord freshNoCode = fresh;
    freshNoCode.code.clear();
    freshNoCode.masterDataRight = true;
    QTest::newRow("new without a code: NULL for the server to refuse")
        << true << UserRecord() << freshNoCode
        << Columns{{u"felhasznalo"_s, QVariant()},
                   {u"felhasznalo_nev"_s, QVariant()},
                   {u"rendszergazda"_s, u"N"_s},
                   {u"torzsszerkeszt"_s, u"I"_s},
                   {u"jelszomd5"_s, newDigest}};

    QTest::newRow("edit, nothing changed") << false << stored << stored << Columns{};

    UserRecord rightsSwapped = stored;
    rightsSwapped.adminRight = false;
    rightsSwapped.masterDataRight = true;
    QTest::newRow("edit, both rights changed")
        << false << stored << rightsSwapped
        << Columns{{u"rendszergazda"_s, u"N"_s}, {u"torzsszerkeszt"_s, u"I"_s}};

    UserRecord nameCleared = stored;
    nameCleared.fullName.clear();
    QTest::newRow("edit, a cleared name is NULL")
        << false << stored << nameCleared << Columns{{u"felhasznalo_nev"_s, QVariant()}};

    UserRecord renamed = stored;
    renamed.code = u"Kovacs"_s;
    QTest::newRow("edit, the code in another letter case")
        << false << stored << renamed << Columns{{u"felhasznalo"_s, u"Kovacs"_s}};

    UserRecord newPassword = stored;
    newPassword.digest = newDigest;
    QTest::newRow("edit, a new password")
        << false << stored << newPassword << Columns{{u"jelszomd5"_s, newDigest}};

    UserRecord noDigest = stored;
    noDigest.digest.reset();
    UserRecord firstPassword = noDigest;
    firstPassword.digest = newDigest;
    QTest::newRow("edit, the first password of a user without one")
        << false << noDigest << firstPassword << Columns{{u"jelszomd5"_s, newDigest}};
    QTest::newRow("edit, still no password") << false << noDigest << noDigest << Columns{};
}

void TestUserColumns::changedColumns()
{
    QFETCH(bool, isNew);
    QFETCH(UserRecord, initial);
    QFETCH(UserRecord, edited);
    QFETCH(Columns, expected);
    const Columns columns = ChangedUserColumns(isNew, initial, edited);
    QCOMPARE(columns.size(), expected.size());
    for (qsizetype i = 0; i < columns.size(); ++i) {
        QCOMPARE(columns[i].first, expected[i].first);
        QCOMPARE(columns[i].second.isNull(), expected[i].second.isNull());
        QCOMPARE(columns[i].second.toString(), expected[i].second.toString());
    }
}

QTEST_GUILESS_MAIN(TestUserColumns)
#include "tst_usercolumns.moc"
