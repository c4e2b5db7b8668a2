#pragma once

#include "db/query.h"

#include <QObject>
#include <QString>
#include <memory>

class Connection;
class RegisterFetcher;
struct RegisterAnswer;

// Reads the rows of a report's query on a thread of its own, in parts, into a query the report
// reads from. The first page can be laid out from the first part while the rest is on its way;
// printing, a PDF file and the export wait for every row.
class ReportRowsReader : public QObject
{
    Q_OBJECT
public:
    // Starts reading at once, over a connection of its own with the connection's settings.
    ReportRowsReader(Connection &connection, const QString &sql, QObject *parent = nullptr);
    ~ReportRowsReader() override;

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

    // Rows in the first part: a page or two of a report.
    static constexpr int FirstPartRows = 64;

signals:
    // More rows arrived (isComplete() tells whether they were the last).
    void rowsAdded();
    void failed();

private:
    void onAnswer(const RegisterAnswer &answer);
    void waitUntil(const bool &condition);

    Query m_query;
    bool m_firstIn = false;
    bool m_complete = false;
    bool m_failed = false;
    QString m_error;
    unsigned m_errorNumber = 0;
    std::unique_ptr<RegisterFetcher> m_fetcher;
};
