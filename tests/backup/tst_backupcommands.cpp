#include "backup/backupcommands.h"
#include "backupsample.h"
#include "config/conprofile.h"
#include "db/connection.h"
#include "gui/messagebox.h"
#include "modaldialogs.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

ConnectionProfile profileOf(const TestDatabase &db)
{
    const ConnectionParams params = db.params();
    return {params.database, params.host,     QString::number(params.port),
            params.user,     params.password, u"Teszt"_s};
}

// Types the name into the file dialog as a user does and accepts it; an empty name cancels.
// The dialog's own proposal goes to *proposed. `replacing`: the file is there already, and the
// dialog's question whether to replace it is answered yes.
DialogAnswer chooseFile(const QString &folder, const QString &name, QString *proposed = nullptr,
                        bool replacing = false)
{
    return [folder, name, proposed, replacing](QDialog *modal) {
        auto dialog = qobject_cast<QFileDialog *>(modal);
        QVERIFY(dialog);
        REQUIRE_CHILD(nameBox, QLineEdit, dialog, u"fileNameEdit"_s);
        QVERIFY(nameBox);
        if (proposed)
            *proposed = nameBox->text();
        if (name.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->setDirectory(folder);
        nameBox->setText(name);
        if (replacing) {
            AnswerModal(dialog->windowTitle(), [](QDialog *question) {
                auto box = qobject_cast<QMessageBox *>(question);
                QVERIFY(box && box->button(QMessageBox::Yes));
                box->button(QMessageBox::Yes)->click();
            });
        }
        static_cast<QDialog *>(dialog)->accept();
        QVERIFY(!dialog->isVisible());
    };
}

} // namespace

class TestBackupCommands : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { VerifyNoDialogLeftOpen(); }
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void backupThroughTheSaveDialog_data();
    void backupThroughTheSaveDialog();
    void backupOfUnreachableServer();
    void backupOnFullDisk_data();
    void backupOnFullDisk();
    void restoreAsksFirst_data();
    void restoreAsksFirst();
    void fullBackupReportsTheOutcome_data();
    void fullBackupReportsTheOutcome();
    void fullBackupStops();
};

void TestBackupCommands::backupThroughTheSaveDialog_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("sql") << u"mentes.sql"_s << u"mentes.sql"_s;
    QTest::newRow("zip") << u"mentes.zip"_s << u"mentes.zip"_s;
    QTest::newRow("no extension") << u"mentes"_s << u"mentes.sql"_s;
    QTest::newRow("cancelled") << QString() << QString();
}

void TestBackupCommands::backupThroughTheSaveDialog()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    TestDatabase db;
    QTemporaryDir dir;
    QWidget owner;
    QProgressBar bar(&owner);
    bar.setRange(0, 10);
    bar.setValue(3);
    owner.show();
    QList<int> maxima;
    connect(&bar, &QProgressBar::valueChanged, &bar, [&] { maxima << bar.maximum(); });
    QString proposed;
    const ModalAnswer saveDialog =
        AnswerModal(u"Biztonsági mentés készítés"_s, chooseFile(dir.path(), typed, &proposed));
    MessageBoxRecorder boxes;
    const bool done = MakeBackup(&owner, profileOf(db), &bar);
    QVERIFY(saveDialog.answered());
    QVERIFY2(QRegularExpression(u"^%1-\\d{4}-\\d\\d-\\d\\d-\\d\\d-\\d\\d-\\d\\d$"_s.arg(db.name()))
                 .match(proposed)
                 .hasMatch(),
             qPrintable(proposed));
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(done, !written.isEmpty());
    QCOMPARE(FolderEntries(dir.path()), written.isEmpty() ? QStringList() : QStringList{written});
    // Back to 0 after a backup; a cancelled one leaves the bar alone.
    QCOMPARE(bar.value(), written.isEmpty() ? 3 : 0);
    if (!written.isEmpty()) {
        Connection con(db.params());
        con.open();
        QVERIFY(maxima.contains(int(con.tableNames().size())));
    }
}

void TestBackupCommands::backupOfUnreachableServer()
{
    TestDatabase db;
    ConnectionProfile profile = profileOf(db);
    profile.port = ClosedPort();
    QTemporaryDir dir;
    const ModalAnswer saveDialog =
        AnswerModal(u"Biztonsági mentés készítés"_s, chooseFile(dir.path(), u"m.sql"_s));
    MessageBoxRecorder boxes;
    QVERIFY(!MakeBackup(nullptr, profile, nullptr));
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().first().kind, MessageBoxRecorder::Kind::Error);
    QVERIFY2(boxes.texts().first().startsWith(u"Hiba: "_s), qPrintable(boxes.texts().first()));
    QVERIFY(FolderEntries(dir.path()).isEmpty());
}

void TestBackupCommands::backupOnFullDisk_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("sql") << u"mentes.sql"_s;
    QTest::newRow("zip") << u"mentes.zip"_s;
}

void TestBackupCommands::backupOnFullDisk()
{
    QFETCH(QString, name);
    TestDatabase db;
    {
        Connection con(db.params());
        con.open();
        FillSample(con);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    WriteTestFile(path, "régi mentés");
    // The disk takes half of what the first backup wrote.
    const ModalAnswer firstDialog =
        AnswerModal(u"Biztonsági mentés készítés"_s, chooseFile(dir.path(), name, nullptr, true));
    QVERIFY(MakeBackup(nullptr, profileOf(db), nullptr));
    const QByteArray first = ReadTestFile(path);
    QVERIFY(first.size() > 1000);
    WriteTestFile(path, "régi mentés");

    QWidget owner;
    QProgressBar bar(&owner);
    owner.show();
    const ModalAnswer saveDialog =
        AnswerModal(u"Biztonsági mentés készítés"_s, chooseFile(dir.path(), name, nullptr, true));
    MessageBoxRecorder boxes;
    bool done = true;
    {
        FileSizeLimit full(first.size() / 2);
        done = MakeBackup(&owner, profileOf(db), &bar);
    }
    QVERIFY(saveDialog.answered());
    QVERIFY(!done);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().first().kind, MessageBoxRecorder::Kind::Error);
    QVERIFY2(boxes.texts().first().startsWith(u"Az állomány nem írható: "_s),
             qPrintable(boxes.texts().first()));
    QCOMPARE(ReadTestFile(path), QByteArray("régi mentés"));
    QCOMPARE(FolderEntries(dir.path()), QStringList{name});
    QCOMPARE(bar.value(), 0);
}

void TestBackupCommands::restoreAsksFirst_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestBackupCommands::restoreAsksFirst()
{
    QFETCH(bool, yes);
    TestDatabase source;
    Connection con(source.params());
    con.open();
    FillSample(con);
    QTemporaryDir dir;
    const ModalAnswer saveDialog =
        AnswerModal(u"Biztonsági mentés készítés"_s, chooseFile(dir.path(), u"mentes.zip"_s));
    QVERIFY(MakeBackup(nullptr, profileOf(source), nullptr));

    TestDatabase target;
    Connection restored(target.params());
    restored.open();
    CreateKindsTable(restored);
    const ModalAnswer openDialog = AnswerModal(u"Visszaállítás"_s, chooseFile(dir.path(), u"mentes.zip"_s));
    // The real boxes, so that the confirmation can be looked at.
    QString question;
    const ModalAnswer confirmation = AnswerModal(u"Megerősítés"_s, [&](QDialog *dialog) {
        auto box = qobject_cast<QMessageBox *>(dialog);
        QVERIFY(box);
        question = box->text();
        SaveShot(box, u"restore-confirmation"_s);
        box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
    });
    QString report;
    ModalAnswer reportBox;
    if (yes) {
        reportBox = AnswerModal(u"Üzenet"_s, [&](QDialog *dialog) {
            auto box = qobject_cast<QMessageBox *>(dialog);
            QVERIFY(box);
            report = box->text();
            SaveShot(box, u"restore-report"_s);
            box->accept();
        });
    }
    QCOMPARE(RestoreBackup(nullptr, profileOf(target)), yes);
    QVERIFY(confirmation.answered());
    QVERIFY2(question.contains(u"„%1”"_s.arg(target.name())) && question.contains(u"127.0.0.1"_s),
             qPrintable(question));
    QCOMPARE(restored.query(u"SELECT COUNT(*) FROM iktato"_s).text(0, 0), yes ? u"250"_s : u"0"_s);
    if (yes) {
        QVERIFY(reportBox.verify());
        QVERIFY2(report.startsWith(u"A visszaállítás kész"_s), qPrintable(report));
        QVERIFY(report.contains(u"iktato: 250 sor, a mentésben 250 sor – egyezik"_s));
        QCOMPARE(TableChecksums(restored), TableChecksums(con));
    }
}

void TestBackupCommands::fullBackupReportsTheOutcome_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("message");
    QTest::newRow("right password") << QString() << true << u"A teljes mentés elkészült:\r\n"_s;
    QTest::newRow("wrong password") << u"rossz"_s << false << u"A teljes mentés nem sikerült.\r\n"_s;
}

void TestBackupCommands::fullBackupReportsTheOutcome()
{
    QFETCH(QString, password);
    QFETCH(bool, written);
    QFETCH(QString, message);
    TestDatabase db;
    ConnectionProfile profile = profileOf(db);
    profile.password = password;
    QTemporaryDir dir;
    const ModalAnswer saveDialog =
        AnswerModal(u"Teljes biztonsági mentés készítés"_s, chooseFile(dir.path(), u"teljes"_s));
    MessageBoxRecorder boxes;
    QCOMPARE(MakeFullBackup(nullptr, profile, QString()), written);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().first().kind,
             written ? MessageBoxRecorder::Kind::Info : MessageBoxRecorder::Kind::Error);
    const QString text = boxes.texts().first();
    QVERIFY2(text.startsWith(message), qPrintable(text));
    // A failure names the dump program's own reason.
    QVERIFY2(written || text.contains(u"Access denied"_s), qPrintable(text));
    QCOMPARE(FolderEntries(dir.path()), written ? QStringList{u"teljes.sql"_s} : QStringList());
}

void TestBackupCommands::fullBackupStops()
{
    TestDatabase db;
    Connection locker(db.params());
    locker.open();
    // The dump waits for this lock until the Stop button is pressed.
    locker.exec(u"LOCK TABLES verzio WRITE"_s);
    QTemporaryDir dir;
    const ModalAnswer saveDialog =
        AnswerModal(u"Teljes biztonsági mentés készítés"_s, chooseFile(dir.path(), u"teljes.sql"_s));
    const ModalAnswer running = AnswerModal(u"Teljes mentés"_s, [](QDialog *dialog) {
        QVERIFY(qobject_cast<QProgressDialog *>(dialog));
        SaveShot(dialog, u"full-backup-running"_s);
        auto stop = dialog->findChild<QPushButton *>();
        QVERIFY(stop);
        QCOMPARE(stop->text(), u"Leállítás"_s);
        stop->click();
    });
    MessageBoxRecorder boxes;
    QVERIFY(!MakeFullBackup(nullptr, profileOf(db), u"mariadb-dump"_s));
    locker.exec(u"UNLOCK TABLES"_s);
    QVERIFY(running.answered());
    QCOMPARE(boxes.texts(), QStringList{u"A teljes mentés leállítva, mentés nem készült."_s});
    QVERIFY(FolderEntries(dir.path()).isEmpty());
}

QTEST_MAIN(TestBackupCommands)
#include "tst_backupcommands.moc"
