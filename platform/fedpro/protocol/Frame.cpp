#include "platform/fedpro/protocol/Frame.h"

#include "platform/fedpro/protocol/BigEndian.h"
#include "platform/fedpro/protocol/ProtocolError.h"

namespace fedpro {

namespace {

constexpr std::size_t kInt32Size = 4;
constexpr std::size_t kMaxPacketOnWire = INT32_MAX;

}  // namespace

std::string encodeFrame(FrameHeader header, std::string_view payload) {
    if (payload.size() > kMaxPacketOnWire - kHeaderSize) {
        throw ProtocolError("a payload of " + std::to_string(payload.size()) +
                            " bytes does not fit a packet, whose size is at most " +
                            std::to_string(kMaxPacketOnWire) + " bytes");
    }
    const auto packetSize = static_cast<std::uint32_t>(kHeaderSize + payload.size());
    std::string out;
    out.reserve(packetSize);
    bigendian::appendUint32(out, packetSize);
    bigendian::appendUint32(out, static_cast<std::uint32_t>(header.sequence));
    bigendian::appendUint64(out, header.sessionId);
    bigendian::appendUint32(out, static_cast<std::uint32_t>(header.lastReceived));
    bigendian::appendUint32(out, static_cast<std::uint32_t>(header.type));
    out.append(payload);
    return out;
}

FrameHeader decodeHeader(std::string_view twentyFourBytes) {
    if (twentyFourBytes.size() < kHeaderSize) {
        throw ProtocolError("a frame header needs " + std::to_string(kHeaderSize) +
                            " bytes, only " + std::to_string(twentyFourBytes.size()) +
                            " were given");
    }
    FrameHeader header;
    header.packetSize = bigendian::readUint32(twentyFourBytes, kPacketSizeOffset);
    header.sequence =
        static_cast<std::int32_t>(bigendian::readUint32(twentyFourBytes, kSequenceOffset));
    header.sessionId = bigendian::readUint64(twentyFourBytes, kSessionIdOffset);
    header.lastReceived =
        static_cast<std::int32_t>(bigendian::readUint32(twentyFourBytes, kLastReceivedOffset));
    header.type = static_cast<std::int32_t>(bigendian::readUint32(twentyFourBytes, kTypeOffset));
    return header;
}

std::string int32Payload(std::int32_t value) {
    std::string out;
    bigendian::appendUint32(out, static_cast<std::uint32_t>(value));
    return out;
}

std::string int32PairPayload(std::int32_t first, std::int32_t second) {
    std::string out;
    bigendian::appendUint32(out, static_cast<std::uint32_t>(first));
    bigendian::appendUint32(out, static_cast<std::uint32_t>(second));
    return out;
}

std::int32_t readInt32(std::string_view payload, std::size_t offset, const char* what) {
    if (offset > payload.size() || payload.size() - offset < kInt32Size) {
        throw ProtocolError(std::string(what) + " is missing: the payload has " +
                            std::to_string(payload.size()) + " bytes, too few for an int32 at " +
                            std::to_string(offset));
    }
    return static_cast<std::int32_t>(bigendian::readUint32(payload, offset));
}

std::string answerPayload(std::int32_t answered, std::string_view message) {
    std::string out;
    out.reserve(kInt32Size + message.size());
    bigendian::appendUint32(out, static_cast<std::uint32_t>(answered));
    out.append(message);
    return out;
}

std::pair<std::int32_t, std::string_view> splitAnswer(std::string_view payload) {
    const std::int32_t answered = readInt32(payload, 0, "the answered request's sequence number");
    return {answered, payload.substr(kInt32Size)};
}

}  // namespace fedpro
