#pragma once

#include "platform/fedpro/protocol/Frame.h"

#include <chrono>
#include <cstddef>

// The defaults both sides of the Federate Protocol start from; the server's options and the
// link's variables may set others.
namespace fedpro::bounds {

// A packet's payload: room for a 16 MiB FOM module's content in one call.
inline constexpr std::size_t kMaxPayloadSize = std::size_t{16} << 20;
inline constexpr std::size_t kMaxPacketSize = kHeaderSize + kMaxPayloadSize;

// Calls, callbacks and answers sent but not yet acknowledged by the peer, kept for a resend
// after a resume. A peer that stops acknowledging (it stops reading) fills them, and its
// session is then lost rather than holding ever more.
inline constexpr std::size_t kHistoryFrames = 32768;
inline constexpr std::size_t kHistoryBytes = std::size_t{64} << 20;

// A client sends a heartbeat after this long without sending anything; a server never sends
// one (clients take it as an error) but answers each.
inline constexpr std::chrono::seconds kHeartbeatInterval{60};
// A session from which nothing has arrived for this long is taken as dropped: three missed
// heartbeats.
inline constexpr std::chrono::seconds kSessionTimeout{180};
// How long a dropped session may still be resumed on a new connection; after it, the
// session is lost (on the server: its federate resigns with its resign action).
inline constexpr std::chrono::seconds kResumeWindow{600};
// From the connection to a session that has connected (new session, its status, connect):
// a session that does not get there in time is ended.
inline constexpr std::chrono::seconds kConnectTime{15};

}  // namespace fedpro::bounds
