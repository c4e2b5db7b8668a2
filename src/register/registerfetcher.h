#pragma once

#include "db/connection.h"
#include "db/query.h"
#include "registerreading.h"

#include <QList>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// Reads the register on a thread of its own, over a connection of its own (the same settings
// and reconnect rule as the program's), so the window keeps painting while the server works.
//
// Only the newest request matters: a request waiting behind a running one is replaced by the
// next, and a running one that a newer request makes stale is stopped on the server with
// KILL QUERY, sent over a second connection. A stale answer is never delivered.
class RegisterFetcher
{
public:
    // `deliver` runs on the fetcher's thread with each answer for the newest request.
    using Deliver = RegisterDeliver;
    RegisterFetcher(ConnectionParams params, Deliver deliver);
    ~RegisterFetcher();
    RegisterFetcher(const RegisterFetcher &) = delete;
    RegisterFetcher &operator=(const RegisterFetcher &) = delete;

    // Takes the request as the newest one; a reading still running for an older one is stopped.
    void submit(RegisterRequest request);

    // The server's id of the reading connection (0 before it first connects).
    unsigned long serverThreadId() const { return m_serverThread.load(); }
    // Readings the server ran to their end, and readings stopped because they had gone stale.
    int completedReadings() const { return m_completed.load(); }
    int stoppedReadings() const { return m_stopped.load(); }
    // How often the reading connection was made again after its line broke.
    int reconnects() const { return m_reconnects.load(); }
    // Test seam: runs on the fetcher's thread just before each reading is sent.
    void setBeforeReading(std::function<void(const RegisterRequest &)> hook);
    // Test seam: runs on the fetcher's thread after each part of the rows was handed over
    // (not after the last one), with the number of rows handed over so far.
    void setAfterPart(std::function<void(const RegisterRequest &, int rowsSoFar)> hook);
    // Rows in the first part, and at most in each later part (later parts also go when they
    // have waited RegisterReading::LaterPartMs).
    void setPartRows(int first, int later);
    // The grid's first part: enough for a screen of it, with room to spare.
    static constexpr int GridFirstPartRows = 256;

    // The row of `rows` where a request lands (the first row when nothing matches).
    static int landingRow(const ResultSet &rows, const RegisterRequest &request);

private:
    void loop();
    void read(const RegisterRequest &request);
    RegisterReading::Settings readingSettings(const RegisterRequest &request);
    bool isStale(quint64 generation) const { return generation != m_newest.load(); }
    void stopRunning();

    ConnectionParams m_params;
    Deliver m_deliver;
    Connection m_connection;     // used on the fetcher's thread only
    Connection m_killConnection; // used on the caller's thread only, opened when first needed
    std::function<void(const RegisterRequest &)> m_beforeReading;
    std::function<void(const RegisterRequest &, int)> m_afterPart;
    int m_firstPartRows = GridFirstPartRows;
    int m_laterPartRows = std::numeric_limits<int>::max();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<RegisterRequest> m_pending;
    bool m_quit = false;

    std::atomic<quint64> m_newest{0};
    std::atomic<quint64> m_running{0};
    std::atomic<unsigned long> m_serverThread{0};
    std::atomic<int> m_completed{0};
    std::atomic<int> m_stopped{0};
    std::atomic<int> m_reconnects{0};
    std::thread m_thread;
};
