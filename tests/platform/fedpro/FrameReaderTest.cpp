#include "Bytes.h"

#include "platform/fedpro/protocol/Bounds.h"
#include "platform/fedpro/protocol/FrameReader.h"
#include "platform/fedpro/protocol/MessageType.h"
#include "platform/fedpro/protocol/ProtocolError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace fedpro;
using fedpro::testing::hex;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

namespace {

constexpr std::size_t kSmallBound = 64;
constexpr std::size_t kRoomyBound = 256;

std::string frame(std::int32_t sequence, MessageType type, std::string_view payload) {
    FrameHeader h;
    h.sequence = sequence;
    h.sessionId = 77;
    h.type = static_cast<std::int32_t>(type);
    return encodeFrame(h, payload);
}

std::vector<Frame> drain(FrameReader& reader) {
    std::vector<Frame> frames;
    while (auto f = reader.next()) frames.push_back(std::move(*f));
    return frames;
}

}  // namespace

TEST(FedProFrameReader, FramesComeWholeHoweverTheStreamIsCut) {
    const std::string stream = frame(0, MessageType::NewSession, int32Payload(1)) +
                               frame(1, MessageType::Heartbeat, {}) +
                               frame(2, MessageType::CallRequest, "protobuf bytes");
    for (std::size_t piece : {std::size_t{1}, std::size_t{5}, std::size_t{23}, std::size_t{24},
                              std::size_t{25}, stream.size()}) {
        FrameReader reader(kRoomyBound);
        std::vector<Frame> frames;
        for (std::size_t at = 0; at < stream.size(); at += piece) {
            reader.append(std::string_view(stream).substr(at, piece));
            for (auto& f : drain(reader)) frames.push_back(std::move(f));
        }
        ASSERT_EQ(frames.size(), 3U) << "pieces of " << piece;
        EXPECT_EQ(frames[0].header.type, 1);
        EXPECT_EQ(frames[0].payload, int32Payload(1));
        EXPECT_EQ(frames[1].header.sequence, 1);
        EXPECT_EQ(frames[1].header.packetSize, kHeaderSize);
        EXPECT_TRUE(frames[1].payload.empty());
        EXPECT_EQ(frames[2].header.sessionId, 77U);
        EXPECT_EQ(frames[2].payload, "protobuf bytes");
        EXPECT_EQ(reader.buffered(), 0U);
        EXPECT_EQ(reader.room(), kRoomyBound);
    }
}

TEST(FedProFrameReader, AFrameOfExactlyTheBoundIsRead) {
    FrameReader reader(kSmallBound);
    const std::string payload(kSmallBound - kHeaderSize, 'p');
    reader.append(frame(0, MessageType::CallbackRequest, payload));
    EXPECT_EQ(reader.room(), 0U);
    const auto f = reader.next();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->payload, payload);
    EXPECT_FALSE(reader.next());
}

TEST(FedProFrameReader, RefusesBadSizesAndTypesAsSoonAsTheHeaderShowsThem) {
    // Under the header: seen from the size field alone.
    FrameReader under(kSmallBound);
    under.append(hex("00 00 00 17"));
    EXPECT_THAT([&] { under.next(); }, ThrowsMessage<ProtocolError>(HasSubstr(
                                           "packet size of 23 bytes is below the 24-byte header")));
    FrameReader zero(kSmallBound);
    zero.append(hex("00 00 00 00"));
    EXPECT_THROW(zero.next(), ProtocolError);

    // Over the bound: refused before any of its payload is awaited.
    FrameReader over(kSmallBound);
    over.append(hex("00 00 00 41 00"));
    EXPECT_THAT([&] { over.next(); },
                ThrowsMessage<ProtocolError>(
                    HasSubstr("packet size of 65 bytes is over the bound of 64 bytes")));
    FrameReader huge(bounds::kMaxPacketSize);
    huge.append(hex("ff ff ff ff"));
    EXPECT_THAT([&] { huge.next(); },
                ThrowsMessage<ProtocolError>(HasSubstr("4294967295 bytes is over the bound")));

    // An unknown type: refused once the header is whole, before the payload.
    FrameReader unknown(kSmallBound);
    FrameHeader h;
    h.type = 7;
    unknown.append(encodeFrame(h, "payload").substr(0, kHeaderSize));
    EXPECT_THAT([&] { unknown.next(); }, ThrowsMessage<ProtocolError>(HasSubstr(
                                             "message type code 7 is not one of the protocol's")));

    // Fewer than four bytes: nothing to judge yet.
    FrameReader early(kSmallBound);
    early.append(hex("00 00 00"));
    EXPECT_FALSE(early.next());
}

TEST(FedProFrameReader, NeverHoldsMoreThanTheBound) {
    FrameReader reader(kSmallBound);
    // A 48-byte packet begun.
    reader.append(frame(0, MessageType::CallRequest, std::string(24, 'p')).substr(0, 40));
    EXPECT_FALSE(reader.next());
    EXPECT_EQ(reader.room(), kSmallBound - 40);
    EXPECT_THAT([&] { reader.append(std::string(kSmallBound - 39, 'x')); },
                ThrowsMessage<ProtocolError>(HasSubstr("exceed the 64-byte bound")));
    EXPECT_EQ(reader.buffered(), 40U);
    EXPECT_THROW(FrameReader(kHeaderSize - 1), std::invalid_argument);
    EXPECT_THROW(FrameReader(std::size_t{1} << 32), std::invalid_argument);
}
