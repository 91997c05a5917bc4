// The run-time's management reports as a MOM tool asks for them: a federate's publications
// and subscriptions, the refusal of a request it cannot serve, and their encodings.

#include "MomTool.h"
#include "platform/hla/DataCodec.h"
#include "platform/hla/MomEncoding.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace rti;
using namespace rti::testing;
namespace mom = hla::mom;

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

// The same federation as the management objects' cases.
class ManagementReports : public ManagementObjects {};

}  // namespace

TEST_P(ManagementReports, AFederatesPublicationsAndSubscriptionsAreReportedOnRequest) {
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

TEST_P(ManagementReports, ARequestForAFederateNotJoinedIsAnsweredWithAMomException) {
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

TEST_P(ManagementReports, AReportPeriodUpdatesTheFederatesObjectWholeEachTimeItComes) {
    const FederateHandle sim = rt.joinFederationExecution("Sim", "ChatRoom");
    const FederateHandle tool = rt.joinFederationExecution("Tool", "ChatRoom");
    MomTool seen(rt, tool);
    subscribeAll(rt, tool, mom::kFederateClass);
    seen.drain();
    const auto setTiming = rt.getInteractionClassHandle(tool, mom::kSetTiming);
    rt.publishInteractionClass(tool, setTiming);
    rt.subscribeInteractionClass(tool,
                                 rt.getInteractionClassHandle(tool, mom::kReportMomException));
    const auto federate = rt.getParameterHandle(tool, setTiming, mom::kFederateParameter);
    const auto period = rt.getParameterHandle(tool, setTiming, mom::kReportPeriod);
    EXPECT_FALSE(rt.nextTick().has_value());  // none by default

    rt.sendInteraction(tool, setTiming,
                       {{federate, mom::encodeHandle(sim)}, {period, mom::encodeInteger(5)}});
    const auto due = rt.nextTick();
    ASSERT_TRUE(due.has_value());
    const int before = seen.reflections;
    seen.objects.erase(objectOf(sim));
    rt.tick(*due - std::chrono::seconds{1});  // not yet
    seen.drain();
    EXPECT_EQ(seen.reflections, before);
    rt.tick(*due);
    seen.drain();
    ASSERT_EQ(seen.reflections, before + 1);
    // Every value, not only those that changed.
    EXPECT_EQ(mom::decodeText(seen.value(objectOf(sim), mom::federate::kName)), "Sim");
    EXPECT_EQ(rt.nextTick(), *due + std::chrono::seconds{5});

    // 0 stops it; a period below 0 is refused, saying why.
    rt.sendInteraction(tool, setTiming,
                       {{federate, mom::encodeHandle(sim)}, {period, mom::encodeInteger(-1)}});
    seen.drain();
    ASSERT_FALSE(seen.order.empty());
    EXPECT_EQ(seen.order.back().first, "HLAreportMOMexception");
    EXPECT_THAT(mom::decodeText(seen.order.back().second[mom::kException]).value(),
                ::testing::HasSubstr("HLAreportPeriod"));
    EXPECT_TRUE(rt.nextTick().has_value());
    rt.sendInteraction(tool, setTiming,
                       {{federate, mom::encodeHandle(sim)}, {period, mom::encodeInteger(0)}});
    EXPECT_FALSE(rt.nextTick().has_value());
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

INSTANTIATE_TEST_SUITE_P(RtiMom, ManagementReports, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "ChatXml" : "ChatFed"; });
