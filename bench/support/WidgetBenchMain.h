#pragma once

// The body of main for a benchmark that shows widgets: offscreen unless the environment
// names a platform, and an argument the benchmark library does not know refused.

#include <QApplication>

#include <benchmark/benchmark.h>

namespace bench {

inline int runWidgetBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench
