#pragma once

#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>
#include <functional>

class Connection;
class FlowTabBar;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSplitter;
class QTableView;
class QToolButton;
class RegisterModel;
class RegisterQuery;

// What the main window shows of the register: the committee tabs, the grid with the resolution
// panel beside it, the year tabs, and (placed by the main window in its search panel) the
// search box and the filter label. It owns the register query.
class RegisterView : public QWidget
{
    Q_OBJECT

public:
    explicit RegisterView(Connection *connection, QWidget *parent = nullptr);
    ~RegisterView() override;

    RegisterQuery &registerQuery() { return *m_register; }
    RegisterModel *model() const { return m_model; }
    QTableView *grid() const { return m_grid; }
    QLineEdit *searchEdit() const { return m_searchEdit; }
    QLabel *filterLabel() const { return m_filterLabel; }
    FlowTabBar *yearTabs() const { return m_yearTabs; }
    FlowTabBar *committeeTabs() const { return m_committeeTabs; }
    QWidget *resolutionPanel() const { return m_panel; }
    QLabel *panelHeader() const { return m_panelHeader; }
    QPlainTextEdit *resolutionMemo() const { return m_memo; }

    // Builds the tabs and opens the register on the first year and committee.
    void start();

    // The period filter: `picker` asks the user for the period (true when confirmed).
    using PeriodPicker = std::function<bool(QDate &from, QDate &to)>;
    void setPeriodPicker(PeriodPicker picker) { m_periodPicker = std::move(picker); }
    // Asks for the period starting from `today`; true when the user confirmed it.
    bool filterByPeriod(QDate today);
    void clearPeriodFilter();
    bool periodFilterActive() const;

    void refresh();
    // Closes and opens the query as it is (after a deletion): the first row becomes current.
    void reopen();
    void sortByColumn(int column);
    // Runs the query again and moves to the record (after a save by the editor, say).
    void refreshAndLocate(qint64 recordId);
    qint64 currentId() const;
    // A search or a reading is on its way: the rows shown are the previous ones, or the first of
    // the new ones.
    bool isBusy() const;
    // The newest search or reading has shown its first rows (or failed).
    bool showsNewestRows() const;

    // Width of the resolution panel beside the grid.
    void setPanelWidth(int width);
    bool isPanelShown() const;
    void setPanelShown(bool shown);
    void recomputeColumnWidths();

signals:
    // The current record changed (also after every open): position text "rows: current" and
    // the source names of the three attachments.
    void recordChanged(const QString &position, const QString &file1, const QString &file2,
                       const QString &file3);
    void sortMessage(const QString &text);
    void panelShownChanged(bool shown);
    void editRequested();
    void contextMenuRequested(const QPoint &globalPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setUpGrid();
    void setUpPanel();
    void connectSignals();

    void onYearTabChanged();
    void onCommitteeTabChanged();
    void onSearchTextChanged();
    void runSearch();
    void onReadingApplied(quint64 generation);
    void onReadingFailed(const QString &message, unsigned number);
    void onQueryReset();
    void onCurrentRowChanged(int row);
    void onGridCurrentRowChanged(const QModelIndex &current);
    void clearSearchQuietly();
    void selectInMemo(const QString &text);

    RegisterQuery *m_register;
    RegisterModel *m_model;
    // Placed by the main window in its own search panel, so they may die before this view.
    QPointer<QLineEdit> m_searchEdit;
    QPointer<QLabel> m_filterLabel;
    FlowTabBar *m_committeeTabs;
    FlowTabBar *m_yearTabs;
    QTableView *m_grid;
    QSplitter *m_splitter;
    QWidget *m_panel;
    QLabel *m_panelHeader;
    QToolButton *m_panelCloseButton;
    QPlainTextEdit *m_memo;
    PeriodPicker m_periodPicker;
    bool m_searchPending = false;
    // The newest search and sort readings: what to do once their rows are in.
    quint64 m_searchGeneration = 0;
    QString m_searchText;
    quint64 m_sortGeneration = 0;
    QString m_sortMessage;
    bool m_syncing = false;
    // The panel and the position wait for the rest of the rows.
    bool m_panelWaiting = false;
    // Ctrl+End came while rows were still arriving.
    bool m_lastRowWanted = false;
};

// Tab pictures: the index of the picture each of `tabs` tabs shows from a list of `pictures`
// pictures, after the unused middle of the list is cut away (-1: no picture).
QList<int> TabPictureIndices(int tabs, int pictures);
