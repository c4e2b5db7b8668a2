#include "db/connection.h"
#include "db/dbroutines.h"
#include "history/editpresence.h"
#include "schema/schemaupgrade.h"
#include "testdatabase.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <cstdio>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

// Editors of one record on two workstations: each sees the other, and a workstation that dies
// stops counting once its heartbeat is overdue.
class TestEditPresence : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void otherWorkstationSeenUntilItsHeartbeatStops();
    void closedEditorGoesAtOnce();
    void databaseWithoutTableOpensQuietly();
};

namespace {

constexpr auto Heartbeat = 1000ms;

// The other workstation: this test program started again as a child that opens the editor's
// row and keeps it alive until it is killed.
int RunEditorChild(const QString &database, int port, int recordId)
{
    ConnectionParams params;
    params.database = database;
    params.host = u"127.0.0.1"_s;
    params.port = port;
    Connection con(params);
    con.open();
    EditPresence presence(con, recordId, {0, u"Másik Gép Felhasználója"_s, u"gep2"_s}, Heartbeat);
    std::printf("ready %lld\n", presence.rowId());
    std::fflush(stdout);
    return QCoreApplication::exec();
}

int upgradedRecord(TestDatabase &db)
{
    db.client("INSERT INTO csoport (csoport_nev) VALUES ('B'); "
              "INSERT INTO iktato (ev, csoport, az, datum) VALUES (2024, 1, 1, '2024-05-06');");
    Connection con(db.params());
    con.open();
    if (!UpgradeDatabase(con).ok)
        return -1;
    return QueryInt(con, u"SELECT MAX(iktato) FROM iktato"_s, -1);
}

} // namespace

void TestEditPresence::otherWorkstationSeenUntilItsHeartbeatStops()
{
    TestDatabase db;
    const int id = upgradedRecord(db);
    QVERIFY(id > 0);
    Connection con(db.params());
    con.open();
    EditPresence mine(con, id, {7, u"Kiss Kata"_s, u"gep1"_s}, Heartbeat);
    QVERIFY(mine.rowId() > 0);
    QVERIFY(OtherEditors(con, id, mine.rowId()).isEmpty()); // our own row is not another editor

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {u"--editor-child"_s, db.name(), QString::number(TestServer::port()), QString::number(id)});
    QVERIFY(child.waitForReadyRead(10000));
    QVERIFY(child.readLine().startsWith("ready "));

    QList<OtherEditor> others = OtherEditors(con, id, mine.rowId());
    QCOMPARE(others.size(), 1);
    QCOMPARE(others.first().user, u"Másik Gép Felhasználója"_s);
    QCOMPARE(others.first().computer, u"gep2"_s);
    QVERIFY(OtherEditorsText(others).contains(u"Másik Gép Felhasználója"_s));
    // Its heartbeat keeps it alive well past the life of one beat.
    QTest::qWait(int(4 * Heartbeat.count()));
    QCOMPARE(OtherEditors(con, id, mine.rowId()).size(), 1);
    // The other workstation sees us as well.
    {
        Connection second(db.params());
        second.open();
        QCOMPARE(OtherEditors(second, id).size(), 2);
    }

    // Killed: no goodbye, its row stays until its expiry passes.
    child.kill();
    QVERIFY(child.waitForFinished(5000));
    QCOMPARE(OtherEditors(con, id, mine.rowId()).size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(OtherEditors(con, id, mine.rowId()).isEmpty(), int(3 * Heartbeat.count()) + 2500);
}

void TestEditPresence::closedEditorGoesAtOnce()
{
    TestDatabase db;
    const int id = upgradedRecord(db);
    Connection con(db.params());
    con.open();
    auto closing = std::make_unique<EditPresence>(con, id, EditPresence::Who{0, QString(), u"gep3"_s}, 10s);
    QCOMPARE(OtherEditors(con, id).size(), 1);
    QCOMPARE(OtherEditorsText(OtherEditors(con, id)).section(u'\n', 1, 1).section(u' ', 0, 0), u"gep3"_s);
    closing.reset();
    QVERIFY(OtherEditors(con, id).isEmpty());
    QCOMPARE(QueryInt(con, u"SELECT COUNT(*) FROM iktato_szerk"_s, -1), 0);
}

void TestEditPresence::databaseWithoutTableOpensQuietly()
{
    TestDatabase db;
    Connection con(db.params());
    con.open();
    EditPresence presence(con, 1, {}, 1s);
    QCOMPARE(presence.rowId(), 0);
    QVERIFY(OtherEditors(con, 1).isEmpty());
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args.at(1) == u"--editor-child"_s)
        return RunEditorChild(args.at(2), args.at(3).toInt(), args.at(4).toInt());
    TestEditPresence test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_editpresence.moc"
