// The run-time's management objects as a MOM tool sees them: discovered by subscribing, their
// values in the MIM's encodings, changes coming as they happen and lost federates removed.

#include "MomTool.h"
#include "platform/hla/DataCodec.h"
#include "platform/hla/FedReader.h"
#include "platform/hla/FomModules.h"
#include "platform/hla/MomEncoding.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace rti;
namespace mom = hla::mom;

using namespace rti::testing;

TEST_P(ManagementObjects, ASubscriberDiscoversTheFederationAndEachFederateWithTheirValues) {
    const FederateHandle one = rt.joinFederationExecution("Sim", "ChatRoom", 0, nullptr, "One");
    const FederateHandle tool = rt.joinFederationExecution("Tool", "ChatRoom");
    rt.enableTimeRegulation(one, 2, 0.5);
    MomTool seen(rt, tool);
    subscribeAll(rt, tool, mom::kFederateClass);
    subscribeAll(rt, tool, mom::kFederationClass);
    seen.drain();

    ASSERT_EQ(seen.objects.count(objectOf(one)), 1u);
    EXPECT_EQ(seen.classes[objectOf(one)], "ObjectRoot.HLAmanager.HLAfederate");
    EXPECT_EQ(mom::decodeText(seen.value(objectOf(one), mom::federate::kName)), "One");
    EXPECT_EQ(mom::decodeText(seen.value(objectOf(one), mom::federate::kType)), "Sim");
    EXPECT_EQ(mom::decodeText(seen.value(objectOf(tool), mom::federate::kName)), "Tool");
    EXPECT_EQ(mom::decodeBoolean(seen.value(objectOf(one), mom::federate::kRegulating)), true);
    EXPECT_EQ(mom::decodeBoolean(seen.value(objectOf(one), mom::federate::kConstrained)), false);
    EXPECT_EQ(mom::decodeTime(seen.value(objectOf(one), mom::federate::kLogicalTime)), 2.0);
    EXPECT_EQ(mom::decodeTime(seen.value(objectOf(one), mom::federate::kLookahead)), 0.5);
    EXPECT_EQ(mom::decodeInteger(seen.value(objectOf(one), mom::federate::kTimeState)),
              mom::kTimeGranted);
    // The tool's own GALT is the regulator's promise.
    EXPECT_EQ(mom::decodeTime(seen.value(objectOf(tool), mom::federate::kGalt)), 2.5);
    const Bytes handle = seen.value(objectOf(one), mom::federate::kHandle);
    EXPECT_EQ(mom::decodeHandle(handle),
              (Bytes{0, 0, 0, static_cast<std::uint8_t>(toUnderlying(one))}));

    EXPECT_EQ(mom::decodeText(seen.value("HLAfederation", mom::federation::kName)), "ChatRoom");
    // Decoded with the MIM's own types, as any MOM tool would.
    const auto fom = rt.description(tool);
    const hla::DataValue federates = hla::decode(
        fom->dataTypes, "HLAhandleList", seen.value("HLAfederation", mom::federation::kFederates));
    EXPECT_EQ(federates.elements.size(), 2u);
    const hla::DataValue name = hla::decode(fom->dataTypes, "HLAunicodeString",
                                            seen.value(objectOf(one), mom::federate::kName));
    EXPECT_EQ(name.text, u"One");
}

TEST_P(ManagementObjects, ChangesReachTheWatcherOnceEachAndALeavingFederateIsRemoved) {
    const FederateHandle one = rt.joinFederationExecution("One", "ChatRoom");
    const FederateHandle tool = rt.joinFederationExecution("Tool", "ChatRoom");
    rt.enableTimeRegulation(one, 0, 1);
    MomTool seen(rt, tool);
    subscribeAll(rt, tool, mom::kFederateClass);
    seen.drain();
    // Reflections carry only what changed, and nothing when nothing did.
    const int before = seen.reflections;
    seen.drain();
    EXPECT_EQ(seen.reflections, before);

    rt.enableTimeRegulation(tool, 0, 1);
    rt.timeAdvanceRequest(one, 5);  // held by the tool's promise of 1
    seen.drain();
    EXPECT_EQ(mom::decodeInteger(seen.value(objectOf(one), mom::federate::kTimeState)),
              mom::kTimeAdvancing);

    // A federate joining later is discovered; one leaving is removed from view.
    const FederateHandle late = rt.joinFederationExecution("Late", "ChatRoom");
    seen.drain();
    EXPECT_EQ(seen.objects.count(objectOf(late)), 1u);
    rt.resignFederationExecution(late);
    seen.drain();
    EXPECT_THAT(seen.removed, ::testing::ElementsAre(objectOf(late)));
}

TEST_P(ManagementObjects, TheRunTimesObjectsAreNotAFederatesToChange) {
    const FederateHandle one = rt.joinFederationExecution("One", "ChatRoom");
    const FederateHandle tool = rt.joinFederationExecution("Tool", "ChatRoom");
    MomTool seen(rt, tool);
    subscribeAll(rt, tool, mom::kFederateClass);
    seen.drain();
    const ObjectInstanceHandle object = rt.getObjectInstanceHandle(tool, objectOf(one));
    const ObjectClassHandle cls = rt.getObjectClassHandle(tool, mom::kFederateClass);
    const AttributeHandle name = rt.getAttributeHandle(tool, cls, mom::federate::kName);
    EXPECT_THROW(rt.updateAttributeValues(tool, object, {{name, mom::encodeText("x")}}),
                 hla::Error);
    EXPECT_THROW(rt.deleteObjectInstance(tool, object), hla::Error);
    EXPECT_THROW(rt.registerObjectInstance(tool, cls, "HLAfederate.99"), hla::Error);
}

TEST_P(ManagementObjects, ASynchronizationPointsStatusIsReportedOnRequest) {
    const FederateHandle one = rt.joinFederationExecution("One", "ChatRoom");
    const FederateHandle two = rt.joinFederationExecution("Two", "ChatRoom");
    const FederateHandle tool = rt.joinFederationExecution("Tool", "ChatRoom");
    MomTool seen(rt, tool);
    const auto request = rt.getInteractionClassHandle(tool, mom::kRequestSyncPointStatus);
    const auto report = rt.getInteractionClassHandle(tool, mom::kReportSyncPointStatus);
    rt.publishInteractionClass(tool, request);
    rt.subscribeInteractionClass(tool, report);
    rt.registerFederationSynchronizationPoint(one, "ReadyToRun");
    rt.synchronizationPointAchieved(one, "ReadyToRun");
    rt.sendInteraction(tool, request,
                       {{rt.getParameterHandle(tool, request, mom::kSyncPointName),
                         mom::encodeText("ReadyToRun")}});
    seen.drain();
    auto& got = seen.interactions
                    ["InteractionRoot.HLAmanager.HLAfederation.HLAreport."
                     "HLAreportSynchronizationPointStatus"];
    EXPECT_EQ(mom::decodeText(got[mom::kSyncPointName]), "ReadyToRun");
    const auto list = mom::decodeSyncPointFederates(got[mom::kSyncPointFederates]);
    ASSERT_TRUE(list.has_value());
    std::map<std::uint8_t, std::int32_t> status;
    for (const auto& entry : *list) status[entry.federate.back()] = entry.status;
    const auto key = [](FederateHandle f) { return static_cast<std::uint8_t>(toUnderlying(f)); };
    EXPECT_EQ(status[key(one)], mom::kWaitingForRestOfFederation);
    EXPECT_EQ(status[key(two)], mom::kMovingToSyncPoint);
    // The same octets as the MIM's own types decode them.
    const auto fom = rt.description(tool);
    const hla::DataValue decoded =
        hla::decode(fom->dataTypes, "HLAsynchPointFederateList", got[mom::kSyncPointFederates]);
    EXPECT_EQ(decoded.elements.size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(RtiMom, ManagementObjects, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "ChatXml" : "ChatFed"; });

TEST_P(ManagementObjects, ARequestForValuesIsAnsweredWithTheirCurrentOnesToTheAskerAlone) {
    const FederateHandle tool = rt.joinFederationExecution("Tool", "ChatRoom");
    const FederateHandle other = rt.joinFederationExecution("Other", "ChatRoom");
    MomTool seen(rt, tool);
    MomTool watching(rt, other);
    for (FederateHandle f : {tool, other}) subscribeAll(rt, f, mom::kFederationClass);
    seen.drain();
    watching.drain();
    const int before = seen.reflections;
    const int othersBefore = watching.reflections;
    ObjectInstanceHandle federation{};
    for (const auto& [handle, name] : seen.names) {
        if (name == "HLAfederation") federation = handle;
    }
    const auto cls = rt.getObjectClassHandle(tool, mom::kFederationClass);
    const auto name = rt.getAttributeHandle(tool, cls, mom::federation::kName);
    seen.objects.at("HLAfederation").erase(mom::federation::kName);
    rt.requestAttributeValueUpdate(tool, federation, {name}, "");
    seen.drain();
    watching.drain();
    EXPECT_EQ(seen.reflections, before + 1);
    EXPECT_EQ(mom::decodeText(seen.value("HLAfederation", mom::federation::kName)), "ChatRoom");
    EXPECT_EQ(watching.reflections, othersBefore);
    // By class, likewise.
    seen.objects.at("HLAfederation").erase(mom::federation::kName);
    rt.requestAttributeValueUpdate(tool, cls, {name}, "");
    seen.drain();
    EXPECT_EQ(mom::decodeText(seen.value("HLAfederation", mom::federation::kName)), "ChatRoom");
}

TEST_P(ManagementObjects, ASendersAndAReceiversCountsAreThereOnRequest) {
    const FederateHandle sim = rt.joinFederationExecution("Sim", "ChatRoom");
    const FederateHandle other = rt.joinFederationExecution("Other", "ChatRoom");
    const FederateHandle tool = rt.joinFederationExecution("Tool", "ChatRoom");
    const auto participant = rt.getObjectClassHandle(sim, "HLAobjectRoot.Participant");
    const auto name = rt.getAttributeHandle(sim, participant, "Name");
    const auto chat = rt.getInteractionClassHandle(sim, "HLAinteractionRoot.Communication");
    rt.publishObjectClass(sim, participant, {name});
    rt.publishInteractionClass(sim, chat);
    rt.subscribeObjectClassAttributes(other, participant, {name});
    rt.subscribeInteractionClass(other, chat);
    const auto object = rt.registerObjectInstance(sim, participant, "P");
    for (const char* text : {"a", "b"}) rt.updateAttributeValues(sim, object, {{name, {}}}, text);
    for (int i = 0; i < 3; ++i) rt.sendInteraction(sim, chat, {});
    MomTool seen(rt, tool);
    subscribeAll(rt, tool, mom::kFederateClass);
    seen.drain();
    const auto count = [&](FederateHandle f, const char* attribute) {
        return mom::decodeInteger(seen.value(objectOf(f), attribute)).value_or(-1);
    };
    EXPECT_EQ(count(sim, mom::federate::kUpdatesSent), 2);
    EXPECT_EQ(count(sim, mom::federate::kInteractionsSent), 3);
    EXPECT_EQ(count(sim, mom::federate::kInstancesRegistered), 1);
    EXPECT_EQ(count(sim, mom::federate::kInstancesUpdated), 1);
    EXPECT_EQ(count(sim, mom::federate::kInstancesDeletable), 1);
    EXPECT_EQ(count(other, mom::federate::kReflectionsReceived), 2);
    EXPECT_EQ(count(other, mom::federate::kInteractionsReceived), 3);
    EXPECT_EQ(count(other, mom::federate::kInstancesDiscovered), 1);
    EXPECT_EQ(count(other, mom::federate::kInstancesReflected), 1);
    EXPECT_EQ(count(other, mom::federate::kReceiveQueue), 6);  // nothing evoked yet

    // Counts change with every message, so they come when asked for, not with each one.
    rt.deleteObjectInstance(sim, object);
    const auto cls = rt.getObjectClassHandle(tool, mom::kFederateClass);
    rt.requestAttributeValueUpdate(
        tool, cls,
        {rt.getAttributeHandle(tool, cls, mom::federate::kInstancesDeleted),
         rt.getAttributeHandle(tool, cls, mom::federate::kInstancesRemoved),
         rt.getAttributeHandle(tool, cls, mom::federate::kInstancesUpdated)});
    seen.drain();
    EXPECT_EQ(count(sim, mom::federate::kInstancesDeleted), 1);
    EXPECT_EQ(count(sim, mom::federate::kInstancesUpdated), 0);  // of instances that exist
    EXPECT_EQ(count(other, mom::federate::kInstancesRemoved), 1);
    const auto fom = rt.description(tool);
    EXPECT_EQ(hla::decode(fom->dataTypes, "HLAcount",
                          seen.value(objectOf(other), mom::federate::kInstancesRemoved))
                  .integer,
              1);
}

TEST(MomEncoding, AListOfSyncPointFederatesThatRunsShortOrLongIsRefused) {
    const Bytes good = mom::encodeSyncPointFederates({{FederateHandle{7}, 2}});
    ASSERT_TRUE(mom::decodeSyncPointFederates(good).has_value());
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        EXPECT_FALSE(mom::decodeSyncPointFederates(Bytes(good.begin(), good.begin() + cut)));
    }
    Bytes longer = good;
    longer.push_back(0);
    EXPECT_FALSE(mom::decodeSyncPointFederates(longer));
    // A count far beyond the octets is refused before anything is reserved for it.
    EXPECT_FALSE(mom::decodeSyncPointFederates(Bytes{0x7F, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}));
}

TEST_P(ManagementObjects, AFederateLostIsReportedWithItsNameItsTimeAndTheFault) {
    const FederateHandle lost = rt.joinFederationExecution("Sim", "ChatRoom", 0, nullptr, "Gone");
    const FederateHandle tool = rt.joinFederationExecution("Tool", "ChatRoom");
    MomTool seen(rt, tool);
    rt.subscribeInteractionClass(tool,
                                 rt.getInteractionClassHandle(tool, mom::kReportFederateLost));
    rt.reportFederateLost(lost, "its session went silent");
    rt.resignFederationExecution(lost);
    // A federate that resigned of its own accord is no loss.
    rt.resignFederationExecution(rt.joinFederationExecution("Sim", "ChatRoom", 0, nullptr, "Left"));
    seen.drain();
    ASSERT_EQ(seen.interactions.size(), 1u);
    auto& got =
        seen.interactions["InteractionRoot.HLAmanager.HLAfederate.HLAreport.HLAreportFederateLost"];
    EXPECT_EQ(mom::decodeText(got[mom::kLostFederateName]), "Gone");
    EXPECT_EQ(mom::decodeTime(got[mom::kLostTimeStamp]), 0.0);
    EXPECT_EQ(mom::decodeText(got[mom::kFaultDescription]), "its session went silent");
}
