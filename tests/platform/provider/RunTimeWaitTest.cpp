// "Why is it waiting?": a controller whose time advance outlasts its bound names what holds
// it, through the run-time's management objects, on the embedded run-time and through the
// engine's Federate Protocol server.

#include "RunTimeFixture.h"

using namespace hlatest;
using cao::Variant;

namespace {

const QString kAdvance = "@ADVANCE_TIME";
const QString kWaitingFor = "@WAITING_FOR";
const QString kFederates = "@FEDERATES";
constexpr int kWaitReport = cao::contract::message::WaitReport;

QString options(int timePolicy) {
    return QStringLiteral(
               "URL=Chat.fed, TimePoli=%1, TimeAdv=0, CurTime=0.0, LookAhead=0.5, "
               "AsyncDeli=0")
        .arg(timePolicy);
}

class RunTimeWait : public RunTimeTest {
protected:
    void SetUp() override {
        RunTimeTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        withBound(QStringLiteral("0.05"));
    }
    void withBound(const QString& seconds) {
        engine::ClientContext::Environment environment;
        if (onHla4()) environment = hla4Variables(server().port());
        environment[cao::contract::environment::kWaitReport] = seconds;
        useClient(environment);
    }
    // A controller of the time policy, its notices taken: joined, and one per switch.
    Side timed(const QString& federate, int timePolicy) {
        QString o = options(timePolicy);
        if (withXml()) o.replace(QStringLiteral("Chat.fed"), QStringLiteral("Chat.xml"));
        Side side = join(federate, o);
        side.add(kAdvance);
        side.add(kWaitingFor);
        side.add(kFederates);
        const size_t notices = 1 + (timePolicy == 3 ? 2 : timePolicy == 0 ? 0 : 1);
        EXPECT_TRUE(waitFor([&] { return has(side, 0, notices); }));
        side.takeAll();
        return side;
    }
    QString name(const QString& federate) { return federation() + "." + federate; }
};

}  // namespace

TEST_P(RunTimeWait, ARegulatorThatNeverAsksToAdvanceIsNamedByTheFederateItHolds) {
    Side one = timed("One", 3);
    Side two = timed("Two", 1);
    one.put(kAdvance, Variant::fromR8(3));
    ASSERT_TRUE(waitFor([&] { return has(one, kWaitReport); }));
    const std::vector<Received> reports = one.take(kWaitReport);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].source, kAdvance);
    EXPECT_EQ(reports[0].value.string(),
              "time advance to 3 waits for " + name("Two") +
                  ": regulating, granted at 0, lookahead 0.5, not asking to advance");
    EXPECT_EQ(one.get(kWaitingFor).string(), reports[0].value.string());
    EXPECT_TRUE(
        one.get(kFederates).string().contains(name("Two") + ": regulating, not constrained"));

    // Once the holder moves on the grant comes, and nothing more is said of the wait.
    two.put(kAdvance, Variant::fromR8(5));
    ASSERT_TRUE(waitFor([&] { return has(one, cao::contract::message::AdvanceGranted); }));
    EXPECT_EQ(one.get(kWaitingFor).string(), QString());
    settle();
    EXPECT_FALSE(has(one, kWaitReport));
}

TEST_P(RunTimeWait, AChainIsFollowedToTheFederateAtItsRoot) {
    Side one = timed("One", 2);      // constrained only
    Side two = timed("Two", 3);      // regulating, constrained, and asks to advance
    Side three = timed("Three", 1);  // regulating, never asks
    two.put(kAdvance, Variant::fromR8(1));
    one.put(kAdvance, Variant::fromR8(3));
    const QString chain = name("Two") +
                          ": regulating, advancing from 0 to a time the run-time does not report, "
                          "lookahead 0.5, waits for " +
                          name("Three") +
                          ": regulating, granted at 0, lookahead 0.5, not asking to advance";
    ASSERT_TRUE(waitFor([&] {
        for (const Received& r : *one.log) {
            if (r.number == kWaitReport && r.value.string().contains(chain)) return true;
        }
        return false;
    })) << one.get(kWaitingFor).string().toStdString();
    // The one that asks to advance is held too, by the same root.
    ASSERT_TRUE(waitFor([&] { return has(two, kWaitReport); }));
    EXPECT_TRUE(two.take(kWaitReport).back().value.string().contains(name("Three")));
    EXPECT_EQ(three.get(kWaitingFor).string(), QString());
}

TEST_P(RunTimeWait, ABoundOfZeroReportsNothingAndABadOneIsRefusedAtOpen) {
    withBound(QStringLiteral("soon"));
    EXPECT_TRUE(refusal([&] { timed("One", 3); }).contains("CAO_HLA_WAIT_REPORT"));
    withBound(QStringLiteral("0"));
    Side one = timed("One", 3);
    Side two = timed("Two", 1);
    one.put(kAdvance, Variant::fromR8(3));
    // The answer is there to read, though no message says it.
    ASSERT_TRUE(waitFor([&] { return one.get(kWaitingFor).string().contains(name("Two")); }));
    EXPECT_FALSE(has(one, kWaitReport));
}

TEST_P(RunTimeWait, ASynchronizationPointOneFederateNeverAchievesNamesIt) {
    Side one = timed("One", 0);
    Side two = timed("Two", 0);
    Side three = timed("Three", 0);
    one.add(QStringLiteral("@SYNC_POINT"));
    one.put(QStringLiteral("@SYNC_POINT"), Variant::fromString("ReadyToRun"));
    ASSERT_TRUE(waitFor([&] { return has(one, 1) && has(two, 1) && has(three, 1); }));
    one.take(1)[0].message->Acknowledge();
    two.take(1)[0].message->Acknowledge();
    const QString expected = "synchronization point \"ReadyToRun\" waits for " + name("Three") +
                             " (announced, not achieved)";
    ASSERT_TRUE(waitFor([&] {
        for (const Received& r : *one.log) {
            if (r.number == kWaitReport && r.value.string() == expected) return true;
        }
        return false;
    })) << one.get(kWaitingFor).string().toStdString();
    EXPECT_EQ(one.get(kWaitingFor).string(), expected);
    // Once the last one achieves, the federation is synchronised and nothing waits.
    three.take(1)[0].message->Acknowledge();
    ASSERT_TRUE(waitFor([&] { return has(one, 2); }));
    EXPECT_EQ(one.get(kWaitingFor).string(), QString());
}

INSTANTIATE_TEST_SUITE_P(RunTimes, RunTimeWait,
                         ::testing::Values(kEmbedded, kEmbeddedXml, kHla4, kHla4Xml), runTimeName);
