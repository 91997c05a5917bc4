#pragma once

// A loopback TCP relay between the link and a server, for cutting the connections under a
// session as a network would: every connection it accepts is relayed to the target port on a
// thread of its own, until cut() closes them all at once.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace hla4test {

class TcpProxy {
public:
    explicit TcpProxy(std::uint16_t target);
    ~TcpProxy();
    TcpProxy(const TcpProxy&) = delete;
    TcpProxy& operator=(const TcpProxy&) = delete;

    std::string address() const { return "tcp://127.0.0.1:" + std::to_string(m_port); }
    // Closes every relayed connection at once, and returns once it has; new ones are relayed
    // again.
    void cut();
    // Connections accepted so far.
    int accepted();

private:
    struct Pair {
        int client;
        int server;
    };

    void run();

    std::uint16_t m_target;
    std::uint16_t m_port = 0;
    int m_listener = -1;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Pair> m_pairs;
    bool m_cut = false;
    bool m_stop = false;
    int m_accepted = 0;
    std::thread m_thread;
};

}  // namespace hla4test
