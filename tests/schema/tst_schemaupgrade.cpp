#include "config/conprofile.h"
#include "config/inifile.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "schema/commandlineupgrade.h"
#include "schema/schemaupgrade.h"
#include "testdatabase.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace Qt::StringLiterals;

// Extending a register database: what is missing is added once, and a refusal leaves nothing.
class TestSchemaUpgrade : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void addsWhatIsMissingOnce();
    void refusalLeavesNothingHalfMade_data();
    void refusalLeavesNothingHalfMade();
    void noticeOncePerDatabase();
    void commandLineFollowsTheBackupsLogIn_data();
    void commandLineFollowsTheBackupsLogIn();
};

namespace {

// The database's tables, triggers and indexes, to see that nothing changed.
QStringList schemaObjects(Connection &con)
{
    const ResultSet rs = con.query(
        u"SELECT CONCAT('table ', TABLE_NAME) FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE() "
        "UNION ALL SELECT CONCAT('trigger ', TRIGGER_NAME) FROM information_schema.TRIGGERS "
        "WHERE TRIGGER_SCHEMA = DATABASE() "
        "UNION ALL SELECT DISTINCT CONCAT('index ', TABLE_NAME, '.', INDEX_NAME) FROM information_schema.STATISTICS "
        "WHERE TABLE_SCHEMA = DATABASE() ORDER BY 1"_s);
    QStringList objects;
    for (int row = 0; row < rs.rowCount(); ++row)
        objects.append(rs.text(row, 0));
    return objects;
}

QStringList stepNames(const QList<UpgradeStep> &steps)
{
    QStringList names;
    for (const UpgradeStep &step : steps)
        names.append(step.name);
    return names;
}

} // namespace

void TestSchemaUpgrade::addsWhatIsMissingOnce()
{
    TestDatabase db;
    // A database of the older schema: no index on the year.
    db.client("ALTER TABLE iktato DROP KEY ix_iktato_ev");
    Connection con(db.params());
    con.open();
    const QStringList all{u"ix_iktato_ev"_s,    u"iktato_naplo"_s,    u"iktato_naplo_ai"_s,
                          u"iktato_naplo_au"_s, u"iktato_naplo_ad"_s, u"iktato_szerk"_s};
    QCOMPARE(stepNames(MissingUpgradeSteps(con)), all);
    QVERIFY(!HasChangeHistory(con));

    const UpgradeResult first = UpgradeDatabase(con);
    QVERIFY2(first.ok, qPrintable(first.error));
    QCOMPARE(first.added, all);
    QVERIFY(MissingUpgradeSteps(con).isEmpty());
    QVERIFY(HasChangeHistory(con) && HasEditorTable(con));

    const QStringList afterFirst = schemaObjects(con);
    const UpgradeResult second = UpgradeDatabase(con);
    QVERIFY2(second.ok, qPrintable(second.error));
    QCOMPARE(second.added, QStringList());
    QCOMPARE(schemaObjects(con), afterFirst);

    // An index on the year under another name serves as well: nothing is added beside it.
    TestDatabase other;
    other.client("ALTER TABLE iktato DROP KEY ix_iktato_ev, ADD KEY evszerint (ev)");
    Connection otherCon(other.params());
    otherCon.open();
    QVERIFY(!stepNames(MissingUpgradeSteps(otherCon)).contains(u"ix_iktato_ev"_s));
}

void TestSchemaUpgrade::refusalLeavesNothingHalfMade_data()
{
    // How the user holds the rights that do not include TRIGGER.
    QTest::addColumn<bool>("throughRole");
    QTest::addColumn<QString>("said"); // how the refusal is told
    // Granted directly: the check before the work sees it and nothing is tried.
    QTest::newRow("granted to the user") << false << u"jog hiányzik: TRIGGER"_s;
    // Through a role the grant tables do not tell: the index and the table are made, the server
    // refuses the first trigger, and what was made is taken away again.
    QTest::newRow("granted through a role") << true << u"megtagadta (iktato_naplo_ai): ehhez TRIGGER jog kell"_s;
}

void TestSchemaUpgrade::refusalLeavesNothingHalfMade()
{
    QFETCH(bool, throughRole);
    QFETCH(QString, said);
    TestDatabase db;
    db.client("ALTER TABLE iktato DROP KEY ix_iktato_ev");
    const QByteArray user = "upg_" + db.name().right(12).toLatin1();
    const QByteArray rights = "SELECT, INSERT, UPDATE, DELETE, CREATE, DROP, INDEX, ALTER";
    const QByteArray on = " ON `" + db.name().toLatin1() + "`.* TO ";
    QByteArray sql = "CREATE USER '" + user + "'@'%' IDENTIFIED BY 'jelszo';";
    if (throughRole) {
        sql += "CREATE ROLE " + user + "_r; GRANT " + rights + on + user + "_r; GRANT " + user + "_r TO '" + user +
               "'@'%'; SET DEFAULT ROLE " + user + "_r FOR '" + user + "'@'%';";
    } else {
        sql += "GRANT " + rights + on + "'" + user + "'@'%';";
    }
    TestServer::client(sql);
    const auto dropUser = qScopeGuard([&] {
        TestServer::client("DROP USER IF EXISTS '" + user + "'@'%'; DROP ROLE IF EXISTS " + user + "_r;");
    });

    Connection root(db.params());
    root.open();
    const QStringList before = schemaObjects(root);

    ConnectionParams params = db.params();
    params.user = QString::fromLatin1(user);
    params.password = u"jelszo"_s;
    Connection con(params);
    con.open();
    const UpgradeResult result = UpgradeDatabase(con);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(said), qPrintable(result.error));
    QCOMPARE(result.added, QStringList());
    QCOMPARE(result.leftOver, QStringList());
    QCOMPARE(schemaObjects(root), before);
}

void TestSchemaUpgrade::noticeOncePerDatabase()
{
    QTemporaryDir folder;
    IniFile settings(folder.filePath(u"OrvantH.ini"_s));
    TestDatabase db;
    Connection con(db.params());
    con.open();
    const QString notice = UpgradeNoticeOnce(con, settings);
    QVERIFY2(notice.contains(u"Változásnapló"_s), qPrintable(notice));
    QCOMPARE(UpgradeNoticeOnce(con, settings), QString());

    // Another database of the same server is told about on its own.
    TestDatabase other;
    Connection otherCon(other.params());
    otherCon.open();
    QVERIFY(!UpgradeNoticeOnce(otherCon, settings).isEmpty());

    // An extended database has nothing to be told.
    TestDatabase extended;
    Connection extendedCon(extended.params());
    extendedCon.open();
    QVERIFY(UpgradeDatabase(extendedCon).ok);
    QCOMPARE(UpgradeNoticeOnce(extendedCon, settings), QString());
}

void TestSchemaUpgrade::commandLineFollowsTheBackupsLogIn_data()
{
    QTest::addColumn<bool>("loginRequired");
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("no log-in asked") << false << u"2"_s << QString() << QString() << 0;
    QTest::newRow("log-in asked, nobody named") << true << u"2"_s << QString() << QString() << 3;
    QTest::newRow("log-in asked, wrong password") << true << u"2"_s << u"admin"_s << u"rossz"_s << 3;
    QTest::newRow("log-in asked, no administrator") << true << u"2"_s << u"kata"_s << u"titok"_s << 3;
    QTest::newRow("log-in asked, administrator") << true << u"2"_s << u"admin"_s << u"titok"_s << 0;
    QTest::newRow("no such profile") << false << u"3"_s << QString() << QString() << 2;
    QTest::newRow("not a profile number") << false << u"x"_s << QString() << QString() << 2;
}

void TestSchemaUpgrade::commandLineFollowsTheBackupsLogIn()
{
    QFETCH(bool, loginRequired);
    QFETCH(QString, profile);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(int, exitCode);
    TestDatabase db;
    db.client(QByteArray("INSERT INTO felhasznalo (felhkod, felhasznalo, felhasznalo_nev, jelszomd5, rendszergazda) "
                         "VALUES (1, 'admin', 'Admin', MD5('titok'), 'I'), (2, 'kata', 'Kata', MD5('titok'), 'N'); "
                         "UPDATE beallit SET vanbelep = '") +
              (loginRequired ? "I" : "N") + "';");
    QTemporaryDir folder;
    const QString settingsPath = folder.filePath(u"OrvantH.ini"_s);
    const ConnectionParams params = db.params();
    const ConnectionProfile stored{params.database, params.host,     QString::number(params.port),
                                   params.user,     params.password, u"Teszt"_s};
    IniFile(settingsPath).writeString(ConnectionProfileSection(), ConnectionProfileKey(2),
                                      EncodeConStr(stored.toText(true)));
    QString said;
    QTextStream messages(&said);
    const BackupLogin login{user, [password] { return password; }};
    QCOMPARE(RunCommandLineUpgrade(settingsPath, profile, login, messages), exitCode);
    Connection con(params);
    con.open();
    // Extended exactly when it was allowed.
    QCOMPARE(HasChangeHistory(con), exitCode == 0);
    QVERIFY(!said.isEmpty());
}

QTEST_GUILESS_MAIN(TestSchemaUpgrade)
#include "tst_schemaupgrade.moc"
