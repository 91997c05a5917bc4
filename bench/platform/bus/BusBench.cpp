// The engine over the session bus. A flood from an engine service into a shown window's log;
// the round trip of an interaction between two clients of a tandrel-engine process (put_Value
// on one controller to OnMessage of the other); and the CPU an idle tandrel-engine takes
// while a client holds a joined controller. Needs a session bus:
//
//   dbus-run-session -- build/<preset>/bench/bench_bus [--benchmark_filter=...]

#include "bench/platform/bus/EngineProcess.h"
#include "bench/platform/bus/FloodProvider.h"
#include "bench/platform/bus/SocketBaseline.h"
#include "bench/support/BenchSupport.h"
#include "bench/support/RtiServer.h"
#include "bench/support/ShownLog.h"
#include "bench/support/WidgetBenchMain.h"
#include "cao/Cao.h"
#include "cao/ProviderContract.h"
#include "messages/MessageLog.h"
#include "messages/MessageLogModel.h"
#include "platform/bus/client/Connect.h"
#include "platform/bus/service/EngineThread.h"
#include "platform/engine/Engine.h"
#include "ui/MessageBoxService.h"

#include <QApplication>
#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QListView>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using bench::pumpUntil;

const QString kHla = QLatin1String(cao::contract::kProviderId);
const QString kMessage = QStringLiteral("InteractionRoot.Communication.Message");
const QString kOptions = QStringLiteral(
    "URL=file:///x/Chat.fed, TimePoli=0, TimeAdv=0, CurTime=0.0, LookAhead=0.5, AsyncDeli=0");
constexpr int32_t kReceivedInteraction = 3;
constexpr int kIdleMeasureMs = 5000;
// Past the provider's fast polling after the join's traffic.
constexpr int kIdleSettleMs = 3000;
constexpr int kFloodBoundMs = 120000;
constexpr int32_t kWarmUpMessages = 20000;

// Without a session bus every case says so instead of failing.
bool haveSessionBus(benchmark::State& state) {
    if (QDBusConnection::sessionBus().isConnected()) return true;
    state.SkipWithError("no D-Bus session bus: run under dbus-run-session");
    return false;
}

using Window = benchsupport::ShownLog;

using bench::EngineProcess;
using bench::label;
using bench::Path;
using bench::pathArgument;

struct Chat {
    cao::WorkspacePtr workspace;
    cao::ControllerPtr controller;
    cao::VariablePtr message;
    Chat(const cao::EnginePtr& eng, const QString& name) {
        workspace = eng->Workspaces()->Item(cao::Variant::fromI4(0));
        controller = workspace->AddController(name, kHla, QString(), kOptions);
        message = controller->Variables()->Add(kMessage, QStringLiteral("Option=0"));
    }
    ~Chat() {
        controller->SetOnMessage({});
        workspace->Controllers()->Remove(cao::Variant::fromI4(controller->Index()));
    }
};

// put_Value on the engine's side raises the messages; the time runs until the last is a line
// in the log. Second argument: the path, as pathArgument reads it. Beside the rate, the
// longest turn of the window's event loop: the largest gap a 0 ms timer sees.
void BM_FloodIntoShownLogBody(benchmark::State& state);
void BM_FloodIntoShownLog(benchmark::State& state) {
    bench::guarded(state, BM_FloodIntoShownLogBody);
}
void BM_FloodIntoShownLogBody(benchmark::State& state) {
    if (!haveSessionBus(state)) return;
    const auto total = int32_t(state.range(0));
    const Path path = pathArgument(state.range(1));
    label(state, path);
    using Peers = bus::service::EngineThread::Peers;
    bus::service::EngineThread engineSide(
        [](const engine::ClientContext& client) {
            engine::ProviderRegistry providers;
            providers.add(bench::kFloodProvider, bench::floodFactory());
            return std::make_shared<engine::Engine>(std::move(providers), client);
        },
        QString(),
        path == Path::Channel ? Peers::Taken
        : path == Path::Peer  ? Peers::WithoutChannel
                              : Peers::BusOnly);
    const cao::EnginePtr eng = bus::client::connectEngine({engineSide.service(), {}});
    cao::WorkspacePtr workspace = eng->Workspaces()->Item(cao::Variant::fromI4(0));
    cao::ControllerPtr controller =
        workspace->AddController(QStringLiteral("Flood.Window"), bench::kFloodProvider, {}, {});
    cao::VariablePtr trigger = controller->Variables()->Add(kMessage, QStringLiteral("Option=0"));
    double longestTurnMs = 0;
    QElapsedTimer sinceTurn;
    QTimer turns;
    turns.setInterval(0);
    QObject::connect(&turns, &QTimer::timeout, [&] {
        if (sinceTurn.isValid()) {
            longestTurnMs = std::max(longestTurnMs, double(sinceTurn.nsecsElapsed()) / 1e6);
        }
        sinceTurn.start();
    });
    // Floods a shown window with count messages and hands it back; none, the case skipped,
    // when they do not all arrive.
    const auto flood = [&](int32_t count,
                           const std::function<void()>& started) -> std::unique_ptr<Window> {
        auto window = std::make_unique<Window>();
        controller->SetOnMessage(
            [log = &window->log](const cao::MessagePtr& message) { log->OnMessage(message); });
        QApplication::processEvents();
        started();
        trigger->put_Value(cao::Variant::fromI4(count));
        const bool arrived = bench::awaitUntil(
            [&] { return window->log.model().lineCount() >= count; }, kFloodBoundMs);
        turns.stop();
        if (!arrived) {
            const std::string reached =
                QStringLiteral("the flood did not reach the log in full: %1 of %2 lines")
                    .arg(window->log.model().lineCount())
                    .arg(count)
                    .toStdString();
            state.SkipWithError(reached.c_str());
        }
        controller->SetOnMessage({});
        if (!arrived) window.reset();
        return window;
    };
    // The first window's fonts and the first flood's memory are no part of the path.
    if (!flood(kWarmUpMessages, [] {})) return;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Window> flooded = flood(total, [&] {
            state.ResumeTiming();
            sinceTurn.invalidate();
            turns.start();
        });
        state.PauseTiming();
        if (!flooded) break;
        flooded.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * total);
    state.counters["longest_ui_turn_ms"] = longestTurnMs;
}
BENCHMARK(BM_FloodIntoShownLog)
    ->Args({100000, 0})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Two clients of one engine process, each with a federate in the chat room.
void BM_RoundTripBetweenClientsBody(benchmark::State& state);
void BM_RoundTripBetweenClients(benchmark::State& state) {
    bench::guarded(state, BM_RoundTripBetweenClientsBody);
}
void BM_RoundTripBetweenClientsBody(benchmark::State& state) {
    if (!haveSessionBus(state)) return;
    EngineProcess engineProcess;
    engineProcess.awaitService();
    label(state, Path::Channel);
    const cao::EnginePtr first = engineProcess.connect();
    const cao::EnginePtr second = engineProcess.connect();
    Chat a(first, QStringLiteral("ChatRoom.A"));
    Chat b(second, QStringLiteral("ChatRoom.B"));
    auto received = std::make_shared<std::vector<QString>>();
    b.controller->SetOnMessage([received](const cao::MessagePtr& message) {
        if (message->Number() == kReceivedInteraction)
            received->push_back(message->Value().string());
    });
    // Until B's subscription has reached A's federate, writes reach nobody.
    int primed = 0;
    QElapsedTimer sinceWrite;
    if (!pumpUntil([&] {
            if (!received->empty()) return true;
            if (!sinceWrite.isValid() || sinceWrite.elapsed() > 200) {
                a.message->put_Value(
                    cao::Variant::fromString(QStringLiteral("prime %1").arg(++primed)));
                sinceWrite.restart();
            }
            return false;
        })) {
        state.SkipWithError("B never received A's interaction");
        return;
    }
    pumpUntil([] { return false; }, 300);
    std::vector<double> roundTripsMs;
    int n = 0;
    for (auto _ : state) {
        received->clear();
        const QString text = QStringLiteral("t%1").arg(++n);
        QElapsedTimer clock;
        clock.start();
        a.message->put_Value(cao::Variant::fromString(text));
        if (!pumpUntil([&] { return !received->empty() && received->back() == text; })) {
            state.SkipWithError("an interaction did not arrive");
            break;
        }
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        roundTripsMs.push_back(ms);
        state.SetIterationTime(ms / 1000);
    }
    bench::countRoundTrips(state, roundTripsMs);
}
BENCHMARK(BM_RoundTripBetweenClients)
    ->Iterations(500)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Two clients of one engine process play ping-pong: each answers the other's text with one
// of its own from inside its message handler, as two peers with --echo do. Round trips per
// second, beside the floor: one call to the engine and its answer. Second argument: the
// path, as pathArgument reads it; third: 1 when their controllers join through rtinode on
// the HLA 1.3 run-time rather than the engine's embedded one.
void BM_PingPongBetweenClientsBody(benchmark::State& state);
void BM_PingPongBetweenClients(benchmark::State& state) {
    bench::guarded(state, BM_PingPongBetweenClientsBody);
}
void BM_PingPongBetweenClientsBody(benchmark::State& state) {
    if (!haveSessionBus(state)) return;
    const auto rounds = int(state.range(0));
    const Path path = pathArgument(state.range(1));
    label(state, path);
    const bool throughRtinode = state.range(2) != 0;
    if (throughRtinode && !TANDREL_HAVE_HLA13) {
        state.SkipWithError("the HLA 1.3 run-time's plug-in is not built");
        return;
    }
    if (throughRtinode && bench::rtiServer().address().isEmpty()) {
        state.SkipWithError(bench::rtiServer().error().c_str());
        return;
    }
    EngineProcess engineProcess(path);
    engineProcess.awaitService();
    // The clients hand their context over as they connect.
    if (throughRtinode) {
        qputenv("CAO_HLA_RTI", "hla13");
        qputenv("CAO_HLA_RTI_ADDRESS", bench::rtiServer().address().toUtf8());
    }
    const cao::EnginePtr first = engineProcess.connect();
    const cao::EnginePtr second = engineProcess.connect();
    qunsetenv("CAO_HLA_RTI");
    qunsetenv("CAO_HLA_RTI_ADDRESS");
    if (throughRtinode) state.SetLabel("rtinode, HLA 1.3, channel beside the peer connection");
    Chat a(first, QStringLiteral("ChatRoom.Ping"));
    Chat b(second, QStringLiteral("ChatRoom.Pong"));
    int returned = 0;
    bool running = false;
    b.controller->SetOnMessage([&](const cao::MessagePtr& message) {
        if (message->Number() == kReceivedInteraction) b.message->put_Value(message->Value());
    });
    a.controller->SetOnMessage([&](const cao::MessagePtr& message) {
        if (message->Number() != kReceivedInteraction || !running) return;
        if (++returned < rounds) a.message->put_Value(cao::Variant::fromI4(returned));
    });
    // Until each side's subscription has reached the other, writes reach nobody.
    running = true;
    if (!bench::awaitUntil(
            [&] {
                if (returned == 0) a.message->put_Value(cao::Variant::fromString("prime"));
                return returned > 0;
            },
            kFloodBoundMs)) {
        state.SkipWithError("the two clients never heard each other");
        return;
    }
    for (auto _ : state) {
        returned = 0;
        a.message->put_Value(cao::Variant::fromI4(0));
        if (!bench::awaitUntil([&] { return returned >= rounds; }, kFloodBoundMs)) {
            state.SkipWithError("the ping-pong stopped");
            break;
        }
    }
    running = false;
    state.SetItemsProcessed(state.iterations() * rounds);
    state.counters["round_trips_per_s"] =
        benchmark::Counter(double(state.iterations() * rounds), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PingPongBetweenClients)
    ->Args({5000, 0, 0})
    ->Args({5000, 1, 0})
    ->Args({5000, 2, 0})
    ->Args({5000, 0, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One call to the engine process and its answer, the least a round trip through it costs:
// GetValue of a registered variable, each timed, beside the baseline measured first in the
// same case (a blocking 64-byte round trip over a Unix socket between two processes).
constexpr int kBaselineRounds = 100000;
void BM_EngineCallFloorBody(benchmark::State& state);
void BM_EngineCallFloor(benchmark::State& state) {
    bench::guarded(state, BM_EngineCallFloorBody);
}
void BM_EngineCallFloorBody(benchmark::State& state) {
    if (!haveSessionBus(state)) return;
    const Path path = pathArgument(state.range(0));
    label(state, path);
    std::vector<double> socketNs = bench::unixSocketRoundTripsNs(kBaselineRounds);
    const double socketMedianUs = bench::median(socketNs) / 1000;
    EngineProcess engineProcess(path);
    engineProcess.awaitService();
    const cao::EnginePtr eng = engineProcess.connect();
    Chat idle(eng, QStringLiteral("ChatRoom.Floor"));
    idle.message->put_Value(cao::Variant::fromString(QStringLiteral("floor")));
    std::vector<double> callNs;
    callNs.reserve(size_t(state.max_iterations));
    QElapsedTimer clock;
    for (auto _ : state) {
        clock.start();
        benchmark::DoNotOptimize(idle.message->get_Value());
        callNs.push_back(double(clock.nsecsElapsed()));
    }
    const double callMedianUs = bench::median(callNs) / 1000;
    state.counters["call_median_us"] = callMedianUs;
    state.counters["socket_round_trip_median_us"] = socketMedianUs;
    state.counters["call_per_socket_round_trip"] = callMedianUs / socketMedianUs;
    state.counters["calls_per_s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EngineCallFloor)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(20000)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_IdleEngineProcessBody(benchmark::State& state);
void BM_IdleEngineProcess(benchmark::State& state) {
    bench::guarded(state, BM_IdleEngineProcessBody);
}
void BM_IdleEngineProcessBody(benchmark::State& state) {
    if (!haveSessionBus(state)) return;
    EngineProcess engineProcess;
    engineProcess.awaitService();
    label(state, Path::Channel);
    const cao::EnginePtr eng = engineProcess.connect();
    double cpuShare = 0;
    double idleCpuMs = 0;
    for (auto _ : state) {
        Chat idle(eng, QStringLiteral("ChatRoom.Idle"));
        idle.controller->SetOnMessage([](const cao::MessagePtr&) {});
        bench::runEventLoopFor(kIdleSettleMs);
        const double cpuBefore = engineProcess.cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        bench::runEventLoopFor(kIdleMeasureMs);
        const double cpuSeconds = engineProcess.cpuSeconds() - cpuBefore;
        idleCpuMs = cpuSeconds * 1000;
        cpuShare = cpuSeconds / (double(wall.nsecsElapsed()) / 1e9);
    }
    state.counters["cpu_percent_of_core"] = cpuShare * 100;
    state.counters["idle_cpu_ms"] = idleCpuMs;
    // Since the engine started, joining included: shows the reading works at all.
    state.counters["engine_cpu_seconds_total"] = engineProcess.cpuSeconds();
}
BENCHMARK(BM_IdleEngineProcess)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return bench::runWidgetBenchmarks(argc, argv);
}
