// Two workstations, each a process of its own with its own connection, adding records to the
// same year and committee at the same moment.
#include "common/sqltext.h"
#include "db/connection.h"
#include "db/dbroutines.h"
#include "testdatabase.h"

#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

class TestConcurrentSave : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void twoProcessesNumberTheSameCommittee_data();
    void twoProcessesNumberTheSameCommittee();
};

void TestConcurrentSave::twoProcessesNumberTheSameCommittee_data()
{
    QTest::addColumn<bool>("uniqueKey"); // databases made elsewhere may lack the key on the number

    QTest::newRow("unique key on the number") << true;
    QTest::newRow("no unique key") << false;
}

void TestConcurrentSave::twoProcessesNumberTheSameCommittee()
{
    QFETCH(bool, uniqueKey);
    constexpr int perProcess = 500;
    const QStringList labels = {u"egyik"_s, u"másik"_s};

    TestDatabase db;
    REQUIRE_SQL(
        db.client("INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Pénzügyi'), (2, 'Oktatási');"));
    if (!uniqueKey)
        REQUIRE_SQL(db.client("ALTER TABLE iktato DROP INDEX uq_iktato_szam;"));
    // A record of another committee and of another year, which the numbering must not count.
    REQUIRE_SQL(db.client("INSERT INTO iktato SET ev = 2026, csoport = 2, az = 77, datum = '2026-01-02';"
                          "INSERT INTO iktato SET ev = 2025, csoport = 1, az = 900, datum = '2025-12-30';"));

    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString startFile = work.filePath(u"start"_s);
    const ConnectionParams params = db.params();
    std::unique_ptr<QProcess> clients[2];
    for (int i = 0; i < 2; ++i) {
        clients[i] = std::make_unique<QProcess>();
        clients[i]->start(QStringLiteral(ORVANTH_SAVINGCLIENT),
                          {params.host, QString::number(params.port), params.user, params.database, u"1"_s,
                           u"2026-03-04"_s, QString::number(perProcess), labels.at(i), startFile,
                           work.filePath(u"store"_s)});
        QVERIFY2(clients[i]->waitForStarted(), qPrintable(clients[i]->errorString()));
    }
    // Both are connected and waiting; let them go together.
    QFile go(startFile);
    QVERIFY(go.open(QIODevice::WriteOnly));
    go.close();

    QList<int> reported[2];
    int renumbered = 0;
    for (int i = 0; i < 2; ++i) {
        QVERIFY(clients[i]->waitForFinished(240000));
        const QByteArray errors = clients[i]->readAllStandardError();
        QVERIFY2(clients[i]->exitStatus() == QProcess::NormalExit && clients[i]->exitCode() == 0,
                 errors.constData());
        QCOMPARE(errors, QByteArray());
        for (const QByteArray &line : clients[i]->readAllStandardOutput().split('\n')) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() == 2) {
                reported[i].append(fields.at(0).toInt());
                renumbered += fields.at(1).toInt();
            }
        }
        QCOMPARE(reported[i].size(), perProcess);
    }

    // How often the two really met on one number (timing decides; nothing to assert).
    qInfo("%d of %d saves found their number taken by the other process", renumbered, 2 * perProcess);

    // Each process got its own numbers, and together they are 1 to 1,000 without a gap.
    QSet<int> all;
    for (const QList<int> &numbers : reported)
        for (int n : numbers)
            all.insert(n);
    QCOMPARE(all.size(), 2 * perProcess);
    for (int n = 1; n <= 2 * perProcess; ++n)
        QVERIFY2(all.contains(n), qPrintable(u"number %1 is missing"_s.arg(n)));

    Connection con(params);
    con.open();
    const QString ours = u" FROM iktato WHERE ev = 2026 AND csoport = 1"_s;
    QCOMPARE(QueryInt(con, u"SELECT COUNT(*)"_s + ours, -1), 2 * perProcess);
    QCOMPARE(QueryInt(con, u"SELECT COUNT(DISTINCT az)"_s + ours, -1), 2 * perProcess);
    QCOMPARE(QueryInt(con, u"SELECT MIN(az)"_s + ours, -1), 1);
    QCOMPARE(QueryInt(con, u"SELECT MAX(az)"_s + ours, -1), 2 * perProcess);
    QCOMPARE(QueryInt(con, u"SELECT COUNT(*) FROM iktato"_s, -1), 2 * perProcess + 2);
    // Every record is stored under the number its process was told, with its own text.
    con.exec(u"SET SESSION group_concat_max_len = 1000000"_s);
    for (int i = 0; i < 2; ++i) {
        const QString stored = QueryText(con,
                                         u"SELECT GROUP_CONCAT(az ORDER BY az) FROM (SELECT az"_s + ours +
                                             u" AND targy = "_s + SqlQuoted(labels.at(i)) + u") t"_s,
                                         {});
        QList<int> sorted = reported[i];
        std::sort(sorted.begin(), sorted.end());
        QStringList expected;
        for (int n : sorted)
            expected.append(QString::number(n));
        QCOMPARE(stored, expected.join(u','));
        QCOMPARE(QueryInt(con,
                          u"SELECT COUNT(*)"_s + ours + u" AND hatarozat LIKE CONCAT(targy, ' / %')"_s +
                              u" AND targy = "_s + SqlQuoted(labels.at(i)),
                          -1),
                 perProcess);
    }
}

QTEST_GUILESS_MAIN(TestConcurrentSave)
#include "tst_concurrentsave.moc"
