#pragma once

#include <atomic>
#include <thread>

// A server on 127.0.0.1 that takes every connection and says nothing for `holdMs`, then hangs
// up: a connection test against it waits that long and fails, like one to a slow link.
class SilentServer
{
public:
    explicit SilentServer(int holdMs);
    ~SilentServer();
    SilentServer(const SilentServer &) = delete;
    SilentServer &operator=(const SilentServer &) = delete;

    int port() const { return m_port; }
    // A connection has been taken and is being held.
    bool holding() const { return m_holding; }
    int accepted() const { return m_accepted; }

private:
    void serve();

    int m_holdMs;
    int m_socket = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_holding{false};
    std::atomic<int> m_accepted{0};
    std::thread m_thread;
};
