#pragma once

#include <cstdint>

namespace provider {

// The numbers of the messages a controller of the provider raises.
namespace message {
inline constexpr int32_t Failure = -1;        // an asynchronous failure, described
inline constexpr int32_t Notice = 0;          // joined, enabled, discovered, ownership
inline constexpr int32_t PointAnnounced = 1;  // Acknowledge reports it achieved
inline constexpr int32_t FederationSynchronized = 2;
inline constexpr int32_t InteractionReceived = 3;
inline constexpr int32_t AttributeReflected = 4;
inline constexpr int32_t AdvanceGranted = 5;
}  // namespace message

}  // namespace provider
