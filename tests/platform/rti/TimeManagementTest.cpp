#include "Scenario.h"

#include "platform/hla/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace rti;
using namespace rti::testing;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const std::string kTS = "InteractionRoot.TSCommunication";
const std::string kRO = "InteractionRoot.Communication";

ErrorKind refusal(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return e.kind();
    }
    ADD_FAILURE() << "the call was accepted";
    return ErrorKind::InvalidName;
}

}  // namespace

TEST(RtiTime, TwoRegulatingConstrainedFederatesAdvanceInLockStep) {
    Scenario s;
    const auto a = s.join("A");
    const auto b = s.join("B");
    s.makeTimed(a, 1);
    s.makeTimed(b, 1);
    for (int t = 1; t <= 5; ++t) {
        s.rt.timeAdvanceRequest(a, t);
        EXPECT_THAT(s.drain(a), IsEmpty()) << "t=" << t;
        EXPECT_EQ(s.rt.queryLBTS(a), t);  // b promises its time plus lookahead
        EXPECT_EQ(s.rt.queryLBTS(b), t + 1);
        s.rt.timeAdvanceRequest(b, t);
        const std::string grant = "grant " + std::to_string(t);
        EXPECT_THAT(s.drain(a), ElementsAre(grant));
        EXPECT_THAT(s.drain(b), ElementsAre(grant));
        EXPECT_EQ(s.rt.queryFederateTime(a), t);
    }
}

TEST(RtiTime, FourFederatesAreGrantedOnlyWhenTheLastOneAsks) {
    Scenario s;
    std::vector<FederateHandle> feds;
    for (const char* name : {"A", "B", "C", "D"}) feds.push_back(s.join(name));
    for (auto f : feds) s.makeTimed(f, 1);
    for (int t = 1; t <= 3; ++t) {
        for (std::size_t i = 0; i < feds.size(); ++i) {
            for (std::size_t j = 0; j < i; ++j) EXPECT_THAT(s.drain(feds[j]), IsEmpty());
            s.rt.timeAdvanceRequest(feds[i], t);
        }
        for (auto f : feds) EXPECT_THAT(s.drain(f), ElementsAre("grant " + std::to_string(t)));
    }
}

TEST(RtiTime, TimestampOrderMessageWaitsUntilTheReceiverAdvancesToIt) {
    Scenario s;
    const auto a = s.join("A");
    const auto b = s.join("B");
    const auto loose = s.join("Loose");  // not constrained
    s.makeTimed(a, 1);
    s.makeTimed(b, 1);
    for (auto f : {a, b, loose}) s.publishAndSubscribe(f, kTS);
    s.rt.timeAdvanceRequest(a, 4);
    s.rt.timeAdvanceRequest(b, 4);
    s.drain(a);
    s.drain(b);
    s.say(a, kTS, "at five", 5.0);
    EXPECT_THAT(s.drain(loose), ElementsAre("receive TSCommunication Message=at five"));
    EXPECT_EQ(s.rt.queryMinNextEventTime(b), 5);
    s.rt.timeAdvanceRequest(b, 5);
    EXPECT_THAT(s.drain(b), IsEmpty());  // LBTS is 5: a may still send at 5
    s.rt.timeAdvanceRequest(a, 5);
    EXPECT_THAT(s.drain(b), ElementsAre("receive TSCommunication Message=at five @5", "grant 5"));
    EXPECT_THAT(s.drain(a), ElementsAre("grant 5"));
    // Later messages arrive in timestamp order, not in the order sent.
    s.say(a, kTS, "seven", 7.0);
    s.say(a, kTS, "six", 6.0);
    s.rt.timeAdvanceRequest(a, 8);
    s.rt.timeAdvanceRequest(b, 8);
    EXPECT_THAT(s.drain(b), ElementsAre("receive TSCommunication Message=six @6",
                                        "receive TSCommunication Message=seven @7", "grant 8"));
    EXPECT_EQ(refusal([&] { s.say(a, kTS, "too early", 8.5); }), ErrorKind::InvalidFederationTime);
}

TEST(RtiTime, TimeAdvanceIsNotGrantedWhileLbtsEqualsTheRequest) {
    Scenario s;
    const auto regulator = s.join("Regulator");
    const auto follower = s.join("Follower");
    s.rt.enableTimeRegulation(regulator, 0, 1);
    s.rt.enableTimeConstrained(follower);
    EXPECT_THAT(s.drain(follower), ElementsAre("constrained 0"));
    s.rt.timeAdvanceRequest(follower, 1);
    EXPECT_EQ(s.rt.queryLBTS(follower), 1);
    EXPECT_THAT(s.drain(follower), IsEmpty());
    s.rt.timeAdvanceRequest(regulator, 0.5);  // not constrained: granted at once
    EXPECT_THAT(s.drain(regulator), ElementsAre("regulating 0", "grant 0.5"));
    EXPECT_THAT(s.drain(follower), ElementsAre("grant 1"));
}

TEST(RtiTime, NextEventRequestGrantsTheTimeOfTheNextMessage) {
    Scenario s;
    const auto a = s.join("A");
    const auto b = s.join("B");
    s.rt.enableTimeRegulation(a, 0, 1);
    s.rt.enableTimeConstrained(b);
    s.publishAndSubscribe(a, kTS);
    s.publishAndSubscribe(b, kTS);
    s.say(a, kTS, "first", 3.0);
    s.say(a, kTS, "second", 4.0);
    s.say(a, kTS, "also first", 3.0);
    s.drain(b);
    s.rt.nextEventRequest(b, 10);
    EXPECT_EQ(s.rt.queryRequestedTime(b), 10);
    EXPECT_THAT(s.drain(b), IsEmpty());  // a may still send at 1
    s.rt.timeAdvanceRequest(a, 10);
    EXPECT_THAT(s.drain(b),
                ElementsAre("receive TSCommunication Message=first @3",
                            "receive TSCommunication Message=also first @3", "grant 3"));
    s.rt.nextEventRequest(b, 10);
    EXPECT_THAT(s.drain(b), ElementsAre("receive TSCommunication Message=second @4", "grant 4"));
    s.rt.nextEventRequest(b, 10);  // nothing queued, LBTS 11: the requested time
    EXPECT_THAT(s.drain(b), ElementsAre("grant 10"));
}

TEST(RtiTime, NextEventRequestsOfRegulatorsWaitForEachOthersMessages) {
    Scenario s;
    const auto a = s.join("A");
    const auto b = s.join("B");
    s.makeTimed(a, 1);
    s.makeTimed(b, 1);
    s.publishAndSubscribe(a, kTS);
    s.publishAndSubscribe(b, kTS);
    s.rt.nextEventRequest(a, 10);
    s.rt.nextEventRequest(b, 10);
    // Both idle on an empty federation: each may still get a message from the other, so
    // neither can jump to 10 before it is sure of that. With lookahead 1 both reach 10.
    EXPECT_THAT(s.drain(a), ElementsAre("grant 10"));
    EXPECT_THAT(s.drain(b), ElementsAre("grant 10"));
    s.say(a, kTS, "at 12", 12.0);
    s.rt.nextEventRequest(b, 20);
    EXPECT_THAT(s.drain(b), IsEmpty());  // a at 10 may still send at 11
    EXPECT_EQ(s.rt.queryLBTS(b), 11);
    s.rt.nextEventRequest(a, 20);
    EXPECT_THAT(s.drain(b), ElementsAre("receive TSCommunication Message=at 12 @12", "grant 12"));
    EXPECT_THAT(s.drain(a), IsEmpty());  // b, now at 12, may still send at 13
    EXPECT_EQ(s.rt.queryLBTS(a), 13);
    s.rt.nextEventRequest(b, 20);
    EXPECT_THAT(s.drain(a), ElementsAre("grant 20"));
    EXPECT_THAT(s.drain(b), ElementsAre("grant 20"));
}

TEST(RtiTime, FlushQueueRequestDeliversEverythingQueued) {
    Scenario s;
    const auto a = s.join("A");
    const auto b = s.join("B");
    s.rt.enableTimeRegulation(a, 0, 1);
    s.rt.enableTimeConstrained(b);
    s.publishAndSubscribe(a, kTS);
    s.publishAndSubscribe(b, kTS);
    for (double t : {6.0, 2.0, 4.0}) s.say(a, kTS, "m", t);
    s.drain(b);
    s.rt.flushQueueRequest(b, 5);
    // Granted the smallest of the request (5), LBTS (1) and the earliest message (2).
    EXPECT_THAT(s.drain(b), ElementsAre("receive TSCommunication Message=m @2",
                                        "receive TSCommunication Message=m @4",
                                        "receive TSCommunication Message=m @6", "grant 1"));
    EXPECT_EQ(s.rt.queryMinNextEventTime(b), 1);
}

TEST(RtiTime, ReceiveOrderWaitsForAdvancingUnlessAsynchronous) {
    Scenario s;
    const auto talker = s.join("Talker");
    const auto timed = s.join("Timed");
    s.publishAndSubscribe(talker, kRO);
    s.publishAndSubscribe(timed, kRO);
    s.rt.enableTimeConstrained(timed);
    s.drain(timed);
    s.say(talker, kRO, "held");
    EXPECT_THAT(s.drain(timed), IsEmpty());
    s.rt.timeAdvanceRequest(timed, 1);  // no regulator: LBTS is +infinity
    EXPECT_THAT(s.drain(timed), ElementsAre("receive Communication Message=held", "grant 1"));
    s.rt.enableAsynchronousDelivery(timed);
    s.say(talker, kRO, "at once");
    EXPECT_THAT(s.drain(timed), ElementsAre("receive Communication Message=at once"));
    s.rt.disableAsynchronousDelivery(timed);
    s.say(talker, kRO, "held again");
    EXPECT_THAT(s.drain(timed), IsEmpty());
    s.rt.enableAsynchronousDelivery(timed);  // releases what was held
    EXPECT_THAT(s.drain(timed), ElementsAre("receive Communication Message=held again"));
}

TEST(RtiTime, LbtsIsInfiniteWithoutAnotherRegulator) {
    Scenario s;
    const auto a = s.join("A");
    s.makeTimed(a, 2);
    EXPECT_EQ(s.rt.queryLBTS(a), kInfiniteTime);
    EXPECT_EQ(s.rt.queryMinNextEventTime(a), kInfiniteTime);
    const auto b = s.join("B", 3);
    s.rt.enableTimeRegulation(b, 3, 0.5);
    EXPECT_EQ(s.rt.queryLBTS(a), 3.5);
    EXPECT_EQ(s.rt.queryLBTS(b), 2);
    s.rt.resignFederationExecution(b);
    EXPECT_EQ(s.rt.queryLBTS(a), kInfiniteTime);
}

TEST(RtiTime, LoweringLookaheadNeverLowersAPromise) {
    Scenario s;
    const auto a = s.join("A");
    const auto b = s.join("B");
    s.publishAndSubscribe(a, kTS);
    s.rt.enableTimeRegulation(a, 0, 5);
    s.rt.enableTimeConstrained(b);
    s.rt.timeAdvanceRequest(b, 4.5);
    s.drain(b);
    s.rt.modifyLookahead(a, 1);
    EXPECT_EQ(s.rt.queryLookahead(a), 1);
    EXPECT_EQ(s.rt.queryLBTS(b), 5);
    EXPECT_EQ(refusal([&] { s.say(a, kTS, "early", 2.0); }), ErrorKind::InvalidFederationTime);
    s.say(a, kTS, "on time", 5.0);
    s.rt.timeAdvanceRequest(a, 4.5);
    EXPECT_EQ(s.rt.queryLBTS(b), 5.5);  // time plus the new lookahead passes the old promise
    EXPECT_EQ(refusal([&] { s.rt.modifyLookahead(a, -1); }), ErrorKind::InvalidLookahead);
}

TEST(RtiTime, NewRegulatorPromisesNothingBelowWhereConstrainedFederatesAre) {
    Scenario s;
    const auto early = s.join("Early");
    s.rt.enableTimeConstrained(early);
    s.rt.timeAdvanceRequest(early, 10);
    EXPECT_THAT(s.drain(early), ElementsAre("constrained 0", "grant 10"));
    const auto late = s.join("Late");
    s.rt.enableTimeRegulation(late, 0, 1);
    EXPECT_THAT(s.drain(late), ElementsAre("regulating 9"));
    EXPECT_EQ(s.rt.queryLBTS(early), 10);
}

TEST(RtiTime, ConstraintStartsOnceLbtsReachesTheLogicalTime) {
    Scenario s;
    const auto regulator = s.join("Regulator");
    s.rt.enableTimeRegulation(regulator, 0, 1);
    const auto ahead = s.join("Ahead", 5);
    s.rt.enableTimeConstrained(ahead);
    EXPECT_THAT(s.drain(ahead), IsEmpty());
    EXPECT_EQ(refusal([&] { s.rt.timeAdvanceRequest(ahead, 6); }),
              ErrorKind::EnableTimeConstrainedPending);
    s.rt.timeAdvanceRequest(regulator, 4);
    EXPECT_THAT(s.drain(ahead), ElementsAre("constrained 5"));
}

TEST(RtiTime, ResigningRegulatorReleasesWaitingFederates) {
    Scenario s;
    const auto a = s.join("A");
    const auto b = s.join("B");
    s.makeTimed(a, 1);
    s.makeTimed(b, 1);
    s.rt.timeAdvanceRequest(a, 3);
    EXPECT_THAT(s.drain(a), IsEmpty());
    s.rt.resignFederationExecution(b);
    EXPECT_THAT(s.drain(a), ElementsAre("grant 3"));
}

TEST(RtiTime, RefusedRequestsChangeNothing) {
    Scenario s;
    const auto a = s.join("A", 2);
    const auto b = s.join("B");
    s.makeTimed(a, 1);
    s.makeTimed(b, 1);
    EXPECT_EQ(refusal([&] { s.rt.timeAdvanceRequest(a, 1); }),
              ErrorKind::FederationTimeAlreadyPassed);
    EXPECT_EQ(refusal([&] { s.rt.nextEventRequest(a, std::nan("")); }),
              ErrorKind::InvalidFederationTime);
    EXPECT_EQ(refusal([&] { s.rt.enableTimeRegulation(a, 0, 1); }),
              ErrorKind::TimeRegulationAlreadyEnabled);
    s.rt.timeAdvanceRequest(a, 5);
    EXPECT_EQ(refusal([&] { s.rt.timeAdvanceRequest(a, 6); }),
              ErrorKind::TimeAdvanceAlreadyInProgress);
    EXPECT_EQ(refusal([&] { s.rt.disableTimeConstrained(a); }),
              ErrorKind::TimeAdvanceAlreadyInProgress);
    EXPECT_EQ(s.rt.queryRequestedTime(a), 5);
    EXPECT_EQ(s.rt.queryFederateTime(a), 2);
    EXPECT_EQ(refusal([&] { s.rt.enableTimeRegulation(b, 0, -0.5); }),
              ErrorKind::TimeRegulationAlreadyEnabled);
    s.rt.disableTimeRegulation(b);  // a no longer waits for b
    EXPECT_THAT(s.drain(a), ElementsAre("grant 5"));
}
