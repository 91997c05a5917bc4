#pragma once

#include <cstdint>

namespace provider {

// Bits of a variable's option mask; bits that do not apply to a kind are ignored.
namespace option {
inline constexpr int32_t NoMessage = 1;        // received interactions raise no message
inline constexpr int32_t CreateObject = 2;     // register the object instance
inline constexpr int32_t BigEndian = 4;        // numbers travel big-endian
inline constexpr int32_t KeepOwnership = 8;    // do not release on request
inline constexpr int32_t ReleaseUnowned = 16;  // on removal release instead of deleting
inline constexpr int32_t NoPublish = 32;
inline constexpr int32_t NoSubscribe = 64;
}  // namespace option

inline bool hasOption(int32_t mask, int32_t bit) {
    return (mask & bit) != 0;
}

}  // namespace provider
