// The IEEE 1516-2010 link through its plug-in, against a running RTI server.

#include "LinkTestSupport.h"

#include <gtest/gtest.h>

using namespace linktest;
using links::kHla1516eKind;

namespace {

class Hla1516eLink : public LinkTest {
protected:
    void SetUp() override { needs(kHla1516eKind); }

    // Two federates of one federation of this test, Chat and Peer.
    void joinBoth() {
        const std::string federation = uniqueFederation();
        chat = std::make_unique<Federate>(kHla1516eKind, chatRequest(federation, "Chat"));
        peer = std::make_unique<Federate>(kHla1516eKind, chatRequest(federation, "Peer"));
    }

    std::unique_ptr<Federate> chat;
    std::unique_ptr<Federate> peer;
};

}  // namespace

TEST_F(Hla1516eLink, OpensAndClosesAndOpensAgain) {
    const std::string federation = uniqueFederation();
    for (int round = 0; round < 2; ++round) {
        Federate chat(kHla1516eKind, chatRequest(federation, "Chat"));
        EXPECT_EQ(chat.link().runTimeName(), "IEEE 1516-2010 run-time");
        EXPECT_TRUE(
            chat.link().description().findInteractionClass("InteractionRoot.Communication"));
        EXPECT_EQ(chat.link().queryFederateTime(), 0);
        EXPECT_FALSE(chat.link().isTimeRegulating());
        // Nobody regulates: nothing bounds this federate.
        EXPECT_EQ(chat.link().queryLBTS(), hla::kInfiniteTime);
    }
}

// As the provider passes CAO_HLA_RTI_LIBRARY: the directory of the RTI's libraries, or one of
// them.
TEST_F(Hla1516eLink, TakesTheRtisLibrariesFromTheDirectoryOrTheLibraryAHintNames) {
    const std::string directory = TANDREL_HLA1516E_RTI_LIBDIR;
    for (const std::string& hint : {directory, directory + "/librti1516e.so"}) {
        Federate chat(kHla1516eKind, chatRequest(uniqueFederation(), "Chat"), hint);
        EXPECT_EQ(chat.link().queryFederateTime(), 0) << hint;
    }
}

TEST_F(Hla1516eLink, StartsAtItsInitialTime) {
    auto request = chatRequest(uniqueFederation(), "Chat");
    request.initialTime = 5;
    Federate chat(kHla1516eKind, request);
    EXPECT_EQ(chat.link().queryFederateTime(), 5);
}

TEST_F(Hla1516eLink, InteractionsAndAttributeUpdatesGoFromOneFederateToTheOther) {
    joinBoth();
    const auto message = chat->interaction("InteractionRoot.Communication");
    const auto text = chat->parameter(message, "Message");
    chat->link().publishInteractionClass(message);
    peer->link().subscribeInteractionClass(message);
    ASSERT_TRUE(chat->sendUntil(*peer, "receive InteractionRoot.Communication Message=Hello", [&] {
        chat->link().sendInteraction(message, {{text, bytes("Hello")}}, std::nullopt);
    }));

    const auto participant = chat->objectClass("ObjectRoot.Participant");
    const auto name = chat->attribute(participant, "Name");
    chat->link().publishObjectClass(participant, {name});
    peer->link().subscribeObjectClassAttributes(participant, {name});
    // A named object reserves its name first; the name is the object's across federates.
    const std::string objectName = "Ann";
    const auto object = chat->link().registerObjectInstance(participant, objectName);
    EXPECT_EQ(chat->link().findObjectInstance(objectName), object);
    EXPECT_TRUE(chat->link().isAttributeOwnedByFederate(object, name));
    ASSERT_TRUE(peer->waitFor("discover " + objectName));
    ASSERT_TRUE(chat->sendUntil(*peer, "reflect " + objectName + " Name=Ann", [&] {
        chat->link().updateAttributeValues(object, {{name, bytes("Ann")}}, std::nullopt);
    }));
    EXPECT_EQ(peer->link().findObjectInstance(objectName), peer->told().discovered(objectName));
    EXPECT_FALSE(
        peer->link().isAttributeOwnedByFederate(*peer->told().discovered(objectName), name));
    EXPECT_EQ(chat->link().findObjectInstance("Nobody"), std::nullopt);

    chat->link().deleteObjectInstance(object);
    EXPECT_TRUE(peer->waitFor("remove " + objectName));
}

TEST_F(Hla1516eLink, ANameInUseIsRefusedAndTheObjectNotRegistered) {
    joinBoth();
    const auto participant = chat->objectClass("ObjectRoot.Participant");
    const auto name = chat->attribute(participant, "Name");
    chat->link().publishObjectClass(participant, {name});
    peer->link().publishObjectClass(participant, {name});
    const std::string objectName = "Bob";
    chat->link().registerObjectInstance(participant, objectName);
    try {
        peer->link().registerObjectInstance(participant, objectName);
        FAIL() << "a name in use was registered twice";
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()),
                  "registering object Bob: the name is reserved or in use by another federate");
    }
    // Unnamed, the RTI names it.
    EXPECT_NO_THROW(peer->link().registerObjectInstance(participant, ""));
}

TEST_F(Hla1516eLink, ASynchronizationPointIsAnnouncedToAllAndSynchronizedWhenAllAchieved) {
    joinBoth();
    chat->link().registerSynchronizationPoint("ready");
    ASSERT_TRUE(chat->waitFor("announce ready"));
    ASSERT_TRUE(peer->waitFor("announce ready"));
    chat->link().synchronizationPointAchieved("ready");
    peer->link().synchronizationPointAchieved("ready");
    EXPECT_TRUE(chat->waitFor("synchronized ready"));
    EXPECT_TRUE(peer->waitFor("synchronized ready"));
}

TEST_F(Hla1516eLink, TwoRegulatingConstrainedFederatesAdvanceInLockStep) {
    joinBoth();
    for (Federate* f : {chat.get(), peer.get()}) {
        f->link().enableTimeRegulation(0, 1);
        f->link().enableTimeConstrained();
        // Configured, and not yet the RTI's until regulation is enabled.
        EXPECT_EQ(f->link().queryLookahead(), 1);
    }
    for (Federate* f : {chat.get(), peer.get()}) {
        ASSERT_TRUE(f->waitFor(
            [&] { return f->told().has("regulating 0") && f->told().has("constrained 0"); }));
        EXPECT_TRUE(f->link().isTimeRegulating());
        EXPECT_EQ(f->link().queryLookahead(), 1);
    }
    const auto stamped = chat->interaction("InteractionRoot.TSCommunication");
    const auto text = chat->parameter(stamped, "Message");
    chat->link().publishInteractionClass(stamped);
    peer->link().subscribeInteractionClass(stamped);
    // Both must be subscribed before the message is sent: a settled sync point says so.
    chat->link().registerSynchronizationPoint("subscribed");
    ASSERT_TRUE(peer->waitFor("announce subscribed"));
    ASSERT_TRUE(chat->waitFor("announce subscribed"));
    peer->link().synchronizationPointAchieved("subscribed");
    chat->link().synchronizationPointAchieved("subscribed");
    ASSERT_TRUE(peer->waitFor("synchronized subscribed"));
    ASSERT_TRUE(chat->waitFor("synchronized subscribed"));
    chat->link().sendInteraction(stamped, {{text, bytes("at two")}}, 2.0);

    for (int t = 1; t <= 3; ++t) {
        const std::string grant = "grant " + std::to_string(t);
        chat->link().timeAdvanceRequest(t);
        peer->link().timeAdvanceRequest(t);
        ASSERT_TRUE(chat->waitFor(grant));
        ASSERT_TRUE(peer->waitFor(grant));
        EXPECT_EQ(chat->link().queryFederateTime(), t);
        // The other federate may still send from its time plus its lookahead.
        EXPECT_EQ(chat->link().queryLBTS(), t + 1);
    }
    // The timestamped message arrived in time order: before the grant of its time.
    const auto& lines = peer->told().lines;
    const auto received = std::find(lines.begin(), lines.end(),
                                    "receive InteractionRoot.TSCommunication Message=at two @2");
    ASSERT_NE(received, lines.end());
    EXPECT_LT(received, std::find(lines.begin(), lines.end(), "grant 2"));
    EXPECT_GT(received, std::find(lines.begin(), lines.end(), "grant 1"));
}

// The RTI we test with has no ownership services beyond asking who owns an attribute.
TEST_F(Hla1516eLink, AcquiringOwnershipIsNotSupportedAndLeavesTheOwnerAsItWas) {
    joinBoth();
    const auto participant = chat->objectClass("ObjectRoot.Participant");
    const auto name = chat->attribute(participant, "Name");
    chat->link().publishObjectClass(participant, {name});
    peer->link().publishObjectClass(participant, {name});
    peer->link().subscribeObjectClassAttributes(participant, {name});
    const auto object = chat->link().registerObjectInstance(participant, "Cid");
    ASSERT_TRUE(peer->waitFor("discover Cid"));
    const auto seen = *peer->told().discovered("Cid");
    try {
        peer->link().attributeOwnershipAcquisition(seen, {name});
        FAIL() << "acquiring ownership was accepted";
    } catch (const links::NotSupported& e) {
        EXPECT_EQ(std::string(e.what()).rfind("The IEEE 1516-2010 run-time in use does not support "
                                              "requesting attribute ownership (",
                                              0),
                  0u)
            << e.what();
    }
    EXPECT_THROW(chat->link().unconditionalAttributeOwnershipDivestiture(object, {name}),
                 links::NotSupported);
    EXPECT_TRUE(chat->link().isAttributeOwnedByFederate(object, name));
    EXPECT_FALSE(peer->link().isAttributeOwnedByFederate(seen, name));
}
