// When time moves for a federate, what it may still receive, and the requests refused on the
// way. Each case is a scenario on the run-time with two or three federates.

#include "Scenario.h"

#include "platform/hla/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace rti;
using namespace rti::testing;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

const std::string kTS = "InteractionRoot.TSCommunication";
const std::string kParticipant = "ObjectRoot.Participant";

Error refusal(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return e;
    }
    ADD_FAILURE() << "the call was accepted";
    return Error(ErrorKind::InvalidName, "accepted");
}

enum class Request { TimeAdvance, NextEvent, FlushQueue };

void ask(Scenario& s, FederateHandle federate, Request kind, LogicalTime time) {
    switch (kind) {
        case Request::TimeAdvance:
            return s.rt.timeAdvanceRequest(federate, time);
        case Request::NextEvent:
            return s.rt.nextEventRequest(federate, time);
        case Request::FlushQueue:
            return s.rt.flushQueueRequest(federate, time);
    }
}

class EveryRequest : public ::testing::TestWithParam<Request> {};

INSTANTIATE_TEST_SUITE_P(RtiTimeSafety, EveryRequest,
                         ::testing::Values(Request::TimeAdvance, Request::NextEvent,
                                           Request::FlushQueue));

}  // namespace

TEST_P(EveryRequest, LogicalTimeMovesWhenTheGrantIsDelivered) {
    Scenario s;
    const auto a = s.join("A", 5);
    const auto b = s.join("B", 5);
    s.makeTimed(a, 1);
    s.makeTimed(b, 1);
    ask(s, a, GetParam(), 6);
    ask(s, b, GetParam(), 6);
    // Both grants are decided, neither is taken yet.
    EXPECT_EQ(s.rt.queryFederateTime(a), 5);
    EXPECT_EQ(s.rt.queryFederateTime(b), 5);
    EXPECT_EQ(s.rt.queryRequestedTime(a), 6);
    const Error again = refusal([&] { ask(s, a, GetParam(), 8); });
    EXPECT_EQ(again.kind(), ErrorKind::TimeAdvanceAlreadyInProgress);
    EXPECT_THAT(again.what(), HasSubstr("has not received the grant yet"));
    EXPECT_EQ(refusal([&] { s.rt.disableTimeConstrained(a); }).kind(),
              ErrorKind::TimeAdvanceAlreadyInProgress);
    // Each promises from the granted time: nothing it may still send lies below it.
    EXPECT_EQ(s.rt.queryLBTS(b), 7);
    EXPECT_THAT(s.drain(a), ElementsAre("grant 6"));
    EXPECT_EQ(s.rt.queryFederateTime(a), 6);
    EXPECT_EQ(s.rt.queryRequestedTime(a), std::nullopt);
    EXPECT_EQ(s.rt.queryFederateTime(b), 5);
    s.rt.timeAdvanceRequest(a, 8);
    EXPECT_EQ(refusal([&] { s.rt.timeAdvanceRequest(b, 8); }).kind(),
              ErrorKind::TimeAdvanceAlreadyInProgress);
    EXPECT_THAT(s.drain(b), ElementsAre("grant 6"));
    s.rt.timeAdvanceRequest(b, 8);
    EXPECT_THAT(s.drain(a), ElementsAre("grant 8"));
    EXPECT_THAT(s.drain(b), ElementsAre("grant 8"));
}

TEST_P(EveryRequest, AFederateCannotGoBackInTime) {
    Scenario s;
    const auto a = s.join("A", 4);
    s.makeTimed(a, 1);
    const Error past = refusal([&] { ask(s, a, GetParam(), 3.5); });
    EXPECT_EQ(past.kind(), ErrorKind::FederationTimeAlreadyPassed);
    EXPECT_THAT(past.what(), HasSubstr("3.5 is before the logical time 4; ask for 4 or later"));
    EXPECT_EQ(s.rt.queryRequestedTime(a), std::nullopt);
    ask(s, a, GetParam(), 4);  // its own time is not in the past
    EXPECT_THAT(s.drain(a), ElementsAre("grant 4"));
}

TEST(RtiTimeSafety, ConstrainedFederateTakesItsMessagesBeforeRegulationStarts) {
    Scenario s;
    const auto a = s.join("A");
    const auto b = s.join("B");
    s.publishAndSubscribe(a, kTS);
    s.publishAndSubscribe(b, kTS);
    s.rt.enableTimeRegulation(a, 0, 1);
    s.rt.enableTimeConstrained(b);
    s.drain(a);
    s.drain(b);
    s.say(a, kTS, "at two", 2.0);
    s.say(a, kTS, "at four", 4.0);
    s.rt.enableTimeRegulation(b, 4, 1);
    EXPECT_THAT(s.drain(b), IsEmpty());  // LBTS 1: the message at 2 is not safe yet
    EXPECT_EQ(s.rt.queryFederateTime(b), 0);
    EXPECT_EQ(refusal([&] { s.rt.timeAdvanceRequest(b, 5); }).kind(),
              ErrorKind::EnableTimeRegulationPending);
    EXPECT_EQ(refusal([&] { s.rt.enableTimeRegulation(b, 4, 1); }).kind(),
              ErrorKind::EnableTimeRegulationPending);
    s.rt.timeAdvanceRequest(a, 1.5);
    EXPECT_THAT(s.drain(b), ElementsAre("receive TSCommunication Message=at two @2"));
    s.drain(a);
    s.rt.timeAdvanceRequest(a, 3);  // LBTS 4 reaches the start
    EXPECT_THAT(s.drain(b), ElementsAre("regulating 4"));
    EXPECT_EQ(s.rt.queryFederateTime(b), 4);
    s.drain(a);
    s.rt.timeAdvanceRequest(a, 10);
    s.rt.timeAdvanceRequest(b, 5);  // the message at the start itself comes with the advance
    EXPECT_THAT(s.drain(b), ElementsAre("receive TSCommunication Message=at four @4", "grant 5"));
}

TEST(RtiTimeSafety, RegulatorsNeedALookaheadAboveZero) {
    Scenario s;
    const auto a = s.join("A");
    const auto b = s.join("B");
    const Error zero = refusal([&] { s.rt.enableTimeRegulation(a, 0, 0); });
    EXPECT_EQ(zero.kind(), ErrorKind::InvalidLookahead);
    EXPECT_THAT(zero.what(), HasSubstr("greater than 0"));
    EXPECT_FALSE(s.rt.isTimeRegulating(a));
    s.rt.modifyLookahead(b, 0);  // not regulating: it binds nothing
    s.makeTimed(a, 1e-9);
    s.makeTimed(b, 1e-9);
    EXPECT_EQ(refusal([&] { s.rt.modifyLookahead(a, 0); }).kind(), ErrorKind::InvalidLookahead);
    EXPECT_EQ(s.rt.queryLookahead(a), 1e-9);
    // The smallest lookahead still lets lock-step advance.
    s.rt.timeAdvanceRequest(a, 1);
    s.rt.timeAdvanceRequest(b, 1);
    EXPECT_THAT(s.drain(a), ElementsAre("grant 1"));
    EXPECT_THAT(s.drain(b), ElementsAre("grant 1"));
}

struct LateStart {
    LogicalTime asked;
    LogicalTime lookahead;
    LogicalTime start;
};

class LateRegulator : public ::testing::TestWithParam<LateStart> {};

INSTANTIATE_TEST_SUITE_P(RtiTimeSafety, LateRegulator,
                         ::testing::Values(LateStart{0, 1, 9}, LateStart{0, 4, 6},
                                           LateStart{0, 10, 0}, LateStart{12, 1, 12},
                                           LateStart{0, 0.5, 9.5}));

TEST_P(LateRegulator, StartsAtTheSmallestTimeThatReachesNoConstrainedFederateInItsPast) {
    const LateStart c = GetParam();
    Scenario s;
    const auto early = s.join("Early");
    const auto late = s.join("Late");
    s.publishAndSubscribe(early, kTS);
    s.publishAndSubscribe(late, kTS);
    s.rt.enableTimeConstrained(early);
    s.rt.timeAdvanceRequest(early, 10);
    EXPECT_THAT(s.drain(early), ElementsAre("constrained 0", "grant 10"));
    s.rt.enableTimeRegulation(late, c.asked, c.lookahead);
    EXPECT_THAT(s.drain(late), ElementsAre("regulating " + formatTime(c.start)));
    EXPECT_EQ(s.rt.queryLBTS(early), c.start + c.lookahead);
    // Its earliest message reaches the constrained federate at its time at the earliest.
    s.say(late, kTS, "first", c.start + c.lookahead);
    s.rt.timeAdvanceRequest(late, c.start + c.lookahead + 1);
    s.rt.timeAdvanceRequest(early, c.start + c.lookahead);
    EXPECT_THAT(s.drain(early), ElementsAre("receive TSCommunication Message=first @" +
                                                formatTime(c.start + c.lookahead),
                                            "grant " + formatTime(c.start + c.lookahead)));
}

struct DeleteOrder {
    const char* declared;
    std::vector<std::string> beforeTime;  // what the subscriber gets advancing to 1
    std::vector<std::string> atTime;      // and then advancing to 5
};

class TimedDelete : public ::testing::TestWithParam<DeleteOrder> {};

INSTANTIATE_TEST_SUITE_P(
    RtiTimeSafety, TimedDelete,
    ::testing::Values(DeleteOrder{"timestamp", {"grant 1"}, {"remove Alice @5", "grant 5"}},
                      DeleteOrder{"receive", {"remove Alice", "grant 1"}, {"grant 5"}}));

TEST_P(TimedDelete, TravelsInTheOrderOfThePrivilegeToDelete) {
    std::string fed = kScenarioFed;
    const std::string privilege = "(attribute privilegeToDelete reliable timestamp)";
    fed.replace(fed.find(privilege), privilege.size(),
                std::string("(attribute privilegeToDelete reliable ") + GetParam().declared + ")");
    Scenario s(fed);
    const auto owner = s.join("Owner");
    const auto watcher = s.join("Watcher");
    s.publishObjects(owner, kParticipant, {"Name"});
    s.subscribeObjects(watcher, kParticipant, {"Name"});
    s.rt.enableTimeRegulation(owner, 0, 1);
    s.rt.enableTimeConstrained(watcher);
    const auto object = s.rt.registerObjectInstance(owner, s.objectClass(kParticipant), "Alice");
    s.drain(owner);
    s.rt.timeAdvanceRequest(watcher, 0.5);
    EXPECT_THAT(
        s.drain(watcher),
        ElementsAre("constrained 0", "discover Alice as ObjectRoot.Participant", "grant 0.5"));
    s.rt.deleteObjectInstance(owner, object, "gone", 5.0);
    s.rt.timeAdvanceRequest(owner, 10);
    s.rt.timeAdvanceRequest(watcher, 1);
    EXPECT_EQ(s.drain(watcher), GetParam().beforeTime);
    s.rt.timeAdvanceRequest(watcher, 5);
    EXPECT_EQ(s.drain(watcher), GetParam().atTime);
}
