// The numbering rule and the save of a resolution record, without the window.
#include "db/connection.h"
#include "db/dberror.h"
#include "db/dbroutines.h"
#include "register/resolutionsave.h"
#include "register/savejournal.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <barrier>
#include <memory>
#include <mysql.h>
#include <sys/socket.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace {
QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}
} // namespace

class TestResolutionSave : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void init();
    void cleanup();

    void numbering_data();
    void numbering();
    void resolutionDate_data();
    void resolutionDate();
    void textIsStoredAsTyped_data();
    void textIsStoredAsTyped();
    void untouchedTextIsNotWritten_data();
    void untouchedTextIsNotWritten();
    void deadlineOpensStatusAndUntickingKeepsIt();
    void finishedStatusIsNeverReset();
    void emptySubjectIsAddedOnce();
    void editWritesOnlyChangedColumns();
    void failedSaveChangesNothing_data();
    void failedSaveChangesNothing();
    void lineLostDuringCommit_data();
    void lineLostDuringCommit();
    void recordDeletedMeanwhile();
    void collidingNumberTakesTheNextFree_data();
    void collidingNumberTakesTheNextFree();
    void twoWorkstationsNumberAtOnce_data();
    void twoWorkstationsNumberAtOnce();
    void numberingLockHeldElsewhere();
    void anotherWorkstationsEdit_data();
    void anotherWorkstationsEdit();
    void changedSpan_data();
    void changedSpan();
    void finishedElsewhereStaysFinished_data();
    void finishedElsewhereStaysFinished();
    void textLargerThanTheServerTakes();
    void journalOfARunningSaveIsLeftAlone();
    void journalNamingFilesOutsideTheStoreIsIgnored_data();
    void journalNamingFilesOutsideTheStoreIsIgnored();

private:
    int insertRecord(int year, int committee, int az, const QString &extra = {});
    void setNumberKey(const QString &key);
    Resolution newRecord(int committee, QDate date);

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_con;
    std::unique_ptr<QTemporaryDir> m_store; // a fresh document store for each test
};

void TestResolutionSave::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_con = std::make_unique<Connection>(m_db->params());
    m_con->open();
    m_store = std::make_unique<QTemporaryDir>();
    m_con->exec(u"INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Pénzügyi'), (2, 'Oktatási')"_s);
}

void TestResolutionSave::cleanup()
{
    m_con.reset();
    m_db.reset();
    m_store.reset();
}

int TestResolutionSave::insertRecord(int year, int committee, int az, const QString &extra)
{
    m_con->exec(u"INSERT INTO iktato SET ev = %1, csoport = %2, az = %3, datum = '%1-03-01'"_s.arg(year)
                    .arg(committee)
                    .arg(az) +
                extra);
    return int(m_con->lastInsertId());
}

Resolution TestResolutionSave::newRecord(int committee, QDate date)
{
    return NewResolutionRecord(*m_con, committee, date);
}

// The unique key on the resolution number as databases made elsewhere have it: under the name
// this program's schema gives it, under another name, or none at all.
void TestResolutionSave::setNumberKey(const QString &key)
{
    if (key == u"none"_s)
        REQUIRE_SQL(m_db->client("ALTER TABLE iktato DROP INDEX uq_iktato_szam;"));
    else if (key != u"uq_iktato_szam"_s)
        REQUIRE_SQL(m_db->client("ALTER TABLE iktato DROP INDEX uq_iktato_szam, ADD UNIQUE KEY " +
                                 key.toLatin1() + " (csoport, ev, az);"));
}

void TestResolutionSave::numbering_data()
{
    QTest::addColumn<QList<int>>("existing"); // az of committee 1 in 2031
    QTest::addColumn<int>("deleteAz");        // 0: none
    QTest::addColumn<int>("expected");

    QTest::newRow("first of the year") << QList<int>{} << 0 << 1;
    QTest::newRow("after a gap") << QList<int>{1, 2, 5} << 0 << 6;
    QTest::newRow("highest deleted") << QList<int>{1, 2, 5} << 5 << 3;
}

void TestResolutionSave::numbering()
{
    QFETCH(QList<int>, existing);
    QFETCH(int, deleteAz);
    QFETCH(int, expected);

    // Other years and committees must not count.
    insertRecord(2030, 1, 40);
    insertRecord(2032, 1, 41);
    insertRecord(2031, 2, 42);
    for (int az : existing)
        insertRecord(2031, 1, az);
    if (deleteAz)
        m_con->exec(u"DELETE FROM iktato WHERE ev = 2031 AND csoport = 1 AND az = %1"_s.arg(deleteAz));

    Resolution rec = newRecord(1, QDate(2031, 6, 15));
    QCOMPARE(rec.year, 2031);
    QCOMPARE(rec.number, expected);
    const SaveResult saved = SaveResolution(*m_con, rec, rec, m_store->path());
    QVERIFY2(saved.ok, qPrintable(saved.error));
    QCOMPARE(saved.renumbered, false);
    QCOMPARE(QueryInt(*m_con, u"SELECT az FROM iktato WHERE iktato = %1"_s.arg(saved.id), -1), expected);
    QCOMPARE(QueryText(*m_con, u"SELECT van_hatid FROM iktato WHERE iktato = %1"_s.arg(saved.id), {}),
             u"N"_s);
    QCOMPARE(QueryInt(*m_con, u"SELECT statusz IS NULL FROM iktato WHERE iktato = %1"_s.arg(saved.id), -1),
             1);
}

void TestResolutionSave::resolutionDate_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("expected");
    QTest::addColumn<QString>("message");

    QTest::newRow("31 December") << u"12.31"_s << QDate(2025, 12, 31) << QString();
    QTest::newRow("5 March") << u"03.05"_s << QDate(2025, 3, 5) << QString();
    QTest::newRow("month 13") << u"13.01"_s << QDate() << u"Érvénytelen dátum: nincs 13. hónap."_s;
    QTest::newRow("30 February") << u"02.30"_s << QDate()
                                 << u"Érvénytelen dátum: 2025.02.30. nem létező nap."_s;
    QTest::newRow("day 0") << u"02.00"_s << QDate() << u"Érvénytelen dátum: 2025.02.00. nem létező nap."_s;
    QTest::newRow("blank") << u"__.__"_s << QDate()
                           << u"A dátum hiányos: a hónapot és a napot is meg kell adni (hh.nn)."_s;
    QTest::newRow("day missing") << u"04.__"_s << QDate()
                                 << u"A dátum hiányos: a hónapot és a napot is meg kell adni (hh.nn)."_s;
}

void TestResolutionSave::resolutionDate()
{
    QFETCH(QString, typed);
    QFETCH(QDate, expected);
    QFETCH(QString, message);

    QString error;
    QCOMPARE(ResolutionDate(2025, typed, &error), expected);
    QCOMPARE(error, message);
}

void TestResolutionSave::textIsStoredAsTyped_data()
{
    QTest::addColumn<QString>("typed");

    QTest::newRow("three lines") << u"első\r\nmásodik\r\nharmadik"_s;
    QTest::newRow("trailing breaks kept") << u"egy\r\nkettő\r\n\r\n"_s;
    QTest::newRow("backslash and apostrophe") << u"C:\\út\\\r\nO'Brien \\r\\n 'x'\r\n\\"_s;
    QTest::newRow("empty") << QString();
}

void TestResolutionSave::textIsStoredAsTyped()
{
    QFETCH(QString, typed);

    Resolution rec = newRecord(1, QDate(2025, 1, 2));
    Resolution edited = rec;
    edited.text = typed;
    const SaveResult saved = SaveResolution(*m_con, rec, edited, m_store->path());
    QVERIFY2(saved.ok, qPrintable(saved.error));
    QCOMPARE(QueryText(*m_con, u"SELECT hatarozat FROM iktato WHERE iktato = %1"_s.arg(saved.id), {}), typed);
    QCOMPARE(LoadResolution(*m_con, saved.id)->text, typed);
}

void TestResolutionSave::untouchedTextIsNotWritten_data()
{
    QTest::addColumn<QByteArray>("stored"); // as another program left it
    QTest::addColumn<bool>("changedElsewhere");

    QTest::newRow("lone LF and CR") << QByteArray("egy\nkett\xF5\rh\xE1rom") << false;
    QTest::newRow("trailing breaks") << QByteArray("egy\r\n\r\n\n") << false;
    QTest::newRow("changed by another workstation meanwhile") << QByteArray("r\xE9gi") << true;
}

// An edit that leaves the text alone does not write it: not normalised, not trimmed, and not
// put back over what another workstation saved meanwhile.
void TestResolutionSave::untouchedTextIsNotWritten()
{
    QFETCH(QByteArray, stored);
    QFETCH(bool, changedElsewhere);

    REQUIRE_SQL(m_db->client(
        "INSERT INTO iktato SET iktato = 5, ev = 2025, csoport = 1, az = 1, datum = '2025-03-01', "
        "hatarozat = UNHEX('" +
        stored.toHex() + "');"));
    const Resolution loaded = *LoadResolution(*m_con, 5);
    QByteArray expected = stored;
    if (changedElsewhere) {
        expected = "m\xE1sik munka\xE1llom\xE1s";
        REQUIRE_SQL(m_db->client("UPDATE iktato SET hatarozat = UNHEX('" + expected.toHex() + "');"));
    }
    Resolution edited = loaded;
    edited.subject = u"Új tárgy"_s;
    const SaveResult saved = SaveResolution(*m_con, loaded, edited, m_store->path());
    QVERIFY2(saved.ok, qPrintable(saved.error));
    QCOMPARE(m_db->client("SELECT HEX(hatarozat), targy FROM iktato;").trimmed(),
             expected.toHex().toUpper() + "\t\xDAj t\xE1rgy");
}
void TestResolutionSave::deadlineOpensStatusAndUntickingKeepsIt()
{
    Resolution rec = newRecord(1, QDate(2025, 1, 2));
    Resolution edited = rec;
    edited.hasDeadline = true;
    edited.deadline = QDate(2025, 3, 31);
    edited.responsible = u"Kovács Éva"_s;
    const SaveResult saved = SaveResolution(*m_con, rec, edited, m_store->path());
    QVERIFY2(saved.ok, qPrintable(saved.error));
    const QString row =
        u"SELECT CONCAT_WS('|', van_hatid, dat_hatid, statusz, felelos) FROM iktato WHERE iktato = %1"_s.arg(
            saved.id);
    QCOMPARE(QueryText(*m_con, row, {}), u"I|2025-03-31|1|Kovács Éva"_s);

    Resolution loaded = *LoadResolution(*m_con, saved.id);
    QVERIFY(loaded.hasDeadline);
    Resolution unticked = loaded;
    unticked.hasDeadline = false;
    QVERIFY(SaveResolution(*m_con, loaded, unticked, m_store->path()).ok);
    QCOMPARE(QueryText(*m_con, row, {}), u"N|1|Kovács Éva"_s); // NULL deadline left out by CONCAT_WS
    QCOMPARE(QueryInt(*m_con, u"SELECT dat_hatid IS NULL FROM iktato"_s, -1), 1);
}

void TestResolutionSave::finishedStatusIsNeverReset()
{
    const int id = insertRecord(2025, 1, 1, u", van_hatid = 'I', dat_hatid = '2025-05-01', statusz = 2"_s);
    Resolution loaded = *LoadResolution(*m_con, id);
    Resolution edited = loaded;
    edited.deadline = QDate(2025, 6, 1);
    QVERIFY(SaveResolution(*m_con, loaded, edited, m_store->path()).ok);
    QCOMPARE(QueryText(*m_con, u"SELECT CONCAT(statusz, ' ', dat_hatid) FROM iktato"_s, {}),
             u"2 2025-06-01"_s);
}

void TestResolutionSave::emptySubjectIsAddedOnce()
{
    for (const QString &subject : {QString(), QString(), u"Költségvetés"_s, u"KÖLTSÉGVETÉS"_s}) {
        Resolution rec = newRecord(1, QDate(2025, 1, 2));
        Resolution edited = rec;
        edited.subject = subject;
        QVERIFY(SaveResolution(*m_con, rec, edited, m_store->path()).ok);
    }
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato"_s, -1), 4);
    // The catalogue's collation takes the two spellings as one subject.
    QCOMPARE(
        QueryText(*m_con, u"SELECT GROUP_CONCAT(CONCAT('[', targy, ']') ORDER BY targy) FROM targy"_s, {}),
        u"[],[Költségvetés]"_s);
}

void TestResolutionSave::editWritesOnlyChangedColumns()
{
    // Columns the editor does not show, and a reminder another program set, survive an edit.
    const int id =
        insertRecord(2025, 1, 7, u", dat_figy = '2025-02-02', figy_szoveg = 'emlékeztető', felhkod = 3"_s);
    Resolution loaded = *LoadResolution(*m_con, id);
    Resolution edited = loaded;
    edited.subject = u"Új tárgy"_s;
    edited.date = QDate(2025, 4, 4);
    const SaveResult saved = SaveResolution(*m_con, loaded, edited, m_store->path());
    QVERIFY(saved.ok);
    QCOMPARE(saved.id, id);
    QCOMPARE(
        QueryText(
            *m_con,
            u"SELECT CONCAT_WS('|', ev, csoport, az, datum, targy, dat_figy, figy_szoveg, felhkod) FROM iktato"_s,
            {}),
        u"2025|1|7|2025-04-04|Új tárgy|2025-02-02|emlékeztető|3"_s);
}

void TestResolutionSave::failedSaveChangesNothing_data()
{
    QTest::addColumn<bool>("existing");
    // "text": a character the database cannot hold in the text; "file name": in the chosen
    // file's name; "subject": the catalogue refuses the subject (the last statement of the save)
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("message");

    for (const bool existing : {false, true}) {
        const char *kind = existing ? "existing" : "new";
        QTest::addRow("%s, text", kind)
            << existing << u"text"_s << u"A következő karakterek nem tárolhatók"_s;
        QTest::addRow("%s, file name", kind)
            << existing << u"file name"_s << u"A következő karakterek nem tárolhatók"_s;
        QTest::addRow("%s, catalogue", kind) << existing << u"subject"_s << u"katalogus zarva"_s;
    }
}

// Whatever fails, the record and the document store agree afterwards: the stored file that an
// existing record names keeps its content, and no file is left under an id no record got.
void TestResolutionSave::failedSaveChangesNothing()
{
    QFETCH(bool, existing);
    QFETCH(QString, failure);
    QFETCH(QString, message);

    if (failure == u"subject"_s)
        REQUIRE_SQL(m_db->client("CREATE TRIGGER targy_zarva BEFORE INSERT ON targy FOR EACH ROW "
                                 "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'katalogus zarva';"));
    QString storedBefore; // the file an existing record names, with the extension of the new one
    Resolution loaded = newRecord(1, QDate(2025, 1, 2));
    if (existing) {
        const int id = insertRecord(2025, 1, 1, u", targy = 'régi', hatarozat = 'régi szöveg'"_s);
        storedBefore = StoredAttachmentName(id, 1, u"régi.txt"_s);
        m_con->exec(u"UPDATE iktato SET filenev = '%1', origfilenev = 'régi.txt'"_s.arg(storedBefore));
        WriteTestFile(m_store->filePath(storedBefore), "régi melléklet");
        loaded = *LoadResolution(*m_con, id);
    }
    QTemporaryDir sources;
    const QString sourceName = failure == u"file name"_s ? u"Отчёт.txt"_s : u"forrás.txt"_s;
    const QString chosen = sources.filePath(sourceName);
    WriteTestFile(chosen, "új melléklet");
    const QString rows =
        u"SELECT GROUP_CONCAT(CONCAT_WS('|', iktato, targy, hatarozat, filenev, origfilenev)) FROM iktato"_s;
    const QString before = QueryText(*m_con, rows, {});
    const QStringList filesBefore = filesIn(m_store->path());

    Resolution edited = loaded;
    edited.subject = u"új tárgy"_s;
    edited.hasDeadline = true;
    edited.deadline = QDate(2025, 9, 9);
    edited.text = failure == u"text"_s ? u"x ≥ 3"_s : u"új szöveg"_s;
    edited.attachments[0].chosenPath = chosen;
    edited.attachments[0].sourceName = sourceName;

    const SaveResult saved = SaveResolution(*m_con, loaded, edited, m_store->path());
    QVERIFY(!saved.ok);
    QVERIFY2(saved.error.contains(message), qPrintable(saved.error));
    QVERIFY(!m_con->inTransaction());
    QCOMPARE(QueryText(*m_con, rows, {}), before);
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM targy"_s, -1), 0);
    QCOMPARE(filesIn(m_store->path()), filesBefore);
    if (existing)
        QCOMPARE(ReadTestFile(m_store->filePath(storedBefore)), "régi melléklet");

    // The same edit goes through once the cause is gone.
    REQUIRE_SQL(m_db->client("DROP TRIGGER IF EXISTS targy_zarva;"));
    edited.text = u"új szöveg"_s;
    if (failure == u"file name"_s) {
        edited.attachments[0].chosenPath = sources.filePath(u"forrás.txt"_s);
        QVERIFY(QFile::rename(chosen, edited.attachments[0].chosenPath));
        edited.attachments[0].sourceName = u"forrás.txt"_s;
    }
    const SaveResult retried = SaveResolution(*m_con, loaded, edited, m_store->path());
    QVERIFY2(retried.ok, qPrintable(retried.error));
    const QString stored = StoredAttachmentName(retried.id, 1, u"forrás.txt"_s);
    QCOMPARE(
        QueryText(
            *m_con,
            u"SELECT CONCAT_WS('|', targy, hatarozat, statusz, filenev, origfilenev) FROM iktato WHERE iktato = %1"_s
                .arg(retried.id),
            {}),
        u"új tárgy|új szöveg|1|%1|forrás.txt"_s.arg(stored));
    QCOMPARE(ReadTestFile(m_store->filePath(stored)), "új melléklet");
    QCOMPARE(filesIn(m_store->path()), QStringList{stored});
}

void TestResolutionSave::lineLostDuringCommit_data()
{
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("serverKept");   // the server committed before the line broke
    QTest::addColumn<bool>("settledLater"); // the server cannot be reached until the next OK
    QTest::addColumn<bool>("editedMeanwhile"); // another workstation edits the kept record before it

    for (const bool existing : {false, true}) {
        for (const bool kept : {true, false}) {
            for (const bool later : {false, true}) {
                QTest::addRow("%s, %s%s", existing ? "existing" : "new", kept ? "kept" : "dropped",
                              later ? ", looked up at the next OK" : "")
                    << existing << kept << later << false;
            }
        }
    }
    // Its id proves that the server kept a new record, whatever was changed in it since.
    QTest::newRow("new, kept, edited elsewhere before the next OK") << false << true << true << true;
}

// The line breaks while COMMIT is under way. Whether the server kept the save is looked up,
// not assumed: the files stay with the record that names them, and OK pressed again saves
// nothing twice.
void TestResolutionSave::lineLostDuringCommit()
{
    QFETCH(bool, existing);
    QFETCH(bool, serverKept);
    QFETCH(bool, settledLater);
    QFETCH(bool, editedMeanwhile);

    Resolution loaded = newRecord(1, QDate(2025, 1, 2));
    QString stored;
    if (existing) {
        const int id = insertRecord(2025, 1, 1, u", targy = 'régi'"_s);
        stored = StoredAttachmentName(id, 1, u"x.txt"_s);
        m_con->exec(u"UPDATE iktato SET filenev = '%1', origfilenev = 'régi.txt'"_s.arg(stored));
        WriteTestFile(m_store->filePath(stored), "régi melléklet");
        loaded = *LoadResolution(*m_con, id);
    }
    QTemporaryDir sources;
    const QString chosen = sources.filePath(u"új.txt"_s);
    WriteTestFile(chosen, "új melléklet");
    Resolution edited = loaded;
    edited.subject = u"mentett tárgy"_s;
    edited.attachments[0].chosenPath = chosen;
    edited.attachments[0].sourceName = u"új.txt"_s;

    int commits = 0;
    m_con->setBeforeSendHook([&](QByteArrayView sql) {
        if (sql != "COMMIT" || commits++ > 0)
            return;
        MYSQL *handle = m_con->handle();
        if (serverKept) {
            // The server commits; its answer never arrives.
            QCOMPARE(mysql_real_query(handle, "COMMIT", 6), 0);
            ::shutdown(int(mysql_get_socket(handle)), SHUT_RDWR);
        } else {
            // The session is gone before the COMMIT is sent.
            Connection killer(m_db->params());
            killer.open();
            const unsigned long session = m_con->threadId();
            killer.exec(u"KILL "_s + QString::number(session));
            const QString alive =
                u"SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = %1"_s.arg(session);
            QTRY_COMPARE(QueryInt(killer, alive, -1), 0);
        }
        if (settledLater) {
            ConnectionParams unreachable = m_db->params();
            unreachable.port = 1;
            m_con->setParams(unreachable);
        }
    });

    PendingSave pending;
    SaveResult saved = SaveResolution(*m_con, loaded, edited, m_store->path(), &pending);
    QCOMPARE(commits, 1);
    m_con->setBeforeSendHook({});
    m_con->setParams(m_db->params());
    const int rowsKept = QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato WHERE targy = 'mentett tárgy'"_s, -1);
    QCOMPARE(rowsKept, serverKept ? 1 : 0);
    if (settledLater) {
        QVERIFY(!saved.ok);
        QVERIFY2(saved.error.contains(u"nem állapítható meg"_s), qPrintable(saved.error));
        QVERIFY(pending.isOpen());
    } else {
        QCOMPARE(saved.ok, serverKept);
        QVERIFY(!pending.isOpen());
        const int id = QueryInt(*m_con, u"SELECT iktato FROM iktato WHERE targy = 'mentett tárgy'"_s, -1);
        if (serverKept) {
            QCOMPARE(saved.id, id);
            const QString name = StoredAttachmentName(id, 1, u"új.txt"_s);
            QCOMPARE(QueryText(*m_con, u"SELECT filenev FROM iktato WHERE iktato = %1"_s.arg(id), {}), name);
            QCOMPARE(ReadTestFile(m_store->filePath(name)), "új melléklet");
            QCOMPARE(filesIn(m_store->path()), QStringList{name});
        } else {
            QVERIFY2(saved.error.contains(u"server"_s, Qt::CaseInsensitive) ||
                         saved.error.contains(u"connection"_s, Qt::CaseInsensitive),
                     qPrintable(saved.error));
            QCOMPARE(filesIn(m_store->path()), existing ? QStringList{stored} : QStringList());
            if (existing)
                QCOMPARE(ReadTestFile(m_store->filePath(stored)), "régi melléklet");
        }
    }

    if (editedMeanwhile)
        REQUIRE_SQL(m_db->client("UPDATE iktato SET targy = 'm\xE1s t\xE1rgy';"));

    // Unless it went through, OK again, with the line working: one record, naming the new file.
    if (!saved.ok)
        saved = SaveResolution(*m_con, loaded, edited, m_store->path(), &pending);
    QVERIFY2(saved.ok, qPrintable(saved.error));
    QVERIFY(!pending.isOpen());
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato"_s, -1), 1);
    const QString name = StoredAttachmentName(saved.id, 1, u"új.txt"_s);
    QCOMPARE(QueryText(*m_con, u"SELECT CONCAT_WS('|', az, targy, filenev, origfilenev) FROM iktato"_s, {}),
             u"1|%1|%2|új.txt"_s.arg(editedMeanwhile ? u"más tárgy"_s : u"mentett tárgy"_s, name));
    QCOMPARE(ReadTestFile(m_store->filePath(name)), "új melléklet");
    QCOMPARE(filesIn(m_store->path()), QStringList{name});
}

void TestResolutionSave::recordDeletedMeanwhile()
{
    const int id = insertRecord(2025, 1, 1);
    QVERIFY(!LoadResolution(*m_con, id + 1));
    Resolution loaded = *LoadResolution(*m_con, id);
    REQUIRE_SQL(m_db->client("DELETE FROM iktato;"));
    Resolution edited = loaded;
    edited.subject = u"x"_s;
    const SaveResult saved = SaveResolution(*m_con, loaded, edited, m_store->path());
    QVERIFY(!saved.ok);
    QVERIFY(saved.recordGone);
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato"_s, -1), 0);
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM targy"_s, -1), 0);
}

void TestResolutionSave::collidingNumberTakesTheNextFree_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("key of this program's schema") << u"uq_iktato_szam"_s;
    QTest::newRow("key under another name") << u"iktatoszam_egyedi"_s;
    QTest::newRow("no key") << u"none"_s;
}

void TestResolutionSave::collidingNumberTakesTheNextFree()
{
    QFETCH(QString, key);
    setNumberKey(key);
    Resolution mine = newRecord(1, QDate(2025, 5, 5));
    QCOMPARE(mine.number, 1);
    // Another workstation saves 1 and 2 while this editor is open.
    REQUIRE_SQL(m_db->client(
        "INSERT INTO iktato (ev, csoport, az, datum) VALUES (2025, 1, 1, '2025-05-01'), (2025, 1, "
        "2, '2025-05-02');"));
    Resolution edited = mine;
    edited.subject = u"ütközés"_s;
    const SaveResult saved = SaveResolution(*m_con, mine, edited, m_store->path());
    QVERIFY2(saved.ok, qPrintable(saved.error));
    QVERIFY(saved.renumbered);
    QCOMPARE(saved.number, 3);
    QCOMPARE(QueryText(*m_con, u"SELECT GROUP_CONCAT(az ORDER BY az) FROM iktato"_s, {}), u"1,2,3"_s);
    QCOMPARE(QueryText(*m_con, u"SELECT targy FROM iktato WHERE az = 3"_s, {}), u"ütközés"_s);
}

void TestResolutionSave::twoWorkstationsNumberAtOnce_data()
{
    collidingNumberTakesTheNextFree_data();
}

void TestResolutionSave::twoWorkstationsNumberAtOnce()
{
    QFETCH(QString, key);
    setNumberKey(key);
    constexpr int rounds = 40;
    std::barrier sync(2);
    struct Outcome
    {
        QList<int> ids;
        int renumbered = 0;
        QStringList errors;
    };
    Outcome outcomes[2];
    const ConnectionParams params = m_db->params();
    const QString store = m_store->path();
    const auto workstation = [&](int which) {
        Outcome &out = outcomes[which];
        try {
            Connection con(params);
            con.open();
            for (int round = 0; round < rounds; ++round) {
                sync.arrive_and_wait(); // both editors open with the same number
                Resolution rec = NewResolutionRecord(con, 1, QDate(2025, 2, 3));
                Resolution edited = rec;
                edited.subject = u"munkaállomás %1"_s.arg(which);
                edited.text = u"kör %1"_s.arg(round);
                sync.arrive_and_wait(); // and press OK together
                const SaveResult saved = SaveResolution(con, rec, edited, store);
                if (saved.ok)
                    out.ids.append(saved.id);
                else
                    out.errors.append(saved.error);
                if (saved.renumbered)
                    ++out.renumbered;
            }
        } catch (const std::exception &e) {
            out.errors.append(QString::fromUtf8(e.what()));
            sync.arrive_and_drop();
        }
    };
    std::thread a(workstation, 0);
    std::thread b(workstation, 1);
    a.join();
    b.join();

    QCOMPARE(outcomes[0].errors, QStringList());
    QCOMPARE(outcomes[1].errors, QStringList());
    QCOMPARE(outcomes[0].ids.size() + outcomes[1].ids.size(), 2 * rounds);
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato"_s, -1), 2 * rounds);
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(DISTINCT az) FROM iktato"_s, -1), 2 * rounds);
    QCOMPARE(QueryInt(*m_con, u"SELECT MAX(az) FROM iktato"_s, -1), 2 * rounds);
    // Every round both took the same number, so one of the two had to move on.
    QCOMPARE(outcomes[0].renumbered + outcomes[1].renumbered, rounds);
    // Each record kept its own text: the retry wrote the text of the record it saved.
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato WHERE hatarozat LIKE 'kör %'"_s, -1), 2 * rounds);
}

// Without a key the workstations take turns through a server lock. One that cannot have it
// (held elsewhere too long) still saves, and a save gives the lock back when it has committed.
void TestResolutionSave::numberingLockHeldElsewhere()
{
    setNumberKey(u"none"_s);
    Connection other(m_db->params());
    other.open();
    const QString lock = NumberingLockSql(2025, 1);
    QCOMPARE(QueryInt(other, u"SELECT GET_LOCK(%1, 0)"_s.arg(lock), -1), 1);

    Resolution rec = newRecord(1, QDate(2025, 5, 5));
    SaveResult saved = SaveResolution(*m_con, rec, rec, m_store->path());
    QVERIFY2(saved.ok, qPrintable(saved.error));
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato"_s, -1), 1);

    QCOMPARE(QueryInt(other, u"SELECT RELEASE_LOCK(%1)"_s.arg(lock), -1), 1);
    rec = newRecord(1, QDate(2025, 5, 5));
    saved = SaveResolution(*m_con, rec, rec, m_store->path());
    QVERIFY2(saved.ok, qPrintable(saved.error));
    QCOMPARE(saved.number, 2);
    QCOMPARE(QueryInt(other, u"SELECT IS_FREE_LOCK(%1)"_s.arg(lock), -1), 1);
}

void TestResolutionSave::anotherWorkstationsEdit_data()
{
    QTest::addColumn<QByteArray>("theirs");         // SET clause the other workstation writes
    QTest::addColumn<QString>("mySubject");         // empty: the clerk leaves it
    QTest::addColumn<QString>("myText");            // empty: the clerk leaves it
    QTest::addColumn<QStringList>("conflicting");   // field captions both changed differently
    QTest::addColumn<QString>("stored");            // targy|hatarozat after the save, or after the clerk chose mine

    const QString base = u"Első mondat."_s;
    QTest::newRow("both add a sentence to the text")
        << QByteArray("hatarozat = 'Els\xF5 mondat. Az \xF5 mondatuk.'") << QString() << base + u" Az én mondatom."_s
        << QStringList{u"Határozat szövege"_s} << u"Tárgy|"_s + base + u" Az én mondatom."_s;
    QTest::newRow("they the subject, I the text: both kept")
        << QByteArray("targy = 'Az \xF5 t\xE1rgyuk'") << QString() << base + u" Enyém."_s << QStringList()
        << u"Az ő tárgyuk|"_s + base + u" Enyém."_s;
    QTest::newRow("both made the same change")
        << QByteArray("targy = 'Ugyanaz'") << u"Ugyanaz"_s << QString() << QStringList() << u"Ugyanaz|"_s + base;
    QTest::newRow("a case change is a change")
        << QByteArray("targy = 'T\xC1RGY'") << u"Tárgy új"_s << QString() << QStringList{u"Tárgy"_s}
        << u"Tárgy új|"_s + base;
    QTest::newRow("both changed, they the text too")
        << QByteArray("targy = 'M\xE1sik', hatarozat = 'M\xE1s sz\xF6veg'") << u"Enyém"_s << base + u" Enyém."_s
        << QStringList{u"Tárgy"_s, u"Határozat szövege"_s} << u"Enyém|"_s + base + u" Enyém."_s;
}

// Two workstations on one record: what only they changed is kept, what only the clerk changed is
// written, and a field both changed differently is never overwritten without the clerk's word.
void TestResolutionSave::anotherWorkstationsEdit()
{
    QFETCH(QByteArray, theirs);
    QFETCH(QString, mySubject);
    QFETCH(QString, myText);
    QFETCH(QStringList, conflicting);
    QFETCH(QString, stored);

    const int id = insertRecord(2025, 1, 1, u", targy = 'Tárgy', hatarozat = 'Első mondat.'"_s);
    const Resolution loaded = *LoadResolution(*m_con, id);
    REQUIRE_SQL(m_db->client("UPDATE iktato SET " + theirs + ";"));
    const QString row = u"SELECT CONCAT_WS('|', targy, hatarozat) FROM iktato"_s;
    const QString theirRow = QueryText(*m_con, row, {});

    Resolution mine = loaded;
    if (!mySubject.isEmpty())
        mine.subject = mySubject;
    if (!myText.isEmpty())
        mine.text = myText;
    SaveResult saved = SaveResolution(*m_con, loaded, mine, m_store->path());
    if (conflicting.isEmpty()) {
        QVERIFY2(saved.ok, qPrintable(saved.error));
        QVERIFY(!saved.collision);
        QCOMPARE(QueryText(*m_con, row, {}), stored);
        return;
    }
    QVERIFY(!saved.ok);
    QVERIFY(saved.collision);
    QStringList captions;
    for (const ResolutionField f : saved.collision->conflicting)
        captions << ResolutionFieldCaption(f);
    QCOMPARE(captions, conflicting);
    QCOMPARE(QueryText(*m_con, row, {}), theirRow); // nothing written
    QVERIFY(!m_con->inTransaction());

    // Theirs chosen everywhere: the row stays theirs. Mine chosen: mine is stored, and a field
    // only they changed stays theirs.
    const EditCollision c = *saved.collision;
    const Resolution keepTheirs = MergeEdits(c, mine, c.conflicting);
    saved = SaveResolution(*m_con, c.theirs, keepTheirs, m_store->path());
    QVERIFY2(saved.ok, qPrintable(saved.error));
    QCOMPARE(QueryText(*m_con, row, {}), theirRow);
    const Resolution now = *LoadResolution(*m_con, id);
    saved = SaveResolution(*m_con, now, MergeEdits(FindEditCollision(loaded, now, mine), mine, {}),
                           m_store->path());
    QVERIFY2(saved.ok, qPrintable(saved.error));
    QCOMPARE(QueryText(*m_con, row, {}), stored);
}

void TestResolutionSave::changedSpan_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("marked"); // the part of `to` the collision window marks

    QTest::newRow("equal") << u"Első."_s << u"Első."_s << QString();
    QTest::newRow("a sentence added") << u"Első."_s << u"Első. Második."_s << u" Második."_s;
    QTest::newRow("a word changed inside") << u"a piros ház"_s << u"a kék ház"_s << u"kék"_s;
    QTest::newRow("a letter doubled") << u"aa"_s << u"aaa"_s << u"a"_s;
    QTest::newRow("a part removed") << u"abc"_s << u"ac"_s << QString();
    QTest::newRow("from nothing") << u""_s << u"új"_s << u"új"_s;
}

void TestResolutionSave::changedSpan()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, marked);
    const auto [start, length] = ChangedSpan(from, to);
    QVERIFY(start >= 0 && start + length <= to.size());
    QCOMPARE(to.mid(start, length), marked);
    // What is outside the span is what the two share.
    QVERIFY(from.startsWith(to.left(start)) && from.endsWith(to.mid(start + length)));
}

void TestResolutionSave::finishedElsewhereStaysFinished_data()
{
    QTest::addColumn<QDate>("theirDeadline");
    QTest::newRow("same deadline") << QDate(2025, 6, 30);
    QTest::newRow("another deadline, mine chosen") << QDate(2025, 7, 31);
}

// A opens a record without a deadline and ticks it; B does the same, saves and marks it
// finished. A's save leaves it finished.
void TestResolutionSave::finishedElsewhereStaysFinished()
{
    QFETCH(QDate, theirDeadline);
    const int id = insertRecord(2025, 1, 1);
    const Resolution loaded = *LoadResolution(*m_con, id);
    REQUIRE_SQL(m_db->client(u"UPDATE iktato SET van_hatid = 'I', dat_hatid = '%1', statusz = 2"_s
                                 .arg(theirDeadline.toString(Qt::ISODate))
                                 .toLatin1()));
    Resolution mine = loaded;
    mine.hasDeadline = true;
    mine.deadline = QDate(2025, 6, 30);
    SaveResult saved = SaveResolution(*m_con, loaded, mine, m_store->path());
    if (saved.collision)
        saved = SaveResolution(*m_con, saved.collision->theirs, MergeEdits(*saved.collision, mine, {}),
                               m_store->path());
    QVERIFY2(saved.ok, qPrintable(saved.error));
    QCOMPARE(QueryText(*m_con, u"SELECT CONCAT_WS('|', van_hatid, dat_hatid, statusz) FROM iktato"_s, {}),
             u"I|2025-06-30|2"_s);
}

// A text over the server's packet limit is named as too large, not as a lost line that OK would
// try again; the record stays as it was.
void TestResolutionSave::textLargerThanTheServerTakes()
{
    const int id = insertRecord(2025, 1, 1, u", hatarozat = 'régi'"_s);
    const Resolution loaded = *LoadResolution(*m_con, id);
    const qint64 limit = QueryText(*m_con, u"SELECT @@max_allowed_packet"_s, {}).toLongLong();
    QVERIFY(limit > 0);
    for (const bool isNew : {false, true}) {
        Resolution base = isNew ? newRecord(1, QDate(2025, 1, 2)) : loaded;
        Resolution edited = base;
        edited.text = QString(limit + 1024 * 1024, u'x');
        const SaveResult saved = SaveResolution(*m_con, base, edited, m_store->path());
        QVERIFY(!saved.ok);
        QVERIFY2(saved.error.contains(u"túl nagy"_s) && saved.error.contains(u"max_allowed_packet"_s),
                 qPrintable(saved.error));
        QVERIFY2(!saved.error.contains(u"kapcsolat"_s), qPrintable(saved.error));
    }
    QCOMPARE(QueryText(*m_con, u"SELECT CONCAT(COUNT(*), hatarozat) FROM iktato"_s, {}), u"1régi"_s);
}

// A journal whose save still holds its lock belongs to a workstation saving right now.
void TestResolutionSave::journalOfARunningSaveIsLeftAlone()
{
    const int id = insertRecord(2025, 1, 1);
    SaveJournal j;
    j.id = NewJournalId();
    j.recordId = id;
    j.files.append({1, StoredAttachmentName(id, 1, u"a.txt"_s), u"a.txt"_s, u"~uj.x.tmp"_s, u"~k.x.tmp"_s, false});
    QVERIFY(WriteSaveJournal(m_store->path(), j, nullptr));
    WriteTestFile(m_store->filePath(j.files[0].target), "új, a mentés még tart");

    Connection saving(m_db->params());
    saving.open();
    QCOMPARE(QueryInt(saving, u"SELECT GET_LOCK(%1, 0)"_s.arg(JournalLockSql(j.id)), -1), 1);
    QCOMPARE(SettleInterruptedSaves(*m_con, m_store->path()), 0);
    QVERIFY(SaveJournalExists(m_store->path(), j.id));
    QCOMPARE(ReadTestFile(m_store->filePath(j.files[0].target)), "új, a mentés még tart");

    // The saving workstation is gone without settling: its new file does not stay under a name
    // the record does not give it.
    saving.close();
    int settled = 0;
    QTRY_VERIFY((settled += SettleInterruptedSaves(*m_con, m_store->path())) > 0);
    QCOMPARE(settled, 1);
    QVERIFY(!SaveJournalExists(m_store->path(), j.id));
    QCOMPARE(filesIn(m_store->path()), QStringList());
}

void TestResolutionSave::journalNamingFilesOutsideTheStoreIsIgnored_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::newRow("target with a folder") << u"target"_s << u"../outside.txt"_s;
    QTest::newRow("kept-aside absolute") << u"keptAside"_s << u"/tmp/outside.txt"_s;
    QTest::newRow("copy in a sub-folder") << u"copy"_s << u"tmp/outside.txt"_s;
    QTest::newRow("the journal folder") << u"target"_s << u".mentesnaplo"_s;
    QTest::newRow("slot out of range") << u"slot"_s << u"4"_s;
}

// The store is shared: a journal put there by hand must not move anything outside it.
void TestResolutionSave::journalNamingFilesOutsideTheStoreIsIgnored()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    const int id = insertRecord(2025, 1, 1);
    const QString jid = NewJournalId();
    QJsonObject file{{u"slot"_s, 1},          {u"target"_s, u"0000001-1.txt"_s}, {u"source"_s, u"a.txt"_s},
                     {u"copy"_s, u"~c.tmp"_s}, {u"keptAside"_s, u"~k.tmp"_s},     {u"hadOld"_s, false}};
    file.insert(field, field == u"slot"_s ? QJsonValue(value.toInt()) : QJsonValue(value));
    const QJsonObject journal{{u"id"_s, jid},          {u"record"_s, id},     {u"new"_s, false},
                              {u"year"_s, 2025},       {u"committee"_s, 1},   {u"number"_s, 1},
                              {u"files"_s, QJsonArray{file}}};
    QDir().mkpath(m_store->filePath(u".mentesnaplo"_s));
    const QString path = m_store->filePath(u".mentesnaplo/"_s + jid + u".json"_s);
    WriteTestFile(path, QJsonDocument(journal).toJson());
    QVERIFY(!ReadSaveJournal(path));
    QCOMPARE(SettleInterruptedSaves(*m_con, m_store->path()), 0);
    QVERIFY(QFile::exists(path));
}

QTEST_GUILESS_MAIN(TestResolutionSave)
#include "tst_resolutionsave.moc"
