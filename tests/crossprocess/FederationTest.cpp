// The test process and a tandrel-peer process in one federation through the RTI server:
// interactions, objects, synchronisation points and time in lock-step.

#include "CrossProcess.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <cmath>
#include <limits>
#include <memory>

using namespace crossprocess;
using namespace peertest;

namespace {

class FederationTest : public ::testing::Test {
protected:
    ~FederationTest() override {
        recorder.reset();
        if (controller) workspace->Controllers()->Remove(cao::Variant::fromI4(controller->Index()));
    }

    // A federation of its own per test, so tests running side by side do not meet.
    QString federation() const {
        return QStringLiteral("Xp") +
               QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void open(const QString& options = chatOptions(0)) {
        chooseRunTime(rtiAddress());
        eng = app::createEngine();
        workspace = eng->Workspaces()->Item(cao::Variant::fromI2(0));
        controller =
            workspace->AddController(federation() + ".Test", kProvider, QString(), options);
        recorder = std::make_unique<MessageRecorder>(controller);
    }
    cao::VariablePtr add(const QString& name, int mask = 0) {
        return controller->Variables()->Add(name, QStringLiteral("Option=%1").arg(mask));
    }
    double read(const QString& name) {
        return controller->Variables()->Item(cao::Variant::fromString(name))->get_Value().r8();
    }
    std::unique_ptr<PeerProcess> startPeer(QStringList args) {
        args << "--name" << federation() + ".Peer";
        auto peer = std::make_unique<PeerProcess>(args, rtiAddress());
        EXPECT_TRUE(peer->waitReady()) << peer->transcript().toStdString();
        return peer;
    }

    cao::EnginePtr eng;
    cao::WorkspacePtr workspace;
    cao::ControllerPtr controller;
    std::unique_ptr<MessageRecorder> recorder;
};

TEST_F(FederationTest, AnInteractionTravelsEachWayAndNotBackToItsSender) {
    TANDREL_REQUIRE_RTI();
    open();
    auto message = add(kMessage);
    auto peer = startPeer({"--var", kMessage, "--echo"});

    // Each write has its own text, so a value delivered twice or to its sender shows.
    const auto echoed = [&] { return !recorder->withNumber(3).empty(); };
    ASSERT_TRUE(writeUntil(
        [&](const QString& v) { message->put_Value(cao::Variant::fromString(v)); }, "ping", echoed))
        << recorder->dump().toStdString() << "\n"
        << peer->transcript().toStdString();
    const QString first = recorder->withNumber(3).front().value;
    EXPECT_TRUE(peer->hasLine("3 : " + first + " (7) : Time=0, Source=" + kMessage))
        << peer->transcript().toStdString();
    // Everything the peer received comes back once; the test's own writes never do, and
    // the peer never receives its own echo.
    const auto peerReceived = [&] { return peer->lines().filter(QRegularExpression("^3 : ping")); };
    EXPECT_TRUE(waitFor(
        [&] { return recorder->withNumber(3).size() >= std::size_t(peerReceived().size()); }));
    QStringList atTest;
    for (const Record& r : recorder->withNumber(3)) atTest << r.value;
    QStringList atPeer;
    for (const QString& line : peerReceived()) atPeer << line.section(" (7)", 0, 0).mid(4);
    EXPECT_EQ(atTest, atPeer) << peer->transcript().toStdString();
    EXPECT_EQ(atTest.removeDuplicates(), 0);
    EXPECT_EQ(peer->terminate(), 0) << peer->transcript().toStdString();
}

TEST_F(FederationTest, AnObjectRegisteredByOneIsDiscoveredAndReflectedAtTheOther) {
    TANDREL_REQUIRE_RTI();
    open();
    const QString object = federation() + "Alice";
    const QString name = "ObjectRoot.Participant.Name!" + object;
    constexpr int kRegister = 2;
    auto attribute = add(name, kRegister);
    auto peer = startPeer({"--var", name});

    const auto reflected = [&] {
        return !peer->lines().filter(QRegularExpression("^4 : Alice")).isEmpty();
    };
    ASSERT_TRUE(
        writeUntil([&](const QString& v) { attribute->put_Value(cao::Variant::fromString(v)); },
                   "Alice", reflected))
        << peer->transcript().toStdString();
    const QStringList lines = peer->lines();
    const qsizetype discovered =
        lines.indexOf(QRegularExpression("^0 : .*\"" + object + "\".*discovered.*"));
    const qsizetype firstReflection = lines.indexOf(QRegularExpression(
        "^4 : Alice \\d+ \\(7\\) : Time=0, Source=" + QRegularExpression::escape(name) + "$"));
    EXPECT_GE(discovered, 0) << peer->transcript().toStdString();
    EXPECT_GE(firstReflection, 0) << peer->transcript().toStdString();
    EXPECT_LT(discovered, firstReflection);
    EXPECT_EQ(peer->terminate(), 0) << peer->transcript().toStdString();
}

TEST_F(FederationTest, ASynchronisationPointIsSynchronisedOnlyAfterBothAcknowledge) {
    TANDREL_REQUIRE_RTI();
    open();
    auto peer = startPeer({"--answer-sync"});
    add("@SYNC_POINT")->put_Value(cao::Variant::fromString("Go"));

    const auto announced = recorder->waitFor(1, "Go");
    ASSERT_TRUE(announced) << recorder->dump().toStdString();
    ASSERT_TRUE(peer->waitForLine("1 : Go (7) : Time=0, Source=@SYNC_POINT"))
        << peer->transcript().toStdString();
    ASSERT_TRUE(peer->waitForNote("acknowledged Go")) << peer->transcript().toStdString();
    EXPECT_TRUE(recorder->withNumber(2).empty()) << "synchronised before this side acknowledged";
    EXPECT_FALSE(peer->hasLine("2 : Go (7) : Time=0, Source=@SYNC_POINT"));

    announced->message->Acknowledge();
    EXPECT_TRUE(recorder->waitFor(2, "Go")) << recorder->dump().toStdString();
    EXPECT_TRUE(peer->waitForLine("2 : Go (7) : Time=0, Source=@SYNC_POINT"))
        << peer->transcript().toStdString();
    EXPECT_EQ(peer->terminate(), 0) << peer->transcript().toStdString();
}

TEST_F(FederationTest, TwoRegulatingConstrainedFederatesAdvanceInLockStep) {
    TANDREL_REQUIRE_RTI();
    constexpr int kRegulatingAndConstrained = 3;
    open(chatOptions(kRegulatingAndConstrained));
    add(kTimedMessage);
    auto advance = add("@ADVANCE_TIME");
    add("@LBTS");
    add("@NEXTEVENT_TIME");
    auto peer = startPeer({"--options", chatOptions(kRegulatingAndConstrained), "--var",
                           kTimedMessage, "--advance", "1", "--count", "10", "--send-at",
                           "4:" + kTimedMessage + "=at four"});

    for (int t = 1; t <= 5; ++t) {
        SCOPED_TRACE(QStringLiteral("advancing to %1").arg(t).toStdString());
        advance->put_Value(cao::Variant::fromR8(t));
        ASSERT_TRUE(recorder->waitFor(5, QString::number(t))) << recorder->dump().toStdString();
        // The peer, granted t, asks for t + 1 and so promises nothing before t + 2.
        EXPECT_TRUE(waitFor([&] { return read("@LBTS") == t + 2; }))
            << "LBTS " << read("@LBTS") << "\n"
            << peer->transcript().toStdString();
        // Sent at 4 with lookahead 1, the interaction is stamped 5 and waits in the queue.
        const double nextEvent = t == 4 ? 5 : t + 2;
        EXPECT_TRUE(waitFor([&] { return read("@NEXTEVENT_TIME") == nextEvent; }))
            << "next event " << read("@NEXTEVENT_TIME");
        if (t < 5) {
            EXPECT_EQ(recorder->indexOf(3, "at four"), -1) << recorder->dump().toStdString();
        }
    }
    const int received = recorder->indexOf(3, "at four");
    ASSERT_GE(received, 0) << recorder->dump().toStdString();
    EXPECT_LT(received, recorder->indexOf(5, "5"));
    EXPECT_EQ(recorder->records()[std::size_t(received)].time, "5");
    EXPECT_EQ(peer->terminate(), 0) << peer->transcript().toStdString();
}

}  // namespace
