// Request attribute value update: the owners of the attributes are asked to provide them, by
// instance or by class, and a request the run-time cannot serve is refused with the reason.

#include "Scenario.h"

#include "platform/hla/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace rti;
using namespace rti::testing;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const std::string kParticipant = "ObjectRoot.Participant";
const std::string kModerator = "ObjectRoot.Participant.Moderator";

// Owner registers a participant and a moderator; Asker subscribes both and has discovered them.
struct Registered {
    Scenario s;
    FederateHandle owner = s.join("Owner");
    FederateHandle asker = s.join("Asker");
    FederateHandle bystander = s.join("Bystander");
    AttributeHandle name = s.attribute(kParticipant, "Name");
    AttributeHandle level = s.attribute(kModerator, "Level");
    ObjectInstanceHandle participant{}, moderator{};

    Registered() {
        s.publishObjects(owner, kParticipant, {"Name"});
        s.publishObjects(owner, kModerator, {"Name", "Level"});
        s.subscribeObjects(asker, kParticipant, {"Name"});
        s.subscribeObjects(asker, kModerator, {"Name", "Level"});
        participant = s.rt.registerObjectInstance(owner, s.objectClass(kParticipant), "P");
        moderator = s.rt.registerObjectInstance(owner, s.objectClass(kModerator), "M");
        for (auto f : {owner, asker, bystander}) s.drain(f);
    }
};

std::optional<ErrorKind> refusal(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return e.kind();
    }
    return std::nullopt;
}

}  // namespace

TEST(RtiValueUpdate, TheOwnerIsAskedForTheInstancesAttributesWithTheTag) {
    Registered r;
    r.s.rt.requestAttributeValueUpdate(r.asker, r.moderator, {r.name, r.level}, "now please");
    EXPECT_THAT(r.s.drain(r.owner), ElementsAre("provide? M Name Level now please"));
    EXPECT_THAT(r.s.drain(r.asker), IsEmpty());
    EXPECT_THAT(r.s.drain(r.bystander), IsEmpty());
    // The owner asking for its own has nobody to ask.
    r.s.rt.requestAttributeValueUpdate(r.owner, r.moderator, {r.name}, "mine");
    EXPECT_THAT(r.s.drain(r.owner), IsEmpty());
}

TEST(RtiValueUpdate, AClassRequestReachesEveryInstanceOfItAndBelowIt) {
    Registered r;
    r.s.rt.requestAttributeValueUpdate(r.asker, r.s.objectClass(kParticipant), {r.name}, "all");
    EXPECT_THAT(r.s.drain(r.owner), ElementsAre("provide? P Name all", "provide? M Name all"));
    r.s.rt.requestAttributeValueUpdate(r.asker, r.s.objectClass(kModerator), {r.level}, "mods");
    EXPECT_THAT(r.s.drain(r.owner), ElementsAre("provide? M Level mods"));
}

TEST(RtiValueUpdate, AnInstanceNotKnownOrAnAttributeNotOfItsClassIsRefused) {
    Registered r;
    EXPECT_EQ(
        refusal([&] { r.s.rt.requestAttributeValueUpdate(r.bystander, r.participant, {r.name}); }),
        ErrorKind::ObjectNotKnown);
    EXPECT_EQ(
        refusal([&] { r.s.rt.requestAttributeValueUpdate(r.asker, r.participant, {r.level}); }),
        ErrorKind::AttributeNotDefined);
    EXPECT_EQ(refusal([&] {
                  r.s.rt.requestAttributeValueUpdate(r.asker, r.s.objectClass(kParticipant),
                                                     {r.level});
              }),
              ErrorKind::AttributeNotDefined);
    EXPECT_THAT(r.s.drain(r.owner), IsEmpty());
}
