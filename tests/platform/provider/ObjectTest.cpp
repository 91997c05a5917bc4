#include "HlaFixture.h"

using namespace hlatest;
using cao::Variant;

namespace {

const QString kAttr = "ObjectRoot.myClass.myAttr!ABC";
const QString kName = "ObjectRoot.Participant.Name!P1";

class HlaObjects : public HlaTest {
protected:
    HlaObjects() : chat(open("ChatRoom.Chat")), peer(open("ChatRoom.Peer")) {
        deliver();
        chat.takeAll();
        peer.takeAll();
    }
    QStringList notices(Side& side) {
        QStringList texts;
        for (const Received& r : side.take(0)) texts << r.value.string();
        return texts;
    }
    Side chat;
    Side peer;
};

}  // namespace

TEST_F(HlaObjects, WritingAnObjectNobodyRegisteredFails) {
    chat.add(kAttr);
    EXPECT_EQ(refusal([&] { chat.put(kAttr, Variant::fromString("x")); }),
              "Variable \"ObjectRoot.myClass.myAttr!ABC\" cannot be written: there is no object "
              "\"ABC\" in federation ChatRoom; register it with option 2 or wait until another "
              "federate does");
}

TEST_F(HlaObjects, OptionSixteenReleasesTheAttributeUnownedForAnotherToTake) {
    chat.add(kName, 2 | 16);
    peer.add(kName);
    deliver();
    close(chat);
    deliver();
    EXPECT_TRUE(peer.take(0).size() == 1u);  // discovered, not removed
    peer.put(kName, Variant::fromString("taken over"));
    deliver();
    EXPECT_EQ(notices(peer), QStringList{"Ownership of attribute Name of object \"P1\" gained"});
}

TEST_F(HlaObjects, AnOwnedAttributeIsRequestedAndReleasedUnlessOptionEight) {
    chat.add(kName, 2);
    peer.add(kName);
    deliver();
    const QString description = refusal([&] { peer.put(kName, Variant::fromString("mine")); });
    EXPECT_TRUE(description.contains("owned by another federate; ownership has been requested"))
        << description.toStdString();
    deliver();
    EXPECT_TRUE(
        notices(chat).contains("Ownership of attribute Name of object \"P1\" released to "
                               "another federate"));
    EXPECT_TRUE(notices(peer).contains("Ownership of attribute Name of object \"P1\" gained"));
    peer.put(kName, Variant::fromString("mine"));
    deliver();
    ASSERT_EQ(chat.take(4).size(), 1u);
}

TEST_F(HlaObjects, OptionEightKeepsAnAttributeThatAnotherFederateAsksFor) {
    chat.add(kName, 2 | 8);
    peer.add(kName);
    deliver();
    chat.takeAll();
    peer.takeAll();
    EXPECT_TRUE(refusal([&] {
                    peer.put(kName, Variant::fromString("mine"));
                }).contains("ownership has been requested"));
    deliver();
    EXPECT_FALSE(notices(chat).join("|").contains("released"));
    EXPECT_FALSE(notices(peer).join("|").contains("gained"));
    chat.put(kName, Variant::fromString("still mine"));
    deliver();
    ASSERT_EQ(peer.take(4).size(), 1u);
}
