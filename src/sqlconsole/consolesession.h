#pragma once

#include "db/connection.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// The console's own line to the server and the thread its statements run on.
//
// The console gets a connection of its own, opened like the program's (same profile, options,
// character set and collation), so that whatever an administrator does to the session (USE,
// SET NAMES, sql_mode, variables, temporary tables, an open transaction) never reaches the
// register's connection. Its work runs on a thread of its own, so that the window keeps
// answering while the server works; a running statement is stopped on the server with KILL
// QUERY, sent over a second line.
class ConsoleSession
{
public:
    using Job = std::function<void(Connection &)>;

    // Opens the console's connection; throws DbError when the server refuses it.
    explicit ConsoleSession(const ConnectionParams &params);
    // Stops what runs, waits for the thread and closes both lines (the server rolls back a
    // transaction left open).
    ~ConsoleSession();
    ConsoleSession(const ConsoleSession &) = delete;
    ConsoleSession &operator=(const ConsoleSession &) = delete;

    // Runs the job on the session's thread; jobs run one after the other, in order. A job
    // hands its results to the window itself (a queued call), and catches its own errors.
    void post(Job job);
    bool isBusy() const { return m_busy.load(); }

    // Asks the running job to stop and interrupts the statement the server is executing.
    void stop();
    // Whether stop() was called since the current job was posted.
    bool stopRequested() const { return m_stopRequested.load(); }
    const std::atomic<bool> &stopFlag() const { return m_stopRequested; }
    // Whether a statement's error (its number) is the interruption that stop() asked for.
    bool isStoppedBy(unsigned errorNumber) const;

    // The connection itself, for quick work of the window's thread while no job runs (a row
    // posted from the grid, the question on closing).
    Connection &connection() { return m_connection; }

    // Whether the session holds a transaction that is neither committed nor rolled back. Asked
    // while no job runs.
    bool hasOpenTransaction() const;
    void commitTransaction();
    void rollbackTransaction();

private:
    void loop();

    ConnectionParams m_params;
    Connection m_connection;     // the jobs' line; the window's only while no job runs
    Connection m_killConnection; // the window's thread only, opened at the first stop
    std::atomic<unsigned long> m_serverThread{0};

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    bool m_quit = false;
    std::atomic<bool> m_busy{false};
    std::atomic<bool> m_stopRequested{false};
    std::thread m_thread;
};
