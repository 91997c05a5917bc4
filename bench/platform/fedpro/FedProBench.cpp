// Two federates on the hla4 link meeting through the engine's Federate Protocol server, all in
// this process on the loopback: interactions one way, sent as fast as the link takes them and
// each received, and a round trip, one interaction there and one back. Beside them, the floor
// they stand on: a blocking 64-byte round trip over a loopback TCP connection between two
// threads, measured in the same run.
//   build/release/bench/bench_fedpro
// Targets: at least 100,000 interactions a second one way; a round trip under 0.3 ms.

#include "platform/fedpro/server/FedProServer.h"
#include "platform/hla/FedReader.h"
#include "platform/links/RtiThread.h"
#include "platform/links/hla4/Hla4Link.h"
#include "platform/links/hla4/ServerAddress.h"
#include "platform/rti/RunTime.h"

#include <QCoreApplication>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr auto kWaitBound = 10s;
constexpr std::size_t kFloorBytes = 64;

// Counts interactions and wakes whoever waits on them.
class Receiver : public links::RunTimeCallbacks {
public:
    std::size_t received = 0;
    void receiveInteraction(hla::InteractionClassHandle, const hla::ParameterValues&,
                            const std::string&, std::optional<hla::LogicalTime>) override {
        ++received;
    }
};

class Federate {
public:
    Federate(std::uint16_t port, const std::string& federation, const std::string& name) {
        links::LinkRequest request;
        request.federation = federation;
        request.federate = name;
        request.description = hla::readFedFile(TANDREL_SOURCE_DATA_DIR "/Chat.fed");
        request.modules = {TANDREL_SOURCE_DATA_DIR "/Chat.xml"};
        links::hla4::Hla4Settings settings;
        settings.server =
            links::hla4::parseServerAddress("tcp://127.0.0.1:" + std::to_string(port));
        m_link = links::hla4::joinHla4(std::move(request), settings);
        m_link->setWaker([this] {
            const std::lock_guard lock(m_mutex);
            m_wake = true;
            m_woken.notify_all();
        });
        cls = *m_link->description().findInteractionClass("InteractionRoot.Communication");
        const std::string text = "Hello from the bench";
        values = {{*m_link->description().findParameter(cls, "Message"),
                   hla::Bytes(text.begin(), text.end())}};
        m_link->publishInteractionClass(cls);
        m_link->subscribeInteractionClass(cls);
    }
    ~Federate() {
        m_link->setWaker({});
        try {
            m_link->resign();
        } catch (const std::exception&) {
        }
    }
    void send() { m_link->sendInteraction(cls, values, std::nullopt); }
    // Takes what has arrived until `count` have; false when the bound passes first.
    bool receiveUntil(std::size_t count) {
        const auto end = std::chrono::steady_clock::now() + kWaitBound;
        while (told.received < count) {
            while (told.received < count && m_link->evokeCallback(told)) {
            }
            if (told.received >= count) break;
            std::unique_lock lock(m_mutex);
            if (!m_woken.wait_until(lock, end, [&] { return m_wake; })) return false;
            m_wake = false;
        }
        return true;
    }
    void drain() {
        while (m_link->evokeCallback(told)) {
        }
    }

    Receiver told;
    hla::InteractionClassHandle cls{};
    hla::ParameterValues values;

private:
    std::unique_ptr<links::RunTimeLink> m_link;
    std::mutex m_mutex;
    std::condition_variable m_woken;
    bool m_wake = false;
};

struct Meeting {
    Meeting() {
        fedpro::server::ServerOptions options;
        options.port = 0;
        options.authenticate = false;
        server = std::make_unique<fedpro::server::FedProServer>(
            std::make_shared<links::RunTimeHost>(std::make_shared<rti::RunTime>()), options);
        server->start();
        const std::string federation =
            "Bench" + std::to_string(::getpid()) + "n" + std::to_string(++s_count);
        sender = std::make_unique<Federate>(server->port(), federation, "Sender");
        receiver = std::make_unique<Federate>(server->port(), federation, "Receiver");
    }
    ~Meeting() {
        receiver.reset();
        sender.reset();
        server->stop();
    }
    // The subscriptions reach the other side a moment after they were made.
    bool warmUp() {
        for (int i = 0; i < 100; ++i) {
            sender->send();
            receiver->drain();
            if (receiver->told.received > 0) return true;
            std::this_thread::sleep_for(10ms);
        }
        return receiver->receiveUntil(1);
    }

    std::unique_ptr<fedpro::server::FedProServer> server;
    std::unique_ptr<Federate> sender;
    std::unique_ptr<Federate> receiver;
    static inline int s_count = 0;
};

void BM_Hla4OneWay(benchmark::State& state) {
    Meeting meeting;
    if (!meeting.warmUp()) return state.SkipWithError("no interaction arrived");
    const std::size_t before = meeting.receiver->told.received;
    std::size_t sent = 0;
    for (auto _ : state) {
        meeting.sender->send();
        ++sent;
        meeting.receiver->drain();
    }
    if (!meeting.receiver->receiveUntil(before + sent)) {
        return state.SkipWithError("not every interaction arrived within the bound");
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(sent));
}
BENCHMARK(BM_Hla4OneWay)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_Hla4RoundTrip(benchmark::State& state) {
    Meeting meeting;
    if (!meeting.warmUp()) return state.SkipWithError("no interaction arrived");
    meeting.sender->drain();
    meeting.receiver->drain();
    std::size_t there = meeting.receiver->told.received;
    std::size_t back = meeting.sender->told.received;
    for (auto _ : state) {
        meeting.sender->send();
        if (!meeting.receiver->receiveUntil(++there)) {
            return state.SkipWithError("the interaction did not arrive within the bound");
        }
        meeting.receiver->send();
        if (!meeting.sender->receiveUntil(++back)) {
            return state.SkipWithError("the answer did not arrive within the bound");
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Hla4RoundTrip)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The floor: 64 bytes there and back over a loopback TCP connection, no Nagle delay.
void BM_LoopbackTcpRoundTrip(benchmark::State& state) {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener, 1) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(listener);
        return state.SkipWithError("no loopback listener");
    }
    const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(client, reinterpret_cast<sockaddr*>(&address), length) != 0) {
        ::close(client);
        ::close(listener);
        return state.SkipWithError("cannot connect on the loopback");
    }
    const int served = ::accept(listener, nullptr, nullptr);
    const int one = 1;
    for (int fd : {client, served}) ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    const auto exchange = [](int fd, std::array<char, kFloorBytes>& buffer, bool first) {
        const auto whole = [fd, &buffer](auto io) {
            std::size_t done = 0;
            while (done < buffer.size()) {
                const ssize_t n = io(fd, buffer.data() + done, buffer.size() - done);
                if (n <= 0) return false;
                done += static_cast<std::size_t>(n);
            }
            return true;
        };
        const auto out = [](int f, char* p, std::size_t n) { return ::send(f, p, n, 0); };
        const auto in = [](int f, char* p, std::size_t n) { return ::recv(f, p, n, 0); };
        return first ? whole(out) && whole(in) : whole(in) && whole(out);
    };
    std::atomic<bool> stop{false};
    std::thread echo([&] {
        std::array<char, kFloorBytes> buffer{};
        while (!stop && exchange(served, buffer, false)) {
        }
    });
    std::array<char, kFloorBytes> buffer{};
    for (auto _ : state) {
        if (!exchange(client, buffer, true)) {
            state.SkipWithError("the loopback connection failed");
            break;
        }
    }
    stop = true;
    ::shutdown(client, SHUT_RDWR);
    echo.join();
    for (int fd : {client, served, listener}) ::close(fd);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LoopbackTcpRoundTrip)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // An RTI thread left in a call that never returned is not waited for.
    if (links::lingeringRtiThreads() > 0) {
        std::fflush(nullptr);
        std::_Exit(0);
    }
    return 0;
}
