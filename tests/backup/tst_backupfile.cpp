#include "backup/backupfile.h"
#include "backup/fulldump.h"
#include "backup/restore.h"
#include "backupsample.h"
#include "db/backupscript.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(DatabaseStatement)

namespace {

// The permission bits of a file, in octal ("600"); "missing" when there is no such file.
QString ModeOf(const QString &path)
{
    struct stat st = {};
    if (stat(QFile::encodeName(path).constData(), &st) != 0)
        return u"missing"_s;
    return QString::number(st.st_mode & 07777, 8);
}

// The script of the database as a plain .sql backup, the yardstick of the archives.
QByteArray plainScript(Connection &con)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"yardstick.sql"_s);
    WriteBackupFile(con, path);
    return ReadTestFile(path);
}

// A database with the source's tables, its own initial rows and a stale committee that the
// restore must remove.
void prepareTarget(const TestDatabase &target)
{
    Connection con(target.params());
    con.open();
    CreateKindsTable(con);
    con.exec(u"INSERT INTO csoport (csoport_nev) VALUES ('elavult')"_s);
}

} // namespace

class TestBackupFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void zipHoldsOneDeflatedEntry_data();
    void zipHoldsOneDeflatedEntry();
    void othersCannotReadTheBackup_data();
    void othersCannotReadTheBackup();
    void restoresIdentically_data();
    void restoresIdentically();
    void restoreReportsRowsTheTablesDidNotTake();
    void restoreStops();
    void restoreRefusesForeignFiles_data();
    void restoreRefusesForeignFiles();
    void classifiesDatabaseStatements_data();
    void classifiesDatabaseStatements();
    void restoresOwnFullBackup();
    void failedBackupLeavesOlderFile_data();
    void failedBackupLeavesOlderFile();
    void fullDiskLeavesOlderFile_data();
    void fullDiskLeavesOlderFile();
    void archiveFailureKeepsScript_data();
    void archiveFailureKeepsScript();
};

void TestBackupFile::zipHoldsOneDeflatedEntry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("entry");
    QTest::newRow("plain") << u"mentes.zip"_s << u"mentes.sql"_s;
    QTest::newRow("capital extension, accents, space") << u"Mentés 2024.ZIP"_s << u"Mentés 2024.sql"_s;
}

void TestBackupFile::zipHoldsOneDeflatedEntry()
{
    QFETCH(QString, name);
    QFETCH(QString, entry);
    TestDatabase db;
    Connection con(db.params());
    con.open();
    FillSample(con);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    WriteBackupFile(con, path);

    QCOMPARE(FolderEntries(dir.path()), QStringList{name});
    const ToolRun list = RunTool(u"unzip"_s, {u"-Z1"_s, path});
    QCOMPARE(list.exitCode, 0);
    QCOMPARE(QString::fromUtf8(list.out).split(u'\n', Qt::SkipEmptyParts), QStringList{entry});
    const ToolRun listed = RunTool(u"unzip"_s, {u"-l"_s, path});
    QCOMPARE(listed.exitCode, 0);
    QVERIFY2(listed.out.contains(" 1 file"), listed.out.constData());
    const ToolRun tested = RunTool(u"unzip"_s, {u"-t"_s, path});
    QCOMPARE(tested.exitCode, 0);
    QVERIFY(tested.out.contains("No errors detected"));
    // "Defl:X" is unzip's name for deflate at the highest level.
    const ToolRun verbose = RunTool(u"unzip"_s, {u"-v"_s, path});
    QVERIFY2(verbose.out.contains("Defl:X"), verbose.out.constData());
    const ToolRun content = RunTool(u"unzip"_s, {u"-p"_s, path});
    QCOMPARE(content.exitCode, 0);
    const QByteArray script = plainScript(con);
    QCOMPARE(content.out, script);
    // A second, independent reader.
    const ToolRun python = ReadZipWithPython(path, entry);
    QVERIFY2(python.exitCode == 0, python.err.constData());
    QCOMPARE(python.out, script);
    // Far below 4 GB: no ZIP64 record (id 1), and the version an older unzip reads (2.0).
    const ZipEntryHeaders headers = ReadZipEntryHeaders(path);
    QCOMPARE(headers.localVersion, 20);
    QCOMPARE(headers.centralVersion, 20);
    QVERIFY(!headers.localExtras.contains(1));
    QVERIFY(!headers.centralExtras.contains(1));
    const ToolRun zipinfo = RunTool(u"zipinfo"_s, {u"-v"_s, path});
    QVERIFY2(zipinfo.exitCode == 0 && zipinfo.out.contains("required to extract:   2.0") &&
                 !zipinfo.out.contains("ID 0x0001"),
             zipinfo.out.constData());
}

void TestBackupFile::othersCannotReadTheBackup_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("older"); // an older backup, readable by everyone, is replaced
    for (const QString &name : {u"mentes.sql"_s, u"mentes.zip"_s}) {
        QTest::addRow("%s", qPrintable(name)) << name << false;
        QTest::addRow("%s over an older one", qPrintable(name)) << name << true;
    }
}

// A backup holds every user's password digest: only its owner may read it, and so may only the
// owner read the script that unzip takes out of the archive.
void TestBackupFile::othersCannotReadTheBackup()
{
    QFETCH(QString, name);
    QFETCH(bool, older);
    TestDatabase db;
    Connection con(db.params());
    con.open();
    con.exec(
        u"INSERT INTO felhasznalo (felhkod, felhasznalo, jelszomd5) VALUES (1, 'admin', MD5('titok'))"_s);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (older) {
        WriteTestFile(path, "régi mentés");
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                                QFile::ReadOther));
    }
    // The mask of a desktop session; the mode must not depend on it.
    const mode_t mask = umask(022);
    WriteBackupFile(con, path);
    umask(mask);
    QCOMPARE(ModeOf(path), u"600"_s);
    QCOMPARE(FolderEntries(dir.path()), QStringList{name});
    if (!IsZipBackupPath(path))
        return;
    const QString entry = QFileInfo(path).completeBaseName() + u".sql"_s;
    const ToolRun info = RunTool(u"zipinfo"_s, {path});
    QVERIFY2(info.exitCode == 0, info.err.constData());
    QVERIFY2(info.out.contains("-rw-------") && info.out.contains(" unx "), info.out.constData());
    const QString extracted = dir.filePath(u"kibontva"_s);
    const ToolRun unzipped = RunTool(u"unzip"_s, {u"-q"_s, path, u"-d"_s, extracted});
    QVERIFY2(unzipped.exitCode == 0, unzipped.err.constData());
    QCOMPARE(ModeOf(QDir(extracted).filePath(entry)), u"600"_s);
}

void TestBackupFile::restoresIdentically_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("byClient");
    QTest::newRow("sql, mariadb client") << u"mentes.sql"_s << true;
    QTest::newRow("zip, mariadb client") << u"mentes.zip"_s << true;
    QTest::newRow("sql, own restore") << u"mentes.sql"_s << false;
    QTest::newRow("zip, own restore") << u"mentes.zip"_s << false;
}

void TestBackupFile::restoresIdentically()
{
    QFETCH(QString, name);
    QFETCH(bool, byClient);
    TestDatabase source;
    Connection con(source.params());
    con.open();
    FillSample(con);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    WriteBackupFile(con, path);

    TestDatabase target;
    prepareTarget(target);
    Connection restored(target.params());
    restored.open();
    if (byClient) {
        const QByteArray script =
            IsZipBackupPath(path) ? RunTool(u"unzip"_s, {u"-p"_s, path}).out : ReadTestFile(path);
        QVERIFY(script.contains(AwkwardBytes().left(20)));
        const ToolRun client = RunTool(u"mariadb"_s,
                                       {u"--no-defaults"_s, u"--socket="_s + TestServer::socket(),
                                        u"-uroot"_s, u"--default-character-set=latin2"_s, target.name()},
                                       script);
        QVERIFY2(client.exitCode == 0, client.err.constData());
    } else {
        const RestoreReport report = RestoreBackupFile(restored, path);
        QVERIFY(!report.stopped);
        QVERIFY(report.allMatch());
        QCOMPARE(report.tables.size(), con.tableNames().size());
        for (const RestoredTable &table : report.tables) {
            const qint64 rows = con.query(u"SELECT COUNT(*) FROM "_s + table.name).text(0, 0).toLongLong();
            QCOMPARE(table.scriptRows, rows);
            QCOMPARE(table.tableRows, rows);
        }
    }
    const auto expected = TableChecksums(con);
    const auto actual = TableChecksums(restored);
    QCOMPARE(actual.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QVERIFY2(actual.value(it.key()) == it.value(), qPrintable(it.key()));
    QCOMPARE(restored.query(u"SELECT COUNT(*) FROM iktato"_s).text(0, 0), u"250"_s);
}

void TestBackupFile::restoreReportsRowsTheTablesDidNotTake()
{
    TestDatabase source;
    Connection con(source.params());
    con.open();
    FillSample(con);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"mentes.sql"_s);
    WriteBackupFile(con, path);

    // The target takes one record per deadline flag: INSERT IGNORE drops the others without an
    // error, and only the count shows it.
    TestDatabase target;
    prepareTarget(target);
    REQUIRE_SQL(target.client("ALTER TABLE iktato ADD UNIQUE KEY egy_hatarido (van_hatid);"));
    Connection restored(target.params());
    restored.open();
    const RestoreReport report = RestoreBackupFile(restored, path);
    QVERIFY(!report.stopped);
    QVERIFY(!report.allMatch());
    QStringList differing;
    for (const RestoredTable &table : report.tables) {
        if (!table.matches()) {
            differing << table.name;
            QCOMPARE(table.scriptRows, 250);
            QCOMPARE(table.tableRows, 1);
        }
    }
    QCOMPARE(differing, QStringList{u"iktato"_s});
    const QString text = RestoreReportText(report);
    QVERIFY2(text.contains(u"\r\niktato: 1 sor, a mentésben 250 sor – ELTÉR"_s), qPrintable(text));
    QVERIFY2(text.contains(u"\r\ncsoport: 2 sor, a mentésben 2 sor – egyezik"_s), qPrintable(text));
}

void TestBackupFile::restoreStops()
{
    TestDatabase source;
    Connection con(source.params());
    con.open();
    FillSample(con);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"mentes.zip"_s);
    WriteBackupFile(con, path);

    TestDatabase target;
    prepareTarget(target);
    Connection restored(target.params());
    restored.open();
    QList<qint64> seen;
    qint64 size = 0;
    const RestoreReport report = RestoreBackupFile(restored, path, [&](qint64 done, qint64 total) {
        seen << done;
        size = total;
        return seen.size() < 3;
    });
    QVERIFY(report.stopped);
    QCOMPARE(report.statements, 3);
    QCOMPARE(seen.size(), 3);
    QVERIFY(seen.at(0) > 0 && seen.at(0) < seen.at(1) && seen.at(2) < size);
    QCOMPARE(size, qint64(plainScript(con).size()));
    // Only the tables reached are reported.
    QVERIFY(report.tables.size() < con.tableNames().size());
    QVERIFY(RestoreReportText(report).startsWith(u"A visszaállítás leállítva"_s));
    QCOMPARE(restored.query(u"SELECT COUNT(*) FROM iktato"_s).text(0, 0), u"0"_s);
}

void TestBackupFile::restoreRefusesForeignFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<QByteArray>>("contents"); // one per archive entry; OTHER names another database
    QTest::newRow("archive of two scripts")
        << u"ketto.zip"_s << QList<QByteArray>{"TRUNCATE statusz;\r\n", "TRUNCATE csoport;\r\n"};
    QTest::newRow("dump selecting its own database")
        << u"dump.sql"_s
        << QList<QByteArray>{"-- Current Database: `OTHER`\r\n--\r\n\r\nUSE `OTHER`;\r\n"
                             "TRUNCATE statusz;\r\n"};
    QTest::newRow("dump creating its database")
        << u"dump.zip"_s
        << QList<QByteArray>{"CREATE DATABASE /*!32312 IF NOT EXISTS*/ `OTHER`;\r\n"
                             "TRUNCATE statusz;\r\n"};
}

void TestBackupFile::restoreRefusesForeignFiles()
{
    QFETCH(QString, name);
    QFETCH(QList<QByteArray>, contents);
    TestDatabase target;
    Connection restored(target.params());
    restored.open();
    // The database a dump would switch to exists: only the refusal keeps it whole.
    TestDatabase other;
    for (QByteArray &content : contents)
        content.replace("OTHER", other.name().toLatin1());
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (IsZipBackupPath(path)) {
        QStringList args{u"-j"_s, path};
        for (qsizetype i = 0; i < contents.size(); ++i) {
            args << dir.filePath(u"resz%1.sql"_s.arg(i));
            WriteTestFile(args.last(), contents.at(i));
        }
        QCOMPARE(RunTool(u"zip"_s, args).exitCode, 0);
    } else {
        WriteTestFile(path, contents.constFirst());
    }
    const qsizetype openFiles = QDir(u"/proc/self/fd"_s).count();
    QVERIFY_THROWS_EXCEPTION(DbError, RestoreBackupFile(restored, path));
    // A refused file is closed again, not held until the program ends.
    QCOMPARE(QDir(u"/proc/self/fd"_s).count(), openFiles);
    QVERIFY(restored.query(u"SELECT COUNT(*) FROM statusz"_s).text(0, 0).toInt() > 0);
    QVERIFY(TestServer::client("SELECT COUNT(*) FROM statusz;", other.name()).trimmed().toInt() > 0);
}

void TestBackupFile::classifiesDatabaseStatements_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("database");
    QTest::addColumn<bool>("caseInsensitive");
    QTest::addColumn<DatabaseStatement>("expected");
    const auto own = DatabaseStatement::Own;
    const auto other = DatabaseStatement::Other;
    const auto none = DatabaseStatement::None;
    QTest::newRow("dump's CREATE DATABASE of its own")
        << u"CREATE DATABASE /*!32312 IF NOT EXISTS*/ `hat` /*!40100 DEFAULT CHARACTER SET latin2 "
           "COLLATE latin2_hungarian_ci */"_s
        << u"hat"_s << false << own;
    QTest::newRow("USE after comment lines")
        << u"--\n-- Current Database: `hat`\n--\n\nUSE `hat`"_s << u"hat"_s << false << own;
    QTest::newRow("bare name, delimiter kept") << u"use hat;"_s << u"hat"_s << false << own;
    QTest::newRow("CREATE SCHEMA IF NOT EXISTS")
        << u"create schema if not exists hat"_s << u"hat"_s << false << own;
    QTest::newRow("doubled backtick in the name") << u"USE `a``b`"_s << u"a`b"_s << false << own;
    QTest::newRow("accented name") << u"USE `határozatok`"_s << u"határozatok"_s << false << own;
    QTest::newRow("another database") << u"USE `hat2`"_s << u"hat"_s << false << other;
    QTest::newRow("a prefix of ours") << u"CREATE DATABASE `ha`"_s << u"hat"_s << false << other;
    QTest::newRow("other letter case, names with case") << u"USE `HAT`"_s << u"hat"_s << false << other;
    QTest::newRow("other letter case, names without case") << u"USE `HAT`"_s << u"hat"_s << true << own;
    QTest::newRow("backtick name ends early") << u"USE `hat`x"_s << u"hat"_s << false << other;
    QTest::newRow("two names") << u"USE hat hat2"_s << u"hat"_s << false << other;
    QTest::newRow("hidden in a versioned comment")
        << u"/*!40000 USE `hat2` */"_s << u"hat"_s << false << other;
    QTest::newRow("dropping our own") << u"DROP DATABASE IF EXISTS `hat`"_s << u"hat"_s << false << other;
    QTest::newRow("name in double quotes") << u"USE \"hat\""_s << u"hat"_s << false << other;
    QTest::newRow("no database selected") << u"USE ``"_s << QString() << false << other;
    QTest::newRow("a table of the name") << u"CREATE TABLE `hat2` (x INT)"_s << u"hat"_s << false << none;
    QTest::newRow("settings of a dump") << u"/*!40101 SET NAMES latin2 */"_s << u"hat"_s << false << none;
    QTest::newRow("a word in a string")
        << u"INSERT INTO t VALUES ('USE hat2')"_s << u"hat"_s << false << none;
    QTest::newRow("commented out") << u"/* USE hat2 */ SELECT 1"_s << u"hat"_s << false << none;
}

void TestBackupFile::classifiesDatabaseStatements()
{
    QFETCH(QString, statement);
    QFETCH(QString, database);
    QFETCH(bool, caseInsensitive);
    QFETCH(DatabaseStatement, expected);
    QCOMPARE(ClassifyDatabaseStatement(statement, database, caseInsensitive), expected);
}

// The program's full backup creates and selects its database: loaded into that very database it
// restores every table; the report lists them all as not compared, the dump's rows being many to
// a line; loaded into another database it is refused, and that database keeps its rows.
void TestBackupFile::restoresOwnFullBackup()
{
    TestDatabase source;
    Connection con(source.params());
    con.open();
    FillSample(con);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"teljes.sql"_s);
    const DumpOutcome dumped = RunFullDump(u"mariadb-dump"_s, source.params(), path);
    QVERIFY2(dumped.status == DumpOutcome::Status::Done, qPrintable(dumped.errorText));
    const auto spoil = [&con] {
        con.exec(u"DELETE FROM iktato WHERE az > 10"_s);
        con.exec(u"DROP TABLE mindenfele"_s);
    };
    // The yardstick is the mariadb client's reading of the dump: the dump program itself writes a
    // FLOAT with six digits.
    spoil();
    const ToolRun client = RunTool(u"mariadb"_s,
                                   {u"--no-defaults"_s, u"--socket="_s + TestServer::socket(), u"-uroot"_s,
                                    u"--default-character-set=latin2"_s},
                                   ReadTestFile(path));
    QVERIFY2(client.exitCode == 0, client.err.constData());
    const auto expected = TableChecksums(con);
    spoil();

    const RestoreReport report = RestoreBackupFile(con, path);
    QVERIFY(!report.stopped);
    QCOMPARE(TableChecksums(con), expected);
    QCOMPARE(con.query(u"SELECT COUNT(*) FROM iktato"_s).text(0, 0), u"250"_s);
    QStringList named;
    for (const RestoredTable &table : report.tables) {
        named << table.name;
        QVERIFY2(!table.rowsKnown, qPrintable(table.name));
    }
    // Every table (the dump names the views too).
    for (const QString &table : expected.keys())
        QVERIFY2(named.contains(table), qPrintable(table));
    QCOMPARE(report.compared(), 0);
    const QString text = RestoreReportText(report);
    QVERIFY2(!text.contains(u"egyezik"_s), qPrintable(text));
    QVERIFY2(text.contains(u"\r\niktato: 250 sor, a mentés sorai nem számolhatók – nincs ellenőrizve"_s),
             qPrintable(text));

    TestDatabase other;
    Connection otherCon(other.params());
    otherCon.open();
    const QString before = otherCon.query(u"SELECT COUNT(*) FROM statusz"_s).text(0, 0);
    QVERIFY_THROWS_EXCEPTION(DbError, RestoreBackupFile(otherCon, path));
    QCOMPARE(otherCon.query(u"SELECT COUNT(*) FROM statusz"_s).text(0, 0), before);
    QCOMPARE(TestServer::client("SHOW TABLES LIKE 'mindenfele';", other.name()).trimmed(), QByteArray());
}

void TestBackupFile::failedBackupLeavesOlderFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("sql") << u"mentes.sql"_s;
    QTest::newRow("zip") << u"mentes.zip"_s;
}

void TestBackupFile::failedBackupLeavesOlderFile()
{
    QFETCH(QString, name);
    TestDatabase db;
    Connection con(db.params());
    con.open();
    FillSample(con);
    // Listed by the server, gone before its turn comes: the backup fails half-way.
    con.exec(u"CREATE TABLE zz_elveszo (x INT PRIMARY KEY)"_s);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    const QByteArray older = "régi mentés, byte-ra ugyanaz marad";
    WriteTestFile(path, older);
    bool dropped = false;
    QVERIFY_THROWS_EXCEPTION(DbError, WriteBackupFile(con, path, [&](int index, int count) {
                                 if (index == count - 1 && !dropped) {
                                     dropped = true;
                                     REQUIRE_SQL(db.client("DROP TABLE zz_elveszo;"));
                                 }
                             }));
    QVERIFY(dropped);
    QCOMPARE(ReadTestFile(path), older);
    QCOMPARE(FolderEntries(dir.path()), QStringList{name});
}

void TestBackupFile::fullDiskLeavesOlderFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("spareBytes"); // the disk holds the whole script but this many bytes; -1: nothing
    QTest::addColumn<QString>("cause");  // the cause the message gives
    const QString tooLarge = u"az állomány nagyobb, mint amekkorát a rendszer megenged"_s;
    for (const QString &name : {u"mentes.sql"_s, u"mentes.zip"_s}) {
        QTest::addRow("%s, nothing fits", qPrintable(name)) << name << -1 << tooLarge;
        QTest::addRow("%s, half way", qPrintable(name)) << name << 0 << tooLarge;
        // The last bytes wait in the file's buffer: the failure comes at the final flush.
        QTest::addRow("%s, all but the last byte", qPrintable(name)) << name << 1 << tooLarge;
        // A small file system that fills up: the system's short write used to read "Unknown error".
        QTest::addRow("%s, a real full disk", qPrintable(name)) << name << -2 << u"megtelt a lemez"_s;
    }
}

void TestBackupFile::fullDiskLeavesOlderFile()
{
    QFETCH(QString, name);
    QFETCH(int, spareBytes);
    QFETCH(QString, cause);
    TestDatabase db;
    Connection con(db.params());
    con.open();
    FillSample(con);
    const qint64 scriptSize = plainScript(con).size();
    QTemporaryDir dir;
    const bool realDisk = spareBytes == -2;
    std::optional<SmallDisk> disk;
    if (realDisk) {
        disk.emplace(16 * 1024);
        if (!disk->mounted())
            QSKIP(qPrintable(disk->skipReason()));
    }
    const QString path = realDisk ? disk->filePath(name) : dir.filePath(name);
    const QByteArray older = "régi mentés, byte-ra ugyanaz marad";
    WriteTestFile(path, older);
    QString reported;
    {
        std::optional<FileSizeLimit> full;
        if (!realDisk)
            full.emplace(spareBytes < 0 ? 0 : spareBytes == 0 ? scriptSize / 2 : scriptSize - spareBytes);
        try {
            WriteBackupFile(con, path);
        } catch (const ArchiveError &error) {
            reported = u"archive: "_s + error.message();
        } catch (const DbError &error) {
            reported = error.message();
        }
    }
    QVERIFY2(!reported.isEmpty(), "a backup that did not fit was reported as written");
    QVERIFY2(reported.startsWith(u"Az állomány nem írható: "_s), qPrintable(reported));
    // The file the user chose, and why.
    QCOMPARE(reported, u"Az állomány nem írható: "_s + path + u" ("_s + cause + u')');
    QCOMPARE(ReadTestFile(path), older);
    QCOMPARE(FolderEntries(QFileInfo(path).path()), QStringList{name});
    if (realDisk)
        return; // that disk stays full
    // The connection is still good for the next backup.
    WriteBackupFile(con, path);
    QVERIFY(ReadTestFile(path) != older);
}

void TestBackupFile::archiveFailureKeepsScript_data()
{
    QTest::addColumn<bool>("olderScript");
    QTest::newRow("script name free") << false;
    QTest::newRow("script name taken by an older file") << true;
}

void TestBackupFile::archiveFailureKeepsScript()
{
    QFETCH(bool, olderScript);
    TestDatabase db;
    Connection con(db.params());
    con.open();
    FillSample(con);
    QTemporaryDir dir;
    // A folder where the archive should go: the script is written, the archive cannot be.
    QVERIFY(QDir(dir.path()).mkdir(u"mentes.zip"_s));
    const QString scriptPath = dir.filePath(u"mentes.sql"_s);
    if (olderScript)
        WriteTestFile(scriptPath, "régi");
    QString kept;
    try {
        WriteBackupFile(con, dir.filePath(u"mentes.zip"_s));
        QFAIL("the archive was reported as written");
    } catch (const ArchiveError &error) {
        QVERIFY(!error.message().isEmpty());
        kept = error.scriptPath();
    }
    QCOMPARE(ReadTestFile(kept), plainScript(con));
    const QStringList entries = FolderEntries(dir.path());
    if (olderScript) {
        QCOMPARE(ReadTestFile(scriptPath), QByteArray("régi"));
        QCOMPARE(entries.size(), 3);
        QVERIFY(entries.contains(QFileInfo(kept).fileName()));
    } else {
        QCOMPARE(kept, scriptPath);
        QCOMPARE(entries, (QStringList{u"mentes.sql"_s, u"mentes.zip"_s}));
    }
}

QTEST_GUILESS_MAIN(TestBackupFile)
#include "tst_backupfile.moc"
