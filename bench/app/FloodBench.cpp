// A flood through the whole program: a peer federate sends interactions that the window's
// controller receives, as messages handed out by the embedded engine into the message log.
// Reports messages handled per second and the longest time the event loop was kept busy.

#include "app/frmMain.h"
#include "cao/ProviderContract.h"
#include "messages/MessageLogModel.h"
#include "platform/engine/Engine.h"
#include "platform/provider/HlaProvider.h"
#include "ui/MessageBoxService.h"
#include "ui_frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

struct SilentBox : ui::MessageBoxService {
    void show(const QString&) override {}
};

const QString kOptions =
    "URL=file:///D:/ZUzI2/CAO/ProviderLib/HLA/Bin/Chat.fed, TimePoli=0, TimeAdv=0, "
    "CurTime=0.0, LookAhead=0.5, AsyncDeli=0";
const QString kName = "InteractionRoot.Communication.Message#I4";

void BM_FloodIntoTheWindow(benchmark::State& state) {
    const int total = static_cast<int>(state.range(0));
    double longestBusyMs = 0;
    int busyOver20Ms = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SilentBox box;
        engine::ProviderRegistry providers;
        provider::registerProvider(providers);
        auto eng = std::make_shared<engine::Engine>(std::move(providers));
        frmMain window(box);
        window.load([&] { return eng; });
        window.show();
        window.form().cmdOpen->click();
        window.form().cmbVarNames->setEditText(kName);
        window.form().cmdGetVar->click();
        auto ws = eng->Workspaces()->Item(cao::Variant::fromI2(0));
        auto peer = ws->AddController("ChatRoom.Peer", cao::contract::kProviderId, "", kOptions);
        peer->Variables()->Add(kName, "Option=0");
        auto sender = peer->Variables()->Item(cao::Variant::fromString(kName));
        for (int i = 0; i < total; ++i) sender->put_Value(cao::Variant::fromI4(i));
        auto* log = qobject_cast<messages::MessageLogModel*>(window.form().lstMessage->model());
        const qsizetype before = log->lineCount();
        state.ResumeTiming();

        // A zero timer runs at every free turn of the event loop; the gap between two of its
        // runs is how long painting and the window's timer would have had to wait.
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        QTimer probe;
        probe.setInterval(0);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            const double busyMs = (now - last) / 1e6;
            longestBusyMs = std::max(longestBusyMs, busyMs);
            busyOver20Ms += busyMs > 20 ? 1 : 0;
            last = now;
        });
        probe.start();
        while (log->lineCount() - before < total) QApplication::processEvents();
        probe.stop();

        state.PauseTiming();
        ws->Controllers()->Remove(cao::Variant::fromI4(peer->Index()));
        window.close();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * total);
    state.counters["longest_busy_ms"] = longestBusyMs;
    state.counters["busy_over_20ms"] = busyOver20Ms;
}
BENCHMARK(BM_FloodIntoTheWindow)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
