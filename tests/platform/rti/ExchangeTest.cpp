#include "Scenario.h"

#include "platform/hla/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace rti;
using namespace rti::testing;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const std::string kCommunication = "InteractionRoot.Communication";
const std::string kPrivate = "InteractionRoot.Communication.Private";
const std::string kParticipant = "ObjectRoot.Participant";
const std::string kModerator = "ObjectRoot.Participant.Moderator";

template <typename Call>
ErrorKind refusal(Call call) {
    try {
        call();
    } catch (const Error& e) {
        EXPECT_FALSE(std::string(e.what()).empty());
        return e.kind();
    }
    ADD_FAILURE() << "the call was accepted";
    return ErrorKind::InvalidName;
}

}  // namespace

TEST(RtiInteractions, ReachEverySubscriberButNeverTheSender) {
    Scenario s;
    const auto a = s.join("A");
    const auto b = s.join("B");
    const auto c = s.join("C");
    const auto quiet = s.join("Quiet");
    for (auto f : {a, b, c}) s.publishAndSubscribe(f, kCommunication);
    s.say(a, kCommunication, "hello");
    EXPECT_THAT(s.drain(a), IsEmpty());
    EXPECT_THAT(s.drain(b), ElementsAre("receive Communication Message=hello"));
    EXPECT_THAT(s.drain(c), ElementsAre("receive Communication Message=hello"));
    EXPECT_THAT(s.drain(quiet), IsEmpty());
}

TEST(RtiInteractions, SubclassArrivesAsTheSubscribedSuperclassWithItsParameters) {
    Scenario s;
    const auto sender = s.join("Sender");
    const auto general = s.join("General");
    const auto specific = s.join("Specific");
    s.rt.publishInteractionClass(sender, s.interactionClass(kPrivate));
    s.rt.subscribeInteractionClass(general, s.interactionClass(kCommunication));
    s.rt.subscribeInteractionClass(specific, s.interactionClass(kPrivate));
    s.rt.subscribeInteractionClass(specific, s.interactionClass(kCommunication));
    s.rt.sendInteraction(sender, s.interactionClass(kPrivate),
                         s.parameters(kPrivate, {{"Message", "psst"}, {"Recipient", "B"}}));
    EXPECT_THAT(s.drain(general), ElementsAre("receive Communication Message=psst"));
    EXPECT_THAT(s.drain(specific), ElementsAre("receive Private Message=psst Recipient=B"));
}

TEST(RtiInteractions, RefusedSendsChangeNothing) {
    Scenario s;
    const auto a = s.join("A");
    const auto b = s.join("B");
    s.publishAndSubscribe(b, kCommunication);
    EXPECT_EQ(refusal([&] { s.say(a, kCommunication, "x"); }),
              ErrorKind::InteractionClassNotPublished);
    s.rt.publishInteractionClass(a, s.interactionClass(kCommunication));
    EXPECT_EQ(refusal([&] {
                  s.rt.sendInteraction(a, s.interactionClass(kCommunication),
                                       s.parameters(kPrivate, {{"Recipient", "B"}}));
              }),
              ErrorKind::InteractionParameterNotDefined);
    EXPECT_EQ(refusal([&] { s.rt.sendInteraction(a, InteractionClassHandle{999}, {}); }),
              ErrorKind::InteractionClassNotDefined);
    s.rt.unsubscribeInteractionClass(b, s.interactionClass(kCommunication));
    s.say(a, kCommunication, "unheard");
    EXPECT_THAT(s.drain(b), IsEmpty());
}

TEST(RtiObjects, RegisteredInstanceIsDiscoveredAndReflected) {
    Scenario s;
    const auto owner = s.join("Owner");
    const auto watcher = s.join("Watcher");
    s.publishObjects(owner, kParticipant, {"Name"});
    s.subscribeObjects(watcher, kParticipant, {"Name"});
    const auto object = s.rt.registerObjectInstance(owner, s.objectClass(kParticipant), "Alice");
    s.rt.updateAttributeValues(owner, object, s.attributes(kParticipant, {{"Name", "Alice A."}}));
    EXPECT_THAT(s.drain(watcher), ElementsAre("discover Alice as ObjectRoot.Participant",
                                              "reflect Alice Name=Alice A."));
    EXPECT_THAT(s.drain(owner), IsEmpty());
    EXPECT_EQ(s.rt.getObjectInstanceHandle(watcher, "Alice"), object);
}

TEST(RtiObjects, LateSubscribersDiscoverExistingInstancesAsTheirClass) {
    Scenario s;
    const auto owner = s.join("Owner");
    s.publishObjects(owner, kModerator, {"Name", "Level"});
    s.rt.registerObjectInstance(owner, s.objectClass(kModerator), "Mod");
    const auto unnamed = s.rt.registerObjectInstance(owner, s.objectClass(kModerator));
    const auto late = s.join("Late");
    s.subscribeObjects(late, kParticipant, {"Name"});
    const std::string generated = s.rt.getObjectInstanceName(late, unnamed);
    EXPECT_FALSE(generated.empty());
    EXPECT_THAT(s.drain(late), ElementsAre("discover Mod as ObjectRoot.Participant",
                                           "discover " + generated + " as ObjectRoot.Participant"));
    // Only the subscribed attributes of the known class are reflected.
    s.rt.updateAttributeValues(owner, s.rt.getObjectInstanceHandle(owner, "Mod"),
                               s.attributes(kModerator, {{"Name", "M"}, {"Level", "3"}}));
    EXPECT_THAT(s.drain(late), ElementsAre("reflect Mod Name=M"));
    // Subscribing again does not discover the same instance twice.
    s.subscribeObjects(late, kModerator, {"Level"});
    EXPECT_THAT(s.drain(late), IsEmpty());
}

TEST(RtiObjects, DeletionRemovesTheInstanceAtEveryDiscovererAndFreesItsName) {
    Scenario s;
    const auto owner = s.join("Owner");
    const auto b = s.join("B");
    const auto c = s.join("C");
    s.publishObjects(owner, kParticipant, {"Name"});
    for (auto f : {b, c}) s.subscribeObjects(f, kParticipant, {"Name"});
    const auto object = s.rt.registerObjectInstance(owner, s.objectClass(kParticipant), "Bob");
    EXPECT_EQ(refusal([&] { s.rt.deleteObjectInstance(b, object); }),
              ErrorKind::DeletePrivilegeNotHeld);
    s.rt.deleteObjectInstance(owner, object, "bye");
    for (auto f : {b, c})
        EXPECT_THAT(s.drain(f),
                    ElementsAre("discover Bob as ObjectRoot.Participant", "remove Bob"));
    EXPECT_EQ(refusal([&] { s.rt.updateAttributeValues(owner, object, {}); }),
              ErrorKind::ObjectNotKnown);
    const auto again = s.rt.registerObjectInstance(owner, s.objectClass(kParticipant), "Bob");
    EXPECT_NE(again, object);
}

TEST(RtiObjects, RefusedRegistrationsAndUpdatesChangeNothing) {
    Scenario s;
    const auto owner = s.join("Owner");
    const auto other = s.join("Other");
    s.subscribeObjects(other, kParticipant, {"Name"});
    EXPECT_EQ(
        refusal([&] { s.rt.registerObjectInstance(owner, s.objectClass(kParticipant), "X"); }),
        ErrorKind::ObjectClassNotPublished);
    s.publishObjects(owner, kParticipant, {"Name"});
    s.publishObjects(other, kParticipant, {"Name"});
    const auto object = s.rt.registerObjectInstance(owner, s.objectClass(kParticipant), "X");
    EXPECT_EQ(
        refusal([&] { s.rt.registerObjectInstance(other, s.objectClass(kParticipant), "X"); }),
        ErrorKind::ObjectAlreadyRegistered);
    EXPECT_EQ(refusal([&] {
                  s.rt.updateAttributeValues(other, object,
                                             s.attributes(kParticipant, {{"Name", "stolen"}}));
              }),
              ErrorKind::AttributeNotOwned);
    EXPECT_EQ(
        refusal([&] {
            s.rt.updateAttributeValues(owner, object, s.attributes(kModerator, {{"Level", "9"}}));
        }),
        ErrorKind::AttributeNotDefined);
    EXPECT_THAT(s.drain(other), ElementsAre("discover X as ObjectRoot.Participant"));
}

TEST(RtiObjects, ResigningDeletesTheFederatesInstances) {
    Scenario s;
    const auto owner = s.join("Owner");
    const auto watcher = s.join("Watcher");
    s.publishObjects(owner, kParticipant, {"Name"});
    s.subscribeObjects(watcher, kParticipant, {"Name"});
    s.rt.registerObjectInstance(owner, s.objectClass(kParticipant), "Gone");
    s.rt.resignFederationExecution(owner);
    EXPECT_THAT(s.drain(watcher),
                ElementsAre("discover Gone as ObjectRoot.Participant", "remove Gone"));
    EXPECT_EQ(refusal([&] { s.rt.getObjectInstanceHandle(watcher, "Gone"); }),
              ErrorKind::ObjectNotKnown);
    EXPECT_EQ(refusal([&] { s.rt.destroyFederationExecution("ChatRoom"); }),
              ErrorKind::FederatesCurrentlyJoined);
    s.rt.resignFederationExecution(watcher);
    s.rt.destroyFederationExecution("ChatRoom");
    EXPECT_FALSE(s.rt.federationExecutionExists("ChatRoom"));
}

TEST(RtiFederations, ManagementRefusalsNameTheProblem) {
    RunTime rt;
    EXPECT_EQ(refusal([&] { rt.joinFederationExecution("A", "Nowhere"); }),
              ErrorKind::FederationExecutionDoesNotExist);
    EXPECT_EQ(refusal([&] { rt.destroyFederationExecution("Nowhere"); }),
              ErrorKind::FederationExecutionDoesNotExist);
    rt.createFederationExecution("Here", FederationDescription{});
    EXPECT_EQ(refusal([&] { rt.createFederationExecution("Here", FederationDescription{}); }),
              ErrorKind::FederationExecutionAlreadyExists);
    EXPECT_EQ(refusal([&] { rt.queryFederateTime(FederateHandle{42}); }),
              ErrorKind::FederateNotExecutionMember);
    EXPECT_EQ(refusal([&] { rt.joinFederationExecution("A", "Here", kInfiniteTime); }),
              ErrorKind::InvalidFederationTime);
    const auto a = rt.joinFederationExecution("A", "Here", 2.5);
    EXPECT_EQ(rt.queryFederateTime(a), 2.5);
}

TEST(RtiCallbacks, AreQueuedAndCannotBeEvokedFromInsideACallback) {
    Scenario s;
    const auto a = s.join("A");
    const auto b = s.join("B");
    s.publishAndSubscribe(a, kCommunication);
    s.publishAndSubscribe(b, kCommunication);
    std::vector<FederateHandle> notified;
    s.rt.setCallbackNotifier([&](FederateHandle f) { notified.push_back(f); });
    s.say(a, kCommunication, "one");
    s.say(a, kCommunication, "two");
    EXPECT_EQ(notified, std::vector<FederateHandle>{b});  // once, when the queue filled
    EXPECT_EQ(s.rt.pendingCallbackCount(b), 2u);

    struct Nested : FederateAmbassador {
        RunTime& rt;
        FederateHandle self;
        bool refused = false;
        Nested(RunTime& r, FederateHandle f) : rt(r), self(f) {}
        void receiveInteraction(InteractionClassHandle, const ParameterValues&, const std::string&,
                                std::optional<LogicalTime>) override {
            try {
                rt.evokeCallback(self, *this);
            } catch (const Error& e) {
                refused = e.kind() == ErrorKind::CallNotAllowedFromWithinCallback;
            }
            // Services are allowed, even resigning.
            rt.resignFederationExecution(self);
        }
    } nested(s.rt, b);
    EXPECT_TRUE(s.rt.evokeCallback(b, nested));
    EXPECT_TRUE(nested.refused);
    EXPECT_EQ(refusal([&] { s.rt.evokeCallback(b, nested); }),
              ErrorKind::FederateNotExecutionMember);
}
