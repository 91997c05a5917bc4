#pragma once

// The engine's server's own bounds, beside the protocol's shared ones (Bounds.h): what one
// client may hold of the engine, so that no client can take it from the others.

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace fedpro::server {

// The port the protocol is served on unless one is given.
inline constexpr std::uint16_t kDefaultPort = 15164;
// Over TLS.
inline constexpr std::uint16_t kDefaultTlsPort = 15165;

// Sessions the server keeps at once, a dropped one waiting for its resume included, and
// sessions (with connections not yet in a session) from one address.
inline constexpr std::size_t kMaxSessions = 64;
inline constexpr std::size_t kMaxSessionsPerAddress = 16;

// What one session's federate may make: federation executions created, object instances
// registered and still standing, synchronisation points registered, names reserved.
inline constexpr std::size_t kMaxFederationsPerSession = 16;
inline constexpr std::size_t kMaxObjectsPerSession = 100000;
inline constexpr std::size_t kMaxSyncPointsPerSession = 1000;
inline constexpr std::size_t kMaxReservedNamesPerSession = 100000;

// Callbacks sent and not yet answered: beyond it the rest wait in the run-time's queue.
inline constexpr std::size_t kMaxUnansweredCallbacks = 4096;
// Callbacks waiting in the run-time's queue for a federate that does not take them: beyond
// it the federate is lost.
inline constexpr std::size_t kMaxQueuedCallbacks = 262144;
// Bytes written to a connection and not yet taken by the client: beyond it the client is
// taken to have stopped reading, and its federate is lost.
inline constexpr std::int64_t kMaxUnsentBytes = 64LL * 1024 * 1024;

// Frames handled, and callbacks sent, in one pass before other sessions get their turn.
inline constexpr int kFramesPerPass = 256;
inline constexpr int kCallbacksPerPass = 256;
// Bytes read from a socket in one go.
inline constexpr std::int64_t kReadChunk = 256 * 1024;

// How often a session checks for silence and for the end of its connect or resume window.
inline constexpr std::chrono::milliseconds kWatchInterval{1000};
// How long a closing connection may take to send what was written to it.
inline constexpr std::chrono::milliseconds kCloseBound{5000};
// How long starting and stopping the server's thread may take.
inline constexpr std::chrono::milliseconds kThreadBound{10000};

// Bytes of a FOM module read from a file of the FOM directories.
inline constexpr std::int64_t kMaxModuleFileBytes = 16LL * 1024 * 1024;
// FOM modules in one call.
inline constexpr int kMaxModulesPerCall = 64;

}  // namespace fedpro::server
