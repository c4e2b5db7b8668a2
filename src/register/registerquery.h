#pragma once

#include "db/query.h"
#include "registerdetails.h"
#include "registerstatement.h"

#include <QDate>
#include <QObject>
#include <QStringList>
#include <atomic>
#include <memory>
#include <optional>

class Connection;
class RegisterFetcher;
struct RegisterAnswer;

// The register's list: four independent selections (year tab, period, committee tab, search
// text) and the order, kept as a RegisterFilter. Every change reads the rows again with the
// statement made from it; query().sql() shows that statement's lines.
//
// The rows are read on a thread of their own (RegisterFetcher) and only with the columns the
// grid shows: until they arrive the query keeps the rows it had, and a newer change makes an
// older reading stale. The other columns of the current record (the full resolution text, the
// attachments) are read by its key when asked for, together with those of its neighbours.
// statement() selects every column, so a copy of it (the list report) gets whole rows.
class RegisterQuery : public QObject
{
    Q_OBJECT

public:
    static const QString AllTab; // "Összes"

    // The columns the grid's rows are read with: the key, the grid's columns, the status (for
    // the colours) and the number's sort key.
    static const QString GridColumns;

    explicit RegisterQuery(Connection *connection, QObject *parent = nullptr);
    ~RegisterQuery() override;

    Query &query() { return m_query; }
    const Query &query() const { return m_query; }

    // Reads the year and committee lists (tab texts, each ending with "Összes").
    QStringList loadYearTabs();
    QStringList loadCommitteeTabs();

    // The initial state: conditions from the first tab of each list, the query opened.
    void start(const QString &firstYearTab, const QString &firstCommitteeTab, bool committeeIsAll);

    void setYearTab(const QString &tabText);
    void setCommitteeTab(const QString &tabText, bool isAll);
    void setPeriod(QDate from, QDate to);
    void clearPeriod();
    // Each of the following starts a reading and returns its number (see applied()).
    // Runs the search for the text and moves to the first row whose sort field begins with it.
    quint64 search(const QString &text);
    // Orders by the field (ascending) and stays on the record that was current.
    quint64 sortBy(const QString &field);
    // Runs the query again and stays on the record that was current.
    quint64 refresh();
    // Runs the query again and moves to the record (or, when it is gone, stays on the one that
    // was current).
    quint64 refreshAndLocate(qint64 recordId);
    // Runs the query again from its first row.
    quint64 reopenAsIs();
    // Runs the query with the year, period and committee conditions, without a search.
    quint64 reapply();
    // Moves to the record with the id; false (first row stays current) when it is not listed.
    bool locateId(qint64 recordId);
    qint64 currentId() const;

    // A reading is on its way: the rows shown are those of the previous one, or the first part
    // of its own while the rest is still coming.
    bool isBusy() const { return m_busy; }
    // The newest reading has shown its first rows, but more are coming: the row count is not
    // final yet.
    bool rowsArriving() const { return m_rowsArriving; }
    // The newest reading's rows (its first part at least) are in the query, or it failed.
    bool hasNewestRows() const { return m_newestRowsIn; }
    // The number of the newest reading.
    quint64 generation() const { return m_generation; }
    // Whether currentText() can answer for a column outside the grid without asking the server.
    bool knowsCurrentDetails() const;
    // What is listed, with every column.
    RegisterStatement statement() const { return RegisterStatement(m_filter); }
    // The SQL the rows are read with: the statement with only the grid's columns.
    QString gridSql() const { return statement().withColumns(GridColumns).sql(); }
    // A column of the current record, also one the grid's rows were not read with; empty for
    // NULL and when there is no current record.
    QString currentText(const QString &field);
    // Opens `rows` on the register as listed, with every column (the export's rows).
    void openFullRows(Query &rows) const;

    // Whether a reading of the list as ordered now reads its first screenful on its own first,
    // which pays only where the server finds it without going through the whole list.
    bool firstScreenfulIsQuick();

    // The reading thread (made at the first reading).
    RegisterFetcher &fetcher();
    // Answers of the reading thread posted to this object so far, handled or not yet (a test
    // holds one in the event queue to see what a newer request does to it).
    int postedAnswers() const { return m_postedAnswers.load(); }

    int committeeId() const { return m_filter.committeeId.value_or(-1); }
    const QString &sortField() const { return m_sortField; }
    bool hasPeriod() const { return m_filter.hasPeriod(); }

signals:
    void busyChanged(bool busy);
    // The first rows of reading `generation` are shown; more may follow.
    void firstRowsIn(quint64 generation);
    // Every row of reading `generation` is in and the current record found.
    void applied(quint64 generation);
    // The newest reading failed: the query is closed until the next change.
    void failed(const QString &message, unsigned number);

private:
    // Reads the rows of the filter as it is now, from the first row.
    quint64 reopen();
    quint64 submit(QList<qint64> locateIds, const QString &locateText = {});
    void onAnswer(const RegisterAnswer &answer);
    void setBusy(bool busy);
    // The committee condition of a committee tab (its id looked up by its name).
    void selectCommittee(const QString &tabText, bool isAll);

    Connection *m_connection;
    Query m_query;
    RegisterFilter m_filter;
    // The field a search or a sort lands by: the order's field, the number's before any sort.
    QString m_sortField = QStringLiteral("sorrend");
    std::optional<bool> m_yearIndexed; // asked once, at the first reading in key order

    std::unique_ptr<RegisterFetcher> m_fetcher;
    std::atomic<int> m_postedAnswers{0};
    quint64 m_generation = 0;
    bool m_busy = false;
    bool m_rowsArriving = false;
    bool m_newestRowsIn = true;
    // The landing row of the newest reading was applied (or there is none to apply), and the
    // row its first part made current: a later landing moves only a list the user left alone.
    bool m_landed = true;
    int m_firstPartRow = -1;
    // The whole rows of the records around the current one; replaced with every reading.
    RegisterDetails m_details;
};
