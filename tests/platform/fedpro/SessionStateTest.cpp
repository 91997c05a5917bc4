#include "platform/fedpro/protocol/Frame.h"
#include "platform/fedpro/protocol/ProtocolError.h"
#include "platform/fedpro/protocol/SessionState.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>

using namespace fedpro;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;
using Arrival = SessionState::Arrival;

namespace {

constexpr std::size_t kFrames = 8;
constexpr std::size_t kBytes = 4096;
constexpr std::uint64_t kSession = 0x0123456789abcdefULL;

FrameHeader arrived(std::int32_t sequence, MessageType type,
                    std::int32_t lastReceived = kNoSequence, std::uint64_t session = kSession) {
    FrameHeader h;
    h.sequence = sequence;
    h.sessionId = session;
    h.lastReceived = lastReceived;
    h.type = static_cast<std::int32_t>(type);
    return h;
}

// What the peer makes of a frame this side sent.
FrameHeader headerOf(const std::string& frame) {
    return decodeHeader(frame);
}

}  // namespace

TEST(FedProSessionState, NumbersItsFramesAndStampsSessionAndLastReceived) {
    SessionState s(kFrames, kBytes);
    EXPECT_EQ(s.lastSent(), kNoSequence);
    EXPECT_EQ(s.lastReceived(), kNoSequence);
    const FrameHeader first = headerOf(s.makeFrame(MessageType::NewSession, "v", false));
    EXPECT_EQ(first.sequence, 0);
    EXPECT_EQ(first.sessionId, 0U);
    EXPECT_EQ(first.lastReceived, kNoSequence);

    s.setSessionId(kSession);
    EXPECT_EQ(s.received(arrived(0, MessageType::NewSessionStatus)), Arrival::New);
    // A status or a heartbeat response is not acknowledged: it is never sent again.
    EXPECT_EQ(s.lastReceived(), kNoSequence);
    const FrameHeader call = headerOf(s.makeFrame(MessageType::CallRequest, "c", true));
    EXPECT_EQ(call.sequence, 1);
    EXPECT_EQ(call.sessionId, kSession);
    EXPECT_EQ(s.received(arrived(1, MessageType::CallResponse, 1)), Arrival::New);
    EXPECT_EQ(s.lastReceived(), 1);
    EXPECT_EQ(s.received(arrived(2, MessageType::HeartbeatResponse)), Arrival::New);
    EXPECT_EQ(s.lastReceived(), 1);
    const FrameHeader beat = headerOf(s.makeFrame(MessageType::Heartbeat, {}, false));
    EXPECT_EQ(beat.sequence, 2);
    EXPECT_EQ(beat.lastReceived, 1);

    // The resume messages stand outside the numbering.
    const FrameHeader resume = headerOf(s.makeFrame(MessageType::ResumeRequest, "rr", false));
    EXPECT_EQ(resume.sequence, kNoSequence);
    EXPECT_EQ(resume.lastReceived, 1);
    EXPECT_EQ(s.lastSent(), 2);
    EXPECT_EQ(s.received(arrived(kNoSequence, MessageType::ResumeStatus)), Arrival::New);
    EXPECT_EQ(headerOf(s.makeFrame(MessageType::TerminateSession, {}, false)).sequence, 3);
    EXPECT_THROW(s.makeFrame(MessageType::Heartbeat, {}, true), std::invalid_argument);
}

TEST(FedProSessionState, ArrivalsInOrderRepeatsAndGaps) {
    SessionState s(kFrames, kBytes);
    s.setSessionId(kSession);
    // The first may carry any number.
    EXPECT_EQ(s.received(arrived(40, MessageType::CallRequest)), Arrival::New);
    EXPECT_EQ(s.received(arrived(41, MessageType::Heartbeat)), Arrival::New);
    EXPECT_EQ(s.received(arrived(41, MessageType::Heartbeat)), Arrival::Duplicate);
    EXPECT_EQ(s.received(arrived(40, MessageType::CallRequest)), Arrival::Duplicate);
    EXPECT_EQ(s.lastReceived(), 40);
    EXPECT_THAT(
        [&] { s.received(arrived(44, MessageType::CallRequest)); },
        ThrowsMessage<ProtocolError>(HasSubstr("sequence number 44 where 42 was expected")));
    EXPECT_THAT([&] { s.received(arrived(-2, MessageType::CallRequest)); },
                ThrowsMessage<ProtocolError>(HasSubstr("sequence number -2 is negative")));
    // Another session's frame; the refusal does not name either id.
    try {
        s.received(arrived(42, MessageType::CallRequest, kNoSequence, kSession + 1));
        ADD_FAILURE() << "a frame of another session was accepted";
    } catch (const ProtocolError& e) {
        EXPECT_THAT(e.what(), HasSubstr("another session"));
        EXPECT_THAT(e.what(), ::testing::Not(HasSubstr(std::to_string(kSession))));
    }
    EXPECT_EQ(s.received(arrived(42, MessageType::CallRequest)), Arrival::New);
}

TEST(FedProSessionState, ArrivalsCountAcrossTheWrap) {
    SessionState s(kFrames, kBytes);
    EXPECT_EQ(s.received(arrived(INT32_MAX - 1, MessageType::CallRequest)), Arrival::New);
    EXPECT_EQ(s.received(arrived(INT32_MAX, MessageType::CallRequest)), Arrival::New);
    EXPECT_EQ(s.received(arrived(0, MessageType::CallbackResponse)), Arrival::New);
    EXPECT_EQ(s.lastReceived(), 0);
    EXPECT_EQ(s.received(arrived(INT32_MAX, MessageType::CallRequest)), Arrival::Duplicate);
    EXPECT_THROW(s.received(arrived(2, MessageType::CallRequest)), ProtocolError);
    EXPECT_EQ(s.received(arrived(1, MessageType::CallRequest)), Arrival::New);
}

TEST(FedProSessionState, HistoryIsBoundedAndReleasedByAcknowledgements) {
    SessionState byFrames(2, kBytes);
    byFrames.makeFrame(MessageType::CallRequest, "a", true);
    byFrames.makeFrame(MessageType::CallRequest, "b", true);
    // Control frames are not kept and do not count.
    byFrames.makeFrame(MessageType::Heartbeat, {}, false);
    EXPECT_THAT([&] { byFrames.makeFrame(MessageType::CallRequest, "c", true); },
                ThrowsMessage<ProtocolError>(HasSubstr("history is full")));
    // Refused, nothing changed: the next frame still takes number 3.
    EXPECT_EQ(byFrames.lastSent(), 2);
    EXPECT_EQ(byFrames.keptFrames(), 2U);
    // The peer acknowledges number 0: one is released, there is room again.
    byFrames.received(arrived(0, MessageType::CallResponse, 0, 0));
    EXPECT_EQ(byFrames.oldestKept(), 1);
    EXPECT_EQ(headerOf(byFrames.makeFrame(MessageType::CallRequest, "c", true)).sequence, 3);
    // An acknowledgement of a number never sent releases nothing.
    byFrames.received(arrived(1, MessageType::CallResponse, 200, 0));
    EXPECT_EQ(byFrames.keptFrames(), 2U);

    SessionState byBytes(kFrames, 2 * kHeaderSize + 10);
    byBytes.makeFrame(MessageType::CallbackRequest, std::string(5, 'x'), true);
    byBytes.makeFrame(MessageType::CallbackRequest, std::string(5, 'x'), true);
    EXPECT_EQ(byBytes.keptBytes(), 2 * kHeaderSize + 10);
    EXPECT_THAT([&] { byBytes.makeFrame(MessageType::CallbackRequest, "y", true); },
                ThrowsMessage<ProtocolError>(HasSubstr("history is full")));
    // Not keeping it is always possible.
    EXPECT_NO_THROW(byBytes.makeFrame(MessageType::CallbackRequest, "y", false));
}

TEST(FedProSessionState, AfterADropTheUnacknowledgedFramesAreSentAgain) {
    SessionState client(kFrames, kBytes);
    SessionState server(kFrames, kBytes);
    server.received(headerOf(client.makeFrame(MessageType::NewSession, "v", false)));
    server.setSessionId(kSession);
    client.received(headerOf(server.makeFrame(MessageType::NewSessionStatus, "s", false)));
    client.setSessionId(kSession);

    // Three calls leave; the connection drops after the first, and a heartbeat (never sent
    // again) went between the second and the third.
    const std::string c1 = client.makeFrame(MessageType::CallRequest, "1", true);
    const std::string c2 = client.makeFrame(MessageType::CallRequest, "2", true);
    client.makeFrame(MessageType::Heartbeat, {}, false);
    const std::string c3 = client.makeFrame(MessageType::CallRequest, "3", true);
    EXPECT_EQ(server.received(headerOf(c1)), Arrival::New);
    const std::string r1 = server.makeFrame(MessageType::CallResponse, "r1", true);
    EXPECT_EQ(client.received(headerOf(r1)), Arrival::New);

    // On the new connection each side sends what the other has not had.
    const auto fromClient = client.framesAfter(server.lastReceived());
    const auto fromServer = server.framesAfter(client.lastReceived());
    ASSERT_TRUE(fromClient);
    ASSERT_TRUE(fromServer);
    EXPECT_TRUE(fromServer->empty());
    ASSERT_EQ(fromClient->size(), 2U);
    EXPECT_EQ(fromClient->at(0).substr(kHeaderSize), "2");
    // Stamped afresh: the client has since received the server's response.
    EXPECT_EQ(headerOf(fromClient->at(0)).lastReceived, headerOf(r1).sequence);
    EXPECT_EQ(headerOf(c2).lastReceived, kNoSequence);
    EXPECT_EQ(server.received(headerOf(fromClient->at(0))), Arrival::New);
    // The heartbeat's number is skipped, as the resend leaves it out...
    EXPECT_EQ(server.received(headerOf(fromClient->at(1))), Arrival::New);
    EXPECT_EQ(server.lastReceived(), headerOf(c3).sequence);
    // ...and once the client sends control frames again, the numbering is strict again.
    EXPECT_EQ(server.received(headerOf(client.makeFrame(MessageType::Heartbeat, {}, false))),
              Arrival::New);
    EXPECT_THROW(server.received(arrived(headerOf(c3).sequence + 3, MessageType::CallRequest)),
                 ProtocolError);
    // The server's response was acknowledged by the resent frames' stamp.
    EXPECT_EQ(server.keptFrames(), 0U);
    EXPECT_EQ(client.keptFrames(), 2U);
}

TEST(FedProSessionState, AResumeAskingForReleasedOrUnsentFramesIsRefused) {
    SessionState s(kFrames, kBytes);
    for (int i = 0; i < 4; ++i) s.makeFrame(MessageType::CallbackRequest, "cb", true);
    s.received(arrived(0, MessageType::CallbackResponse, 1));
    EXPECT_EQ(s.oldestKept(), 2);
    // Frames 0 and 1 were released: a peer that lacks them cannot be served.
    EXPECT_FALSE(s.framesAfter(0));
    EXPECT_FALSE(s.framesAfter(kNoSequence));
    // Number 9 was never sent.
    EXPECT_FALSE(s.framesAfter(9));
    EXPECT_EQ(s.keptFrames(), 2U);
    // What it acknowledged, or more, is fine.
    const auto again = s.framesAfter(1);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->size(), 2U);
    EXPECT_EQ(s.framesAfter(3)->size(), 0U);
    EXPECT_EQ(s.keptFrames(), 0U);

    // Nothing released yet: a peer that has received nothing gets everything.
    SessionState fresh(kFrames, kBytes);
    fresh.makeFrame(MessageType::CallRequest, "x", true);
    EXPECT_EQ(fresh.framesAfter(kNoSequence)->size(), 1U);
}

TEST(FedProSessionState, HistoryWrapsWithTheNumbers) {
    SessionState s(kFrames, kBytes, INT32_MAX - 1);
    EXPECT_EQ(headerOf(s.makeFrame(MessageType::CallRequest, "a", true)).sequence, INT32_MAX - 1);
    EXPECT_EQ(headerOf(s.makeFrame(MessageType::CallRequest, "b", true)).sequence, INT32_MAX);
    EXPECT_EQ(headerOf(s.makeFrame(MessageType::CallRequest, "c", true)).sequence, 0);
    EXPECT_EQ(headerOf(s.makeFrame(MessageType::CallRequest, "d", true)).sequence, 1);
    s.received(arrived(5, MessageType::CallResponse, INT32_MAX));
    EXPECT_EQ(s.oldestKept(), 0);
    const auto rest = s.framesAfter(0);
    ASSERT_TRUE(rest);
    ASSERT_EQ(rest->size(), 1U);
    EXPECT_EQ(rest->at(0).substr(kHeaderSize), "d");
    EXPECT_FALSE(s.framesAfter(INT32_MAX - 1));
    EXPECT_THROW(SessionState(kFrames, kBytes, -1), std::invalid_argument);
}
