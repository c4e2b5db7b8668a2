#include "backupsample.h"
#include "common/version.h"
#include "config/conprofile.h"
#include "config/inifile.h"
#include "db/connection.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct ProgramRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

// The built program with a settings file of its own and no window system at all: a run that
// needed one would fail.
// fileSizeLimit >= 0: the program runs on a disk that takes no file larger than that. `input` is
// its standard input, which ends there.
ProgramRun runProgram(const QString &configHome, const QStringList &arguments, qint64 fileSizeLimit = -1,
                      const QByteArray &input = {})
{
    QProcess program;
    if (fileSizeLimit >= 0)
        program.setChildProcessModifier([fileSizeLimit] { FileSizeLimit::applyInChild(fileSizeLimit); });
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"XDG_CONFIG_HOME"_s, configHome);
    env.remove(u"DISPLAY"_s);
    env.remove(u"WAYLAND_DISPLAY"_s);
    env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(ORVANTH_PROGRAM), arguments);
    ProgramRun run;
    if (!program.waitForStarted())
        return run;
    program.write(input);
    program.closeWriteChannel();
    if (!program.waitForFinished(60000))
        return run;
    run.exitCode = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    run.out = QString::fromLocal8Bit(program.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(program.readAllStandardError());
    return run;
}

// A settings file in `home` whose ConStr2 reaches the database and ConStr3 names a port where
// nothing listens.
void writeProfiles(const QTemporaryDir &home, const TestDatabase &db)
{
    const ConnectionParams params = db.params();
    ConnectionProfile reachable{params.database, params.host,     QString::number(params.port),
                                params.user,     params.password, u"Teszt"_s};
    ConnectionProfile unreachable = reachable;
    unreachable.port = ClosedPort();
    QVERIFY(QDir(home.path()).mkpath(u"OrvantH"_s));
    IniFile ini(home.filePath(u"OrvantH/OrvantH.ini"_s));
    ini.writeString(ConnectionProfileSection(), ConnectionProfileKey(2),
                    EncodeConStr(reachable.toText(true)));
    ini.writeString(ConnectionProfileSection(), ConnectionProfileKey(3),
                    EncodeConStr(unreachable.toText(true)));
}

} // namespace

class TestBackupCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void versionAndHelp_data();
    void versionAndHelp();
    void unknownOption_data();
    void unknownOption();
    void backupExitCodes_data();
    void backupExitCodes();
    void loginRequired_data();
    void loginRequired();
    void backupOnFullDisk_data();
    void backupOnFullDisk();
};

void TestBackupCommandLine::versionAndHelp_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("shown");
    QTest::newRow("version") << u"--version"_s << QString::fromUtf16(ProgramVersion);
    QTest::newRow("help") << u"--help"_s << u"--backup <N>"_s;
    QTest::newRow("help names the log-in") << u"--help"_s << u"--user <NÉV>"_s;
}

void TestBackupCommandLine::versionAndHelp()
{
    QFETCH(QString, option);
    QFETCH(QString, shown);
    QTemporaryDir home;
    const ProgramRun run = runProgram(home.path(), {option});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(shown), qPrintable(run.out + run.err));
}

void TestBackupCommandLine::unknownOption_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("alone") << QStringList{u"--frobnicate"_s};
    QTest::newRow("single dash") << QStringList{u"-x"_s};
    QTest::newRow("beside a backup") << QStringList{u"--backup"_s, u"2"_s, u"mentes.sql"_s, u"--frobnicate"_s};
}

// An option the program does not know opens no window and writes nothing: the usage on standard
// error, exit code 2, as command-line programs do.
void TestBackupCommandLine::unknownOption()
{
    QFETCH(QStringList, arguments);
    QTemporaryDir home;
    const ProgramRun run = runProgram(home.path(), arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(u"--backup <N>"_s) && run.err.contains(arguments.last().mid(arguments.last().lastIndexOf(u'-') + 1)),
             qPrintable(run.err));
    QVERIFY(!QFile::exists(QDir(home.path()).filePath(u"mentes.sql"_s)));
}

void TestBackupCommandLine::backupExitCodes_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("reason");
    QTest::newRow("sql") << u"2"_s << u"mentes.sql"_s << 0 << u"iktato: 0 sor"_s;
    QTest::newRow("zip") << u"2"_s << u"mentes.zip"_s << 0 << u"verzio: 1 sor"_s;
    QTest::newRow("no such profile") << u"1"_s << u"mentes.sql"_s << 2 << u"ConStr1"_s;
    QTest::newRow("number out of range") << u"101"_s << u"mentes.sql"_s << 2 << u"101"_s;
    QTest::newRow("not a number") << u"ketto"_s << u"mentes.sql"_s << 2 << u"ketto"_s;
    QTest::newRow("neither sql nor zip") << u"2"_s << u"mentes.txt"_s << 2 << u"mentes.txt"_s;
    QTest::newRow("unreachable server") << u"3"_s << u"mentes.sql"_s << 1 << u"Hiba: "_s;
}

void TestBackupCommandLine::backupExitCodes()
{
    REQUIRE_TEST_SERVER();
    QFETCH(QString, number);
    QFETCH(QString, file);
    QFETCH(int, exitCode);
    QFETCH(QString, reason);
    TestDatabase db;
    QTemporaryDir home;
    writeProfiles(home, db);
    QTemporaryDir out;

    const ProgramRun run = runProgram(home.path(), {u"--backup"_s, number, out.filePath(file)});
    QVERIFY2(run.exitCode == exitCode, qPrintable(run.err));
    QVERIFY2(run.err.contains(reason), qPrintable(run.err));
    const QStringList written = FolderEntries(out.path());
    if (exitCode != 0) {
        QVERIFY(written.isEmpty());
        return;
    }
    QCOMPARE(written, QStringList{file});
    // One line per table, in the order written.
    Connection con(db.params());
    con.open();
    QStringList tableLines;
    for (const QString &line : run.err.split(u'\n', Qt::SkipEmptyParts)) {
        if (line.contains(u" sor"_s))
            tableLines << line.section(u':', 0, 0);
    }
    QCOMPARE(tableLines, con.tableNames());
}

void TestBackupCommandLine::loginRequired_data()
{
    QTest::addColumn<QByteArray>("vanbelep");
    QTest::addColumn<QStringList>("user"); // the --user option and its value, if given
    QTest::addColumn<QByteArray>("input"); // standard input: the password
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("reason");

    const QStringList admin{u"--user"_s, u"admin"_s};
    const QString refused = u"Érvénytelen felhasználó, vagy jelszó"_s;
    QTest::newRow("administrator") << QByteArray("I") << admin << QByteArray("titkos jelszó\n") << 0
                                   << u"A mentés elkészült"_s;
    QTest::newRow("password from a file without a line end")
        << QByteArray("I") << admin << QByteArray("titkos jelszó") << 0 << u"A mentés elkészült"_s;
    QTest::newRow("password with Windows line end")
        << QByteArray("I") << admin << QByteArray("titkos jelszó\r\n") << 0 << u"A mentés elkészült"_s;
    QTest::newRow("no user named") << QByteArray("I") << QStringList() << QByteArray("titkos jelszó\n") << 3
                                   << u"--user"_s;
    QTest::newRow("unknown user") << QByteArray("I") << QStringList{u"--user"_s, u"senki"_s}
                                  << QByteArray("titkos jelszó\n") << 3 << refused;
    QTest::newRow("user in other letter case") << QByteArray("I") << QStringList{u"--user"_s, u"Admin"_s}
                                               << QByteArray("titkos jelszó\n") << 3 << refused;
    QTest::newRow("wrong password") << QByteArray("I") << admin << QByteArray("titkos jelszo\n") << 3
                                    << refused;
    QTest::newRow("no password given") << QByteArray("I") << admin << QByteArray() << 3 << refused;
    QTest::newRow("user without a password")
        << QByteArray("I") << QStringList{u"--user"_s, u"jelszotlan"_s} << QByteArray("\n") << 3 << refused;
    QTest::newRow("not an administrator") << QByteArray("I") << QStringList{u"--user"_s, u"ugyintezo"_s}
                                          << QByteArray("ügyintéző\n") << 3 << u"rendszergazda"_s;
    // Without the log-in rule nobody is asked, as before.
    QTest::newRow("no log-in rule") << QByteArray("N") << QStringList() << QByteArray() << 0
                                    << u"A mentés elkészült"_s;
}

// A database whose users must log in: its backup holds every user's password digest, so only
// an administrator of that database may take one, and a refusal writes nothing.
void TestBackupCommandLine::loginRequired()
{
    REQUIRE_TEST_SERVER();
    QFETCH(QByteArray, vanbelep);
    QFETCH(QStringList, user);
    QFETCH(QByteArray, input);
    QFETCH(int, exitCode);
    QFETCH(QString, reason);
    TestDatabase db;
    // The passwords' accents reach the server as code page 1250, as the log-in window sends them.
    REQUIRE_SQL(db.client("UPDATE beallit SET vanbelep = '" + vanbelep +
                          "';"
                          "INSERT INTO felhasznalo (felhkod, felhasznalo, jelszomd5, rendszergazda) VALUES "
                          "(1, 'admin', MD5('titkos jelsz\xF3'), 'I'),"
                          "(2, 'ugyintezo', MD5('\xFCgyint\xE9z\xF5'), 'N'),"
                          "(3, 'jelszotlan', NULL, 'I');"));
    QTemporaryDir home;
    writeProfiles(home, db);
    QTemporaryDir out;

    const ProgramRun run = runProgram(
        home.path(), QStringList{u"--backup"_s, u"2"_s, out.filePath(u"mentes.sql"_s)} + user, -1, input);
    QVERIFY2(run.exitCode == exitCode, qPrintable(run.err));
    QVERIFY2(run.err.contains(reason), qPrintable(run.err));
    QCOMPARE(FolderEntries(out.path()), exitCode == 0 ? QStringList{u"mentes.sql"_s} : QStringList());
    // The password is no argument, and nothing shows it.
    QVERIFY(!run.err.contains(u"titkos"_s));
}

void TestBackupCommandLine::backupOnFullDisk_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("lastByte"); // the disk takes all of the backup but its last byte; else half
    for (const QString &file : {u"mentes.sql"_s, u"mentes.zip"_s}) {
        QTest::addRow("%s, half way", qPrintable(file)) << file << false;
        QTest::addRow("%s, all but the last byte", qPrintable(file)) << file << true;
    }
}

void TestBackupCommandLine::backupOnFullDisk()
{
    REQUIRE_TEST_SERVER();
    QFETCH(QString, file);
    QFETCH(bool, lastByte);
    TestDatabase db;
    {
        Connection con(db.params());
        con.open();
        FillSample(con);
    }
    QTemporaryDir home;
    writeProfiles(home, db);
    QTemporaryDir out;
    const QString path = out.filePath(file);
    // The size of the backup as an empty disk takes it.
    const ProgramRun first = runProgram(home.path(), {u"--backup"_s, u"2"_s, path});
    QVERIFY2(first.exitCode == 0, qPrintable(first.err));
    const qint64 size = QFileInfo(path).size();
    QVERIFY(size > 1000);
    const QByteArray older = "régi mentés";
    WriteTestFile(path, older);

    const ProgramRun run =
        runProgram(home.path(), {u"--backup"_s, u"2"_s, path}, lastByte ? size - 1 : size / 2);
    QVERIFY2(run.exitCode == 1, qPrintable(run.err));
    QVERIFY2(run.err.contains(u"Hiba: Az állomány nem írható: "_s), qPrintable(run.err));
    QVERIFY2(!run.err.contains(u"A mentés elkészült"_s), qPrintable(run.err));
    QCOMPARE(ReadTestFile(path), older);
    QCOMPARE(FolderEntries(out.path()), QStringList{file});
}

QTEST_GUILESS_MAIN(TestBackupCommandLine)
#include "tst_backupcommandline.moc"
