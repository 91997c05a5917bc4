#include "Scenario.h"

#include "platform/hla/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace rti;
using namespace rti::testing;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const std::string kMyClass = "ObjectRoot.myClass";

// Two federates that both publish and subscribe myClass.myAttr; the first registers "ABC".
struct Owned {
    Scenario s;
    FederateHandle first = s.join("First");
    FederateHandle second = s.join("Second");
    AttributeHandle attr = s.attribute(kMyClass, "myAttr");
    ObjectInstanceHandle object{};

    Owned() {
        for (auto f : {first, second}) {
            s.publishObjects(f, kMyClass, {"myAttr"});
            s.subscribeObjects(f, kMyClass, {"myAttr"});
        }
        object = s.rt.registerObjectInstance(first, s.objectClass(kMyClass), "ABC");
        s.drain(first);
        s.drain(second);
    }
    bool owns(FederateHandle f) { return s.rt.isAttributeOwnedByFederate(f, object, attr); }
    void write(FederateHandle f, const std::string& value) {
        s.rt.updateAttributeValues(f, object, {{attr, textBytes(value)}});
    }
};

}  // namespace

TEST(RtiOwnership, MovesOnRequestAndRelease) {
    Owned o;
    EXPECT_TRUE(o.owns(o.first));
    o.s.rt.attributeOwnershipAcquisition(o.second, o.object, {o.attr}, "mine?");
    EXPECT_THAT(o.s.drain(o.first), ElementsAre("release? ABC myAttr"));
    EXPECT_TRUE(o.owns(o.first));  // nothing moves until the owner answers
    const AttributeSet released =
        o.s.rt.attributeOwnershipReleaseResponse(o.first, o.object, {o.attr});
    EXPECT_EQ(released, AttributeSet{o.attr});
    EXPECT_THAT(o.s.drain(o.second), ElementsAre("acquired ABC myAttr"));
    EXPECT_FALSE(o.owns(o.first));
    EXPECT_TRUE(o.owns(o.second));
    o.write(o.second, "from second");
    EXPECT_THAT(o.s.drain(o.first), ElementsAre("reflect ABC myAttr=from second"));
}

TEST(RtiOwnership, StaysWithAnOwnerThatDoesNotRelease) {
    Owned o;
    o.s.rt.attributeOwnershipAcquisition(o.second, o.object, {o.attr});
    o.s.drain(o.first);  // the request is seen and ignored
    o.write(o.first, "still mine");
    EXPECT_THAT(o.s.drain(o.second), ElementsAre("reflect ABC myAttr=still mine"));
    EXPECT_THROW(o.write(o.second, "not mine"), Error);
    EXPECT_TRUE(o.owns(o.first));
    // A request can be withdrawn; a later release then has no one to go to.
    o.s.rt.cancelAttributeOwnershipAcquisition(o.second, o.object, {o.attr});
    EXPECT_THAT(o.s.drain(o.second), ElementsAre("cancelled ABC myAttr"));
    EXPECT_THAT(o.s.rt.attributeOwnershipReleaseResponse(o.first, o.object, {o.attr}), IsEmpty());
    EXPECT_TRUE(o.owns(o.first));
}

TEST(RtiOwnership, DivestedAttributesBecomeUnownedAndCanBeTaken) {
    Owned o;
    o.s.rt.unconditionalAttributeOwnershipDivestiture(o.first, o.object, {o.attr});
    EXPECT_FALSE(o.owns(o.first));
    o.s.rt.queryAttributeOwnership(o.second, o.object, o.attr);
    EXPECT_THAT(o.s.drain(o.second), ElementsAre("unowned ABC myAttr"));
    o.s.rt.attributeOwnershipAcquisitionIfAvailable(o.second, o.object, {o.attr});
    EXPECT_TRUE(o.owns(o.second));
    o.s.rt.attributeOwnershipAcquisitionIfAvailable(o.first, o.object, {o.attr});
    EXPECT_THAT(o.s.drain(o.first), ElementsAre("unavailable ABC myAttr"));
    EXPECT_THAT(o.s.drain(o.second), ElementsAre("acquired ABC myAttr"));
}

TEST(RtiOwnership, ResignedAttributesBecomeUnowned) {
    Owned o;
    // Releasing only: the instance outlives its registrant.
    o.s.rt.resignFederationExecution(o.first, ResignAction::ReleaseAttributes);
    EXPECT_THAT(o.s.drain(o.second), IsEmpty());
    o.s.rt.attributeOwnershipAcquisition(o.second, o.object, {o.attr});
    EXPECT_THAT(o.s.drain(o.second), ElementsAre("acquired ABC myAttr"));
    o.write(o.second, "taken over");
}

TEST(RtiOwnership, WaitingRequesterGetsWhatTheOwnerDivests) {
    Owned o;
    const auto third = o.s.join("Third");
    o.s.publishObjects(third, kMyClass, {"myAttr"});
    o.s.rt.attributeOwnershipAcquisition(o.second, o.object, {o.attr});
    o.s.rt.attributeOwnershipAcquisition(third, o.object, {o.attr});
    o.s.rt.resignFederationExecution(o.first, ResignAction::ReleaseAttributes);
    EXPECT_TRUE(o.owns(o.second));  // first come, first served
    o.s.rt.unconditionalAttributeOwnershipDivestiture(o.second, o.object, {o.attr});
    EXPECT_TRUE(o.s.rt.isAttributeOwnedByFederate(third, o.object, o.attr));
}

TEST(RtiOwnership, RefusalsNameTheProblem) {
    Owned o;
    const auto outsider = o.s.join("Outsider");
    struct Case {
        const char* what;
        std::function<void()> call;
        ErrorKind kind;
    };
    const std::vector<Case> cases = {
        {"acquire unpublished",
         [&] { o.s.rt.attributeOwnershipAcquisition(outsider, o.object, {o.attr}); },
         ErrorKind::AttributeNotPublished},
        {"acquire owned",
         [&] { o.s.rt.attributeOwnershipAcquisition(o.first, o.object, {o.attr}); },
         ErrorKind::AttributeAlreadyOwned},
        {"release not owned",
         [&] { o.s.rt.attributeOwnershipReleaseResponse(o.second, o.object, {o.attr}); },
         ErrorKind::AttributeNotOwned},
        {"divest not owned",
         [&] { o.s.rt.unconditionalAttributeOwnershipDivestiture(o.second, o.object, {o.attr}); },
         ErrorKind::AttributeNotOwned},
        {"cancel unrequested",
         [&] { o.s.rt.cancelAttributeOwnershipAcquisition(o.second, o.object, {o.attr}); },
         ErrorKind::AttributeAcquisitionWasNotRequested},
        {"foreign attribute",
         [&] {
             o.s.rt.isAttributeOwnedByFederate(o.first, o.object,
                                               o.s.attribute("ObjectRoot.Participant", "Name"));
         },
         ErrorKind::AttributeNotDefined},
        {"resign owning without action",
         [&] { o.s.rt.resignFederationExecution(o.first, ResignAction::NoAction); },
         ErrorKind::FederateOwnsAttributes},
    };
    for (const auto& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.what << " was accepted";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), c.kind) << c.what << ": " << e.what();
        }
        EXPECT_TRUE(o.owns(o.first)) << c.what;
    }
}

TEST(RtiOwnership, UnpublishingGivesUpOwnedAttributes) {
    Owned o;
    o.s.rt.attributeOwnershipAcquisition(o.second, o.object, {o.attr});
    o.s.rt.unpublishObjectClass(o.first, o.s.objectClass(kMyClass));
    EXPECT_TRUE(o.owns(o.second));
}

TEST(RtiObjects, ReflectionOvertakenByTheRemovalIsDropped) {
    Owned o;
    o.s.makeTimed(o.first, 1);
    o.s.makeTimed(o.second, 1);
    o.s.rt.updateAttributeValues(o.first, o.object, {{o.attr, textBytes("late")}}, {}, 1.0);
    o.s.rt.deleteObjectInstance(o.first, o.object);  // receive order: overtakes the update
    o.s.rt.timeAdvanceRequest(o.first, 2);
    o.s.rt.timeAdvanceRequest(o.second, 2);
    EXPECT_THAT(o.s.drain(o.second), ElementsAre("remove ABC", "grant 2"));
}
