// The session as a client sees it: new session, heartbeat, connect and its credentials, what
// is refused before connect, malformed input that ends only its own session, and a resume
// after a cut connection without loss.

#include "ServerFixture.h"

#include "platform/fedpro/protocol/Bounds.h"

#include <QFileInfo>

namespace fedpro::testing {
namespace {

using SessionTest = ServerFixture;

TEST_F(SessionTest, NewSessionGetsAnIdAndHeartbeatsAreAnswered) {
    RawClient client(port);
    const Frame status = client.newSession();
    EXPECT_EQ(readInt32(status.payload, 0, "status"), 0);
    EXPECT_NE(status.header.sessionId, 0u);
    EXPECT_EQ(status.header.sequence, 0);

    client.send(MessageType::Heartbeat, {});
    const Frame answer = client.expect(MessageType::HeartbeatResponse);
    EXPECT_EQ(readInt32(answer.payload, 0, "answered"), 1);

    client.send(MessageType::TerminateSession, {});
    client.expect(MessageType::SessionTerminated);
    EXPECT_TRUE(client.closedByServer());
}

TEST_F(SessionTest, AnUnsupportedVersionIsRefused) {
    RawClient client(port);
    const Frame status = client.newSession(2);
    EXPECT_EQ(readInt32(status.payload, 0, "status"), 1);
    EXPECT_TRUE(client.closedByServer());
}

TEST_F(SessionTest, TheTokenFileIsPrivate) {
    const QFileInfo file(server->tokenPath());
    EXPECT_EQ(file.permissions() &
                  ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
              QFileDevice::Permissions());
    EXPECT_EQ(QFileInfo(file.absolutePath()).permissions() & (QFile::ReadOther | QFile::ReadGroup),
              QFileDevice::Permissions());
    EXPECT_EQ(token.size(), 64u);
}

TEST_F(SessionTest, ConnectAsksForTheToken) {
    RawClient client(port);
    client.newSession();
    pb::CallRequest bare;
    bare.mutable_connectrequest();
    EXPECT_EQ(exceptionOf(client.call(bare)), "Unauthorized");
    EXPECT_EQ(exceptionOf(client.call(connectRequest(std::string(64, '0')))), "Unauthorized");
    const pb::CallResponse accepted = client.call(connectRequest(token));
    EXPECT_TRUE(accepted.has_connectwithconfigurationandcredentialsresponse())
        << accepted.exceptiondata().details();
    EXPECT_EQ(exceptionOf(client.call(connectRequest(token))), "AlreadyConnected");
}

TEST_F(SessionTest, CallsBeforeConnectAreRefusedAsNotConnected) {
    RawClient client(port);
    client.newSession();
    const pb::CallResponse response = client.call(joinRequest("ChatRoom", "Early"));
    EXPECT_EQ(exceptionOf(response), "NotConnected");
    EXPECT_NE(response.exceptiondata().details().find("joinFederationExecutionWithNameRequest"),
              std::string::npos);
    // The session goes on: a connect is still taken.
    EXPECT_FALSE(client.call(connectRequest(token)).has_exceptiondata());
}

TEST_F(SessionTest, AnOversizePacketEndsOnlyItsSession) {
    auto bystander = connected();
    RawClient client(port);
    client.newSession();
    FrameHeader header;
    header.sequence = 1;
    header.sessionId = client.sessionId();
    header.type = static_cast<std::int32_t>(MessageType::CallRequest);
    std::string frame = encodeFrame(header, {});
    // A packet size beyond the bound, announced by the header alone.
    const std::uint32_t size = static_cast<std::uint32_t>(bounds::kMaxPacketSize) + 1;
    for (int i = 0; i < 4; ++i) frame[i] = static_cast<char>((size >> (8 * (3 - i))) & 0xFF);
    client.writeRaw(frame);
    EXPECT_TRUE(client.closedByServer());

    pb::CallRequest query;
    query.mutable_getautomaticresigndirectiverequest();
    EXPECT_EQ(exceptionOf(bystander->call(query)), "FederateNotExecutionMember");
}

TEST_F(SessionTest, GarbageEndsOnlyItsSession) {
    auto bystander = connected();
    RawClient garbage(port);
    using namespace std::string_literals;
    garbage.writeRaw("\x00\x00\x00\x20 this is not a frame at all ......"s);
    EXPECT_TRUE(garbage.closedByServer());

    RawClient badCall(port);
    badCall.newSession();
    badCall.send(MessageType::CallRequest, "\xff\xff\xff\xff not protobuf");
    EXPECT_TRUE(badCall.closedByServer());

    pb::CallRequest query;
    query.mutable_getautomaticresigndirectiverequest();
    EXPECT_EQ(exceptionOf(bystander->call(query)), "FederateNotExecutionMember");
}

TEST_F(SessionTest, AResumeAfterACutConnectionLosesNothing) {
    auto sender = connected();
    auto receiver = connected();
    ASSERT_EQ(exceptionOf(sender->call(createRequest("Resumed", "Chat.xml", chatXml()))), "");
    ASSERT_EQ(exceptionOf(sender->call(joinRequest("Resumed", "Sender"))), "");
    ASSERT_EQ(exceptionOf(receiver->call(joinRequest("Resumed", "Receiver"))), "");
    pb::CallRequest handle;
    handle.mutable_getinteractionclasshandlerequest()->set_interactionclassname("Communication");
    const std::string cls =
        sender->call(handle).getinteractionclasshandleresponse().result().data();
    pb::CallRequest publish;
    publish.mutable_publishinteractionclassrequest()->mutable_interactionclass()->set_data(cls);
    ASSERT_EQ(exceptionOf(sender->call(publish)), "");
    pb::CallRequest subscribe;
    subscribe.mutable_subscribeinteractionclassrequest()->mutable_interactionclass()->set_data(cls);
    ASSERT_EQ(exceptionOf(receiver->call(subscribe)), "");

    receiver->cut();
    pb::CallRequest send;
    send.mutable_sendinteractionrequest()->mutable_interactionclass()->set_data(cls);
    for (const char* tag : {"one", "two", "three"}) {
        send.mutable_sendinteractionrequest()->set_usersuppliedtag(tag);
        ASSERT_EQ(exceptionOf(sender->call(send)), "");
    }

    const Frame status = receiver->resume();
    EXPECT_EQ(readInt32(status.payload, 0, "status"), 0);
    for (const char* tag : {"one", "two", "three"}) {
        const pb::CallbackRequest callback = receiver->callback();
        ASSERT_TRUE(callback.has_receiveinteraction());
        EXPECT_EQ(callback.receiveinteraction().usersuppliedtag(), tag);
    }
    pb::CallRequest query;
    query.mutable_querylogicaltimerequest();
    EXPECT_EQ(exceptionOf(receiver->call(query)), "");
}

TEST_F(SessionTest, AResumeOfAnUnknownSessionIsRefused) {
    auto client = connected();
    client->cut();
    RawClient stranger(port);
    FrameHeader header;
    header.sequence = kNoSequence;
    header.sessionId = 12345;
    header.type = static_cast<std::int32_t>(MessageType::ResumeRequest);
    stranger.writeRaw(encodeFrame(header, int32PairPayload(0, 0)));
    const Frame status = stranger.expect(MessageType::ResumeStatus);
    EXPECT_EQ(readInt32(status.payload, 0, "status"), 1);
}

}  // namespace
}  // namespace fedpro::testing
