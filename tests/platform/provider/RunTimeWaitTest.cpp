// "Why is it waiting?": a controller whose time advance outlasts its bound names what holds
// it, through the run-time's management objects, on the embedded run-time and through the
// engine's Federate Protocol server.

#include "RunTimeFixture.h"

#include <QFile>
#include <QTemporaryDir>

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

namespace {

// The chat room with a private line below the public one.
constexpr const char* kPrivateFed = R"((FED (Federation ChatRoom) (FEDversion v1.3)
  (objects (class ObjectRoot (attribute privilegeToDelete reliable timestamp)
    (class Participant (attribute Name reliable receive) (attribute Mood reliable receive))))
  (interactions (class InteractionRoot reliable receive
    (class Communication reliable receive (parameter Message) (parameter Sender)
      (class Private reliable receive (parameter Recipient)))
    (class TSCommunication reliable timestamp (parameter Message) (parameter Sender))))))";

std::vector<QString> reportsOf(Side& side) {
    std::vector<QString> texts;
    for (const Received& r : *side.log) {
        if (r.number == kWaitReport) texts.push_back(r.value.string());
    }
    return texts;
}

}  // namespace

TEST_P(RunTimeWait, AWriteNobodySubscribesIsNamedWithWhatTheOthersSubscribeInstead) {
    Side one = timed("One", 0);
    Side two = timed("Two", 0);
    const QString timed = "InteractionRoot.TSCommunication.Message";
    one.add(timed);
    two.add("InteractionRoot.Communication.Message");
    one.put(timed, Variant::fromString("anyone?"));
    ASSERT_TRUE(waitFor([&] { return has(one, kWaitReport); }));
    const std::vector<Received> reports = one.take(kWaitReport);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].source, timed);
    EXPECT_EQ(reports[0].value.string(),
              "interaction InteractionRoot.TSCommunication is heard by no other federate: none "
              "of " +
                  name("Two") + " subscribes it or a class above it; " + name("Two") +
                  " subscribes InteractionRoot.Communication");
    EXPECT_EQ(one.get(kWaitingFor).string(), reports[0].value.string());
    // Once a class, however often it is written.
    one.put(timed, Variant::fromString("still nobody?"));
    settle();
    EXPECT_FALSE(has(one, kWaitReport));
}

TEST_P(RunTimeWait, AWriteHeardThroughAClassAboveItOrByItsAttributeSaysNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile fed(dir.filePath("Private.fed"));
    ASSERT_TRUE(fed.open(QIODevice::WriteOnly));
    fed.write(kPrivateFed);
    fed.close();
    QString o = options(0);
    o.replace(QStringLiteral("Chat.fed"), fed.fileName());
    Side one = join("One", o);
    Side two = join("Two", o);
    ASSERT_TRUE(waitFor([&] { return has(one, 0) && has(two, 0); }));
    const QString heardAbove = "InteractionRoot.Communication.Private.Message";
    const QString name = "ObjectRoot.Participant.Name!P1";
    const QString mood = "ObjectRoot.Participant.Mood!P1";
    const QString unheard = "InteractionRoot.TSCommunication.Message";
    one.add(heardAbove);
    one.add(name, 2);
    one.add(mood, 2);
    two.add("InteractionRoot.Communication.Message");
    two.add(name);
    ASSERT_TRUE(waitFor([&] { return has(two, 0); }));  // the object is in view
    one.add(unheard);
    one.put(heardAbove, Variant::fromString("psst"));
    one.put(name, Variant::fromString("One"));
    one.put(mood, Variant::fromString("glad"));
    one.put(unheard, Variant::fromString("later"));
    // The last write is heard by nobody: its report comes with the others' verdicts.
    ASSERT_TRUE(waitFor([&] { return reportsOf(one).size() >= 2; })) << reportsOf(one).size();
    settle();
    const std::vector<QString> texts = reportsOf(one);
    ASSERT_EQ(texts.size(), 2u);
    const QString moodReport = texts[0].startsWith("attribute") ? texts[0] : texts[1];
    const QString other = texts[0].startsWith("attribute") ? texts[1] : texts[0];
    EXPECT_EQ(moodReport,
              "attribute Mood of ObjectRoot.Participant is heard by no other federate: none of " +
                  this->name("Two") +
                  " subscribes it at ObjectRoot.Participant or a class above it; " +
                  this->name("Two") + " subscribes ObjectRoot.Participant without Mood");
    EXPECT_TRUE(other.startsWith("interaction InteractionRoot.TSCommunication "))
        << other.toStdString();
}

INSTANTIATE_TEST_SUITE_P(RunTimes, RunTimeWait,
                         ::testing::Values(kEmbedded, kEmbeddedXml, kHla4, kHla4Xml), runTimeName);
