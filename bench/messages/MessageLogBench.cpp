// The message log under a flood: messages handled per second from delivery to appended line,
// and the memory a line takes beyond its text. Runs on the offscreen platform.
#include "bench/support/ShownLog.h"
#include "bench/support/WidgetBenchMain.h"
#include "cao/Cao.h"
#include "messages/MessageLog.h"
#include "messages/MessageLogModel.h"
#include "ui/MessageBoxService.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QListView>

#include <malloc.h>

namespace {

constexpr int kLines = 1'000'000;
// The engine returns to the event loop at least this often during a flood.
constexpr int kSliceMs = 10;

// A received interaction as the provider reports it.
class CommunicationMessage : public cao::CaoMessage {
public:
    int32_t Number() override { return 3; }
    cao::Variant Value() override { return cao::Variant::fromString(m_text); }
    cao::Variant Time() override { return cao::Variant::fromR8(m_time); }
    QString Source() override { return m_source; }
    void Acknowledge() override {}

    void next() { m_time += 0.25; }

private:
    QString m_text = QStringLiteral("Hello from the other federate");
    QString m_source = QStringLiteral("InteractionRoot.Communication.Message");
    double m_time = 1.0;
};

using Window = benchsupport::ShownLog;

size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// A flood into a fresh log on a shown list, delivered in slices as the engine does; the
// slice's end lets the view take new lines, lay out and paint.
void MessagesHandled(benchmark::State& state) {
    Window window;
    auto message = std::make_shared<CommunicationMessage>();
    QElapsedTimer slice;
    slice.start();
    for (auto _ : state) {
        message->next();
        window.log.OnMessage(message);
        if (slice.elapsed() >= kSliceMs) {
            QApplication::processEvents();
            slice.restart();
        }
    }
    window.log.model().flush();
    QApplication::processEvents();
    state.SetItemsProcessed(state.iterations());
    state.counters["lines"] = double(window.log.model().rowCount());
}

void MemoryPerLine(benchmark::State& state, bool laidOut) {
    for (auto _ : state) {
        Window window;
        auto message = std::make_shared<CommunicationMessage>();
        QApplication::processEvents();
        const size_t before = heapInUse();
        qsizetype textBytes = 0;
        for (int i = 0; i < kLines; ++i) {
            message->next();
            window.log.OnMessage(message);
        }
        if (laidOut) {
            for (int pass = 0; pass < 3; ++pass) QApplication::processEvents();
        }
        const size_t after = heapInUse();
        for (qsizetype row = 0; row < kLines; ++row) {
            textBytes += window.log.model().line(row).size() * qsizetype(sizeof(char16_t));
        }
        const double lines = kLines;
        state.counters["text_bytes_per_line"] = double(textBytes) / lines;
        state.counters["bytes_per_line_beyond_text"] =
            (double(after) - double(before) - double(textBytes)) / lines;
    }
}

// What one batch costs the view once the log is long: it lays out every row again.
void ViewLayoutAfterABatch(benchmark::State& state) {
    Window window;
    auto message = std::make_shared<CommunicationMessage>();
    for (int i = 0; i < state.range(0); ++i) window.log.OnMessage(message);
    window.log.model().flush();
    for (int pass = 0; pass < 3; ++pass) QApplication::processEvents();
    for (auto _ : state) {
        window.log.OnMessage(message);
        window.log.model().flush();
        for (int pass = 0; pass < 3; ++pass) QApplication::processEvents();
    }
}

}  // namespace

BENCHMARK(ViewLayoutAfterABatch)->Arg(1000)->Arg(kLines)->Unit(benchmark::kMillisecond);
BENCHMARK(MessagesHandled)->Iterations(kLines)->Unit(benchmark::kNanosecond);
// The log's own memory, then with the view's layout of a million rows added.
BENCHMARK_CAPTURE(MemoryPerLine, Log, false)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MemoryPerLine, LogAndView, true)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return bench::runWidgetBenchmarks(argc, argv);
}
