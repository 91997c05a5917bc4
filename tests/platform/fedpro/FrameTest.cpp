#include "Bytes.h"

#include "platform/fedpro/protocol/Frame.h"
#include "platform/fedpro/protocol/MessageType.h"
#include "platform/fedpro/protocol/ProtocolError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace fedpro;
using fedpro::testing::hex;
using fedpro::testing::toHex;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

namespace {

FrameHeader header(std::int32_t sequence, std::uint64_t session, std::int32_t lastReceived,
                   MessageType type) {
    FrameHeader h;
    h.sequence = sequence;
    h.sessionId = session;
    h.lastReceived = lastReceived;
    h.type = static_cast<std::int32_t>(type);
    return h;
}

}  // namespace

TEST(FedProFrames, EncodeMatchesTheLayoutByteForByte) {
    // New session, version 1: size 28, sequence 0, no session, nothing received, type 1.
    EXPECT_EQ(toHex(encodeFrame(header(0, 0, kNoSequence, MessageType::NewSession),
                                int32Payload(kProtocolVersion))),
              toHex(hex("00 00 00 1c  00 00 00 00  00 00 00 00 00 00 00 00  80 00 00 00"
                        "00 00 00 01  00 00 00 01")));
    // Heartbeat response to number 7, sent as number 0x01020304 of session 0x1122...88,
    // having received 0x7fffffff.
    EXPECT_EQ(toHex(encodeFrame(header(0x01020304, 0x1122334455667788ULL, INT32_MAX,
                                       MessageType::HeartbeatResponse),
                                int32Payload(7))),
              toHex(hex("00 00 00 1c  01 02 03 04  11 22 33 44 55 66 77 88  7f ff ff ff"
                        "00 00 00 04  00 00 00 07")));
    // Resume request: no number of its own, two int32.
    EXPECT_EQ(toHex(encodeFrame(header(kNoSequence, 1, 5, MessageType::ResumeRequest),
                                int32PairPayload(5, -2))),
              toHex(hex("00 00 00 20  80 00 00 00  00 00 00 00 00 00 00 01  00 00 00 05"
                        "00 00 00 0a  00 00 00 05  ff ff ff fe")));
    // A call response: the answered number, then the message's bytes.
    EXPECT_EQ(toHex(encodeFrame(header(3, 2, 9, MessageType::CallResponse),
                                answerPayload(9, hex("0a 00")))),
              toHex(hex("00 00 00 1e  00 00 00 03  00 00 00 00 00 00 00 02  00 00 00 09"
                        "00 00 00 15  00 00 00 09  0a 00")));
    // Terminate session carries nothing: the bare header.
    EXPECT_EQ(encodeFrame(header(1, 2, 0, MessageType::TerminateSession), {}).size(), kHeaderSize);
}

TEST(FedProFrames, HeaderDecodesEveryFieldAndIgnoresWhatFollows) {
    const std::string bytes =
        hex("00 00 00 1e  ff ff ff ff  fe dc ba 98 76 54 32 10  80 00 00 00  00 00 00 16  aa bb");
    const FrameHeader h = decodeHeader(bytes);
    EXPECT_EQ(h.packetSize, 30U);
    EXPECT_EQ(h.sequence, -1);
    EXPECT_EQ(h.sessionId, 0xfedcba9876543210ULL);
    EXPECT_EQ(h.lastReceived, kNoSequence);
    EXPECT_EQ(h.type, 22);
    const FrameHeader again = decodeHeader(encodeFrame(h, "xy"));
    EXPECT_EQ(again.packetSize, 26U);
    EXPECT_EQ(again.sessionId, h.sessionId);
    EXPECT_THAT([&] { decodeHeader(bytes.substr(0, 23)); },
                ThrowsMessage<ProtocolError>(HasSubstr("needs 24 bytes, only 23")));
}

TEST(FedProFrames, PayloadIntegersAreReadBackOrRefusedNamingWhat) {
    const std::string pair = int32PairPayload(INT32_MIN, 42);
    EXPECT_EQ(toHex(pair), "80 00 00 00 00 00 00 2a");
    EXPECT_EQ(readInt32(pair, 0, "first"), INT32_MIN);
    EXPECT_EQ(readInt32(pair, 4, "second"), 42);
    EXPECT_THAT([&] { readInt32(pair, 5, "the resume status's last received"); },
                ThrowsMessage<ProtocolError>(HasSubstr("the resume status's last received")));
    EXPECT_THROW(readInt32(pair, 100, "far"), ProtocolError);
    EXPECT_THROW(readInt32("", 0, "empty"), ProtocolError);

    // The message is a view into the payload, which must outlive it.
    const std::string withMessage = answerPayload(-5, "abc");
    const auto [answered, message] = splitAnswer(withMessage);
    EXPECT_EQ(answered, -5);
    EXPECT_EQ(message, "abc");
    const std::string bare = answerPayload(1, {});
    const auto [alone, nothing] = splitAnswer(bare);
    EXPECT_EQ(alone, 1);
    EXPECT_TRUE(nothing.empty());
    EXPECT_THAT([] { splitAnswer(hex("00 00 01")); },
                ThrowsMessage<ProtocolError>(HasSubstr("answered request's sequence number")));
}

TEST(FedProFrames, MessageTypesAreTheProtocolsCodes) {
    const std::pair<std::int32_t, const char*> known[] = {
        {1, "new session"},        {2, "new session status"}, {3, "heartbeat"},
        {4, "heartbeat response"}, {5, "terminate session"},  {6, "session terminated"},
        {10, "resume request"},    {11, "resume status"},     {20, "call request"},
        {21, "call response"},     {22, "callback request"},  {23, "callback response"}};
    for (const auto& [code, name] : known) {
        const auto type = messageTypeOf(code);
        ASSERT_TRUE(type) << code;
        EXPECT_EQ(static_cast<std::int32_t>(*type), code);
        EXPECT_STREQ(messageTypeName(*type), name);
        EXPECT_EQ(isCallOrCallback(*type), code >= 20) << name;
    }
    for (std::int32_t code : {0, 7, 9, 12, 19, 24, 99, -1, INT32_MIN, INT32_MAX}) {
        EXPECT_FALSE(messageTypeOf(code)) << code;
    }
    EXPECT_EQ(static_cast<std::int32_t>(NewSessionReason::Other), 99);
    EXPECT_EQ(static_cast<std::int32_t>(ResumeStatusCode::NotEnoughBuffered), 2);
}
