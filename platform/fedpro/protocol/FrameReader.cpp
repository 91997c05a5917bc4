#include "platform/fedpro/protocol/FrameReader.h"

#include "platform/fedpro/protocol/BigEndian.h"
#include "platform/fedpro/protocol/MessageType.h"
#include "platform/fedpro/protocol/ProtocolError.h"

#include <climits>
#include <stdexcept>

namespace fedpro {

namespace {

constexpr std::size_t kSizeFieldBytes = 4;

}  // namespace

FrameReader::FrameReader(std::size_t maxPacketSize) : maxPacketSize_(maxPacketSize) {
    if (maxPacketSize < kHeaderSize || maxPacketSize > static_cast<std::size_t>(INT32_MAX)) {
        throw std::invalid_argument(
            "a frame reader's packet bound must lie between " + std::to_string(kHeaderSize) +
            " and " + std::to_string(INT32_MAX) + " bytes, not " + std::to_string(maxPacketSize));
    }
}

void FrameReader::append(std::string_view bytes) {
    if (bytes.size() > room()) {
        throw ProtocolError(std::to_string(bytes.size()) + " more bytes would exceed the " +
                            std::to_string(maxPacketSize_) + "-byte bound of unread input (" +
                            std::to_string(buffered()) + " bytes are unread)");
    }
    if (start_ > 0) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
    buffer_.append(bytes);
}

std::optional<Frame> FrameReader::next() {
    const std::string_view unread = std::string_view(buffer_).substr(start_);
    if (unread.size() < kSizeFieldBytes) {
        return std::nullopt;
    }
    const std::uint32_t packetSize = bigendian::readUint32(unread, kPacketSizeOffset);
    if (packetSize < kHeaderSize) {
        throw ProtocolError("a packet size of " + std::to_string(packetSize) +
                            " bytes is below the " + std::to_string(kHeaderSize) + "-byte header");
    }
    if (packetSize > maxPacketSize_) {
        throw ProtocolError("a packet size of " + std::to_string(packetSize) +
                            " bytes is over the bound of " + std::to_string(maxPacketSize_) +
                            " bytes");
    }
    if (unread.size() < kHeaderSize) {
        return std::nullopt;
    }
    const auto code = static_cast<std::int32_t>(bigendian::readUint32(unread, kTypeOffset));
    if (!messageTypeOf(code)) {
        throw ProtocolError("message type code " + std::to_string(code) +
                            " is not one of the protocol's");
    }
    if (unread.size() < packetSize) {
        return std::nullopt;
    }
    Frame frame;
    frame.header = decodeHeader(unread);
    frame.payload.assign(unread.substr(kHeaderSize, packetSize - kHeaderSize));
    start_ += packetSize;
    if (start_ == buffer_.size()) {
        buffer_.clear();
        start_ = 0;
    }
    return frame;
}

}  // namespace fedpro
