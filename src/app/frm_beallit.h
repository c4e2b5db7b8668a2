#pragma once

#include "db/settingsrow.h"
#include "gui/remembereddialog.h"

#include <QStringList>

class Connection;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
struct WorkstationSettings;

// The settings dialog ("Beállítások"): on page "Általános" whether the main window opens full
// screen, whether users must log in with a password, and the printer preselected for reports;
// on page "Dokumentumok" the document store folder, and where this workstation reaches it when
// the database's path names nothing here (a Windows drive). It only shows and collects;
// RunSettings reads and writes. Neither button is the default: Enter moves on from any control
// but a button. Component names: "PageControl1" with "TabSheet1" and "TabSheet2", "CheckBox1"
// (full screen), "DBCheckBox1" (log-in), "ComboBox1" (printer), "DBEdit1" (folder),
// "SpeedButton1" (browse), "localFolderEdit" and "localFolderButton" (the local folder),
// "btnOK", "btnMegsem".
class Tfrm_Beallit : public RememberedDialog
{
    Q_OBJECT

public:
    // `printers`: the names the printer box offers.
    explicit Tfrm_Beallit(const QStringList &printers, QWidget *parent = nullptr);

    void setFullScreen(bool on);
    bool fullScreen() const;
    void setLoginRequired(bool on);
    bool loginRequired() const;
    void setPrinter(const QString &name);
    QString printer() const;
    void setDocumentStore(const QString &folder);
    QString documentStore() const;
    void setLocalFolder(const QString &folder);
    QString localFolder() const;

    // OK with a local folder that cannot be stored keeps the dialog open and says why.
    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildGeneralPage();
    QWidget *buildDocumentsPage();
    QToolButton *browseButton(QLineEdit *edit, const QString &name);
    void browseInto(QLineEdit *edit);

    QTabWidget *m_pages;
    QCheckBox *m_fullScreenCheck = nullptr;
    QCheckBox *m_loginCheck = nullptr;
    QComboBox *m_printerBox = nullptr;
    QLineEdit *m_folderEdit = nullptr;
    QLineEdit *m_localFolderEdit = nullptr;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
};

// The printers installed on the workstation, by name (none is no error).
QStringList InstalledPrinters();

// Runs the settings dialog. The full-screen flag and the printer come from `settings` and go
// back into it on OK only. The `beallit` row is read from the database; an empty document store
// is proposed as the data folder + "/Dok", and the row is written only on OK, and then only the
// fields that changed. The local folder mapped to the store path is read from the settings file
// and written back on OK (a failed write is shown). True on OK. A database error is thrown
// (DbError).
bool RunSettings(Connection &con, WorkstationSettings &settings, int fontSize, QWidget *parent = nullptr,
                 const QStringList &printers = InstalledPrinters());
