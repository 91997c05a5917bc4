#pragma once

// What the HLA provider and the programs that use it agree on: the provider's identifier, the
// numbers of the messages a controller raises, the names of its system variables, the bits
// of a variable's option mask and the variables of its environment. The provider implements these;
// the window, the message log and the peer rely on them.

#include <array>
#include <cstdint>

namespace cao::contract {

// The identifier the engine registers the provider under; every controller is opened with it.
inline constexpr const char* kProviderId = "CaoProv.Zarn.HLA";

// The numbers of the messages a controller raises.
namespace message {
inline constexpr int32_t Failure = -1;        // an asynchronous failure, described
inline constexpr int32_t Notice = 0;          // joined, enabled, discovered, ownership
inline constexpr int32_t PointAnnounced = 1;  // Acknowledge reports the point achieved
inline constexpr int32_t FederationSynchronized = 2;
inline constexpr int32_t InteractionReceived = 3;
inline constexpr int32_t AttributeReflected = 4;
inline constexpr int32_t AdvanceGranted = 5;
inline constexpr int32_t WaitReport = 6;  // what holds an advance, a point or a write
}  // namespace message

// The system variables: a name that begins with kSystemPrefix names one of these.
namespace variable {
inline constexpr char kSystemPrefix = '@';
inline constexpr const char* kCurrentTime = "@CURRENT_TIME";
inline constexpr const char* kAdvanceTime = "@ADVANCE_TIME";
inline constexpr const char* kLookahead = "@LOOKAHEAD";
inline constexpr const char* kLbts = "@LBTS";
inline constexpr const char* kNextEventTime = "@NEXTEVENT_TIME";
inline constexpr const char* kSyncPoint = "@SYNC_POINT";
inline constexpr const char* kFederates = "@FEDERATES";     // one line per federate
inline constexpr const char* kWaitingFor = "@WAITING_FOR";  // what holds a wait, or ""
}  // namespace variable

// Bits of a variable's option mask; bits that do not apply to a variable's kind are ignored.
namespace option {
inline constexpr int32_t NoMessage = 1;        // received interactions raise no message
inline constexpr int32_t CreateObject = 2;     // register the object instance
inline constexpr int32_t BigEndian = 4;        // numbers travel big-endian
inline constexpr int32_t KeepOwnership = 8;    // do not release on request
inline constexpr int32_t ReleaseUnowned = 16;  // on removal release instead of deleting
inline constexpr int32_t NoPublish = 32;
inline constexpr int32_t NoSubscribe = 64;
}  // namespace option

// The provider's environment: every variable whose name begins with kPrefix is the provider's.
// A client of the engine hands its own values of them to the engine, so the provider reads
// the client's, not those of the engine process.
namespace environment {
inline constexpr const char* kPrefix = "CAO_HLA_";
inline constexpr const char* kRunTime = "CAO_HLA_RTI";  // embedded, hla13, hla1516e or hla4
inline constexpr const char* kRunTimeAddress = "CAO_HLA_RTI_ADDRESS";  // scheme://host:port
inline constexpr const char* kRunTimeLibrary = "CAO_HLA_RTI_LIBRARY";  // the RTI's libraries
// With hla4, a Federate Protocol server at tcp://host[:port] (15164) or tls://host[:port]
// (15165). The session's bounds, in seconds (a decimal number):
inline constexpr const char* kHeartbeat = "CAO_HLA_HEARTBEAT";  // idle, a heartbeat; 10
inline constexpr const char* kTimeout = "CAO_HLA_TIMEOUT";      // silent, dropped; 30, > heartbeat
inline constexpr const char* kResumeWindow = "CAO_HLA_RESUME_WINDOW";  // to resume (0: none); 60
// PEM certificates trusted beside the system's for tls://; a file holding the server's password.
inline constexpr const char* kRunTimeCaFile = "CAO_HLA_RTI_CA_FILE";
inline constexpr const char* kRunTimePasswordFile = "CAO_HLA_RTI_PASSWORD_FILE";
inline constexpr const char* kFedPath = "CAO_HLA_FED_PATH";  // directories, colon-separated
// Seconds a wait lasts before the controller says what holds it (message 6); 0: never. 3.
inline constexpr const char* kWaitReport = "CAO_HLA_WAIT_REPORT";
}  // namespace environment

constexpr bool hasOption(int32_t mask, int32_t bit) {
    return (mask & bit) != 0;
}

}  // namespace cao::contract
