// The peer's logic against the embedded engine, in this process: a test controller and a
// peer in one federation.

#include "platform/engine/Engine.h"
#include "platform/peer/Peer.h"
#include "platform/provider/HlaProvider.h"
#include "support/MessageRecorder.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <memory>

using namespace peertest;

namespace {

class PeerTest : public ::testing::Test {
protected:
    PeerTest() {
        engine::ProviderRegistry providers;
        provider::registerProvider(providers);
        eng = std::make_shared<engine::Engine>(std::move(providers));
        workspace = eng->Workspaces()->Item(cao::Variant::fromI2(0));
    }
    ~PeerTest() override {
        recorder.reset();
        federate.reset();
        if (controller) workspace->Controllers()->Remove(cao::Variant::fromI4(controller->Index()));
    }

    void open(const QString& options = chatOptions(0)) {
        controller = workspace->AddController("Room.Test", kProvider, QString(), options);
        recorder = std::make_unique<MessageRecorder>(controller);
    }
    cao::VariablePtr add(const QString& name) {
        return controller->Variables()->Add(name, QStringLiteral("Option=0"));
    }
    void startPeer(peer::PeerOptions options) {
        options.controllerName = QStringLiteral("Room.Peer");
        federate = std::make_unique<peer::Peer>(
            eng, std::move(options), [this](const QString& line) { lines << line; },
            [this](const QString& note) { notes << note; });
        QObject::connect(federate.get(), &peer::Peer::finished,
                         [this](int status) { exitStatus = status; });
        federate->start();
    }
    bool peerPrinted(const QString& line) {
        return waitFor([&] { return lines.contains(line); });
    }

    cao::EnginePtr eng;
    cao::WorkspacePtr workspace;
    cao::ControllerPtr controller;
    std::unique_ptr<MessageRecorder> recorder;
    std::unique_ptr<peer::Peer> federate;
    QStringList lines;
    QStringList notes;
    std::optional<int> exitStatus;
};

TEST_F(PeerTest, EchoesAReceivedInteractionBackButNotItsOwn) {
    open();
    add(kMessage);
    peer::PeerOptions options;
    options.variables = {{kMessage, 0}};
    options.echo = true;
    startPeer(options);

    controller->Variables()
        ->Item(cao::Variant::fromString(kMessage))
        ->put_Value(cao::Variant::fromString("ping"));

    ASSERT_TRUE(recorder->waitFor(3, "ping")) << recorder->dump().toStdString();
    EXPECT_TRUE(lines.contains("3 : ping (7) : Time=0, Source=" + kMessage))
        << lines.join("\n").toStdString();
    EXPECT_EQ(recorder->withNumber(3).size(), 1u);
    EXPECT_EQ(lines.filter(QRegularExpression("^3 : ")).size(), 1);
}

TEST_F(PeerTest, WritesItsValuesOnceOpenRegisteringWhatIsNotRegistered) {
    open();
    add(kMessage);
    peer::PeerOptions options;
    options.sends = {{kMessage, "first", std::nullopt}, {kMessage, "second", std::nullopt}};
    startPeer(options);

    ASSERT_TRUE(recorder->waitFor(3, "second")) << recorder->dump().toStdString();
    EXPECT_LT(recorder->indexOf(3, "first"), recorder->indexOf(3, "second"));
    EXPECT_TRUE(notes.contains("ready"));
}

TEST_F(PeerTest, ADelayHoldsTheFirstWritesBackUntilItHasPassed) {
    open();
    add(kMessage);
    peer::PeerOptions options;
    options.sends = {{kMessage, "later", std::nullopt}};
    options.delaySeconds = 0.05;
    startPeer(options);
    EXPECT_FALSE(notes.contains("ready"));
    EXPECT_TRUE(recorder->withNumber(3).empty());
    ASSERT_TRUE(recorder->waitFor(3, "later")) << recorder->dump().toStdString();
    EXPECT_TRUE(notes.contains("ready"));
}

TEST_F(PeerTest, AnswersAnnouncementsSoThePointIsSynchronised) {
    open();
    peer::PeerOptions options;
    options.answerSync = true;
    startPeer(options);
    add("@SYNC_POINT")->put_Value(cao::Variant::fromString("Go"));

    const auto announced = recorder->waitFor(1, "Go");
    ASSERT_TRUE(announced);
    ASSERT_TRUE(peerPrinted("1 : Go (7) : Time=0, Source=@SYNC_POINT"));
    announced->message->Acknowledge();
    EXPECT_TRUE(recorder->waitFor(2, "Go"));
    EXPECT_TRUE(peerPrinted("2 : Go (7) : Time=0, Source=@SYNC_POINT"));
}

TEST_F(PeerTest, RegistersASynchronisationPoint) {
    open();
    peer::PeerOptions options;
    options.registerSync = {"Meet"};
    startPeer(options);
    EXPECT_TRUE(recorder->waitFor(1, "Meet"));
}

TEST_F(PeerTest, AdvancesInLockStepAndSendsOnceGrantedTheTimeGiven) {
    open(chatOptions(3));
    add(kTimedMessage);
    auto advance = add("@ADVANCE_TIME");
    peer::PeerOptions options;
    options.controllerOptions = chatOptions(3);
    options.advanceStep = 1;
    options.advanceCount = 6;
    options.sends = {{kTimedMessage, "at four", 4.0}};
    startPeer(options);

    for (int t = 1; t <= 5; ++t) {
        advance->put_Value(cao::Variant::fromR8(t));
        ASSERT_TRUE(recorder->waitFor(5, QString::number(t))) << recorder->dump().toStdString();
        // Sent at 4 with lookahead 1: stamped 5, held back until this side advances to 5.
        EXPECT_EQ(recorder->indexOf(3, "at four") >= 0, t >= 5) << "at " << t;
    }
    EXPECT_LT(recorder->indexOf(3, "at four"), recorder->indexOf(5, "5"));
    EXPECT_EQ(recorder->withNumber(3).front().time, "5");
    EXPECT_TRUE(peerPrinted("5 : 5 (5) : Time=5, Source=@ADVANCE_TIME"));
}

TEST_F(PeerTest, EndsOnceTheCountOfValuesHasArrived) {
    open();
    auto sender = add(kMessage);
    peer::PeerOptions options;
    options.variables = {{kMessage, 0}};
    options.untilCount = 2;
    startPeer(options);
    sender->put_Value(cao::Variant::fromString("one"));
    sender->put_Value(cao::Variant::fromString("two"));
    ASSERT_TRUE(waitFor([&] { return exitStatus.has_value(); }));
    EXPECT_EQ(*exitStatus, peer::kExitDone);
    EXPECT_EQ(federate->receivedValues(), 2);
}

struct TimeLimitCase {
    std::optional<int> untilCount;
    int status;
};

class PeerTimeLimit : public PeerTest, public ::testing::WithParamInterface<TimeLimitCase> {};

TEST_P(PeerTimeLimit, EndsByItselfWithTheStatusThatSaysWhy) {
    open();
    peer::PeerOptions options;
    options.exitAfterSeconds = 0.05;
    options.untilCount = GetParam().untilCount;
    startPeer(options);
    ASSERT_TRUE(waitFor([&] { return exitStatus.has_value(); }));
    EXPECT_EQ(*exitStatus, GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(Table, PeerTimeLimit,
                         ::testing::Values(TimeLimitCase{std::nullopt, peer::kExitDone},
                                           TimeLimitCase{5, peer::kExitTimedOut}));

TEST_F(PeerTest, AFailedOpenThrowsAndLeavesNothingOpen) {
    peer::PeerOptions options;
    options.controllerOptions = "URL=Chat.fed, TimePoli=9";
    EXPECT_THROW(startPeer(options), cao::Error);
    EXPECT_EQ(workspace->Controllers()->Count(), 0);
}

TEST_F(PeerTest, AFailedFirstWriteClosesAgain) {
    peer::PeerOptions options;
    options.sends = {{"@CURRENT_TIME", "3", std::nullopt}};
    EXPECT_THROW(startPeer(options), cao::Error);
    EXPECT_EQ(workspace->Controllers()->Count(), 0);
}

TEST_F(PeerTest, ClosingRemovesTheController) {
    startPeer({});
    EXPECT_EQ(workspace->Controllers()->Count(), 1);
    federate->close();
    EXPECT_EQ(workspace->Controllers()->Count(), 0);
    federate->close();
}

}  // namespace
