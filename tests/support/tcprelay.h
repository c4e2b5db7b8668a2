#pragma once

#include <atomic>
#include <thread>

// A TCP relay on 127.0.0.1 in front of a server's port: the program connects to port() and
// talks to the server through it. cut() breaks every relayed connection and refuses new ones,
// as a stopped server does; restore() takes connections on the same port again, as the server
// started again. So a test can take "the server" away without stopping the shared one.
class TcpRelay
{
public:
    explicit TcpRelay(int targetPort);
    ~TcpRelay();
    TcpRelay(const TcpRelay &) = delete;
    TcpRelay &operator=(const TcpRelay &) = delete;

    int port() const { return m_port; }
    // Both return once the relay has done it.
    void cut();
    void restore();
    // Connections relayed since the relay started.
    int accepted() const { return m_accepted; }

private:
    enum Request { None, Cut, Restore, Quit };
    void request(Request what);
    void listenOn(int port);
    void serve();

    int m_targetPort;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<int> m_request{None};
    std::atomic<int> m_accepted{0};
    std::thread m_thread;
};
