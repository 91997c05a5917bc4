#include "RunTimeFixture.h"

using namespace hlatest;
using cao::Variant;

namespace {

const QString kAttr = "ObjectRoot.myClass.myAttr!ABC";
const QString kName = "ObjectRoot.Participant.Name!P1";
const QString kNotSupported = "run-time in use does not support";

class RunTimeObjects : public TwoSideRunTimeTest {
protected:
    static QStringList notices(Side& side) {
        QStringList texts;
        for (const Received& r : side.take(0)) texts << r.value.string();
        return texts;
    }
    // The peer has discovered the object that chat registered for kName.
    void shareParticipant(int chatOptions) {
        chat.add(kName, 2 | chatOptions);
        peer.add(kName);
        ASSERT_TRUE(waitFor([&] { return has(peer, 0); }));
        chat.takeAll();
        peer.takeAll();
    }
    // The federation is as it was: chat still owns the attribute and its writes arrive.
    void chatStillWrites() {
        chat.put(kName, Variant::fromString("still mine"));
        ASSERT_TRUE(waitFor([&] { return has(peer, 4); }));
        EXPECT_EQ(peer.get(kName), Variant::fromString("still mine"));
    }
};

}  // namespace

TEST_P(RunTimeObjects, ARegisteredObjectIsDiscoveredAndReflected) {
    chat.add(kAttr, 2);
    peer.add(kAttr);
    ASSERT_TRUE(waitFor([&] { return has(peer, 0); }));
    EXPECT_EQ(notices(peer), QStringList{"Object \"ABC\" of class ObjectRoot.myClass discovered"});
    chat.put(kAttr, Variant::fromString("value 1"));
    ASSERT_TRUE(waitFor([&] { return has(peer, 4); }));
    const auto reflected = peer.take(4);
    ASSERT_EQ(reflected.size(), 1u);
    EXPECT_EQ(reflected[0].value, Variant::fromString("value 1"));
    EXPECT_EQ(reflected[0].source, kAttr);
    settle();
    EXPECT_TRUE(chat.take(4).empty());
}

TEST_P(RunTimeObjects, ObjectNamesAreUniqueInTheFederation) {
    chat.add(kAttr, 2);
    const QString description = refusal([&] { peer.add(kAttr, 2); });
    EXPECT_TRUE(
        description.startsWith("Variable \"ObjectRoot.myClass.myAttr!ABC\" could not be "
                               "registered: "))
        << description.toStdString();
    EXPECT_TRUE(description.contains("ABC")) << description.toStdString();
    EXPECT_EQ(peer.vars()->Count(), 0);
}

TEST_P(RunTimeObjects, RemovingTheVariableOrClosingDeletesTheObjectAtTheOther) {
    chat.add(kAttr, 2);
    chat.add(kName, 2);
    peer.add(kAttr);
    peer.add(kName);
    ASSERT_TRUE(waitFor([&] { return has(peer, 0, 2); }));
    peer.takeAll();
    chat.vars()->Remove(Variant::fromString(kAttr));
    ASSERT_TRUE(waitFor([&] { return has(peer, 0); }));
    EXPECT_EQ(notices(peer), QStringList{"Object \"ABC\" removed"});
    close(chat);
    ASSERT_TRUE(waitFor([&] { return has(peer, 0); }));
    EXPECT_EQ(notices(peer), QStringList{"Object \"P1\" removed"});
}

TEST_P(RunTimeObjects, AnAttributeOwnedElsewhereIsRequestedOrRefusedAsUnsupported) {
    shareParticipant(0);
    const QString description = refusal([&] { peer.put(kName, Variant::fromString("mine")); });
    if (lacksOwnership()) {
        EXPECT_TRUE(description.contains(kNotSupported)) << description.toStdString();
        chatStillWrites();
        return;
    }
    EXPECT_TRUE(description.contains("owned by another federate; ownership has been requested"))
        << description.toStdString();
    ASSERT_TRUE(waitFor([&] { return has(peer, 0); }));
    EXPECT_TRUE(notices(peer).contains("Ownership of attribute Name of object \"P1\" gained"));
    EXPECT_TRUE(
        notices(chat).contains("Ownership of attribute Name of object \"P1\" released to "
                               "another federate"));
}

TEST_P(RunTimeObjects, OptionEightKeepsTheAttribute) {
    shareParticipant(8);
    const QString description = refusal([&] { peer.put(kName, Variant::fromString("mine")); });
    EXPECT_TRUE(
        description.contains(lacksOwnership() ? kNotSupported : "ownership has been requested"))
        << description.toStdString();
    settle();
    EXPECT_FALSE(notices(chat).join("|").contains("released"));
    chatStillWrites();
}

TEST_P(RunTimeObjects, OptionSixteenReleasesTheAttributeUnownedOrIsRefusedAsUnsupported) {
    shareParticipant(16);
    if (lacksOwnership()) {
        const QString description =
            refusal([&] { chat.vars()->Remove(Variant::fromString(kName)); });
        EXPECT_TRUE(description.contains(kNotSupported)) << description.toStdString();
        EXPECT_EQ(chat.vars()->Count(), 1);
        chatStillWrites();
        return;
    }
    close(chat);
    settle();
    EXPECT_TRUE(peer.take(0).empty());  // not removed
    peer.put(kName, Variant::fromString("taken over"));
    ASSERT_TRUE(waitFor([&] { return has(peer, 0); }));
    EXPECT_EQ(notices(peer), QStringList{"Ownership of attribute Name of object \"P1\" gained"});
}

INSTANTIATE_TEST_SUITE_P(RunTimes, RunTimeObjects,
                         ::testing::Values(kEmbedded, kHla13, kHla1516e, kHla4, kEmbeddedXml,
                                           kHla13Xml, kHla1516eXml, kHla4Xml),
                         runTimeName);
