#include "registerfetcher.h"

#include "db/dberror.h"
#include "db/dbroutines.h"
#include "registerreading.h"

#include <limits>
#include <mysqld_error.h>
#include <optional>

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
    // When the stop cannot be sent the reading runs to its end and its answer is dropped: slower,
    // not wrong.
    KillQueryOver(m_killConnection, m_serverThread.load());
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

void RegisterFetcher::setAfterPart(std::function<void(const RegisterRequest &, int)> hook)
{
    const std::lock_guard lock(m_mutex);
    m_afterPart = std::move(hook);
}

void RegisterFetcher::setPartRows(int first, int later)
{
    const std::lock_guard lock(m_mutex);
    m_firstPartRows = qMax(1, first);
    m_laterPartRows = qMax(1, later);
}

RegisterReading::Settings RegisterFetcher::readingSettings(const RegisterRequest &request)
{
    RegisterReading::Settings settings;
    {
        const std::lock_guard lock(m_mutex);
        settings.firstPartRows = m_firstPartRows;
        settings.laterPartRows = m_laterPartRows;
    }
    settings.isStale = [this, &request] { return isStale(request.generation); };
    settings.deliver = m_deliver;
    settings.serverDone = [this] { ++m_completed; };
    // The hook is looked up at each part, as a test may set it while the reading runs.
    settings.afterPart = [this](const RegisterRequest &r, int rowsSoFar) {
        std::function<void(const RegisterRequest &, int)> afterPart;
        {
            const std::lock_guard lock(m_mutex);
            afterPart = m_afterPart;
        }
        if (afterPart)
            afterPart(r, rowsSoFar);
    };
    return settings;
}

void RegisterFetcher::read(const RegisterRequest &request)
{
    m_running.store(request.generation);
    struct Idle
    {
        std::atomic<quint64> &running;
        ~Idle() { running.store(0); }
    } idle{m_running};
    std::function<void(const RegisterRequest &)> beforeReading;
    {
        const std::lock_guard lock(m_mutex);
        beforeReading = m_beforeReading;
    }
    const RegisterReading::Settings settings = readingSettings(request);
    bool reconnected = false;
    int interrupted = 0;
    for (;;) {
        try {
            if (!m_connection.isOpen()) {
                m_connection.open();
                m_serverThread.store(m_connection.threadId());
            }
            if (beforeReading)
                beforeReading(request);
            // Every attempt starts the list afresh: its first part replaces whatever came before.
            RegisterReading(m_connection, request, settings).run();
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
            m_deliver(RegisterAnswer{
                request.generation, nullptr, true, true, -1, error.message(), error.number(), {}});
            return;
        }
    }
}

int RegisterFetcher::landingRow(const ResultSet &rows, const RegisterRequest &request)
{
    LandingFinder landing(request);
    for (int r = 0; r < rows.rowCount() && landing.certainRow() < 0; ++r)
        landing.look(rows, r, r);
    return landing.finalRow(rows.rowCount());
}

