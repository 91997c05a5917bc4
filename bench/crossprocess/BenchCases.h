#pragma once

// What the provider's cases and the bare federates' cases share, so that each figure is
// read beside its counterpart of the same size.

namespace bench {

// The run_time argument of a case.
inline constexpr int kEmbedded = 0;
inline constexpr int kHla13 = 1;
inline constexpr int kHla1516e = 2;

// Interactions sent one after another for a throughput figure.
inline constexpr int kFlow = 5000;
// Round trips of a latency figure.
inline constexpr int kRoundTrips = 200;
inline constexpr int kIdleMeasureMs = 5000;

}  // namespace bench
