#include "output/reportrowsreader.h"

#include "db/connection.h"
#include "db/dberror.h"
#include "register/registerfetcher.h"

#include <QEventLoop>
#include <limits>

ReportRowsReader::ReportRowsReader(Connection &connection, const QString &sql, QObject *parent)
    : QObject(parent), m_query(&connection)
{
    m_query.setSql(sql);
    m_fetcher = std::make_unique<RegisterFetcher>(connection.params(), [this](RegisterAnswer answer) {
        QMetaObject::invokeMethod(
            this, [this, answer = std::move(answer)] { onAnswer(answer); }, Qt::QueuedConnection);
    });
    m_fetcher->setPartRows(FirstPartRows, std::numeric_limits<int>::max());
    RegisterRequest request;
    request.generation = 1;
    request.sql = sql;
    request.readDetails = false;
    m_fetcher->submit(std::move(request));
}

// A reading still running is stopped on the server by the fetcher.
ReportRowsReader::~ReportRowsReader() = default;

void ReportRowsReader::onAnswer(const RegisterAnswer &answer)
{
    if (!answer.rows) {
        m_failed = m_complete = m_firstIn = true;
        m_error = answer.error;
        m_errorNumber = answer.errorNumber;
        emit failed();
        return;
    }
    if (answer.first)
        m_query.assign(std::move(*answer.rows), 0);
    else
        m_query.append(std::move(*answer.rows));
    m_firstIn = true;
    if (answer.complete) {
        m_query.squeeze();
        m_complete = true;
    }
    emit rowsAdded();
}

void ReportRowsReader::waitUntil(const bool &condition)
{
    if (condition)
        return;
    QEventLoop loop;
    const auto check = [&loop, &condition] {
        if (condition)
            loop.quit();
    };
    connect(this, &ReportRowsReader::rowsAdded, &loop, check);
    connect(this, &ReportRowsReader::failed, &loop, check);
    // Input waits: the user must not start another output while this one is not settled.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void ReportRowsReader::waitForFirstRows()
{
    waitUntil(m_firstIn);
}

void ReportRowsReader::waitForAll()
{
    waitUntil(m_complete);
}

void ReportRowsReader::throwIfFailed() const
{
    if (m_failed)
        throw DbError(m_error, m_errorNumber);
}
