#include "platform/fedpro/protocol/MessageType.h"

namespace fedpro {

std::optional<MessageType> messageTypeOf(std::int32_t code) {
    switch (static_cast<MessageType>(code)) {
        case MessageType::NewSession:
        case MessageType::NewSessionStatus:
        case MessageType::Heartbeat:
        case MessageType::HeartbeatResponse:
        case MessageType::TerminateSession:
        case MessageType::SessionTerminated:
        case MessageType::ResumeRequest:
        case MessageType::ResumeStatus:
        case MessageType::CallRequest:
        case MessageType::CallResponse:
        case MessageType::CallbackRequest:
        case MessageType::CallbackResponse:
            return static_cast<MessageType>(code);
    }
    return std::nullopt;
}

const char* messageTypeName(MessageType type) {
    switch (type) {
        case MessageType::NewSession:
            return "new session";
        case MessageType::NewSessionStatus:
            return "new session status";
        case MessageType::Heartbeat:
            return "heartbeat";
        case MessageType::HeartbeatResponse:
            return "heartbeat response";
        case MessageType::TerminateSession:
            return "terminate session";
        case MessageType::SessionTerminated:
            return "session terminated";
        case MessageType::ResumeRequest:
            return "resume request";
        case MessageType::ResumeStatus:
            return "resume status";
        case MessageType::CallRequest:
            return "call request";
        case MessageType::CallResponse:
            return "call response";
        case MessageType::CallbackRequest:
            return "callback request";
        case MessageType::CallbackResponse:
            return "callback response";
    }
    return "unknown message type";
}

bool isCallOrCallback(MessageType type) {
    return type == MessageType::CallRequest || type == MessageType::CallResponse ||
           type == MessageType::CallbackRequest || type == MessageType::CallbackResponse;
}

}  // namespace fedpro
