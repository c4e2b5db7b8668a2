#include "backup/restore.h"
#include "db/backupscript.h"
#include "db/connection.h"
#include "db/dbroutines.h"
#include "history/changehistory.h"
#include "history/worddiff.h"
#include "register/resolutionrecord.h"
#include "register/resolutionsave.h"
#include "schema/schemaupgrade.h"
#include "schema/sessionvariables.h"
#include "testdatabase.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

// The change history the server's triggers keep, and what the program does with it.
class TestChangeHistory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void init();
    void cleanup();
    void everyWorkstationIsRecorded();
    void workstationWithoutRightsOnHistoryStillWrites();
    void restoreWritesNoHistory();
    void recordChangesNewestFirstAndRevert();
    void revertRefusesWhatTheEditorCannotWrite();
    void deletedRecordComesBack();
    void wordDiff_data();
    void wordDiff();
    void thousandChangesReadQuickly();

private:
    // "mezo regi uj muvelet felhkod" of the record's history rows in the order written.
    QStringList history(int recordId, const QString &operation = {});
    int insertRecord(int az, const QString &subject = u"Tárgy"_s);

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_con;
};

void TestChangeHistory::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_db->client("INSERT INTO csoport (csoport_nev) VALUES ('Pénzügyi'); "
                 "INSERT INTO felhasznalo (felhkod, felhasznalo, felhasznalo_nev) VALUES (7, 'kata', 'Kiss Kata');",
                 "utf8mb4");
    m_con = std::make_unique<Connection>(m_db->params());
    m_con->open();
    const UpgradeResult upgraded = UpgradeDatabase(*m_con);
    QVERIFY2(upgraded.ok, qPrintable(upgraded.error));
}

void TestChangeHistory::cleanup()
{
    m_con.reset();
    m_db.reset();
}

QStringList TestChangeHistory::history(int recordId, const QString &operation)
{
    const ResultSet rs = m_con->query(
        u"SELECT CONCAT_WS(' ', mezo, IFNULL(regi, '-'), IFNULL(uj, '-'), muvelet, IFNULL(felhkod, '-')) "
        "FROM iktato_naplo WHERE iktato = %1%2 ORDER BY naplo"_s.arg(recordId).arg(
            operation.isEmpty() ? QString() : u" AND muvelet = '%1'"_s.arg(operation)));
    QStringList rows;
    for (int row = 0; row < rs.rowCount(); ++row)
        rows.append(rs.text(row, 0));
    return rows;
}

int TestChangeHistory::insertRecord(int az, const QString &subject)
{
    m_con->exec(u"INSERT INTO iktato (ev, csoport, az, datum, targy, hatarozat, van_hatid) "
                "VALUES (2024, 1, %1, '2024-03-04', %2, 'Az első szöveg.', 'N')"_s.arg(az).arg(
                    u"'"_s + subject + u"'"_s));
    return int(m_con->lastInsertId());
}

void TestChangeHistory::everyWorkstationIsRecorded()
{
    // This program, with its user told to the triggers.
    SetHistoryUser(*m_con, 7);
    const int id = insertRecord(1);
    const QString ownClient = QueryText(*m_con, u"SELECT USER()"_s, {});
    QCOMPARE(history(id),
             (QStringList{u"ev - 2024 I 7"_s, u"csoport - 1 I 7"_s, u"az - 1 I 7"_s, u"datum - 2024-03-04 I 7"_s,
                          u"targy - Tárgy I 7"_s, u"hatarozat - Az első szöveg. I 7"_s, u"van_hatid - N I 7"_s}));
    QCOMPARE(QueryText(*m_con, u"SELECT DISTINCT kliens FROM iktato_naplo"_s, {}), ownClient);

    // A Windows workstation: another program through its own client, with no user of ours. A
    // change of letter case alone is a change; a column set to what it held is none.
    const QByteArray clientUser = m_db->client("SELECT USER()").trimmed().split('\n').last();
    m_db->client(QStringLiteral("UPDATE iktato SET targy = 'TÁRGY', felelos = 'Nagy Éva', van_hatid = 'N' "
                                "WHERE iktato = %1")
                     .arg(id)
                     .toUtf8(),
                 "utf8mb4");
    QCOMPARE(history(id, u"U"_s), (QStringList{u"targy Tárgy TÁRGY U -"_s, u"felelos - Nagy Éva U -"_s}));
    QCOMPARE(QueryText(*m_con, u"SELECT DISTINCT kliens FROM iktato_naplo WHERE muvelet = 'U'"_s, {}),
             QString::fromUtf8(clientUser));
    QVERIFY(clientUser != ownClient.toUtf8());

    // A deletion keeps every value the record had.
    m_db->client(QByteArray("DELETE FROM iktato WHERE iktato = ") + QByteArray::number(id));
    QCOMPARE(history(id, u"D"_s),
             (QStringList{u"ev 2024 - D -"_s, u"csoport 1 - D -"_s, u"az 1 - D -"_s, u"datum 2024-03-04 - D -"_s,
                          u"targy TÁRGY - D -"_s, u"hatarozat Az első szöveg. - D -"_s, u"van_hatid N - D -"_s,
                          u"felelos Nagy Éva - D -"_s}));
}

void TestChangeHistory::workstationWithoutRightsOnHistoryStillWrites()
{
    // A workstation's account that may write the register and nothing else: the triggers write
    // the history with their definer's rights, so its edits go through and are recorded.
    const QByteArray user = "win_" + m_db->name().right(12).toLatin1();
    const QByteArray table = "`" + m_db->name().toLatin1() + "`.iktato";
    TestServer::client("CREATE USER '" + user + "'@'%' IDENTIFIED BY 'jelszo'; GRANT SELECT, INSERT, UPDATE, DELETE ON " +
                       table + " TO '" + user + "'@'%';");
    const auto dropUser = qScopeGuard([&] { TestServer::client("DROP USER IF EXISTS '" + user + "'@'%';"); });
    const int id = insertRecord(1);
    ConnectionParams params = m_db->params();
    params.user = QString::fromLatin1(user);
    params.password = u"jelszo"_s;
    Connection windows(params);
    windows.open();
    windows.exec(u"UPDATE iktato SET felelos = 'Tóth' WHERE iktato = %1"_s.arg(id));
    QCOMPARE(history(id, u"U"_s), QStringList{u"felelos - Tóth U -"_s});
    QVERIFY(QueryText(*m_con, u"SELECT kliens FROM iktato_naplo WHERE muvelet = 'U'"_s, {})
                .startsWith(QString::fromLatin1(user) + u'@'));
}

void TestChangeHistory::restoreWritesNoHistory()
{
    // A backup made before the database was extended holds no history of its own.
    TestDatabase old;
    old.client("INSERT INTO csoport (csoport_nev) VALUES ('B'); "
               "INSERT INTO iktato (ev, csoport, az, datum, targy) VALUES (2023, 1, 5, '2023-01-02', 'Régi');",
               "utf8mb4");
    QTemporaryDir folder;
    const QString script = folder.filePath(u"regi.sql"_s);
    {
        Connection oldCon(old.params());
        oldCon.open();
        WriteBackupScript(oldCon, script);
    }
    insertRecord(1);
    const int before = QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato_naplo"_s, -1);
    QVERIFY(before > 0);
    RestoreBackupFile(*m_con, script);
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato"_s, -1), 1);
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato_naplo"_s, -1), before);

    // Once the restore is over, the same line's edits are history again.
    m_con->exec(u"UPDATE iktato SET targy = 'Új' WHERE az = 5"_s);
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato_naplo"_s, -1), before + 1);
}

void TestChangeHistory::recordChangesNewestFirstAndRevert()
{
    SetHistoryUser(*m_con, 7);
    const int id = insertRecord(1, u"Első"_s);
    for (const QString &subject : {u"Második"_s, u"Harmadik"_s}) {
        const Resolution loaded = *LoadResolution(*m_con, id);
        Resolution edited = loaded;
        edited.subject = subject;
        const SaveResult saved = SaveResolution(*m_con, loaded, edited, QString());
        QVERIFY2(saved.ok, qPrintable(saved.error));
    }
    const QList<ChangeRow> changes = RecordChanges(*m_con, id);
    QVERIFY(changes.size() >= 3);
    QCOMPARE(changes.at(0).newValue, u"Harmadik"_s);
    QCOMPARE(changes.at(0).oldValue, u"Második"_s);
    QCOMPARE(changes.at(0).userName, u"Kiss Kata"_s);
    QCOMPARE(changes.at(1).newValue, u"Második"_s);
    QVERIFY(changes.at(0).id > changes.at(1).id);

    // The first edit's old value goes back as a new edit, itself recorded.
    const SaveResult reverted = RevertChange(*m_con, changes.at(1), QString());
    QVERIFY2(reverted.ok, qPrintable(reverted.error));
    QCOMPARE(LoadResolution(*m_con, id)->subject, u"Első"_s);
    const QList<ChangeRow> after = RecordChanges(*m_con, id);
    QCOMPARE(after.size(), changes.size() + 1);
    QCOMPARE(after.at(0).oldValue, u"Harmadik"_s);
    QCOMPARE(after.at(0).newValue, u"Első"_s);
    QCOMPARE(after.at(0).userId, 7);
}

void TestChangeHistory::revertRefusesWhatTheEditorCannotWrite()
{
    const int id = insertRecord(1);
    m_con->exec(u"UPDATE iktato SET datum = '2025-01-01' WHERE iktato = %1"_s.arg(id));
    m_con->exec(u"UPDATE iktato SET datum = '2024-05-05', az = 9 WHERE iktato = %1"_s.arg(id));
    const QList<ChangeRow> changes = RecordChanges(*m_con, id);
    // Newest first: the number, which is fixed, and a date of another year than the record's.
    QCOMPARE(changes.at(0).column, u"datum"_s);
    QCOMPARE(changes.at(0).oldValue, u"2025-01-01"_s);
    QCOMPARE(changes.at(1).column, u"az"_s);
    for (const ChangeRow &change : changes.first(2)) {
        const SaveResult result = RevertChange(*m_con, change, QString());
        QVERIFY(!result.ok);
        QVERIFY2(!result.error.isEmpty(), qPrintable(change.column));
    }
    QCOMPARE(QueryText(*m_con, u"SELECT CONCAT(datum, ' ', az) FROM iktato"_s, {}), u"2024-05-05 9"_s);
}

void TestChangeHistory::deletedRecordComesBack()
{
    SetHistoryUser(*m_con, 7);
    const int id = insertRecord(3, u"Visszahozott"_s);
    m_con->exec(u"UPDATE iktato SET filenev = 'x.pdf', origfilenev = 'x.pdf', felelos = 'Kovács' WHERE iktato = %1"_s.arg(id));
    m_db->client(QByteArray("DELETE FROM iktato WHERE iktato = ") + QByteArray::number(id));

    const BroughtBack back = BringBackDeletedRecord(*m_con, id);
    QVERIFY2(back.ok, qPrintable(back.error));
    QCOMPARE(back.id, id);
    QCOMPARE(QueryText(*m_con, u"SELECT CONCAT_WS('|', ev, csoport, az, datum, targy, felelos, IFNULL(filenev, '-'), felhkod) "
                               "FROM iktato WHERE iktato = %1"_s.arg(id), {}),
             u"2024|1|3|2024-03-04|Visszahozott|Kovács|-|7"_s);
    QVERIFY(!BringBackDeletedRecord(*m_con, id).ok); // it is there now

    // Deleted again, and its number given to a new record meanwhile: it stays deleted.
    m_con->exec(u"DELETE FROM iktato WHERE iktato = %1"_s.arg(id));
    insertRecord(3, u"Új"_s);
    const BroughtBack refused = BringBackDeletedRecord(*m_con, id);
    QVERIFY(!refused.ok);
    QVERIFY2(refused.error.contains(u"2024/3"_s), qPrintable(refused.error));
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato"_s, -1), 1);
}

void TestChangeHistory::wordDiff_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("marked"); // [-removed-] {+added+}
    QTest::newRow("same") << u"a b"_s << u"a b"_s << u"a b"_s;
    QTest::newRow("one word changed") << u"a b c"_s << u"a x c"_s << u"a [-b-]{+x+} c"_s;
    QTest::newRow("added at the end") << u"a"_s << u"a b"_s << u"a{+ b+}"_s;
    QTest::newRow("from empty") << QString() << u"új"_s << u"{+új+}"_s;
    QTest::newRow("to empty") << u"régi"_s << QString() << u"[-régi-]"_s;
    QTest::newRow("line break") << u"a\r\nb"_s << u"a\r\nc"_s << u"a\r\n[-b-]{+c+}"_s;
    QTest::newRow("letter case") << u"Alma"_s << u"alma"_s << u"[-Alma-]{+alma+}"_s;
}

void TestChangeHistory::wordDiff()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, marked);
    QString text;
    QString rebuiltBefore, rebuiltAfter;
    for (const DiffPart &part : WordDiff(before, after)) {
        if (part.kind == DiffPart::Same)
            text += part.text;
        else if (part.kind == DiffPart::Removed)
            text += u"[-"_s + part.text + u"-]"_s;
        else
            text += u"{+"_s + part.text + u"+}"_s;
        if (part.kind != DiffPart::Added)
            rebuiltBefore += part.text;
        if (part.kind != DiffPart::Removed)
            rebuiltAfter += part.text;
    }
    QCOMPARE(text, marked);
    QCOMPARE(rebuiltBefore, before);
    QCOMPARE(rebuiltAfter, after);
}

void TestChangeHistory::thousandChangesReadQuickly()
{
    const int id = insertRecord(1);
    // A thousand edits of a text of some length.
    const QString text = QString(u"Szöveg "_s).repeated(300);
    m_con->exec(u"INSERT INTO iktato_naplo (iktato, muvelet, mezo, regi, uj, mikor, kliens) "
                "SELECT %1, 'U', 'hatarozat', CONCAT('%2', seq), CONCAT('%2', seq + 1), NOW(), 'x@y' "
                "FROM seq_1_to_1000"_s.arg(id).arg(text));
    // Against the server's own time for the same rows, so that a busy machine slows both: the
    // history adds its conversion, not a second trip or a per-row query. Best of three each.
    const QString plain = u"SELECT * FROM iktato_naplo WHERE iktato = %1 ORDER BY naplo DESC"_s.arg(id);
    qint64 plainMs = std::numeric_limits<qint64>::max();
    qint64 ms = std::numeric_limits<qint64>::max();
    QList<ChangeRow> changes;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(m_con->query(plain).rowCount(), 1000 + 7);
        plainMs = std::min(plainMs, timer.elapsed());
        timer.restart();
        changes = RecordChanges(*m_con, id);
        ms = std::min(ms, timer.elapsed());
    }
    QCOMPARE(changes.size(), 1000 + 7);
    qInfo("1,000 changes read in %lld ms, the plain rows in %lld ms", ms, plainMs);
    QVERIFY2(ms <= 3 * plainMs + 20, qPrintable(u"%1 ms against %2 ms"_s.arg(ms).arg(plainMs)));
}

QTEST_GUILESS_MAIN(TestChangeHistory)
#include "tst_changehistory.moc"
