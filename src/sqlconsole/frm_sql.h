#pragma once

#include "db/query.h"
#include "db/table.h"
#include "sqlfiles.h"
#include "sqlrun.h"

#include <QDialog>
#include <exception>
#include <functional>
#include <memory>

class ConsoleSession;
struct ConnectionParams;
class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTableView;
class QToolBar;
class ResultGridModel;
class SqlEditor;

// The SQL console ("SQL lekérdezés"): an editor, files of SQL text, and three ways of running
// what is typed: a query whose rows are shown, a table opened for editing in place ("table:
// name" as the first line), or a script executed statement by statement. The result can be
// copied to the clipboard or exported.
//
// It works on a connection of its own to the server and database of the parameters it is given
// (ConsoleSession), so nothing done in it reaches the program's connection. Every query, table
// and script runs off the window's thread: the window keeps answering, rows show as they
// arrive, and "Megállít" stops the statement on the server.
//
// Component names: the pages "PageControl1" ("SQL", "Eredmény"), the editor "Memo1", the grid
// "DBGrid1", the progress bar "ProgressBar1" with the stop button "btnMegallit", the status bar
// "StatusBar1", the tool bar "ToolBar1", the pop-up menus "PopupMenu1" (editor) and
// "PopupMenu2" (grid); the actions keep their names ("aFuttat", ...).
class Tfrm_SQL : public QDialog
{
    Q_OBJECT
public:
    enum ActionId {
        New,
        Open,
        Save,
        Run,
        RunQuery,
        Export,
        Copy,
        SwitchPage,
        Close,
        DeleteRow,
        NewRow,
        ActionCount
    };

    // Opens the console's connection; throws DbError when the server refuses it.
    explicit Tfrm_SQL(const ConnectionParams &params, QWidget *parent = nullptr);
    ~Tfrm_SQL() override;

    QAction *action(ActionId id) const { return m_actions[id]; }
    SqlEditor *editor() const { return m_editor; }
    QTableView *grid() const { return m_grid; }
    QTabWidget *pages() const { return m_pages; }
    QProgressBar *progressBar() const { return m_progressBar; }
    QPushButton *stopButton() const { return m_stopButton; }
    QLabel *positionLabel() const { return m_positionLabel; }
    QMenu *editorMenu() const { return m_editorMenu; }
    QMenu *gridMenu() const { return m_gridMenu; }
    QToolBar *toolBar() const { return m_toolBar; }
    Query &query() { return m_query; }
    Table &table() { return m_table; }
    // The file last opened or saved; empty until then.
    const QString &fileName() const { return m_fileName; }
    // A query, a table or a script is running.
    bool isRunning() const { return m_running; }

    // The actions' work (F5, F9, files, copy, export, Ctrl+Tab).
    void run();
    void runAsQuery();
    void newFile();
    void openFile();
    void saveFile();
    // The same without the dialogs.
    void loadFile(const QString &path);
    void saveFileAs(const QString &path);
    void copyResult();
    void exportResult();
    void switchPage();
    void deleteRow();
    // A new row below the table's rows, written when the user leaves it.
    void addRow();
    // "Megállít": the statement running on the server is stopped, and a script ends there.
    void stopRunning();

    // Closing while something runs stops it; the window closes when the run has ended.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Shown { Nothing, Query, Table };

    void buildActions();
    void buildLayout();
    void buildMenus();
    void buildPages();
    void buildProgressPanel();
    void buildStatusBar();
    void buildGrid();
    QAction *makeAction(ActionId id, const char *name, const QString &caption, const QIcon &icon,
                        const QList<QKeySequence> &keys, void (Tfrm_SQL::*work)());
    void runPlan(const RunPlan &plan, bool narrowOnly);
    void openTable(const QString &name);
    void openQuery(const QString &sql, bool narrowOnly);
    void runScript(const QStringList &lines);
    // Ends of the runs, on the window's thread.
    void readTable(const QString &name, bool again);
    void tableRead(const std::shared_ptr<Table> &table, std::exception_ptr failure, bool again);
    void queryPartArrived(const std::shared_ptr<ResultSet> &part, bool last);
    void queryFailed(const QString &message, unsigned number);
    void scriptEnded(const ScriptRunner::Outcome &outcome, std::exception_ptr failure);
    void runEnded();
    void detachGrid();
    void showResult();
    void setColumnWidths(bool narrowOnly);
    void datasetOpened();
    bool shownDatasetOpen() const;
    void onGridRowChanged(int row);
    void updatePosition();
    void setRunning(bool running);
    void showTableActions(bool shown);
    void postNewRow();
    // Asks what a close would lose: typed SQL not saved to a file, an open transaction.
    bool mayClose();

    std::unique_ptr<ConsoleSession> m_session;
    Query m_query;
    Table m_table;
    Shown m_shown = Shown::Nothing;
    QString m_fileName;
    SqlFileEncoding m_fileEncoding = SqlFileEncoding::Cp1250;
    bool m_textSaved = true; // the editor's text is in a file, or was never typed
    bool m_running = false;
    bool m_datasetOpened = false;
    bool m_closeWhenStopped = false;
    bool m_narrowOnly = false;
    bool m_firstPart = true;
    int m_closeResult = Rejected;
    bool m_boundsLoaded = false;
    int m_keptRow = -1;
    int m_keptColumn = -1;

    QAction *m_actions[ActionCount] = {};
    QMenuBar *m_menuBar = nullptr;
    QToolBar *m_toolBar = nullptr;
    QTabWidget *m_pages = nullptr;
    SqlEditor *m_editor = nullptr;
    QTableView *m_grid = nullptr;
    ResultGridModel *m_model = nullptr;
    QMenu *m_editorMenu = nullptr;
    QMenu *m_gridMenu = nullptr;
    QWidget *m_progressPanel = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QPushButton *m_stopButton = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QLabel *m_positionLabel = nullptr;
};

// Opens the console modally, on a connection of its own with the parameters of the program's, with
// the program-wide font size for everything but the editor; the window is made anew for each
// opening. A connection the server refuses is reported in the error box.
void OpenSqlConsole(const ConnectionParams &params, int fontSize, QWidget *parent = nullptr);
