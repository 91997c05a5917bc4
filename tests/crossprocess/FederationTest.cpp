// The test process and a tandrel-peer process in one federation through the RTI server:
// interactions, objects, synchronisation points and time in lock-step.

#include "CrossProcess.h"

#include <gtest/gtest.h>

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
        eng = cao::createEngine();
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
    auto peer = startPeer({"--var", kMessage, "--echo", "--send", kMessage + "=from the peer"});

    ASSERT_TRUE(recorder->waitFor(3, "from the peer")) << recorder->dump().toStdString();
    message->put_Value(cao::Variant::fromString("from the test"));
    ASSERT_TRUE(peer->waitForLine("3 : from the test (7) : Time=0, Source=" + kMessage))
        << peer->transcript().toStdString();
    // The echo comes back; the test's own write never does.
    ASSERT_TRUE(recorder->waitFor(3, "from the test")) << recorder->dump().toStdString();
    EXPECT_EQ(recorder->withNumber(3).size(), 2u) << recorder->dump().toStdString();
    EXPECT_FALSE(peer->lines().filter("3 : from the peer").size() > 0)
        << peer->transcript().toStdString();
    EXPECT_EQ(peer->terminate(), 0) << peer->transcript().toStdString();
}

TEST_F(FederationTest, AnObjectRegisteredByThePeerIsDiscoveredAndReflected) {
    TANDREL_REQUIRE_RTI();
    open();
    const QString name = "ObjectRoot.Participant.Name!" + federation() + "Alice";
    add(name);
    constexpr int kRegister = 2;
    auto peer =
        startPeer({"--var", name + "=" + QString::number(kRegister), "--send", name + "=Alice"});

    const auto reflected = recorder->waitFor(4, "Alice");
    ASSERT_TRUE(reflected) << recorder->dump().toStdString();
    EXPECT_EQ(reflected->source, name);
    const int discovered = [&] {
        for (std::size_t i = 0; i < recorder->records().size(); ++i) {
            const Record& r = recorder->records()[i];
            if (r.number == 0 && r.value.contains(federation() + "Alice")) return int(i);
        }
        return -1;
    }();
    EXPECT_GE(discovered, 0) << recorder->dump().toStdString();
    EXPECT_LT(discovered, recorder->indexOf(4, "Alice"));
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
