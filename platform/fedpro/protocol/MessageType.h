#pragma once

#include <cstdint>
#include <optional>

namespace fedpro {

// The message type codes of a frame's header.
enum class MessageType : std::int32_t {
    NewSession = 1,
    NewSessionStatus = 2,
    Heartbeat = 3,
    HeartbeatResponse = 4,
    TerminateSession = 5,
    SessionTerminated = 6,
    ResumeRequest = 10,
    ResumeStatus = 11,
    CallRequest = 20,
    CallResponse = 21,
    CallbackRequest = 22,
    CallbackResponse = 23,
};

// The type of a header's code, or nothing for a code the protocol does not define.
std::optional<MessageType> messageTypeOf(std::int32_t code);

// "call request", "heartbeat", ...: for log lines and refusals.
const char* messageTypeName(MessageType type);

// Calls, callbacks and their answers: the frames kept for a resend after a resume. The others
// are control frames, which are never resent.
bool isCallOrCallback(MessageType type);

// The protocol version a new session asks for.
inline constexpr std::int32_t kProtocolVersion = 1;

// The reason a new session status gives.
enum class NewSessionReason : std::int32_t {
    Success = 0,
    UnsupportedVersion = 1,
    OutOfResources = 2,
    Other = 99,
};

// The status a resume status gives.
enum class ResumeStatusCode : std::int32_t {
    Ok = 0,
    InvalidSession = 1,
    NotEnoughBuffered = 2,
    Other = 99,
};

}  // namespace fedpro
