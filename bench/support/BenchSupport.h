#pragma once

// What the benchmarks that run across threads and processes share: bounded waits that keep
// the event loop turning, stopping a process they started, a case that ends with its
// failure's description, and percentiles.

#include "cao/Error.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

namespace bench {

inline constexpr int kBoundMs = 20000;

// Turns the event loop until condition holds; false when boundMs passed first.
inline bool pumpUntil(const std::function<bool()>& condition, int boundMs = kBoundMs) {
    QDeadlineTimer deadline(boundMs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return true;
}

// The same, but sleeping in the event loop between events instead of spinning, so the
// waiting thread leaves the cores to the ones it waits for.
inline bool awaitUntil(const std::function<bool()>& condition, int boundMs = kBoundMs) {
    constexpr int kWakeMs = 50;
    QTimer wake;
    wake.start(kWakeMs);
    QDeadlineTimer deadline(boundMs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

inline constexpr int kStopMs = 5000;

// Asks a process this bench started to end, and kills it when it has not within the bound.
inline void stopProcess(QProcess& process) {
    if (process.state() == QProcess::NotRunning) return;
    process.terminate();
    if (!process.waitForFinished(kStopMs)) process.kill();
    process.waitForFinished(kStopMs);
}

inline void runEventLoopFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// An engine failure ends the case with its description instead of the whole run.
inline void guarded(benchmark::State& state, void (*body)(benchmark::State&)) {
    try {
        body(state);
    } catch (const cao::Error& e) {
        state.SkipWithError(e.description().toStdString().c_str());
    }
}

// The value below which percent of the samples lie; sorts them.
inline double percentile(std::vector<double>& samples, int percent) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    return samples[std::min(samples.size() - 1, samples.size() * size_t(percent) / 100)];
}

// A case's round trips as counters: median, 90th percentile and longest, and half the median
// as the one-way figure. Nothing when there are none.
inline void countRoundTrips(benchmark::State& state, std::vector<double>& roundTripsMs) {
    if (roundTripsMs.empty()) return;
    state.counters["one_way_median_ms"] = percentile(roundTripsMs, 50) / 2;
    state.counters["round_trip_median_ms"] = percentile(roundTripsMs, 50);
    state.counters["round_trip_p90_ms"] = percentile(roundTripsMs, 90);
    state.counters["round_trip_max_ms"] = roundTripsMs.back();
}

// CPU time this process has used, every thread's.
inline double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

}  // namespace bench
