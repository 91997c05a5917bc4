// The run-time's management objects as a MOM tool sees them: discovered by subscribing, their
// values in the MIM's encodings, changes coming as they happen and lost federates removed.

#include "Scenario.h"
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

namespace {

// Records the management objects a federate is told of, by name, with their latest values.
class MomTool : public FederateAmbassador {
public:
    MomTool(RunTime& rt, FederateHandle self) : m_rt(rt), m_self(self) {}

    void discoverObjectInstance(ObjectInstanceHandle object, ObjectClassHandle cls,
                                const std::string& name) override {
        names[object] = name;
        classes[name] = m_rt.description(m_self)->objectClass(cls).fullName;
    }
    void reflectAttributeValues(ObjectInstanceHandle object, const AttributeValues& values,
                                const std::string&, std::optional<LogicalTime>) override {
        const auto fom = m_rt.description(m_self);
        for (const auto& [attribute, bytes] : values) {
            objects[names.at(object)][fom->attribute(attribute).name] = bytes;
        }
        ++reflections;
    }
    void removeObjectInstance(ObjectInstanceHandle object, const std::string&,
                              std::optional<LogicalTime>) override {
        objects.erase(names.at(object));
        removed.push_back(names.at(object));
    }
    void receiveInteraction(InteractionClassHandle cls, const ParameterValues& values,
                            const std::string&, std::optional<LogicalTime>) override {
        const auto fom = m_rt.description(m_self);
        const std::string& name = fom->interactionClass(cls).fullName;
        auto& received = interactions[name];
        std::map<std::string, Bytes> named;
        for (const auto& [parameter, bytes] : values) {
            received[fom->parameter(parameter).name] = bytes;
            named[fom->parameter(parameter).name] = bytes;
        }
        order.emplace_back(name.substr(name.rfind('.') + 1), std::move(named));
    }
    void drain() {
        while (m_rt.evokeCallback(m_self, *this)) {
        }
    }
    const Bytes& value(const std::string& object, const std::string& attribute) {
        return objects.at(object).at(attribute);
    }

    std::map<ObjectInstanceHandle, std::string> names;
    std::map<std::string, std::string> classes;
    std::map<std::string, std::map<std::string, Bytes>> objects;
    std::vector<std::string> removed;
    std::map<std::string, std::map<std::string, Bytes>> interactions;  // the latest of each
    // Every interaction, by the last part of its class name, as it came.
    std::vector<std::pair<std::string, std::map<std::string, Bytes>>> order;
    int reflections = 0;

private:
    RunTime& m_rt;
    FederateHandle m_self;
};

void subscribeAll(RunTime& rt, FederateHandle federate, const char* cls) {
    const auto fom = rt.description(federate);
    const ObjectClassHandle handle = rt.getObjectClassHandle(federate, cls);
    AttributeSet all;
    for (AttributeHandle a : fom->availableAttributes(handle)) all.insert(a);
    rt.subscribeObjectClassAttributes(federate, handle, all);
}

std::string objectOf(FederateHandle federate) {
    return "HLAfederate." + std::to_string(toUnderlying(federate));
}

// A federation made from the chat room as a FED file and as an XML module.
class ManagementObjects : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        hla::FederationDescription fom =
            GetParam() ? hla::readFederationModules({TANDREL_SOURCE_DATA_DIR "/Chat.xml"})
                       : hla::parseFed(rti::testing::kScenarioFed);
        rt.createFederationExecution("ChatRoom", std::move(fom));
    }
    RunTime rt;
};

}  // namespace

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

namespace {

// What a MOM tool asks of one federate's declarations and reads back, the handles as numbers.
struct DeclarationReport {
    std::map<std::uint32_t, std::vector<std::uint32_t>> objectClasses;  // class: attributes
    std::vector<std::uint32_t> interactionClasses;
    std::vector<std::int32_t> counts;
    std::vector<Bytes> federates;  // the HLAfederate of each report
};

// An HLAhandle, and a handle's own octets as the lists hold them.
std::uint32_t number(const Bytes& handle) {
    return mom::decodeHandleValue(handle).value_or(~0u);
}
std::uint32_t octetsNumber(const Bytes& octets) {
    std::uint32_t value = 0;
    for (std::uint8_t b : octets) value = (value << 8) | b;
    return octets.size() == 4 ? value : ~0u;
}

// Fails the test on a report that does not decode.
void readReports(MomTool& seen, const hla::FederationDescription& fom, DeclarationReport& got);

DeclarationReport ask(RunTime& rt, MomTool& seen, FederateHandle tool, const char* request,
                      const Bytes& federate) {
    const auto cls = rt.getInteractionClassHandle(tool, request);
    rt.sendInteraction(tool, cls, {{rt.getParameterHandle(tool, cls, "HLAfederate"), federate}});
    seen.order.clear();
    seen.drain();
    DeclarationReport got;
    readReports(seen, *rt.description(tool), got);
    return got;
}

void readReports(MomTool& seen, const hla::FederationDescription& fom, DeclarationReport& got) {
    for (auto& [name, values] : seen.order) {
        got.federates.push_back(values["HLAfederate"]);
        if (name.find("ObjectClass") != std::string::npos) {
            got.counts.push_back(mom::decodeInteger(values[mom::kNumberOfClasses]).value_or(-1));
            if (values.count(mom::kObjectClass) == 0) continue;
            auto& attributes = got.objectClasses[number(values[mom::kObjectClass])];
            const auto list = mom::decodeHandleList(values[mom::kAttributeList]);
            ASSERT_TRUE(list.has_value());
            for (const Bytes& a : *list) attributes.push_back(octetsNumber(a));
            // The octets are the MIM's own types.
            EXPECT_EQ(hla::decode(fom.dataTypes, "HLAhandleList", values[mom::kAttributeList])
                          .elements.size(),
                      attributes.size());
            if (name.find("Subscription") != std::string::npos) {
                EXPECT_EQ(mom::decodeBoolean(values[mom::kActive]), true);
                EXPECT_EQ(mom::decodeText(values[mom::kMaxUpdateRate]), "");
            }
        } else if (name == "HLAreportInteractionPublication") {
            const auto list = mom::decodeHandleList(values[mom::kInteractionClassList]);
            ASSERT_TRUE(list.has_value());
            for (const Bytes& c : *list) got.interactionClasses.push_back(octetsNumber(c));
        } else if (name == "HLAreportInteractionSubscription") {
            const Bytes& bytes = values[mom::kInteractionClassList];
            const auto list = mom::decodeInteractionSubscriptions(bytes);
            ASSERT_TRUE(list.has_value());
            for (const auto& [c, active] : *list) {
                EXPECT_TRUE(active);
                got.interactionClasses.push_back(octetsNumber(c));
            }
            EXPECT_EQ(hla::decode(fom.dataTypes, "HLAinteractionSubList", bytes).elements.size(),
                      got.interactionClasses.size());
        }
    }
}

}  // namespace

TEST_P(ManagementObjects, AFederatesPublicationsAndSubscriptionsAreReportedOnRequest) {
    const FederateHandle sim = rt.joinFederationExecution("Sim", "ChatRoom");
    const FederateHandle tool = rt.joinFederationExecution("Tool", "ChatRoom");
    MomTool seen(rt, tool);
    for (const char* cls : {mom::kRequestPublications, mom::kRequestSubscriptions}) {
        rt.publishInteractionClass(tool, rt.getInteractionClassHandle(tool, cls));
    }
    for (const char* cls :
         {mom::kReportObjectClassPublication, mom::kReportObjectClassSubscription,
          mom::kReportInteractionPublication, mom::kReportInteractionSubscription}) {
        rt.subscribeInteractionClass(tool, rt.getInteractionClassHandle(tool, cls));
    }
    const auto participant = rt.getObjectClassHandle(sim, "HLAobjectRoot.Participant");
    const auto name = rt.getAttributeHandle(sim, participant, "Name");
    const auto mine = rt.getObjectClassHandle(sim, "HLAobjectRoot.myClass");
    const auto myAttr = rt.getAttributeHandle(sim, mine, "myAttr");
    const auto chat = rt.getInteractionClassHandle(sim, "HLAinteractionRoot.Communication");
    const auto timed = rt.getInteractionClassHandle(sim, "HLAinteractionRoot.TSCommunication");
    const Bytes simHandle = mom::encodeHandle(sim);

    // Nothing declared yet: a count of 0 and an empty list, not silence.
    DeclarationReport got = ask(rt, seen, tool, mom::kRequestPublications, simHandle);
    EXPECT_THAT(got.counts, ::testing::ElementsAre(0));
    EXPECT_TRUE(got.objectClasses.empty());
    EXPECT_TRUE(got.interactionClasses.empty());
    ASSERT_EQ(got.federates.size(), 2u);

    rt.publishObjectClass(sim, participant, {name});
    rt.publishObjectClass(sim, mine, {myAttr});
    rt.publishInteractionClass(sim, chat);
    rt.subscribeObjectClassAttributes(sim, participant, {name});
    rt.subscribeInteractionClass(sim, chat);
    rt.subscribeInteractionClass(sim, timed);
    got = ask(rt, seen, tool, mom::kRequestPublications, simHandle);
    // One report an object class, each with the number of them, and one of the interactions.
    EXPECT_THAT(got.counts, ::testing::ElementsAre(2, 2));
    const auto n = [](auto handle) { return static_cast<std::uint32_t>(toUnderlying(handle)); };
    EXPECT_THAT(got.objectClasses[n(participant)], ::testing::ElementsAre(n(name)));
    EXPECT_THAT(got.objectClasses[n(mine)], ::testing::ElementsAre(n(myAttr)));
    EXPECT_THAT(got.interactionClasses, ::testing::ElementsAre(n(chat)));
    for (const Bytes& federate : got.federates) EXPECT_EQ(federate, simHandle);

    got = ask(rt, seen, tool, mom::kRequestSubscriptions, simHandle);
    EXPECT_THAT(got.counts, ::testing::ElementsAre(1));
    EXPECT_THAT(got.objectClasses[n(participant)], ::testing::ElementsAre(n(name)));
    EXPECT_THAT(got.interactionClasses, ::testing::ElementsAre(n(chat), n(timed)));

    // The tool's own subscriptions to the reports are reported like any other.
    got = ask(rt, seen, tool, mom::kRequestSubscriptions, mom::encodeHandle(tool));
    EXPECT_EQ(got.interactionClasses.size(), 4u);
}

TEST_P(ManagementObjects, ARequestForAFederateNotJoinedIsAnsweredWithAMomException) {
    const FederateHandle tool = rt.joinFederationExecution("Tool", "ChatRoom");
    MomTool seen(rt, tool);
    const auto request = rt.getInteractionClassHandle(tool, mom::kRequestPublications);
    rt.publishInteractionClass(tool, request);
    rt.subscribeInteractionClass(tool,
                                 rt.getInteractionClassHandle(tool, mom::kReportMomException));
    const auto federate = rt.getParameterHandle(tool, request, "HLAfederate");
    for (const Bytes& given : {mom::encodeHandle(FederateHandle{99}), Bytes{1, 2}}) {
        rt.sendInteraction(tool, request, {{federate, given}});
    }
    rt.sendInteraction(tool, request, {});
    seen.drain();
    ASSERT_EQ(seen.order.size(), 3u);
    for (auto& [name, values] : seen.order) {
        EXPECT_EQ(name, "HLAreportMOMexception");
        EXPECT_EQ(mom::decodeText(values[mom::kService]),
                  "InteractionRoot.HLAmanager.HLAfederate.HLArequest.HLArequestPublications");
        EXPECT_EQ(mom::decodeBoolean(values[mom::kParameterError]), true);
    }
    EXPECT_THAT(mom::decodeText(seen.order[0].second[mom::kException]).value(),
                ::testing::HasSubstr("no federate of this federation"));
    EXPECT_THAT(mom::decodeText(seen.order[1].second[mom::kException]).value(),
                ::testing::HasSubstr("not an HLAhandle"));
    EXPECT_THAT(mom::decodeText(seen.order[2].second[mom::kException]).value(),
                ::testing::HasSubstr("names no federate"));
}

TEST(MomEncoding, HandleListsAndInteractionSubscriptionsThatRunShortOrLongAreRefused) {
    const Bytes list = mom::encodeHandleList(std::vector<std::uint32_t>{3, 70000});
    const Bytes subs = mom::encodeInteractionSubscriptions({{5, true}, {6, false}});
    ASSERT_EQ(mom::decodeHandleList(list)->size(), 2u);
    EXPECT_EQ(octetsNumber(mom::decodeHandleList(list)->back()), 70000u);
    const auto decoded = mom::decodeInteractionSubscriptions(subs);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_FALSE(decoded->back().second);
    for (const Bytes* whole : {&list, &subs}) {
        for (std::size_t cut = 0; cut < whole->size(); ++cut) {
            const Bytes part(whole->begin(), whole->begin() + static_cast<std::ptrdiff_t>(cut));
            EXPECT_FALSE(mom::decodeHandleList(part) && whole == &list);
            EXPECT_FALSE(mom::decodeInteractionSubscriptions(part) && whole == &subs);
        }
    }
    Bytes notABoolean = subs;
    notABoolean.back() = 2;
    EXPECT_FALSE(mom::decodeInteractionSubscriptions(notABoolean));
    EXPECT_FALSE(mom::decodeHandleValue(Bytes{0, 0, 0, 2, 1, 2}));
}
