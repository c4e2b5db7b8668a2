// A save that replaces an attachment, stopped at each of its steps by a kill: of the program
// (a workstation that dies: SIGKILL of a process of its own) or of the database server (SIGKILL
// of a private server of this test, restarted on its data). Then a restart of the program, which
// settles what the dead save left. Every time the record and the document store agree, and no
// record is stored twice.
#include "db/connection.h"
#include "db/dbroutines.h"
#include "register/resolutionsave.h"
#include "register/savejournal.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QByteArray OldContent = "régi dokumentum";
const QByteArray NewContent = "új dokumentum";

bool runScript(const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(u"bash"_s, QStringList{SourcePath(u"scripts/mariadb.sh"_s)} + args);
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Whether the process is gone (or only waits for its parent to collect it).
bool processEnded(pid_t pid)
{
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close < 0 || line.mid(close + 2, 1) == "Z";
}

} // namespace

class TestSaveCrash : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void programKilled_data();
    void programKilled();
    void serverKilled_data();
    void serverKilled();

private:
    void killServer();
    // The record and the store as the restarted program finds them, checked against the save
    // having been kept or not.
    void verifyAgreement(bool existing, bool kept);

    QString m_serverFolder;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<QTemporaryDir> m_store;
    std::unique_ptr<QTemporaryDir> m_sources;
    QString m_chosen;
    int m_recordId = -1; // the existing record, -1 for a new one
};

void TestSaveCrash::initTestCase()
{
    // A server of this test's own: it is killed here, which the other tests must not see.
    m_serverFolder = QDir(QCoreApplication::applicationDirPath()).filePath(u"savecrash-mariadb"_s);
    QVERIFY(runScript({u"start"_s, m_serverFolder}));
    qputenv("ORVANTH_TEST_MARIADB_DIR", QFile::encodeName(m_serverFolder));
    REQUIRE_TEST_SERVER();
}

void TestSaveCrash::cleanupTestCase()
{
    runScript({u"stop"_s, m_serverFolder});
}

void TestSaveCrash::init()
{
    m_db = std::make_unique<TestDatabase>();
    REQUIRE_SQL(m_db->client("INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'P\xE9nz\xFCgyi');"));
    m_store = std::make_unique<QTemporaryDir>();
    m_sources = std::make_unique<QTemporaryDir>();
    m_chosen = m_sources->filePath(u"uj.pdf"_s);
    WriteTestFile(m_chosen, NewContent);
    m_recordId = -1;
}

void TestSaveCrash::cleanup()
{
    SetSaveStepHook({});
    m_db.reset();
    m_store.reset();
    m_sources.reset();
}

namespace {
// The record the tests start from: it holds regi.pdf in slot 1. -1 when it could not be
// stored; the test has failed then.
int insertRecordWithOldFile(const TestDatabase &db, const QString &store)
{
    db.client("INSERT INTO iktato SET iktato = 42, ev = 2025, csoport = 1, az = 1, datum = '2025-03-01', "
              "targy = 'r\xE9gi t\xE1rgy', filenev = '0000042-1.pdf', origfilenev = 'regi.pdf';");
    if (QTest::currentTestFailed())
        return -1;
    WriteTestFile(QDir(store).filePath(u"0000042-1.pdf"_s), OldContent);
    return 42;
}

void addRows(bool withNew)
{
    QTest::addColumn<bool>("existing");
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("kept"); // whether the server keeps the save
    for (const bool existing : withNew ? QList<bool>{true, false} : QList<bool>{true}) {
        const char *kind = existing ? "replaced in a record" : "new record";
        for (const auto &[step, kept] : QList<std::pair<const char *, bool>>{{"journal", false},
                                                                             {"placed", false},
                                                                             {"commit", false},
                                                                             {"committed", true},
                                                                             {"settled", true}})
            QTest::addRow("%s, %s", kind, step) << existing << QString::fromLatin1(step) << kept;
    }
}
} // namespace

void TestSaveCrash::verifyAgreement(bool existing, bool kept)
{
    Connection con(m_db->params());
    con.open();
    // What every start of the program does; the server may need a moment to end the dead
    // workstation's session, and with it the save's lock.
    const QString journals = m_store->filePath(u".mentesnaplo"_s);
    QTRY_VERIFY_WITH_TIMEOUT((SettleInterruptedSaves(con, m_store->path()),
                              QDir(journals).entryList(QDir::Files | QDir::Hidden).isEmpty()),
                             20000);

    const QString rows = u"SELECT CONCAT_WS('|', iktato, targy, filenev, origfilenev) FROM iktato ORDER BY iktato"_s;
    const QStringList stored = QString::fromUtf8(m_db->client(rows.toUtf8(), "utf8mb4")).split(u'\n', Qt::SkipEmptyParts);
    const QStringList files = QDir(m_store->path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);

    if (!existing && !kept) {
        QCOMPARE(stored, QStringList());
        QCOMPARE(files, QStringList());
        return;
    }
    const int id = existing ? 42 : QueryInt(con, u"SELECT iktato FROM iktato"_s, -1);
    const QString storedName = StoredAttachmentName(id, 1, u"uj.pdf"_s);
    const QString expected = kept ? u"%1|mentés közben leállt|%2|uj.pdf"_s.arg(id).arg(storedName)
                                  : u"42|régi tárgy|0000042-1.pdf|regi.pdf"_s;
    QCOMPARE(stored, QStringList{expected});
    QCOMPARE(files, QStringList{storedName});
    QCOMPARE(ReadTestFile(m_store->filePath(storedName)), kept ? NewContent : OldContent);
}

void TestSaveCrash::programKilled_data()
{
    addRows(true);
}

void TestSaveCrash::programKilled()
{
    QFETCH(bool, existing);
    QFETCH(QString, step);
    QFETCH(bool, kept);
    if (existing)
        m_recordId = insertRecordWithOldFile(*m_db, m_store->path());
    if (QTest::currentTestFailed())
        return;
    const ConnectionParams p = m_db->params();
    QProcess client;
    client.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    client.start(QStringLiteral(ORVANTH_CRASHINGSAVE),
                 {p.host, QString::number(p.port), p.user, p.database, m_store->path(),
                  QString::number(m_recordId), m_chosen, step});
    QVERIFY(client.waitForFinished(60000));
    QCOMPARE(client.exitStatus(), QProcess::CrashExit); // killed at the step
    verifyAgreement(existing, kept);
}

void TestSaveCrash::serverKilled_data()
{
    QTest::addColumn<bool>("existing");
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("kept");
    for (const bool existing : {true, false}) {
        for (const char *step : {"journal", "placed", "commit"})
            QTest::addRow("%s, %s", existing ? "replaced in a record" : "new record", step)
                << existing << QString::fromLatin1(step) << false;
    }
}

void TestSaveCrash::killServer()
{
    QFile pidFile(m_serverFolder + u"/mysqld.pid"_s);
    QVERIFY(pidFile.open(QIODevice::ReadOnly));
    const pid_t pid = pid_t(pidFile.readAll().trimmed().toInt());
    QVERIFY(pid > 0);
    QCOMPARE(::kill(pid, SIGKILL), 0);
    QTRY_VERIFY_WITH_TIMEOUT(processEnded(pid), 20000);
}

// The program lives on while the server dies under its save: the save fails, and once the server
// is back the next start finds the store as the record says.
void TestSaveCrash::serverKilled()
{
    QFETCH(bool, existing);
    QFETCH(QString, step);
    QFETCH(bool, kept);
    if (existing)
        m_recordId = insertRecordWithOldFile(*m_db, m_store->path());
    if (QTest::currentTestFailed())
        return;
    {
        Connection con(m_db->params());
        con.open();
        const Resolution loaded = existing ? *LoadResolution(con, m_recordId) : NewResolutionRecord(con, 1, QDate(2025, 3, 1));
        Resolution edited = loaded;
        edited.subject = u"mentés közben leállt"_s;
        edited.attachments[0].chosenPath = m_chosen;
        edited.attachments[0].sourceName = u"uj.pdf"_s;
        bool killed = false;
        if (step == u"commit"_s) {
            con.setBeforeSendHook([&](QByteArrayView sql) {
                if (sql == "COMMIT" && !killed) {
                    killed = true;
                    killServer();
                }
            });
        } else {
            const SaveStep at = step == u"journal"_s ? SaveStep::JournalWritten : SaveStep::FilesPlaced;
            // `at` ends with this block: the hook keeps a copy.
            SetSaveStepHook([&killed, at, this](SaveStep reached) {
                if (reached == at && !killed) {
                    killed = true;
                    killServer();
                }
            });
        }
        PendingSave pending;
        const SaveResult saved = SaveResolution(con, loaded, edited, m_store->path(), &pending);
        QVERIFY(killed);
        QVERIFY(!saved.ok);
        SetSaveStepHook({});
        con.setBeforeSendHook({});
    } // the program closes, leaving what it could not settle
    QVERIFY(runScript({u"restart"_s, m_serverFolder}));
    verifyAgreement(existing, kept);
}

QTEST_GUILESS_MAIN(TestSaveCrash)
#include "tst_savecrash.moc"
