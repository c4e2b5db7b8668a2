#pragma once

#include "db/connection.h"
#include "db/query.h"
#include "registerdetails.h"
#include "registerstatement.h"

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

// One reading of the register's rows, and where the list lands when they arrive.
struct RegisterRequest
{
    quint64 generation = 0;
    QString sql;
    // The first of these records that is listed becomes current...
    QList<qint64> locateIds;
    // ...or the first row whose field begins with the text, ignoring letter case.
    QString locateField;
    QString locateText;
    // The whole rows around the landing row come with the last part (the panel shows them).
    bool readDetails = true;
    // When set (the same list as `sql`, in a total order): the first part is read on its own
    // with a LIMIT before the whole list, which then comes with the same rows first.
    std::optional<RegisterStatement> firstRowsAlone;
};

// One part of the answer to a reading. The rows come in parts so that the first screen of them
// can be shown while the rest is still on its way: a first part with a few hundred rows, then
// the rest in one or a few parts, the last one marked `complete`.
struct RegisterAnswer
{
    quint64 generation = 0;
    std::shared_ptr<ResultSet> rows; // this part's rows; null when the reading failed
    // The rows begin the result (they replace what the list shows) or follow the earlier parts.
    bool first = true;
    // The last part of the reading (also a failure).
    bool complete = true;
    // The landing row, counted over the whole result, once it is certain; -1 until then (and
    // for an empty result).
    int row = -1;
    QString error;
    unsigned errorNumber = 0;
    // With the last part: the whole rows around the landing row (null when that failed: they
    // are then read when asked for).
    std::shared_ptr<RegisterDetails> details;
};

// Finds where a reading lands while its rows go by: the first listed record of the request's
// ids (in the order given), else the first row whose field begins with its text, else the first
// row. A match is certain as soon as nothing better can follow.
class LandingFinder
{
public:
    explicit LandingFinder(const RegisterRequest &request);
    // Looks at the next row of the result (row numbers count on across parts).
    void look(const ResultSet &part, int partRow, int row);
    // The landing row once it is certain, or -1.
    int certainRow() const { return m_rank == 0 ? m_row : -1; }
    // The landing row after the last row (-1 when there were no rows).
    int finalRow(int rowCount) const { return m_row >= 0 ? m_row : (rowCount > 0 ? 0 : -1); }

private:
    QList<QByteArray> m_ids; // as the server sends them
    QString m_field;
    QString m_text;
    int m_idColumn = -2; // resolved at the first row
    int m_textColumn = -2;
    int m_rank = std::numeric_limits<int>::max(); // lower is better; 0 cannot be beaten
    int m_row = -1;
};

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
    using Deliver = std::function<void(RegisterAnswer)>;
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
