#include "silentserver.h"

#include <QElapsedTimer>
#include <QtGlobal>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

SilentServer::SilentServer(int holdMs) : m_holdMs(holdMs)
{
    m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
        ::listen(m_socket, 4) != 0 ||
        ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        qFatal("SilentServer: no listening socket");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

SilentServer::~SilentServer()
{
    m_stop = true;
    m_thread.join();
    ::close(m_socket);
}

void SilentServer::serve()
{
    while (!m_stop) {
        pollfd waiting{m_socket, POLLIN, 0};
        if (::poll(&waiting, 1, 20) <= 0)
            continue;
        const int client = ::accept(m_socket, nullptr, nullptr);
        if (client < 0)
            continue;
        ++m_accepted;
        m_holding = true;
        QElapsedTimer clock;
        clock.start();
        while (!m_stop && clock.elapsed() < m_holdMs)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        m_holding = false;
        ::close(client);
    }
}
