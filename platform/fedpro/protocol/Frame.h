#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace fedpro {

// Every frame: a 24-byte big-endian header (packet size, sequence number, session id, last
// sequence number received, message type), then its payload.
inline constexpr std::size_t kHeaderSize = 24;
// The header's sequence fields when there is no number: "nothing received yet", and the
// sequence of the frames outside the numbering (the resume request and status).
inline constexpr std::int32_t kNoSequence = INT32_MIN;

// Where each field sits in the header.
inline constexpr std::size_t kPacketSizeOffset = 0;
inline constexpr std::size_t kSequenceOffset = 4;
inline constexpr std::size_t kSessionIdOffset = 8;
inline constexpr std::size_t kLastReceivedOffset = 16;
inline constexpr std::size_t kTypeOffset = 20;

struct FrameHeader {
    std::uint32_t packetSize = 0;  // header included
    std::int32_t sequence = 0;
    std::uint64_t sessionId = 0;  // 0: none yet
    std::int32_t lastReceived = kNoSequence;
    std::int32_t type = 0;  // a MessageType code
};

struct Frame {
    FrameHeader header;
    std::string payload;
};

// The frame's bytes; the packet size is computed (header.packetSize is not read). Throws
// ProtocolError when the packet would exceed INT32_MAX bytes.
std::string encodeFrame(FrameHeader header, std::string_view payload);

// The header in the first 24 bytes (a whole frame may be passed); throws ProtocolError when
// there are fewer. Nothing is checked beyond the length: FrameReader checks size and type.
FrameHeader decodeHeader(std::string_view twentyFourBytes);

// Payloads of the control messages: one or two big-endian int32.
std::string int32Payload(std::int32_t value);
std::string int32PairPayload(std::int32_t first, std::int32_t second);

// The big-endian int32 at offset; throws ProtocolError naming what (e.g. "the resume
// request's oldest sequence number") when the payload is too short to hold it.
std::int32_t readInt32(std::string_view payload, std::size_t offset, const char* what);

// A call response or callback response: the answered request's sequence number, then the
// protobuf message.
std::string answerPayload(std::int32_t answered, std::string_view message);
// The answered sequence number and the message's bytes (a view into payload); throws
// ProtocolError when the payload is shorter than the number.
std::pair<std::int32_t, std::string_view> splitAnswer(std::string_view payload);

}  // namespace fedpro
