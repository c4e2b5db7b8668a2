#include "consolesession.h"

#include "db/dbroutines.h"

#include <mysqld_error.h>

ConsoleSession::ConsoleSession(const ConnectionParams &params)
    : m_params(params), m_connection(params), m_killConnection(params)
{
    m_connection.open();
    m_serverThread.store(m_connection.threadId());
    m_connection.setReconnectHandler([this] { m_serverThread.store(m_connection.threadId()); });
    m_thread = std::thread([this] { loop(); });
}

ConsoleSession::~ConsoleSession()
{
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
        m_jobs.clear();
    }
    m_wake.notify_one();
    if (m_busy.load())
        stop();
    m_thread.join();
}

void ConsoleSession::post(Job job)
{
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
        // Busy from now on, so the window never sees a posted job as finished; a stop from now
        // on is meant for this job.
        m_busy.store(true);
        m_stopRequested.store(false);
    }
    m_wake.notify_one();
}

void ConsoleSession::loop()
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit || !m_jobs.empty(); });
            if (m_quit)
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job(m_connection);
        const std::lock_guard lock(m_mutex);
        m_busy.store(!m_jobs.empty());
    }
}

void ConsoleSession::stop()
{
    m_stopRequested.store(true);
    // When the stop cannot be sent, the statement runs to its end; the job stops after it.
    KillQueryOver(m_killConnection, m_serverThread.load());
}

bool ConsoleSession::isStoppedBy(unsigned errorNumber) const
{
    return m_stopRequested.load() && errorNumber == ER_QUERY_INTERRUPTED;
}

bool ConsoleSession::hasOpenTransaction() const
{
    return m_connection.hasOpenTransaction();
}

void ConsoleSession::commitTransaction()
{
    m_connection.exec(QStringLiteral("COMMIT"));
}

void ConsoleSession::rollbackTransaction()
{
    m_connection.exec(QStringLiteral("ROLLBACK"));
}
