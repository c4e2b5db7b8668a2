#include "backup/fulldump.h"
#include "backupsample.h"
#include "common/cp1250.h"
#include "db/connection.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// A user of the test database whose password holds what an options file must quote.
class DumpUser
{
public:
    explicit DumpUser(const TestDatabase &db) : m_name(u"d"_s + db.name())
    {
        const QByteArray password = ToCp1250(this->password()).replace('\\', "\\\\").replace('\'', "\\'");
        TestServer::client("CREATE USER '" + m_name.toLatin1() + "'@'%' IDENTIFIED BY '" + password +
                           "'; GRANT ALL ON " + db.name().toLatin1() + ".* TO '" + m_name.toLatin1() +
                           "'@'%';");
    }
    ~DumpUser() { TestServer::client("DROP USER IF EXISTS '" + m_name.toLatin1() + "'@'%';"); }
    const QString &name() const { return m_name; }
    static QString password() { return u"jel\"sz\\ó #1 'x';"_s; }

private:
    QString m_name;
};

ConnectionParams dumpParams(const TestDatabase &db, const DumpUser &user, const QString &password)
{
    ConnectionParams params = db.params();
    params.user = user.name();
    params.password = password;
    return params;
}

// Every process's command line, NUL bytes between the arguments.
QList<QByteArray> commandLines()
{
    QList<QByteArray> lines;
    for (const QString &pid : QDir(u"/proc"_s).entryList(QDir::Dirs)) {
        QFile file(u"/proc/"_s + pid + u"/cmdline"_s);
        if (file.open(QIODevice::ReadOnly))
            lines << file.readAll();
    }
    return lines;
}

// The permission bits of a file or folder; -1 when there is none.
int modeOf(const QString &path)
{
    struct stat info = {};
    return lstat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

// While the dump runs: no command line holds the password; the dump's first argument names the
// options file, in a folder the user alone can enter.
void lookAtRunningDump(const QString &folder, QString *optionsFile)
{
    const QByteArray password = ToCp1250(DumpUser::password());
    for (const QByteArray &line : commandLines()) {
        QVERIFY2(!line.contains(password), line.constData());
        QVERIFY(!line.contains("jel\"sz"));
        const QList<QByteArray> args = line.split('\0');
        if (args.size() > 1 && args.at(1).startsWith("--defaults-extra-file=") &&
            line.contains(QFile::encodeName(folder)))
            *optionsFile = QString::fromLocal8Bit(args.at(1).mid(22));
    }
    QVERIFY(!optionsFile->isEmpty());
    QCOMPARE(QFileInfo(*optionsFile).path(), DumpOptionsFolder());
    QCOMPARE(modeOf(DumpOptionsFolder()) & 077, 0);
}

// XDG_RUNTIME_DIR and XDG_CACHE_HOME pointed at temporary folders for a test's lifetime.
class ScopedRuntimeFolders
{
public:
    ScopedRuntimeFolders() : m_runtime(qgetenv("XDG_RUNTIME_DIR")), m_cache(qgetenv("XDG_CACHE_HOME"))
    {
        QFile::setPermissions(runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime()));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache()));
    }
    ~ScopedRuntimeFolders()
    {
        restore("XDG_RUNTIME_DIR", m_runtime);
        restore("XDG_CACHE_HOME", m_cache);
    }
    QString runtime() const { return m_dir.filePath(u"run"_s); }
    QString cache() const { return m_dir.filePath(u"cache"_s); }

private:
    static void restore(const char *name, const QByteArray &value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    QTemporaryDir m_dir;
    bool m_made = QDir(m_dir.path()).mkdir(u"run"_s);
    QByteArray m_runtime;
    QByteArray m_cache;
};

// The number of a process that has ended.
qint64 endedProcess()
{
    QProcess process;
    process.start(u"true"_s, QStringList());
    process.waitForStarted();
    const qint64 pid = process.processId();
    process.waitForFinished();
    return pid;
}

} // namespace

class TestFullDump : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void findsTheDumpProgram_data();
    void findsTheDumpProgram();
    void dumpsWithoutShowingThePassword();
    void failureLeavesNoFile_data();
    void failureLeavesNoFile();
    void stopLeavesNoFile();
    void optionsFolderIsPrivate_data();
    void optionsFolderIsPrivate();
    void leftoversRemovedAtStart();
};

void TestFullDump::findsTheDumpProgram_data()
{
    QTest::addColumn<QString>("configured");
    QTest::addColumn<QStringList>("onPath");
    QTest::addColumn<QString>("found");
    QTest::newRow("typed path wins") << u"/opt/x/mysqldump"_s << QStringList{u"mariadb-dump"_s}
                                     << u"/opt/x/mysqldump"_s;
    QTest::newRow("mariadb-dump first")
        << QString() << QStringList{u"mysqldump"_s, u"mariadb-dump"_s} << u"mariadb-dump"_s;
    QTest::newRow("else mysqldump") << u"  "_s << QStringList{u"mysqldump"_s} << u"mysqldump"_s;
    QTest::newRow("none") << QString() << QStringList{} << QString();
}

void TestFullDump::findsTheDumpProgram()
{
    QFETCH(QString, configured);
    QFETCH(QStringList, onPath);
    QFETCH(QString, found);
    QTemporaryDir bin;
    for (const QString &name : onPath) {
        QFile program(bin.filePath(name));
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\n");
        program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()));
    const QString result = FindDumpProgram(configured);
    qputenv("PATH", oldPath);
    const QString expected = found.isEmpty() || found.startsWith(u'/') ? found : bin.filePath(found);
    QCOMPARE(result, expected);
}

void TestFullDump::dumpsWithoutShowingThePassword()
{
    const ScopedRuntimeFolders folders;
    TestDatabase db;
    Connection con(db.params());
    con.open();
    FillSample(con);
    const DumpUser user(db);
    QTemporaryDir dir;
    const QString target = dir.filePath(u"teljes.sql"_s);

    // The dump waits for this lock, so the test can look at the running process.
    Connection locker(db.params());
    locker.open();
    locker.exec(u"LOCK TABLES iktato WRITE"_s);
    bool looked = false;
    bool goneWhileRunning = false;
    int waited = 0;
    QString optionsFile;
    const DumpOutcome outcome =
        RunFullDump(u"mariadb-dump"_s, dumpParams(db, user, DumpUser::password()), target, [&]() {
            if (!looked) {
                looked = true;
                lookAtRunningDump(dir.path(), &optionsFile);
            } else if (!goneWhileRunning && (!QFileInfo::exists(optionsFile) || ++waited > 200)) {
                goneWhileRunning = !QFileInfo::exists(optionsFile);
                locker.exec(u"UNLOCK TABLES"_s);
            }
            return true;
        });
    QVERIFY(looked);
    QVERIFY(!optionsFile.isEmpty());
    // Read, and removed, while the dump still waited for the lock.
    QVERIFY(goneWhileRunning);
    QVERIFY2(outcome.status == DumpOutcome::Status::Done, qPrintable(outcome.errorText));
    QVERIFY(!QFile::exists(optionsFile));
    QCOMPARE(FolderEntries(dir.path()), QStringList{u"teljes.sql"_s});
    const QByteArray dump = ReadTestFile(target);
    QVERIFY(dump.contains("CREATE DATABASE"));
    QVERIFY(dump.contains("INSERT INTO `iktato` (`iktato`, `ev`"));
    // The cp1250 bytes come through the latin2 connection unchanged.
    QVERIFY(dump.contains(AwkwardBytes().left(AwkwardBytes().indexOf('\''))));
}

void TestFullDump::failureLeavesNoFile_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("older");
    QTest::addColumn<QString>("reason");
    QTest::newRow("wrong password") << u"mariadb-dump"_s << u"rossz"_s << QByteArray() << u"Access denied"_s;
    QTest::newRow("wrong password, older dump")
        << u"mysqldump"_s << u"rossz"_s << QByteArray("régi") << u"Access denied"_s;
    QTest::newRow("no such program") << u"/nincs/ilyen/mysqldump"_s << DumpUser::password() << QByteArray()
                                     << u"nem indítható"_s;
}

void TestFullDump::failureLeavesNoFile()
{
    QFETCH(QString, program);
    QFETCH(QString, password);
    QFETCH(QByteArray, older);
    QFETCH(QString, reason);
    TestDatabase db;
    const DumpUser user(db);
    QTemporaryDir dir;
    const QString target = dir.filePath(u"teljes.sql"_s);
    if (!older.isEmpty()) {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(older);
    }
    const DumpOutcome outcome = RunFullDump(program, dumpParams(db, user, password), target);
    QCOMPARE(outcome.status, DumpOutcome::Status::Failed);
    QVERIFY2(outcome.errorText.contains(reason), qPrintable(outcome.errorText));
    if (older.isEmpty()) {
        QVERIFY(FolderEntries(dir.path()).isEmpty());
    } else {
        QCOMPARE(FolderEntries(dir.path()), QStringList{u"teljes.sql"_s});
        QCOMPARE(ReadTestFile(target), older);
    }
}

void TestFullDump::stopLeavesNoFile()
{
    TestDatabase db;
    const DumpUser user(db);
    QTemporaryDir dir;
    Connection locker(db.params());
    locker.open();
    locker.exec(u"LOCK TABLES verzio WRITE"_s);
    int asked = 0;
    const DumpOutcome outcome = RunFullDump(u"mariadb-dump"_s, dumpParams(db, user, DumpUser::password()),
                                            dir.filePath(u"teljes.sql"_s), [&asked] { return ++asked < 3; });
    locker.exec(u"UNLOCK TABLES"_s);
    QCOMPARE(asked, 3);
    QCOMPARE(outcome.status, DumpOutcome::Status::Stopped);
    QVERIFY(FolderEntries(dir.path()).isEmpty());
    for (const QByteArray &line : commandLines())
        QVERIFY(!(line.startsWith("mariadb-dump") && line.contains(QFile::encodeName(dir.path()))));
}

void TestFullDump::optionsFolderIsPrivate_data()
{
    QTest::addColumn<QString>("runtime"); // "unset", "private", "open to others" or "relative"
    QTest::addColumn<bool>("inRuntime");  // else in the cache folder
    QTest::newRow("runtime folder") << u"private"_s << true;
    QTest::newRow("no runtime folder") << u"unset"_s << false;
    QTest::newRow("runtime folder others may enter") << u"open to others"_s << false;
    QTest::newRow("relative runtime folder") << u"relative"_s << false;
}

void TestFullDump::optionsFolderIsPrivate()
{
    QFETCH(QString, runtime);
    QFETCH(bool, inRuntime);
    const ScopedRuntimeFolders folders;
    if (runtime == u"unset"_s)
        qunsetenv("XDG_RUNTIME_DIR");
    else if (runtime == u"open to others"_s)
        QVERIFY(QFile::setPermissions(folders.runtime(), QFile::ReadOwner | QFile::WriteOwner |
                                                             QFile::ExeOwner | QFile::ReadOther |
                                                             QFile::ExeOther));
    else if (runtime == u"relative"_s)
        qputenv("XDG_RUNTIME_DIR", "run");
    // A cache folder left by an older version with the umask's mode is closed again.
    QVERIFY(QDir().mkpath(folders.cache() + u"/orvanth"_s));
    QVERIFY(QFile::setPermissions(folders.cache() + u"/orvanth"_s, QFile::ReadOwner | QFile::WriteOwner |
                                                                       QFile::ExeOwner | QFile::ReadOther |
                                                                       QFile::ExeOther));
    const QString folder = DumpOptionsFolder();
    QCOMPARE(folder, inRuntime ? folders.runtime() : folders.cache() + u"/orvanth"_s);
    QCOMPARE(modeOf(folder) & 077, 0);
}

// A program killed during a dump leaves its options file; the next start removes it, and the
// plain-text files older versions left in the temporary folder, but not a file of a dump still
// running nor anything else.
void TestFullDump::leftoversRemovedAtStart()
{
    const ScopedRuntimeFolders folders;
    QTemporaryDir temp;
    const QByteArray oldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    const QDir private_(DumpOptionsFolder());
    const QString dead = u"orvanth-dump-%1-0badf00d.cnf"_s.arg(endedProcess());
    const QString running = u"orvanth-dump-%1-00c0ffee.cnf"_s.arg(QCoreApplication::applicationPid());
    for (const QString &name : {dead, running, u"orvanth-jegyzet.txt"_s})
        WriteTestFile(private_.filePath(name), "[client]\npassword=\"titok\"\n");
    WriteTestFile(QDir(temp.path()).filePath(u"orvanth-dump-Ab12Cd.cnf"_s), "[client]\npassword=\"titok\"\n");
    WriteTestFile(QDir(temp.path()).filePath(u"masik.cnf"_s), "x");

    RemoveLeftoverDumpOptions();
    if (oldTemp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTemp);
    QCOMPARE(FolderEntries(private_.path()), (QStringList{running, u"orvanth-jegyzet.txt"_s}));
    QCOMPARE(FolderEntries(temp.path()), QStringList{u"masik.cnf"_s});
}

QTEST_GUILESS_MAIN(TestFullDump)
#include "tst_fulldump.moc"
