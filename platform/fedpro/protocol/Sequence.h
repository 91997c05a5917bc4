#pragma once

#include <cstdint>

namespace fedpro {

// Sequence numbers run from 0 up to INT32_MAX, then from 0 again.
inline constexpr std::int32_t kFirstSequence = 0;

// The number after s: INT32_MAX is followed by 0, and so is any negative (no number yet).
std::int32_t nextSequence(std::int32_t s);

// Whether candidate comes after reference, counting across the wrap: within half the range
// ahead of it. Every number is newer than a negative reference (none); a negative candidate
// is never newer.
bool isNewer(std::int32_t candidate, std::int32_t reference);

}  // namespace fedpro
