#include "TcpProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace hla4test {

namespace {

constexpr int kPollMs = 5;
constexpr std::size_t kChunk = 64 * 1024;

sockaddr_in loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

// Copies what one side has to the other; false when either side has ended.
bool relay(int from, int to) {
    char buffer[kChunk];
    const ssize_t n = ::recv(from, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    ssize_t sent = 0;
    while (sent < n) {
        const ssize_t m =
            ::send(to, buffer + sent, static_cast<std::size_t>(n - sent), MSG_NOSIGNAL);
        if (m <= 0) return false;
        sent += m;
    }
    return true;
}

}  // namespace

TcpProxy::TcpProxy(std::uint16_t target) : m_target(target) {
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        ::listen(m_listener, 4) != 0) {
        throw std::runtime_error("the proxy has no loopback port");
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { run(); });
}

TcpProxy::~TcpProxy() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_thread.join();
    for (const Pair& pair : m_pairs) {
        ::close(pair.client);
        ::close(pair.server);
    }
    ::close(m_listener);
}

void TcpProxy::cut() {
    std::unique_lock lock(m_mutex);
    m_cut = true;
    m_changed.wait(lock, [&] { return !m_cut; });
}

int TcpProxy::accepted() {
    const std::lock_guard lock(m_mutex);
    return m_accepted;
}

void TcpProxy::run() {
    for (;;) {
        {
            const std::lock_guard lock(m_mutex);
            if (m_stop) return;
            if (m_cut) {
                for (const Pair& pair : m_pairs) {
                    ::close(pair.client);
                    ::close(pair.server);
                }
                m_pairs.clear();
                m_cut = false;
                m_changed.notify_all();
            }
        }
        std::vector<pollfd> fds{{m_listener, POLLIN, 0}};
        for (const Pair& pair : m_pairs) {
            fds.push_back({pair.client, POLLIN, 0});
            fds.push_back({pair.server, POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), kPollMs) <= 0) continue;
        const std::size_t polled = m_pairs.size();
        std::vector<Pair> kept;
        for (std::size_t i = 0; i < polled; ++i) {
            const Pair& pair = m_pairs[i];
            const short fromClient = fds[1 + 2 * i].revents;
            const short fromServer = fds[2 + 2 * i].revents;
            bool alive = true;
            if (fromClient) alive = relay(pair.client, pair.server);
            if (alive && fromServer) alive = relay(pair.server, pair.client);
            if (alive) {
                kept.push_back(pair);
            } else {
                ::close(pair.client);
                ::close(pair.server);
            }
        }
        if (fds[0].revents & POLLIN) {
            const int client = ::accept(m_listener, nullptr, nullptr);
            const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const sockaddr_in target = loopback(m_target);
            if (client >= 0 && server >= 0 &&
                ::connect(server, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) {
                kept.push_back({client, server});
                const std::lock_guard lock(m_mutex);
                ++m_accepted;
            } else {
                if (client >= 0) ::close(client);
                if (server >= 0) ::close(server);
            }
        }
        const std::lock_guard lock(m_mutex);
        m_pairs = std::move(kept);
    }
}

}  // namespace hla4test
