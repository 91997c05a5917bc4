// Arbitrary bytes as a Federate Protocol stream, arriving in pieces: the reader must cut them
// into frames or refuse them with ProtocolError, never crash, hang or hold more than its
// bound; each frame's numbering goes through a session's bookkeeping; a call, callback or
// answer's payload must parse as its message or be refused, and what parses must serialise and
// parse again.
//
// Input: the first byte sets the piece size (1..256) the rest arrives in.

#include "platform/fedpro/messages/FederateAmbassador.pb.h"
#include "platform/fedpro/messages/RTIambassador.pb.h"
#include "platform/fedpro/protocol/Frame.h"
#include "platform/fedpro/protocol/FrameReader.h"
#include "platform/fedpro/protocol/MessageType.h"
#include "platform/fedpro/protocol/ProtocolError.h"
#include "platform/fedpro/protocol/SessionState.h"
#include "platform/fedpro/protocol/Times.h"

#include <google/protobuf/message.h>
#include <google/protobuf/stubs/logging.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace {

// Small bounds, so that refusals for size and history are reached.
constexpr std::size_t kMaxPacket = 1 << 16;
constexpr std::size_t kHistoryFrames = 16;
constexpr std::size_t kHistoryBytes = 1 << 12;
constexpr std::size_t kMaxPiece = 256;

namespace pb = rti1516_2025::fedpro;

void check(bool holds) {
    if (!holds) std::abort();
}

void reparse(const google::protobuf::Message& message) {
    const std::string again = message.SerializeAsString();
    std::unique_ptr<google::protobuf::Message> copy(message.New());
    check(copy->ParseFromString(again));
}

void readCall(std::string_view bytes) {
    pb::CallRequest request;
    if (!request.ParseFromArray(bytes.data(), static_cast<int>(bytes.size()))) return;
    reparse(request);
    if (request.has_timeadvancerequestrequest()) {
        const std::string& time = request.timeadvancerequestrequest().time().data();
        try {
            fedpro::decodeInteger64Time(time);
            fedpro::decodeFloat64Time(time);
        } catch (const fedpro::ProtocolError&) {
            check(time.size() != fedpro::kEncodedTimeSize);
        }
    }
}

template <typename Message>
void readMessage(std::string_view bytes) {
    Message message;
    if (message.ParseFromArray(bytes.data(), static_cast<int>(bytes.size()))) reparse(message);
}

void readFrame(const fedpro::Frame& frame, fedpro::SessionState& session) {
    check(frame.header.packetSize == fedpro::kHeaderSize + frame.payload.size());
    const auto type = fedpro::messageTypeOf(frame.header.type);
    check(type.has_value());
    session.received(frame.header);
    switch (*type) {
        case fedpro::MessageType::CallRequest:
            readCall(frame.payload);
            // Answered and kept, as a server would.
            session.makeFrame(fedpro::MessageType::CallResponse,
                              fedpro::answerPayload(frame.header.sequence, {}), true);
            break;
        case fedpro::MessageType::CallResponse:
            readMessage<pb::CallResponse>(fedpro::splitAnswer(frame.payload).second);
            break;
        case fedpro::MessageType::CallbackRequest:
            readMessage<pb::CallbackRequest>(frame.payload);
            break;
        case fedpro::MessageType::CallbackResponse:
            readMessage<pb::CallbackResponse>(fedpro::splitAnswer(frame.payload).second);
            break;
        case fedpro::MessageType::ResumeRequest: {
            const auto last = fedpro::readInt32(frame.payload, 0, "last received");
            fedpro::readInt32(frame.payload, 4, "oldest held");
            session.framesAfter(last);
            break;
        }
        case fedpro::MessageType::NewSession:
        case fedpro::MessageType::NewSessionStatus:
        case fedpro::MessageType::HeartbeatResponse:
        case fedpro::MessageType::ResumeStatus:
            fedpro::readInt32(frame.payload, 0, "the control message's value");
            break;
        case fedpro::MessageType::Heartbeat:
        case fedpro::MessageType::TerminateSession:
        case fedpro::MessageType::SessionTerminated:
            break;
    }
}

}  // namespace

// protobuf logs each string field that is not UTF-8; the refusal is what counts here.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    google::protobuf::SetLogHandler(nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t piece = std::size_t{data[0]} % kMaxPiece + 1;
    const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);
    fedpro::FrameReader reader(kMaxPacket);
    fedpro::SessionState session(kHistoryFrames, kHistoryBytes);
    try {
        std::size_t at = 0;
        while (at < stream.size()) {
            // As a connection is read: never more than the reader has room for.
            check(reader.room() > 0);
            const std::string_view bytes = stream.substr(at, std::min(piece, reader.room()));
            reader.append(bytes);
            at += bytes.size();
            while (auto frame = reader.next()) readFrame(*frame, session);
            check(reader.buffered() <= kMaxPacket);
        }
    } catch (const fedpro::ProtocolError&) {
        // A refusal ends the stream, as it ends the session.
    }
    return 0;
}
