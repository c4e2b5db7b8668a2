#pragma once

#include "config/profilelist.h"
#include "gui/remembereddialog.h"

class IniFile;
class ProfileTableModel;
class QAction;
class QFrame;
class QLineEdit;
class QMenu;
class QProgressBar;
class QTableView;
class QToolBar;
class QToolButton;

// The profile manager ("Tárhelyek"): the workstation's connection profiles in a read-only grid,
// kept in memory while the window is open and stored by ManageProfiles when it closes. From here
// the administrator adds, edits, deletes and tests profiles and backs up or restores the
// selected profile's database.
//
// Component names: the grid "DBGrid1", the full-backup panel "Panel2" with its hide button
// "SpeedButton2", the path box "Edit1", the browse button "SpeedButton1" and the run button
// "Button1"; the tool button "Mentes"; the grid's pop-up menu "PopupMenu1"; the progress bar
// "ProgressBar1"; the actions "aUj",
// "aSzerkeszt", "aTorol", "aTeszt", "aBackup", "aMySQLDump", "aTeljesMentes",
// "aVisszaallitas", "aBezar".
class Tfrm_Adatbazis : public RememberedDialog
{
    Q_OBJECT

public:
    // `editorFontSize`: the program-wide font size for the profile editor (the window itself
    // uses 9 points).
    Tfrm_Adatbazis(QList<ProfileRow> rows, const QString &dumpProgram, int editorFontSize,
                   QWidget *parent = nullptr);

    // The rows in the grid's order.
    const QList<ProfileRow> &rows() const;
    QString dumpProgram() const;
    // The grid's current row, -1 when the list is empty.
    int currentRow() const;
    void setCurrentRow(int row);

    QAction *action(const QString &name) const;
    QTableView *grid() const { return m_grid; }
    QFrame *fullBackupPanel() const { return m_fullBackupPanel; }

    // Column widths for a grid of the given width: with W = width - 44, the display name 30 %,
    // the port 10 %, the other four 15 % each, rounded; in the grid's column order.
    static QList<int> ColumnWidths(int gridWidth);

    // The actions' work.
    void newProfile();
    void editProfile();
    void deleteProfile();
    void testConnection();
    void extendDatabase();
    void sortByColumn(int column);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildActions();
    QToolBar *buildToolBar();
    QFrame *buildFullBackupPanel(const QString &dumpProgram);
    void buildGrid();
    void resizeColumns();
    // False (after "Nincs sor kiválasztva.") when the list is empty.
    bool checkRowSelected();
    void onBrowseDumpProgram();
    void runBackup();
    void runFullBackup();
    void runRestore();
    // Runs the handler; an error it raises goes to the general error handler.
    void guarded(const std::function<void()> &handler);

    int m_editorFontSize;
    ProfileTableModel *m_model;
    QList<QAction *> m_actions;
    QTableView *m_grid = nullptr;
    QMenu *m_popup = nullptr;
    QToolButton *m_backupButton = nullptr;
    QFrame *m_fullBackupPanel = nullptr;
    QLineEdit *m_dumpProgramEdit = nullptr;
    QProgressBar *m_progress = nullptr;
};

// Runs the profile manager on the profiles of `ini` and stores the list when it closes, in every
// case: the path box under frm_Adatbazis/MysqlDump, the profiles renumbered ConStr1..ConStrN in
// the grid's order. A store that fails is shown in the error box. The caller has checked the
// administrator right.
void ManageProfiles(IniFile &ini, int fontSize, QWidget *parent = nullptr);
// The same on the workstation's settings file.
void ManageProfiles(int fontSize, QWidget *parent = nullptr);
