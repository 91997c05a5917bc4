// Two bare federates of OpenRTI's own interface, nothing of Tandrel between them and the RTI:
// the figures each of the provider's cases (CrossProcessBench.cpp) is read beside, through
// the same rtinode in the same run.

#include "bench/crossprocess/BareFederates.h"
#include "bench/crossprocess/BenchCases.h"
#include "bench/support/BenchSupport.h"
#include "bench/support/RtiServer.h"

#include <benchmark/benchmark.h>

#include <optional>
#include <string>

namespace {

using namespace bench;

const std::string kFed = TANDREL_SOURCE_DATA_DIR "/Chat.fed";
const std::string kFom = TANDREL_SOURCE_DATA_DIR "/Chat.xml";

// Runs call(address, fed-or-fom, on 1.3?) through the run's RTI server; nothing, with the case
// skipped and the reason said, when there is no server or no figure.
template <typename Call>
auto measured(benchmark::State& state, Call call) -> std::optional<decltype(call("", "", true))> {
    const std::string address = rtiServer().address().toStdString();
    if (address.empty()) {
        state.SkipWithError(rtiServer().error().c_str());
        return std::nullopt;
    }
    const bool hla13 = state.range(0) == kHla13;
    decltype(call("", "", true)) result;
    for (auto _ : state) result = call(address, hla13 ? kFed : kFom, hla13);
    if (!result.error.empty()) {
        state.SkipWithError(result.error.c_str());
        return std::nullopt;
    }
    return result;
}

void BM_BareInteractionThroughput(benchmark::State& state) {
    const auto rate =
        measured(state, [](const std::string& address, const std::string& fom, bool hla13) {
            return hla13 ? bareThroughputHla13(address, fom, kFlow)
                         : bareThroughputHla1516e(address, fom, kFlow);
        });
    if (rate) state.counters["items_per_second"] = rate->interactionsPerSecond;
}
BENCHMARK(BM_BareInteractionThroughput)
    ->ArgName("run_time")
    ->Arg(kHla13)
    ->Arg(kHla1516e)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A second bare federate answers each interaction: the round trip through the RTI and back.
void BM_BareRoundTrip(benchmark::State& state) {
    const int gapMs = int(state.range(1));
    auto trips =
        measured(state, [gapMs](const std::string& address, const std::string& fom, bool hla13) {
            return hla13 ? bareRoundTripsHla13(address, fom, kRoundTrips, gapMs)
                         : bareRoundTripsHla1516e(address, fom, kRoundTrips, gapMs);
        });
    if (trips) countRoundTrips(state, trips->roundTripsMs);
}
BENCHMARK(BM_BareRoundTrip)
    ->ArgNames({"run_time", "gap_ms"})
    ->Args({kHla13, 0})
    ->Args({kHla13, 100})
    ->Args({kHla1516e, 0})
    ->Args({kHla1516e, 100})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One joined bare federate waiting in the RTI for callbacks.
void BM_BareIdleFederate(benchmark::State& state) {
    const auto idle =
        measured(state, [](const std::string& address, const std::string& fom, bool hla13) {
            return hla13 ? bareIdleHla13(address, fom, kIdleMeasureMs)
                         : bareIdleHla1516e(address, fom, kIdleMeasureMs);
        });
    if (idle) state.counters["cpu_percent_of_core"] = idle->cpuShare * 100;
}
BENCHMARK(BM_BareIdleFederate)
    ->ArgName("run_time")
    ->Arg(kHla13)
    ->Arg(kHla1516e)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
