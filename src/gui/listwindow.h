#pragma once

#include "gui/remembereddialog.h"
#include "querytablemodel.h"

#include <QKeySequence>
#include <functional>

class Connection;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QStatusBar;
class QTableView;
class QToolBar;
class Query;

// The list windows of the program (committees, subjects, users, profiles) are one machinery
// with different settings: a tool bar of standard actions, a heading panel with the search box,
// a read-only grid over a query, and a status bar with the position "rows: current".
//
// The keyboard scheme is the same everywhere: a letter or digit typed in the grid starts the
// search box with that character in lower case; Page Up, Page Down, Up and Down in the search box
// go back to the grid (StartsGridSearch decides what counts as typing). Entering the search box
// selects its text. The window remembers its bounds under its component name
// (Config::objectName). Component names: the search box "Edit1", the grid "DBGrid1", the actions
// "aUj", "aSzerkeszt", "aTorol", "aKeres", "aElfogad", "aBezar".
//
// A window class derives from ListWindow, fills a Config, connects the actions it uses (New,
// Edit, Delete; Search, Accept and Close work by themselves) and calls open(). Its free routine
// creates the window, runs exec() and does the database work.
class ListWindow : public RememberedDialog
{
    Q_OBJECT

public:
    enum StdAction { New, Edit, Delete, Search, Accept, Close, ActionCount };

    struct Config
    {
        // Component name: the settings section of the window's bounds.
        QString objectName;
        QString caption;
        // The heading panel's text, right-aligned in bold. The panel holds the search box too;
        // it is left out when there is neither a heading nor a search box.
        QString heading;
        QSize defaultSize{502, 441};
        // The query's SQL lines; a search rewrites its WHERE line to
        // "WHERE " + baseCondition + searchTerms(text).
        QStringList sql;
        QString baseCondition;
        QList<QueryTableModel::Column> columns;
        // Grid column shaded with the highlight colour; -1 for none.
        int highlightColumn = 0;
        // Columns of width 0 share the grid's width minus this margin.
        int stretchMargin = 44;
        bool hasSearchEdit = true;
        // Terms appended to the base condition for a search text ("" for none); LikeAllWords or
        // LikeAnyColumn over the name column, usually.
        std::function<QString(const QString &text)> searchTerms;
        // After a search the list moves to the first row whose field begins with the search text
        // (letter case ignored); when none does it stays on the first row.
        QString searchField;
        // A click on a column title moves the focus to the search box.
        bool titleClickSearches = true;
        // Key field of a row (currentId(), locateId()).
        QString idField;
        // The actions of the grid's pop-up menu, in order (the tool bar always holds New, Edit,
        // Delete, a separator, Accept and Close; hidden actions leave no button).
        QList<StdAction> popupActions{New, Edit, Delete, Search, Accept, Close};
        // The action that a double click (and Enter, when it is that action's shortcut) runs.
        StdAction doubleClickAction = Edit;
    };

    ListWindow(Connection &connection, Config config, QWidget *parent = nullptr);
    ~ListWindow() override;

    // The standard actions: New "Új sor" (Insert), Edit "Szerkeszt" (F2), Delete "Töröl"
    // (Ctrl+Del), Search "Kereső" (Ctrl+F), Accept "Elfogad" (Enter), Close "Bezár" (Esc).
    // A window changes captions, hints and shortcuts through the QAction.
    QAction *action(StdAction which) const { return m_actions[which]; }
    // Hides and disables an action (its button and menu item disappear, its shortcut is off).
    void setActionShown(StdAction which, bool shown);
    void setDoubleClickAction(StdAction which) { m_config.doubleClickAction = which; }
    // Runs `handler` when the action is triggered; an error it raises is shown by the general
    // error handler (ShowCurrentException) and the window stays open.
    void onAction(StdAction which, std::function<void()> handler);

    // Whether the user may change rows. checkChangeRight() shows "Nincs jogosultság a
    // művelethez." and returns false without it.
    void setChangeRight(bool right) { m_changeRight = right; }
    bool changeRight() const { return m_changeRight; }
    bool checkChangeRight();
    // The checks the windows' edit and delete share: checkRowSelected() shows "Nincs sor
    // kiválasztva." and returns false on an empty list; confirmRowDelete() asks "Valóban
    // töröljem a sort?" (caption "Megerősítés") and returns the answer.
    bool checkRowSelected();
    bool confirmRowDelete();

    // Point size for the window and the search box; 0 or less keeps the inherited font.
    void setFontSize(int pointSize);

    Connection &connection() const { return m_connection; }
    const Config &config() const { return m_config; }
    Query *query() const { return m_query; }
    QueryTableModel *model() const { return m_model; }
    QTableView *grid() const { return m_grid; }
    QLineEdit *searchEdit() const { return m_searchEdit; }
    QLabel *headingLabel() const { return m_headingLabel; }
    QLabel *positionLabel() const { return m_positionLabel; }
    QStatusBar *statusBar() const { return m_statusBar; }
    QToolBar *toolBar() const { return m_toolBar; }
    QMenu *popupMenu() const { return m_popup; }

    // Opens the query with the base condition (no search).
    void open();
    // Runs the query again; stays on the same row number.
    void reread();
    bool isEmpty() const;
    QVariant currentValue(const QString &field) const;
    // Key of the current row (Config::idField), `defaultValue` when there is none.
    int currentId(int defaultValue = -1) const;
    // Moves to the row whose key equals `id`; false (position unchanged) when there is none.
    bool locateId(int id);
    // Moves to the first row whose field equals the value; false when there is none.
    bool locate(const QString &field, const QVariant &value);
    // After a row was saved: runs the query again and moves to the row whose key
    // (Config::idField) is `key`.
    void rereadAt(const QVariant &key);

    // The search as typing runs it: rewrite the WHERE line, open, move to the first row that
    // begins with the text.
    void runSearch(const QString &text);
    // Focus to the search box (the Search action).
    void focusSearchEdit();

protected:
    // Sets the grid's column widths; called whenever the grid is resized. The default gives
    // every column of width 0 the grid's width minus Config::stretchMargin (shared equally).
    virtual void resizeColumns();

    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildActions();
    void buildLayout();
    QWidget *buildHeadingPanel();
    void buildGrid();
    void buildStatusBar();
    void onGridCurrentChanged(const QModelIndex &current);
    void onGridDoubleClicked();
    bool onGridKeyPressed(QKeyEvent *event);
    void onSearchEditTextChanged(const QString &text);
    bool onSearchEditKeyPressed(QKeyEvent *event);
    void onQueryRowChanged(int row);
    void onQueryReset();
    void onAcceptTriggered();
    void updatePosition();

    Connection &m_connection;
    Config m_config;
    Query *m_query;
    QueryTableModel *m_model;
    QAction *m_actions[ActionCount] = {};
    QToolBar *m_toolBar = nullptr;
    QMenu *m_popup = nullptr;
    QLineEdit *m_searchEdit = nullptr;
    QLabel *m_headingLabel = nullptr;
    QTableView *m_grid = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QLabel *m_positionLabel = nullptr;
    bool m_changeRight = false;
    bool m_syncing = false;
};
