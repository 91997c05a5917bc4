// The HLA provider on the embedded run-time and through an RTI server (rtinode, started
// here on a free loopback port and stopped by its PID) on each of its two links, the HLA 1.3
// and the IEEE 1516-2010 one: CPU of an idle joined federate, the round trip of an
// interaction to a tandrel-peer process and back into OnMessage, and interactions per second
// one way between two federates; beside these, two bare federates of the same interface with
// nothing of Tandrel between them and the RTI (BareBench.cpp). The engine runs inside this
// process, so what is measured is the provider and its link.
//
//   build/<preset>/bench/bench_crossprocess [--benchmark_filter=...]
// The RTI cases need a build against OpenRTI; rtinode is found at configure time or through
// TANDREL_BENCH_RTINODE.

#include "app/EngineChoice.h"
#include "bench/crossprocess/BenchCases.h"
#include "bench/crossprocess/ChatFederate.h"
#include "bench/support/BenchSupport.h"
#include "bench/support/RtiServer.h"
#include "cao/Cao.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Past the provider's fast polling after the join's traffic.
constexpr int kIdleSettleMs = 3000;
constexpr int kBatch = 100;

using namespace bench;

// Chooses the run-time for the controllers opened next; false (with the state skipped)
// when it is not available here.
bool choose(benchmark::State& state, int runTime) {
    if (runTime == kEmbedded) {
        qputenv("CAO_HLA_RTI", "embedded");
        return true;
    }
    if ((runTime == kHla13 && !TANDREL_HAVE_HLA13) ||
        (runTime == kHla1516e && !TANDREL_HAVE_HLA1516E)) {
        state.SkipWithError("this build has no link to that RTI interface");
        return false;
    }
    const QString address = rtiServer().address();
    if (address.isEmpty()) {
        state.SkipWithError(rtiServer().error().c_str());
        return false;
    }
    qputenv("CAO_HLA_RTI", runTime == kHla13 ? "hla13" : "hla1516e");
    qputenv("CAO_HLA_RTI_ADDRESS", address.toLocal8Bit());
    return true;
}

void BM_IdleJoinedFederateBody(benchmark::State& state);
void BM_IdleJoinedFederate(benchmark::State& state) {
    guarded(state, BM_IdleJoinedFederateBody);
}
void BM_IdleJoinedFederateBody(benchmark::State& state) {
    if (!choose(state, int(state.range(0)))) return;
    const cao::EnginePtr eng = app::createEngine();
    double cpuShare = 0;
    for (auto _ : state) {
        ChatFederate federate(eng, "BenchIdle.Idle");
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
    ->ArgName("run_time")
    ->Arg(kEmbedded)
    ->Arg(kHla13)
    ->Arg(kHla1516e)
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
    if (!choose(state, int(state.range(0)))) return;
    const int gapMs = int(state.range(1));
    const cao::EnginePtr eng = app::createEngine();
    ChatFederate bench(eng, "BenchLatency.Bench");
    QProcess peer;
    peer.setStandardErrorFile(QProcess::nullDevice());
    peer.setStandardOutputFile(QProcess::nullDevice());
    peer.start(QStringLiteral(TANDREL_PEER_PATH), {"--name", "BenchLatency.Peer", "--var",
                                                   kChatMessage, "--echo", "--exit-after", "600"});
    if (!bench.primeUntil([&] { return !bench.received().empty(); })) {
        state.SkipWithError("the peer process did not echo");
        return;
    }
    std::vector<double> roundTripsMs;
    int n = 0;
    for (auto _ : state) {
        if (gapMs > 0) runEventLoopFor(gapMs);
        bench.received().clear();
        const QString text = QStringLiteral("t%1").arg(++n);
        QElapsedTimer clock;
        clock.start();
        bench.send(text);
        if (!pumpUntil([&] {
                return std::find(bench.received().begin(), bench.received().end(), text) !=
                       bench.received().end();
            })) {
            state.SkipWithError("an echo did not come back");
            break;
        }
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        roundTripsMs.push_back(ms);
        state.SetIterationTime(ms / 1000);
    }
    stopProcess(peer);
    countRoundTrips(state, roundTripsMs);
}
BENCHMARK(BM_RoundTripThroughPeerProcess)
    ->ArgNames({"run_time", "gap_ms"})
    ->Args({kHla13, 0})
    ->Args({kHla13, 100})
    ->Args({kHla1516e, 0})
    ->Args({kHla1516e, 100})
    ->Iterations(kRoundTrips)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Interactions one way as fast as the sender writes them: to a second federate of this
// process on the embedded run-time, to a tandrel-peer process through an RTI (as a bare
// receiver takes a thread of its own, so the peer takes a process of its own).
void BM_InteractionThroughputBody(benchmark::State& state);
void BM_InteractionThroughput(benchmark::State& state) {
    guarded(state, BM_InteractionThroughputBody);
}
void BM_InteractionThroughputBody(benchmark::State& state) {
    const int runTime = int(state.range(0));
    if (!choose(state, runTime)) return;
    const cao::EnginePtr eng = app::createEngine();
    ChatFederate sender(eng, "BenchFlow.Sender");
    std::unique_ptr<ChatFederate> receiver;
    QProcess peer;
    int arrived = 0;
    QByteArray pending;
    // Lines of the peer's log that carry a received value.
    const auto readPeer = [&] {
        pending += peer.readAllStandardOutput();
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1)) {
            if (pending.startsWith("3 : ")) ++arrived;
        }
        return arrived;
    };
    const auto received = [&]() -> int {
        return receiver ? int(receiver->received().size()) : readPeer();
    };
    if (runTime == kEmbedded) {
        receiver = std::make_unique<ChatFederate>(eng, "BenchFlow.Receiver");
    } else {
        peer.setStandardErrorFile(QProcess::nullDevice());
        peer.start(QStringLiteral(TANDREL_PEER_PATH),
                   {"--name", "BenchFlow.Receiver", "--var", kChatMessage, "--exit-after", "600"});
    }
    if (!sender.primeUntil([&] { return received() > 0; })) {
        state.SkipWithError("the receiver never received");
        return;
    }
    pumpUntil([] { return false; }, 300);
    for (auto _ : state) {
        const int before = received();
        for (int i = 0; i < kFlow; ++i) {
            sender.send(QStringLiteral("Hello from the sender"));
            if (i % kBatch == 0) QCoreApplication::processEvents();
        }
        if (!pumpUntil([&] { return received() >= before + kFlow; })) {
            state.SkipWithError("the interactions did not all arrive");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kFlow);
    stopProcess(peer);
}
BENCHMARK(BM_InteractionThroughput)
    ->ArgName("run_time")
    ->Arg(kEmbedded)
    ->Arg(kHla13)
    ->Arg(kHla1516e)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    // The provider and its links in this process, not behind the engine on the bus.
    qputenv("TANDREL_ENGINE", "embedded");
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
