#pragma once

#include "db/query.h"

#include <QDate>
#include <QObject>
#include <QStringList>

class Connection;

// The register query over vw_iktato and the grammar of its WHERE and ORDER lines: four
// independent selections (year tab, period, committee tab, search text) and the sort field.
// Every change closes the query, replaces the line and opens it again.
class RegisterQuery : public QObject
{
    Q_OBJECT

public:
    // The columns the search box looks in, as one ";"-separated text.
    static const QString SearchColumns;
    static const QString AllTab; // "Összes"

    explicit RegisterQuery(Connection *connection, QObject *parent = nullptr);

    Query &query() { return m_query; }
    const Query &query() const { return m_query; }

    // Reads the year and committee lists (tab texts, each ending with "Összes").
    QStringList loadYearTabs();
    QStringList loadCommitteeTabs();

    // The initial state: conditions from the first tab of each list, the query opened.
    void start(const QString &firstYearTab, const QString &firstCommitteeTab, bool committeeIsAll);

    // Condition builders (also used by tests).
    static QString yearConditionFor(const QString &tabText);
    static QString periodConditionFor(QDate from, QDate to);
    static QString committeeConditionFor(int committeeId);

    void setYearTab(const QString &tabText);
    void setCommitteeTab(const QString &tabText, bool isAll);
    void setPeriod(QDate from, QDate to);
    void clearPeriod();
    // Runs the search for the text and moves to the first row whose sort field begins with it.
    void search(const QString &text);
    // Orders by the field (ascending) and stays on the record that was current.
    void sortBy(const QString &field);
    // Runs the query again and stays on the record that was current.
    void refresh();
    // Runs the query again from its first row.
    void reopenAsIs();
    // Runs the query with the year, period and committee conditions, without a search.
    void reapply() { reopen(baseCondition()); }
    // Moves to the record with the id; false (first row stays current) when it is not listed.
    bool locateId(qint64 recordId);
    qint64 currentId() const;

    int committeeId() const { return m_committeeId; }
    const QString &sortField() const { return m_sortField; }
    const QString &yearCondition() const { return m_yearCondition; }
    const QString &periodCondition() const { return m_periodCondition; }
    const QString &committeeCondition() const { return m_committeeCondition; }
    QString baseCondition() const { return m_yearCondition + m_periodCondition + m_committeeCondition; }

private:
    void reopen(const QString &where);
    // The committee condition of a committee tab (its id looked up by its name).
    void selectCommittee(const QString &tabText, bool isAll);

    Connection *m_connection;
    Query m_query;
    QString m_yearCondition = QStringLiteral("(1=1)");
    QString m_periodCondition;
    QString m_committeeCondition;
    int m_committeeId = -1;
    QString m_sortField = QStringLiteral("sorrend");
};
