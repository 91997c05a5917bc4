#include "RunTimeFixture.h"

using namespace hlatest;
using cao::Variant;

namespace {

const QString kMessage = "InteractionRoot.Communication.Message";
const QString kSender = "InteractionRoot.Communication.Sender";

using RunTimeExchange = TwoSideRunTimeTest;

}  // namespace

TEST_P(RunTimeExchange, AnInteractionGoesEachWayAndNeverBackToItsSender) {
    chat.add(kMessage);
    peer.add(kMessage);
    chat.put(kMessage, Variant::fromString("Hello, Peer"));
    EXPECT_TRUE(peer.log->empty());  // nothing inside the call
    ASSERT_TRUE(waitFor([&] { return has(peer, 3); }));
    peer.put(kMessage, Variant::fromString("Hello, Chat"));
    ASSERT_TRUE(waitFor([&] { return has(chat, 3); }));
    settle();
    const auto atPeer = peer.take(3);
    const auto atChat = chat.take(3);
    ASSERT_EQ(atPeer.size(), 1u);
    ASSERT_EQ(atChat.size(), 1u);
    EXPECT_EQ(atPeer[0].value, Variant::fromString("Hello, Peer"));
    EXPECT_EQ(atPeer[0].source, kMessage);
    EXPECT_EQ(atPeer[0].time, Variant::fromR8(0));
    EXPECT_EQ(atChat[0].value, Variant::fromString("Hello, Chat"));
    EXPECT_EQ(chat.get(kMessage), Variant::fromString("Hello, Chat"));
}

TEST_P(RunTimeExchange, TypedValuesAndByteOrderArriveAsSent) {
    chat.add(kMessage + "#I4", 4);
    peer.add(kMessage + "#I4");
    peer.add(kMessage + "#I2");
    chat.put(kMessage + "#I4", Variant::fromI4(0x01020304));
    ASSERT_TRUE(waitFor([&] { return has(peer, 3) || has(peer, -1); }));
    settle();
    const auto received = peer.take(3);
    ASSERT_EQ(received.size(), 1u);
    const auto failures = peer.take(-1);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].source, kMessage + "#I2");
    EXPECT_TRUE(peer.get(kMessage + "#I2").isEmpty());
    if (withXml()) {
        // The text travels as the HLAunicodeString Chat.xml declares; option 4 has no say, and
        // the number the text holds does not fit an I2.
        EXPECT_EQ(received[0].value, Variant::fromI4(0x01020304));
        EXPECT_TRUE(failures[0].value.string().endsWith("does not convert to VT_I2: Overflow"))
            << failures[0].value.string().toStdString();
        return;
    }
    // The provider's own encoding, big-endian as option 4 asked, read little-endian.
    EXPECT_EQ(received[0].value, Variant::fromI4(0x04030201));
    // The same four bytes are no I2: described, and the value stays empty.
    EXPECT_TRUE(failures[0].value.string().startsWith(
        "The value received for variable \"InteractionRoot.Communication.Message#I2\" is no "
        "VT_I2"));
}

TEST_P(RunTimeExchange, OptionsOneAndSixtyFourSuppressTheMessageOrTheReception) {
    peer.add(kMessage, 1);
    peer.add(kSender, 64);
    chat.add(kMessage);
    chat.add(kSender);
    chat.put(kSender, Variant::fromString("Chat"));
    chat.put(kMessage, Variant::fromString("quiet"));
    ASSERT_TRUE(waitFor([&] { return peer.get(kMessage) == Variant::fromString("quiet"); }));
    settle();
    EXPECT_TRUE(peer.take(3).empty());
    EXPECT_TRUE(peer.get(kSender).isEmpty());
}

TEST_P(RunTimeExchange, ARemovedVariableNoLongerReceivesAndAClosedControllerNothingAtAll) {
    peer.add(kMessage);
    peer.add(kSender);
    chat.add(kMessage);
    chat.add(kSender);
    peer.vars()->Remove(Variant::fromString(kMessage));
    chat.put(kMessage, Variant::fromString("gone"));
    chat.put(kSender, Variant::fromString("Chat"));
    ASSERT_TRUE(waitFor([&] { return has(peer, 3); }));
    settle();
    const auto received = peer.take(3);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].source, kSender);
    close(peer);
    chat.put(kSender, Variant::fromString("again"));
    settle();
    EXPECT_TRUE(peer.take(3).empty());
}

TEST_P(RunTimeExchange, AFloodArrivesCompletelyAndInOrder) {
    constexpr int kCount = 500;
    peer.add(kMessage + "#I4");
    chat.add(kMessage + "#I4");
    for (int i = 0; i < kCount; ++i) chat.put(kMessage + "#I4", Variant::fromI4(i));
    ASSERT_TRUE(waitFor([&] { return has(peer, 3, kCount); }));
    const auto received = peer.take(3);
    ASSERT_EQ(received.size(), size_t{kCount});
    for (int i = 0; i < kCount; ++i) EXPECT_EQ(received[static_cast<size_t>(i)].value.i4(), i);
}

TEST_P(RunTimeExchange, ARefusedOpenLeavesTheFederationAsItWas) {
    const QString refused = refusal([&] { join("Late", optionsWith(1, 0, "0")); });
    EXPECT_TRUE(refused.contains("LookAhead")) << refused.toStdString();
    EXPECT_EQ(ws->Controllers()->Count(), 2);
    // The federate name is still free, and the federation works as before.
    Side late = join("Late");
    late.add(kMessage);
    chat.add(kMessage);
    chat.put(kMessage, Variant::fromString("welcome"));
    ASSERT_TRUE(waitFor([&] { return has(late, 3); }));
}

INSTANTIATE_TEST_SUITE_P(RunTimes, RunTimeExchange,
                         ::testing::Values(kEmbedded, kHla13, kHla1516e, kHla4, kEmbeddedXml,
                                           kHla13Xml, kHla1516eXml, kHla4Xml),
                         runTimeName);
