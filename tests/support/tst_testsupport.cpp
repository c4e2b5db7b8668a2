#include "modaldialogs.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// Set in the environment of the child process that runs SupportCases instead of TestSupport.
constexpr const char *CasesVariable = "ORVANTH_SUPPORT_CASES";

// Runs a dialog with exec() as the code under test would.
int RunDialog(const QString &caption)
{
    QDialog dialog;
    dialog.setWindowTitle(caption);
    return dialog.exec();
}

struct ChildRun
{
    int exitCode = -1;
    QString output;
};

// Runs SupportCases (all of them, or the one named) in a child process of this executable, with
// ORVANTH_TEST_MARIADB_DIR set to `serverFolder` or, when that is null, unset.
ChildRun RunCases(const QString &function, const QString &serverFolder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(CasesVariable), u"1"_s);
    env.remove(u"ORVANTH_TEST_MARIADB_DIR"_s);
    if (!serverFolder.isNull())
        env.insert(u"ORVANTH_TEST_MARIADB_DIR"_s, serverFolder);
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                function.isEmpty() ? QStringList() : QStringList{function});
    ChildRun run;
    if (!child.waitForFinished(60000) || child.exitStatus() != QProcess::NormalExit) {
        child.kill();
        child.waitForFinished();
        run.output = u"(the child did not end normally)\n"_s;
    } else {
        run.exitCode = child.exitCode();
    }
    run.output += QString::fromUtf8(child.readAll());
    return run;
}

// "PASS", "FAIL" or "SKIP" as the child's log gives the verdict of SupportCases::function.
QString Verdict(const QString &output, const QString &function)
{
    const QRegularExpression line(u"^(PASS|FAIL!|SKIP) *: SupportCases::"_s + function + u"\\(\\)"_s,
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(output);
    return match.hasMatch() ? match.captured(1).remove(u'!') : QString();
}

} // namespace

// Cases that the self-test runs in a child process and whose verdicts it reads; several of them
// are meant to fail.
class SupportCases : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { VerifyNoDialogLeftOpen(); }
    void dialogNeverComes();
    void nextDialogNeverComes();
    void otherDialogComesInstead();
    void dialogsComeAndAreAnswered();
    void dialogOpenedLater();
    void databaseTest();
    void missingChild();
    void childFound();
    void failedStatement();
    void dialogLeftOpen();
};

void SupportCases::dialogNeverComes()
{
    const ModalAnswer never = AnswerModal(
        u"Soha"_s, [](QDialog *dialog) { dialog->accept(); }, 200);
}

void SupportCases::nextDialogNeverComes()
{
    const ModalAnswer first = AnswerModal(u"Első"_s, [](QDialog *dialog) {
        AnswerModal(
            u"Második"_s, [](QDialog *next) { next->accept(); }, 200);
        dialog->accept();
    });
    QCOMPARE(RunDialog(u"Első"_s), int(QDialog::Accepted));
}

void SupportCases::otherDialogComesInstead()
{
    const ModalAnswer expected = AnswerModal(
        u"Várt"_s, [](QDialog *dialog) { dialog->accept(); }, 200);
    // Held in its exec() until the expectation gives up and closes it.
    RunDialog(u"Másik"_s);
}

void SupportCases::dialogsComeAndAreAnswered()
{
    QString second;
    ModalAnswer first = AnswerModal([&second](QDialog *dialog) {
        AnswerModal(u"Második"_s, [&second](QDialog *next) {
            second = next->windowTitle();
            next->accept();
        });
        dialog->reject();
    });
    QCOMPARE(RunDialog(u"Első"_s), int(QDialog::Rejected));
    QCOMPARE(RunDialog(u"Második"_s), int(QDialog::Accepted));
    QVERIFY(first.answered());
    QVERIFY(first.verify());
    QCOMPARE(second, u"Második"_s);
}

void SupportCases::dialogOpenedLater()
{
    ModalAnswer later = AnswerModal(u"Később"_s, [](QDialog *dialog) { dialog->accept(); });
    QTimer::singleShot(100, [] { RunDialog(u"Később"_s); });
    QVERIFY(!later.answered());
    QVERIFY(later.verify()); // waits for it
}

void SupportCases::databaseTest()
{
    REQUIRE_TEST_SERVER();
    QVERIFY(TestServer::isAvailable());
}

void SupportCases::missingChild()
{
    QDialog dialog;
    dialog.setObjectName(u"frm_Proba"_s);
    REQUIRE_CHILD(button, QPushButton, &dialog, u"btnNincs"_s);
    button->click();
    QFAIL("went on past a missing child");
}

void SupportCases::childFound()
{
    QDialog dialog;
    auto *button = new QPushButton(&dialog);
    button->setObjectName(u"btnOK"_s);
    REQUIRE_CHILD(found, QPushButton, &dialog, u"btnOK"_s);
    QCOMPARE(found, button);
}

void SupportCases::failedStatement()
{
    REQUIRE_TEST_SERVER();
    TestDatabase db;
    REQUIRE_SQL(db.client("SELECT * FROM nincs_ilyen_tabla;"));
    QFAIL("went on past a failed statement");
}

void SupportCases::dialogLeftOpen()
{
    auto *dialog = new QDialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(u"Nyitva maradt"_s);
    dialog->setModal(true);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
}

// The test-support module itself: a modal dialog that a test expects and that never comes fails
// that test and no other; a database test fails when the promised server is gone; screenshots
// are written only when a folder is named.
class TestSupport : public QObject
{
    Q_OBJECT

private slots:
    void verdicts_data();
    void verdicts();
    void failureStaysWithItsTest();
    void modalWatchClosesWhatOpens();
    void shotsOnlyIntoTheNamedFolder();

private:
    QTemporaryDir m_dir;
};

void TestSupport::verdicts_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("serverFolder");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<QString>("message");

    const QString gone = m_dir.filePath(u"gone"_s);
    QTest::newRow("dialog never comes") << u"dialogNeverComes"_s << QString() << u"FAIL"_s
                                        << u"No modal dialog \"Soha\" appeared within 200 ms"_s;
    QTest::newRow("dialog expected by an answer never comes")
        << u"nextDialogNeverComes"_s << QString() << u"FAIL"_s
        << u"No modal dialog \"Második\" appeared within 200 ms"_s;
    QTest::newRow("another dialog comes instead")
        << u"otherDialogComesInstead"_s << QString() << u"FAIL"_s
        << u"No modal dialog \"Várt\" appeared within 200 ms (\"Másik\" was open instead)"_s;
    QTest::newRow("dialogs come and are answered")
        << u"dialogsComeAndAreAnswered"_s << QString() << u"PASS"_s << QString();
    QTest::newRow("dialog opened later") << u"dialogOpenedLater"_s << QString() << u"PASS"_s << QString();
    QTest::newRow("promised server gone")
        << u"databaseTest"_s << gone << u"FAIL"_s
        << u"The private MariaDB server promised by ORVANTH_TEST_MARIADB_DIR is not running"_s;
    QTest::newRow("no server promised") << u"databaseTest"_s << QString() << u"SKIP"_s
                                        << u"No private MariaDB server: run the tests through ctest"_s;
    QTest::newRow("missing child") << u"missingChild"_s << QString() << u"FAIL"_s
                                   << u"No QPushButton \"btnNincs\" in QDialog \"frm_Proba\""_s;
    QTest::newRow("child found") << u"childFound"_s << QString() << u"PASS"_s << QString();
    QTest::newRow("dialog left open") << u"dialogLeftOpen"_s << QString() << u"FAIL"_s
                                      << u"Modal window left open: \"Nyitva maradt\" (QDialog)"_s;
    if (TestServer::isAvailable())
        QTest::newRow("failed statement") << u"failedStatement"_s << TestServer::folder() << u"FAIL"_s
                                          << u"nincs_ilyen_tabla' doesn't exist"_s;
}

void TestSupport::verdicts()
{
    QFETCH(QString, function);
    QFETCH(QString, serverFolder);
    QFETCH(QString, verdict);
    QFETCH(QString, message);

    const ChildRun run = RunCases(function, serverFolder);
    QVERIFY2(run.output.contains(u"Totals:"_s), qPrintable(run.output));
    QVERIFY2(Verdict(run.output, function) == verdict, qPrintable(run.output));
    QVERIFY2(run.output.contains(message), qPrintable(run.output));
    QCOMPARE(run.exitCode, verdict == u"FAIL"_s ? 1 : 0);
    QVERIFY2(!run.output.contains(u"went on past"_s), qPrintable(run.output));
    if (verdict == u"FAIL"_s && function != u"databaseTest"_s) {
        // The failure points at the line of the test that expected the dialog.
        const QRegularExpression location(u"Loc: \\[[^\\]]*tst_testsupport\\.cpp\\(\\d+\\)\\]"_s);
        QVERIFY2(location.match(run.output).hasMatch(), qPrintable(run.output));
    }
}

// All cases in one run: each failure is told once, under the case that expected the dialog, and
// the cases after it pass.
void TestSupport::failureStaysWithItsTest()
{
    const ChildRun run = RunCases(QString(), QString());
    const QStringList failing{u"dialogNeverComes"_s, u"nextDialogNeverComes"_s, u"otherDialogComesInstead"_s,
                              u"missingChild"_s, u"dialogLeftOpen"_s};
    for (const QString &function : failing)
        QVERIFY2(Verdict(run.output, function) == u"FAIL"_s, qPrintable(function + u'\n' + run.output));
    for (const QString &function : {u"dialogsComeAndAreAnswered"_s, u"dialogOpenedLater"_s, u"childFound"_s})
        QVERIFY2(Verdict(run.output, function) == u"PASS"_s, qPrintable(function + u'\n' + run.output));
    QCOMPARE(run.output.count(u"FAIL!"_s), failing.size());
    QVERIFY2(run.output.contains(u"Totals: 5 passed, 5 failed, 2 skipped"_s), qPrintable(run.output));
    QCOMPARE(run.exitCode, failing.size());
}

void TestSupport::modalWatchClosesWhatOpens()
{
    QDialog before;
    before.setWindowTitle(u"Már nyitva"_s);
    before.setModal(true);
    before.show();
    QVERIFY(QTest::qWaitForWindowExposed(&before));
    ModalWatch watch;
    QCOMPARE(RunDialog(u"Kérdés"_s), int(QDialog::Rejected));
    QCOMPARE(watch.seen(), QStringList{u"Kérdés"_s});
    QVERIFY(before.isVisible());
}

void TestSupport::shotsOnlyIntoTheNamedFolder()
{
    const QByteArray previous = qgetenv("ORVANTH_SHOTS");
    const bool hadPrevious = qEnvironmentVariableIsSet("ORVANTH_SHOTS");
    const QString folder = m_dir.filePath(u"shots"_s);
    QWidget window;
    window.resize(120, 80);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    qputenv("ORVANTH_SHOTS", QFile::encodeName(folder));
    SaveShot(&window, u"ablak"_s);
    qunsetenv("ORVANTH_SHOTS");
    SaveShot(&window, u"nincs"_s);
    if (hadPrevious)
        qputenv("ORVANTH_SHOTS", previous);

    const QImage shot(QDir(folder).filePath(u"ablak.png"_s));
    QCOMPARE(shot.size(), window.grab().size());
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{u"ablak.png"_s});
    QVERIFY(!QFile::exists(u"/tmp/shots/nincs.png"_s));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(CasesVariable)) {
        SupportCases cases;
        return QTest::qExec(&cases, argc, argv);
    }
    TestSupport test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_testsupport.moc"
