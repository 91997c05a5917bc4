#include "platform/fedpro/protocol/Sequence.h"

#include <climits>

namespace fedpro {

namespace {

// The numbers 0..INT32_MAX wrap modulo 2^31; newer means ahead by less than half of that.
constexpr std::uint32_t kRangeMask = 0x7fffffffU;
constexpr std::uint32_t kHalfRange = 0x40000000U;

}  // namespace

std::int32_t nextSequence(std::int32_t s) {
    if (s < 0 || s == INT32_MAX) {
        return kFirstSequence;
    }
    return s + 1;
}

bool isNewer(std::int32_t candidate, std::int32_t reference) {
    if (candidate < 0) {
        return false;
    }
    if (reference < 0) {
        return true;
    }
    const std::uint32_t ahead =
        (static_cast<std::uint32_t>(candidate) - static_cast<std::uint32_t>(reference)) &
        kRangeMask;
    return ahead != 0 && ahead < kHalfRange;
}

}  // namespace fedpro
