#include "db/arrivingrows.h"

#include "db/dberror.h"

#include <QEventLoop>

ArrivingRows::ArrivingRows(Connection &connection, QObject *parent) : QObject(parent), m_query(&connection) {}

void ArrivingRows::addRows(ResultSet rows, bool first, bool complete)
{
    if (first)
        m_query.assign(std::move(rows), 0);
    else
        m_query.append(std::move(rows));
    m_firstIn = true;
    if (complete) {
        m_query.squeeze();
        m_complete = true;
    }
    emit rowsAdded();
}

void ArrivingRows::fail(const QString &error, unsigned errorNumber)
{
    m_failed = m_complete = m_firstIn = true;
    m_error = error;
    m_errorNumber = errorNumber;
    emit failed();
}

void ArrivingRows::waitUntil(const bool &condition)
{
    if (condition)
        return;
    QEventLoop loop;
    const auto check = [&loop, &condition] {
        if (condition)
            loop.quit();
    };
    connect(this, &ArrivingRows::rowsAdded, &loop, check);
    connect(this, &ArrivingRows::failed, &loop, check);
    // Input waits: the user must not start another output while this one is not settled.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void ArrivingRows::waitForFirstRows()
{
    waitUntil(m_firstIn);
}

void ArrivingRows::waitForAll()
{
    waitUntil(m_complete);
}

void ArrivingRows::throwIfFailed() const
{
    if (m_failed)
        throw DbError(m_error, m_errorNumber);
}
