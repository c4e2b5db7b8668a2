#pragma once

#include "db/query.h"

#include <QObject>
#include <QString>

class Connection;

// The rows of a report that are still being read while the report is shown, gathered in a query
// the report reads from. The first page can be laid out from the first part while the rest is on
// its way; printing, a PDF file and the export wait for every row. Who reads them (and on which
// thread) is the subclass's business; the parts reach this object on its own thread.
class ArrivingRows : public QObject
{
    Q_OBJECT
public:
    // The query's connection is the one the export window re-reads through, if it does.
    explicit ArrivingRows(Connection &connection, QObject *parent = nullptr);

    // Holds the rows that have arrived (open once the first part is in).
    Query &query() { return m_query; }

    // Every row is in (or the reading failed).
    bool isComplete() const { return m_complete; }
    bool hasFailed() const { return m_failed; }
    // Wait, keeping the windows painted but taking no input, until the first rows are in, or
    // until every row is in (a failed reading ends both).
    void waitForFirstRows();
    void waitForAll();
    // Throws the reading's DbError when it failed.
    void throwIfFailed() const;

signals:
    // More rows arrived (isComplete() tells whether they were the last).
    void rowsAdded();
    void failed();

protected:
    // The next part: the first replaces whatever came before (a reading that started again).
    void addRows(ResultSet rows, bool first, bool complete);
    void fail(const QString &error, unsigned errorNumber);

private:
    void waitUntil(const bool &condition);

    Query m_query;
    bool m_firstIn = false;
    bool m_complete = false;
    bool m_failed = false;
    QString m_error;
    unsigned m_errorNumber = 0;
};
