#pragma once

#include <vector>

namespace bench {

// Bytes each way in the baseline round trip.
inline constexpr int kBaselineMessageBytes = 64;

// The baseline every call to the engine is held against: blocking round trips of 64 bytes
// over a Unix socket pair between this process and a child it forks, each in nanoseconds.
// Throws cao::Error saying why none could be measured.
std::vector<double> unixSocketRoundTripsNs(int rounds);

// The median of the samples, which it sorts.
double median(std::vector<double>& samples);

}  // namespace bench
