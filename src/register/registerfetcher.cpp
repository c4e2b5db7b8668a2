#include "registerfetcher.h"

#include "db/dberror.h"
#include "db/dbroutines.h"

#include <limits>
#include <malloc.h>
#include <mysqld_error.h>

using namespace Qt::StringLiterals;

namespace {
// A stop meant for an older reading may reach the newest one (it started just before the stop
// arrived); that one is simply run again, a few times at most.
constexpr int MaxInterruptedRuns = 3;
} // namespace

RegisterFetcher::RegisterFetcher(ConnectionParams params, Deliver deliver)
    : m_params(std::move(params)), m_deliver(std::move(deliver)), m_connection(m_params),
      m_killConnection(m_params)
{
    // The rows arrive in 1 MB blocks that must go back to the system when a newer reading
    // replaces them. Once a large block has been freed, glibc raises its threshold for mapping
    // blocks of their own and keeps later ones in the heap, where the freed rows of every
    // earlier reading would stay resident: a fixed threshold keeps large blocks mapped.
    static const bool fixedThreshold = mallopt(M_MMAP_THRESHOLD, 128 * 1024) == 1;
    Q_UNUSED(fixedThreshold);
    m_connection.setReconnectHandler([this] {
        m_serverThread.store(m_connection.threadId());
        ++m_reconnects;
    });
    m_thread = std::thread([this] { loop(); });
}

RegisterFetcher::~RegisterFetcher()
{
    m_newest.store(std::numeric_limits<quint64>::max());
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
        m_pending.reset();
    }
    m_wake.notify_one();
    stopRunning();
    m_thread.join();
}

void RegisterFetcher::setBeforeReading(std::function<void(const RegisterRequest &)> hook)
{
    const std::lock_guard lock(m_mutex);
    m_beforeReading = std::move(hook);
}

void RegisterFetcher::submit(RegisterRequest request)
{
    m_newest.store(request.generation);
    {
        const std::lock_guard lock(m_mutex);
        m_pending = std::move(request);
    }
    m_wake.notify_one();
    stopRunning();
}

void RegisterFetcher::stopRunning()
{
    const quint64 running = m_running.load();
    if (running == 0 || !isStale(running))
        return;
    // A stopping line the server dropped while idle is made again once.
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            if (!m_killConnection.isOpen())
                m_killConnection.open();
            KillQuery(m_killConnection, m_serverThread.load());
            return;
        } catch (const DbError &error) {
            // Otherwise the reading runs to its end and its answer is dropped: slower, not wrong.
            if (!error.isConnectionLost())
                return;
        }
    }
}

void RegisterFetcher::loop()
{
    for (;;) {
        RegisterRequest request;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit || m_pending.has_value(); });
            if (m_quit)
                return;
            request = std::move(*m_pending);
            m_pending.reset();
        }
        if (!isStale(request.generation))
            read(request);
    }
}

void RegisterFetcher::read(const RegisterRequest &request)
{
    m_running.store(request.generation);
    struct Idle
    {
        std::atomic<quint64> &running;
        ~Idle() { running.store(0); }
    } idle{m_running};
    bool reconnected = false;
    int interrupted = 0;
    for (;;) {
        try {
            if (!m_connection.isOpen()) {
                m_connection.open();
                m_serverThread.store(m_connection.threadId());
            }
            std::function<void(const RegisterRequest &)> hook;
            {
                const std::lock_guard lock(m_mutex);
                hook = m_beforeReading;
            }
            if (hook)
                hook(request);
            auto rows = std::make_shared<ResultSet>(m_connection.query(request.sql));
            ++m_completed;
            if (isStale(request.generation))
                return;
            const int row = landingRow(*rows, request);
            // The panel's text of the landing record comes with the rows, so that the window
            // does not wait for the server when it shows them.
            std::shared_ptr<RegisterDetails> details;
            try {
                details = std::make_shared<RegisterDetails>(
                    RegisterDetails::read(m_connection, RegisterDetails::idsAround(*rows, row)));
            } catch (const DbError &) {
                // The rows are what was asked for; the text is read when the window needs it.
            }
            if (!isStale(request.generation))
                m_deliver(
                    RegisterAnswer{request.generation, std::move(rows), row, {}, 0, std::move(details)});
            return;
        } catch (const DbError &error) {
            if (isStale(request.generation)) {
                if (error.number() == ER_QUERY_INTERRUPTED)
                    ++m_stopped;
                return;
            }
            if (error.number() == ER_QUERY_INTERRUPTED && ++interrupted < MaxInterruptedRuns)
                continue;
            // A line that broke while the rows came in: the reading is tried once more on a
            // new line (a line that broke before sending was taken up by the connection itself).
            if (error.isConnectionLost() && !reconnected) {
                reconnected = true;
                continue;
            }
            m_deliver(RegisterAnswer{request.generation, nullptr, -1, error.message(), error.number(), {}});
            return;
        }
    }
}

int RegisterFetcher::landingRow(const ResultSet &rows, const RegisterRequest &request)
{
    if (rows.rowCount() == 0)
        return -1;
    const int idColumn = rows.fieldIndex(u"iktato");
    for (const qint64 id : request.locateIds) {
        if (id <= 0 || idColumn < 0)
            continue;
        if (const int row = Query::findRow(rows, idColumn, id, Query::NoOptions); row >= 0)
            return row;
    }
    const int column = request.locateField.isEmpty() ? -1 : rows.fieldIndex(request.locateField);
    if (!request.locateText.isEmpty() && column >= 0) {
        const int row =
            Query::findRow(rows, column, request.locateText, Query::CaseInsensitive | Query::PartialKey);
        if (row >= 0)
            return row;
    }
    return 0;
}
