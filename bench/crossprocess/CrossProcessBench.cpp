// The HLA provider on the embedded run-time and through an RTI server (rtinode, started
// here on a free loopback port and stopped by its PID): CPU of an idle joined federate,
// the round trip of an interaction to a tandrel-peer process and back into OnMessage, and
// interactions per second between two federates.
//
//   build/<preset>/bench/bench_crossprocess [--benchmark_filter=...]
// The 1.3 cases need a build against an HLA 1.3 RTI; rtinode is found at configure time or
// through TANDREL_BENCH_RTINODE.

#include "app/EngineChoice.h"
#include "bench/support/BenchSupport.h"
#include "cao/Cao.h"
#include "cao/ProviderContract.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <algorithm>
#include <ctime>
#include <memory>
#include <vector>

namespace {

const QString kProvider = QLatin1String(cao::contract::kProviderId);
const QString kMessage = QStringLiteral("InteractionRoot.Communication.Message");
const QString kOptions = QStringLiteral(
    "URL=file:///D:/ZUzI2/CAO/ProviderLib/HLA/Bin/Chat.fed, TimePoli=0, TimeAdv=0, "
    "CurTime=0.0, LookAhead=0.5, AsyncDeli=0");
constexpr int kEmbedded = 0;
constexpr int kHla13 = 1;
constexpr int kIdleMeasureMs = 5000;
// Past the provider's fast polling after the join's traffic.
constexpr int kIdleSettleMs = 3000;
constexpr int kBatch = 100;

using bench::guarded;
using bench::kBoundMs;
using bench::pumpUntil;
using bench::runEventLoopFor;

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

bool acceptsConnections(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    const bool connected =
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

int unusedLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    if (fd >= 0) ::close(fd);
    return port;
}

// One rtinode for the whole run.
class RtiServer {
public:
    ~RtiServer() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000)) m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    // Empty when no server could be started; m_error says why.
    const QString& address() {
        if (m_tried) return m_address;
        m_tried = true;
        QString program = qEnvironmentVariable("TANDREL_BENCH_RTINODE");
        if (program.isEmpty()) program = QStringLiteral(TANDREL_RTINODE_PATH);
        if (program.isEmpty()) {
            m_error = "no rtinode: set TANDREL_BENCH_RTINODE";
            return m_address;
        }
        const int port = unusedLoopbackPort();
        const QString address = QStringLiteral("rti://127.0.0.1:%1").arg(port);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(program, {"-i", address});
        if (!m_process.waitForStarted(kBoundMs)) {
            m_error = "rtinode did not start: " + m_process.errorString().toStdString();
            return m_address;
        }
        if (!pumpUntil([&] {
                return acceptsConnections(port) || m_process.state() == QProcess::NotRunning;
            }) ||
            m_process.state() == QProcess::NotRunning) {
            m_error = "rtinode did not listen: " + m_process.readAll().toStdString();
            return m_address;
        }
        m_address = address;
        return m_address;
    }
    const std::string& error() const { return m_error; }

private:
    QProcess m_process;
    QString m_address;
    std::string m_error;
    bool m_tried = false;
};

RtiServer& server() {
    static RtiServer instance;
    return instance;
}

// Chooses the run-time for the controllers opened next; false (with the state skipped)
// when it is not available here.
bool choose(benchmark::State& state, int runTime) {
    if (runTime == kEmbedded) {
        qputenv("CAO_HLA_RTI", "embedded");
        return true;
    }
    if (!TANDREL_HAVE_HLA13) {
        state.SkipWithError("this build has no HLA 1.3 run-time");
        return false;
    }
    const QString address = server().address();
    if (address.isEmpty()) {
        state.SkipWithError(server().error().c_str());
        return false;
    }
    qputenv("CAO_HLA_RTI", "hla13");
    qputenv("CAO_HLA_RTI_ADDRESS", address.toLocal8Bit());
    return true;
}

struct Opened {
    cao::WorkspacePtr workspace;
    cao::ControllerPtr controller;
    std::shared_ptr<std::vector<QString>> received = std::make_shared<std::vector<QString>>();
    Opened(const cao::EnginePtr& eng, const QString& name) {
        workspace = eng->Workspaces()->Item(cao::Variant::fromI2(0));
        controller = workspace->AddController(name, kProvider, QString(), kOptions);
        controller->Variables()->Add(kMessage, QStringLiteral("Option=0"));
        controller->SetOnMessage([r = received](const cao::MessagePtr& m) {
            if (m->Number() == 3) r->push_back(m->Value().string());
        });
    }
    ~Opened() {
        controller->SetOnMessage({});
        workspace->Controllers()->Remove(cao::Variant::fromI4(controller->Index()));
    }
    void send(const QString& text) {
        controller->Variables()
            ->Item(cao::Variant::fromString(kMessage))
            ->put_Value(cao::Variant::fromString(text));
    }
};

void BM_IdleJoinedFederateBody(benchmark::State& state);
void BM_IdleJoinedFederate(benchmark::State& state) {
    guarded(state, BM_IdleJoinedFederateBody);
}
void BM_IdleJoinedFederateBody(benchmark::State& state) {
    if (!choose(state, int(state.range(0)))) return;
    const cao::EnginePtr eng = app::createEngine();
    double cpuShare = 0;
    for (auto _ : state) {
        Opened federate(eng, "BenchIdle.Idle");
        runEventLoopFor(kIdleSettleMs);
        const double cpuBefore = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        runEventLoopFor(kIdleMeasureMs);
        cpuShare = (processCpuSeconds() - cpuBefore) / (double(wall.nsecsElapsed()) / 1e9);
    }
    state.counters["cpu_percent_of_core"] = cpuShare * 100;
}
BENCHMARK(BM_IdleJoinedFederate)
    ->ArgName("hla13")
    ->Arg(kEmbedded)
    ->Arg(kHla13)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A peer process echoes each write; the round trip bounds the one-way time from above.
// gap_ms: quiet time before each write, so the provider's polling has slowed down.
void BM_RoundTripThroughPeerProcessBody(benchmark::State& state);
void BM_RoundTripThroughPeerProcess(benchmark::State& state) {
    guarded(state, BM_RoundTripThroughPeerProcessBody);
}
void BM_RoundTripThroughPeerProcessBody(benchmark::State& state) {
    if (!choose(state, kHla13)) return;
    const int gapMs = int(state.range(0));
    const cao::EnginePtr eng = app::createEngine();
    Opened bench(eng, "BenchLatency.Bench");
    QProcess peer;
    peer.setStandardErrorFile(QProcess::nullDevice());
    peer.setStandardOutputFile(QProcess::nullDevice());
    peer.start(QStringLiteral(TANDREL_PEER_PATH),
               {"--name", "BenchLatency.Peer", "--var", kMessage, "--echo", "--exit-after", "600"});
    int primed = 0;
    // Until the peer's subscription has reached this federate, writes reach nobody.
    QElapsedTimer sinceWrite;
    const bool ready = pumpUntil([&] {
        if (!bench.received->empty()) return true;
        if (!sinceWrite.isValid() || sinceWrite.elapsed() > 200) {
            bench.send(QStringLiteral("prime %1").arg(++primed));
            sinceWrite.restart();
        }
        return false;
    });
    if (!ready) {
        state.SkipWithError("the peer process did not echo");
        return;
    }
    std::vector<double> roundTripsMs;
    int n = 0;
    for (auto _ : state) {
        if (gapMs > 0) runEventLoopFor(gapMs);
        bench.received->clear();
        const QString text = QStringLiteral("t%1").arg(++n);
        QElapsedTimer clock;
        clock.start();
        bench.send(text);
        if (!pumpUntil([&] {
                return std::find(bench.received->begin(), bench.received->end(), text) !=
                       bench.received->end();
            })) {
            state.SkipWithError("an echo did not come back");
            break;
        }
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        roundTripsMs.push_back(ms);
        state.SetIterationTime(ms / 1000);
    }
    peer.terminate();
    if (!peer.waitForFinished(5000)) peer.kill();
    peer.waitForFinished(5000);
    if (roundTripsMs.empty()) return;
    state.counters["round_trip_median_ms"] = bench::percentile(roundTripsMs, 50);
    state.counters["round_trip_p90_ms"] = bench::percentile(roundTripsMs, 90);
    state.counters["round_trip_max_ms"] = roundTripsMs.back();
}
BENCHMARK(BM_RoundTripThroughPeerProcess)
    ->ArgName("gap_ms")
    ->Arg(0)
    ->Arg(100)
    ->Iterations(200)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Two federates of this process; batches of writes, each batch received in full before
// the next.
void BM_InteractionThroughputBody(benchmark::State& state);
void BM_InteractionThroughput(benchmark::State& state) {
    guarded(state, BM_InteractionThroughputBody);
}
void BM_InteractionThroughputBody(benchmark::State& state) {
    if (!choose(state, int(state.range(0)))) return;
    const cao::EnginePtr eng = app::createEngine();
    Opened sender(eng, "BenchFlow.Sender");
    Opened receiver(eng, "BenchFlow.Receiver");
    int primed = 0;
    QElapsedTimer sinceWrite;
    if (!pumpUntil([&] {
            if (!receiver.received->empty()) return true;
            if (!sinceWrite.isValid() || sinceWrite.elapsed() > 200) {
                sender.send(QStringLiteral("prime %1").arg(++primed));
                sinceWrite.restart();
            }
            return false;
        })) {
        state.SkipWithError("the receiver never received");
        return;
    }
    pumpUntil([] { return false; }, 300);
    for (auto _ : state) {
        receiver.received->clear();
        for (int i = 0; i < kBatch; ++i) sender.send(QStringLiteral("Hello from the sender"));
        if (!pumpUntil([&] { return receiver.received->size() >= std::size_t(kBatch); })) {
            state.SkipWithError("a batch did not arrive in full");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_InteractionThroughput)
    ->ArgName("hla13")
    ->Arg(kEmbedded)
    ->Arg(kHla13)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
