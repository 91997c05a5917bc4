#include "HlaFixture.h"

using namespace hlatest;
using cao::Variant;

namespace {

const QString kMessage = "InteractionRoot.Communication.Message";
const QString kSender = "InteractionRoot.Communication.Sender";

class HlaExchange : public HlaTest {
protected:
    HlaExchange() : chat(open("ChatRoom.Chat")), peer(open("ChatRoom.Peer")) {
        deliver();
        chat.takeAll();
        peer.takeAll();
    }
    Side chat;
    Side peer;
};

}  // namespace

TEST_F(HlaExchange, ValuesAreEmptyUntilOneArrivesAndWritesConvertToTheDataType) {
    chat.add(kMessage + "#I2");
    peer.add(kMessage + "#I2");
    EXPECT_TRUE(peer.get(kMessage + "#I2").isEmpty());
    chat.put(kMessage + "#I2", Variant::fromString("-7"));
    EXPECT_EQ(chat.get(kMessage + "#I2"), Variant::fromI2(-7));
    EXPECT_EQ(refusal([&] { chat.put(kMessage + "#I2", Variant::fromString("40000")); }),
              "Overflow");
    EXPECT_EQ(refusal([&] { chat.put(kMessage + "#I2", Variant::fromString("seven")); }),
              "Type mismatch");
    deliver();
    const auto received = peer.take(3);
    ASSERT_EQ(received.size(), 1u);  // the refused writes sent nothing
    EXPECT_EQ(received[0].value, Variant::fromI2(-7));
}

TEST_F(HlaExchange, OneMessagePerRegisteredVariableOfTheClassThatTheInteractionCarries) {
    peer.add(kMessage);
    peer.add(kMessage + "#BSTR");
    peer.add(kSender);
    chat.add(kMessage);
    chat.put(kMessage, Variant::fromString("twice"));
    deliver();
    const auto received = peer.take(3);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].source, kMessage);
    EXPECT_EQ(received[1].source, kMessage + "#BSTR");
    EXPECT_TRUE(peer.get(kSender).isEmpty());
}

TEST_F(HlaExchange, WithoutPublishingAWriteFails) {
    chat.add(kMessage, 32);
    EXPECT_EQ(refusal([&] { chat.put(kMessage, Variant::fromString("x")); }),
              "Variable \"InteractionRoot.Communication.Message\" was registered with option 32 "
              "(no publishing), so it cannot be written");
}

TEST_F(HlaExchange, APayloadThatDoesNotDecodeRaisesAFailureAndKeepsTheValue) {
    chat.add(kMessage);
    peer.add(kMessage + "#I4");
    chat.put(kMessage, Variant::fromString("hi"));
    deliver();
    const auto failures = peer.take(-1);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].source, kMessage + "#I4");
    EXPECT_EQ(failures[0].value.string(),
              "The value received for variable \"InteractionRoot.Communication.Message#I4\" is "
              "no VT_I4: received 3 bytes where a I4 takes 4");
    EXPECT_TRUE(peer.take(3).empty());
    EXPECT_TRUE(peer.get(kMessage + "#I4").isEmpty());
}
