#include "tcprelay.h"

#include <QtGlobal>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

sockaddr_in loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(quint16(port));
    return address;
}

// Writes all of `data`; false when the other side is gone.
bool writeAll(int socket, const char *data, ssize_t size)
{
    while (size > 0) {
        const ssize_t written = ::send(socket, data, size_t(size), MSG_NOSIGNAL);
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

} // namespace

TcpRelay::TcpRelay(int targetPort) : m_targetPort(targetPort)
{
    listenOn(0);
    m_thread = std::thread([this] { serve(); });
}

TcpRelay::~TcpRelay()
{
    request(Quit);
    m_thread.join();
}

void TcpRelay::listenOn(int port)
{
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address = loopback(port);
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
        ::listen(m_listener, 16) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        qFatal("TcpRelay: cannot listen on port %d", port);
    m_port = ntohs(address.sin_port);
}

void TcpRelay::cut()
{
    request(Cut);
}

void TcpRelay::restore()
{
    request(Restore);
}

void TcpRelay::request(Request what)
{
    m_request = what;
    while (m_request != None)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

void TcpRelay::serve()
{
    std::vector<std::pair<int, int>> links; // client side, server side
    const auto closeLink = [&links](std::size_t i) {
        ::close(links[i].first);
        ::close(links[i].second);
        links.erase(links.begin() + qsizetype(i));
    };
    for (;;) {
        switch (m_request.load()) {
        case Cut:
            while (!links.empty())
                closeLink(0);
            if (m_listener >= 0)
                ::close(m_listener);
            m_listener = -1;
            m_request = None;
            break;
        case Restore:
            if (m_listener < 0)
                listenOn(m_port);
            m_request = None;
            break;
        case Quit:
            while (!links.empty())
                closeLink(0);
            if (m_listener >= 0)
                ::close(m_listener);
            m_request = None;
            return;
        default: break;
        }

        std::vector<pollfd> waiting;
        for (const auto &[client, server] : links) {
            waiting.push_back({client, POLLIN, 0});
            waiting.push_back({server, POLLIN, 0});
        }
        if (m_listener >= 0)
            waiting.push_back({m_listener, POLLIN, 0});
        if (::poll(waiting.data(), waiting.size(), 10) <= 0)
            continue;

        if (m_listener >= 0 && (waiting.back().revents & POLLIN)) {
            const int client = ::accept(m_listener, nullptr, nullptr);
            if (client >= 0) {
                const int server = ::socket(AF_INET, SOCK_STREAM, 0);
                const sockaddr_in target = loopback(m_targetPort);
                if (::connect(server, reinterpret_cast<const sockaddr *>(&target), sizeof target) == 0) {
                    links.emplace_back(client, server);
                    ++m_accepted;
                } else {
                    ::close(server);
                    ::close(client);
                }
            }
        }
        // Backwards, so that closing a link does not move the ones still to look at.
        char buffer[65536];
        for (std::size_t i = waiting.size() / 2; i-- > 0;) {
            if (i >= links.size())
                continue;
            bool gone = false;
            for (int side = 0; side < 2 && !gone; ++side) {
                const pollfd &p = waiting[2 * i + side];
                if (!(p.revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                const int from = side == 0 ? links[i].first : links[i].second;
                const int to = side == 0 ? links[i].second : links[i].first;
                const ssize_t got = ::recv(from, buffer, sizeof buffer, 0);
                gone = got <= 0 || !writeAll(to, buffer, got);
            }
            if (gone)
                closeLink(i);
        }
    }
}
