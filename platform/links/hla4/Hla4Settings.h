#pragma once

// How the provider reaches a Federate Protocol server: where it is, what it trusts, what it
// shows, and the session's own bounds.

#include "platform/links/hla4/ServerAddress.h"

#include <chrono>
#include <string>

namespace links::hla4 {

inline constexpr const char* kHla4RunTimeName = "HLA 4 run-time";

// The session's own bounds, in the provider's contract as CAO_HLA_HEARTBEAT, CAO_HLA_TIMEOUT
// and CAO_HLA_RESUME_WINDOW (seconds).
struct SessionTiming {
    // Idle this long, the client sends a heartbeat, which the server answers.
    std::chrono::milliseconds heartbeat{10000};
    // Silent this long (longer than the heartbeat), the connection counts as dropped.
    std::chrono::milliseconds timeout{30000};
    // Dropped this long without a resumed session, the session is lost; 0: never resumed.
    std::chrono::milliseconds resumeWindow{60000};
    // One connection and its first answer at most, when opening and at each resume attempt.
    std::chrono::milliseconds connect{5000};
};

struct Hla4Settings {
    ServerAddress server;
    SessionTiming timing;
    // PEM certificates trusted beside the system's for tls:// (CAO_HLA_RTI_CA_FILE); may be empty.
    std::string caFile;
    // A file holding the server's password (CAO_HLA_RTI_PASSWORD_FILE); empty: the engine's
    // token for a server on this machine, or no credentials.
    std::string passwordFile;
};

}  // namespace links::hla4
