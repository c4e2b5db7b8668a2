#include "backupcommands.h"

#include "backupfile.h"
#include "common/paths.h"
#include "config/conprofile.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/profileparams.h"
#include "fulldump.h"
#include "gui/busycursor.h"
#include "gui/messagebox.h"
#include "restore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QString>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

const QString SqlFilter = u"SQL file (*.sql)"_s;
const QString ZipFilter = u"Tömörített SQL file (*.zip)"_s;

// The save dialog of both backups: the proposed name in the documents folder; a name typed
// without an extension gets the one of the filter chosen.
QString askSavePath(QWidget *parent, const QString &title, const QStringList &filters,
                    const ConnectionProfile &profile)
{
    QFileDialog dialog(parent, title);
    dialog.setObjectName(u"SaveDialog1"_s);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(u"sql"_s);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
        dialog.setDefaultSuffix(filter == ZipFilter ? u"zip"_s : u"sql"_s);
    });
    if (!DocumentsPath().isEmpty())
        dialog.setDirectory(DocumentsPath());
    dialog.selectFile(ProposedBackupName(profile.database, QDateTime::currentDateTime()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

// Opens the profile's connection; on failure shows "Hiba: " with the reason and gives false.
bool openProfile(QWidget *parent, const ConnectionProfile &profile, Connection &con)
{
    try {
        BusyCursor busy;
        con.setParams(ProfileConnectionParams(profile));
        con.open();
        return true;
    } catch (const DbError &error) {
        ShowErrorBox(u"Hiba: "_s + error.message(), parent);
        return false;
    }
}

// A modal progress window with a Stop button, for work that runs on this thread and lets the
// window's events through between its steps.
class StopDialog
{
public:
    StopDialog(QWidget *parent, const QString &objectName, const QString &caption, const QString &label,
               int maximum)
        : m_dialog(label, u"Leállítás"_s, 0, maximum, parent)
    {
        m_dialog.setObjectName(objectName);
        m_dialog.setWindowTitle(caption);
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setAutoReset(false);
        m_dialog.setAutoClose(false);
        m_dialog.setMinimumDuration(0);
        m_dialog.setMinimumWidth(400);
        m_dialog.setValue(0);
        m_dialog.show();
        QCoreApplication::processEvents();
    }
    // Lets the window paint and the Stop button work; false once Stop was pressed.
    bool keepGoing(int value = -1)
    {
        if (value >= 0 && value != m_dialog.value())
            m_dialog.setValue(value);
        QCoreApplication::processEvents();
        return !m_dialog.wasCanceled();
    }

private:
    QProgressDialog m_dialog;
};

} // namespace

bool MakeBackup(QWidget *parent, const ConnectionProfile &profile, QProgressBar *progress)
{
    const QString path =
        askSavePath(parent, u"Biztonsági mentés készítés"_s, {SqlFilter, ZipFilter}, profile);
    if (path.isEmpty())
        return false;
    Connection con;
    if (!openProfile(parent, profile, con))
        return false;
    struct ResetProgress
    {
        QProgressBar *bar;
        ~ResetProgress()
        {
            if (bar)
                bar->setValue(0);
        }
    } reset{progress};
    try {
        BusyCursor busy;
        WriteBackupFile(con, path, [progress](int index, int count) {
            if (!progress)
                return;
            progress->setMaximum(count);
            progress->setValue(index);
        });
    } catch (const ArchiveError &error) {
        ShowErrorBox(u"Hiba az archiválás közben\r\n"_s + error.message() +
                         (error.scriptPath().isEmpty() ? QString() : u"\r\n"_s + error.scriptPath()),
                     parent);
        return false;
    } catch (const std::exception &error) {
        ShowException(error, parent);
        return false;
    }
    return true;
}

bool MakeFullBackup(QWidget *parent, const ConnectionProfile &profile, const QString &dumpProgram)
{
    const QString program = FindDumpProgram(dumpProgram);
    if (program.isEmpty()) {
        ShowErrorBox(
            u"A mentőprogram nem található: sem a mariadb-dump, sem a mysqldump nincs a keresési útvonalon."_s,
            parent);
        return false;
    }
    ConnectionParams params;
    try {
        params = ProfileConnectionParams(profile);
    } catch (const DbError &error) {
        ShowErrorBox(u"Hiba: "_s + error.message(), parent);
        return false;
    }
    const QString path = askSavePath(parent, u"Teljes biztonsági mentés készítés"_s, {SqlFilter}, profile);
    if (path.isEmpty())
        return false;
    DumpOutcome outcome;
    {
        StopDialog running(parent, u"DumpProgress"_s, u"Teljes mentés"_s,
                           u"A(z) %1 adatbázis teljes mentése folyamatban…"_s.arg(profile.database), 0);
        outcome = RunFullDump(program, params, path, [&running] { return running.keepGoing(); });
    }
    switch (outcome.status) {
    case DumpOutcome::Status::Done:
        ShowInfoBox(u"A teljes mentés elkészült:\r\n"_s + QDir::toNativeSeparators(path), parent);
        return true;
    case DumpOutcome::Status::Stopped:
        ShowWarningBox(u"A teljes mentés leállítva, mentés nem készült."_s, parent);
        return false;
    case DumpOutcome::Status::Failed: break;
    }
    ShowErrorBox(u"A teljes mentés nem sikerült.\r\n"_s + outcome.errorText, parent);
    return false;
}

bool RestoreBackup(QWidget *parent, const ConnectionProfile &profile)
{
    QFileDialog dialog(parent, u"Visszaállítás"_s);
    dialog.setObjectName(u"OpenDialog1"_s);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({u"Mentés (*.sql *.zip)"_s, SqlFilter, ZipFilter});
    if (!DocumentsPath().isEmpty())
        dialog.setDirectory(DocumentsPath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString path = dialog.selectedFiles().constFirst();

    if (!ConfirmBox(u"Valóban betöltsem a(z) %1 mentést a(z) „%2” adatbázisba a(z) %3 kiszolgálón?\r\n"
                    "A mentésben szereplő táblák mostani tartalma elvész."_s.arg(
                        QFileInfo(path).fileName(), profile.database, profile.host),
                    parent))
        return false;
    Connection con;
    if (!openProfile(parent, profile, con))
        return false;

    RestoreReport report;
    try {
        StopDialog running(parent, u"RestoreProgress"_s, u"Visszaállítás"_s,
                           u"A mentés betöltése: %1"_s.arg(QFileInfo(path).fileName()), 1000);
        report = RestoreBackupFile(con, path, [&running](qint64 done, qint64 total) {
            return running.keepGoing(total > 0 ? int(qMin<qint64>(1000, done * 1000 / total)) : 0);
        });
    } catch (const DbError &error) {
        ShowErrorBox(u"Hiba: "_s + error.message() + u"\r\nA visszaállítás félbemaradt."_s, parent);
        return false;
    }
    const QString text = RestoreReportText(report);
    if (report.stopped || !report.allMatch()) {
        ShowWarningBox(text, parent);
        return false;
    }
    ShowInfoBox(text, parent);
    return true;
}
