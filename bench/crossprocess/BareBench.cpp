// Two bare federates of OpenRTI's own interface, nothing of Tandrel between them and the RTI:
// the figures each of the provider's cases (CrossProcessBench.cpp) is read beside, through
// the same rtinode in the same run.

#include "bench/crossprocess/BareFederates.h"
#include "bench/crossprocess/BenchCases.h"
#include "bench/crossprocess/RtiServer.h"
#include "bench/support/BenchSupport.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace bench;

const std::string kFed = TANDREL_SOURCE_DATA_DIR "/Chat.fed";
const std::string kFom = TANDREL_SOURCE_DATA_DIR "/Chat.xml";

// The run's RTI server; empty, with the case skipped, when there is none.
std::string serverFor(benchmark::State& state) {
    const std::string address = rtiServer().address().toStdString();
    if (address.empty()) state.SkipWithError(rtiServer().error().c_str());
    return address;
}

bool skipped(benchmark::State& state, const std::string& error) {
    if (!error.empty()) state.SkipWithError(error.c_str());
    return !error.empty();
}

void BM_BareInteractionThroughput(benchmark::State& state) {
    const std::string address = serverFor(state);
    if (address.empty()) return;
    BareRate rate;
    for (auto _ : state) {
        rate = state.range(0) == kHla13 ? bareThroughputHla13(address, kFed, kFlow)
                                        : bareThroughputHla1516e(address, kFom, kFlow);
    }
    if (skipped(state, rate.error)) return;
    state.counters["items_per_second"] = rate.interactionsPerSecond;
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
    const std::string address = serverFor(state);
    if (address.empty()) return;
    const int gapMs = int(state.range(1));
    BareRoundTrips trips;
    for (auto _ : state) {
        trips = state.range(0) == kHla13
                    ? bareRoundTripsHla13(address, kFed, kRoundTrips, gapMs)
                    : bareRoundTripsHla1516e(address, kFom, kRoundTrips, gapMs);
    }
    if (skipped(state, trips.error)) return;
    state.counters["one_way_median_ms"] = percentile(trips.roundTripsMs, 50) / 2;
    state.counters["round_trip_median_ms"] = percentile(trips.roundTripsMs, 50);
    state.counters["round_trip_p90_ms"] = percentile(trips.roundTripsMs, 90);
    state.counters["round_trip_max_ms"] = trips.roundTripsMs.back();
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
    const std::string address = serverFor(state);
    if (address.empty()) return;
    BareIdle idle;
    for (auto _ : state) {
        idle = state.range(0) == kHla13 ? bareIdleHla13(address, kFed, kIdleMeasureMs)
                                        : bareIdleHla1516e(address, kFom, kIdleMeasureMs);
    }
    if (skipped(state, idle.error)) return;
    state.counters["cpu_percent_of_core"] = idle.cpuShare * 100;
}
BENCHMARK(BM_BareIdleFederate)
    ->ArgName("run_time")
    ->Arg(kHla13)
    ->Arg(kHla1516e)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
