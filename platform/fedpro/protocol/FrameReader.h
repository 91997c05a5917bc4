#pragma once

#include "platform/fedpro/protocol/Frame.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace fedpro {

// Cuts a byte stream into frames, refusing a packet whose size is below the header or above
// the bound, and an unknown message type, as soon as its header shows it. It holds at most
// the bound's bytes: read at most room() bytes from the connection before each append. After a
// ProtocolError the stream is out of step and the reader is not used again.
class FrameReader {
public:
    explicit FrameReader(std::size_t maxPacketSize);

    // Throws ProtocolError when more than room() bytes are given.
    void append(std::string_view bytes);
    // The next whole frame, or nothing until more bytes arrive.
    std::optional<Frame> next();

    std::size_t buffered() const { return buffer_.size() - start_; }
    std::size_t room() const { return maxPacketSize_ - buffered(); }
    std::size_t maxPacketSize() const { return maxPacketSize_; }

private:
    std::size_t maxPacketSize_;
    std::string buffer_;
    std::size_t start_ = 0;  // where the unread bytes begin
};

}  // namespace fedpro
