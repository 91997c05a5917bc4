// The engine on the session bus outlives no client: one killed has its federate reported lost
// and resigned, a second Tandrel joins the same engine, and the engine ends after its last
// client.

#include "CrossProcess.h"
#include "app/EngineChoice.h"
#include "platform/bus/protocol/Names.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>

#include <gtest/gtest.h>

#include <vector>

using namespace crossprocess;
using namespace peertest;

namespace {

// Clients and open controllers of this test's engine; {-1, -1} when it does not answer.
std::pair<int, int> status() {
    const QDBusMessage reply = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
        engineService(), bus::kRootPath, bus::kManagerInterface, "Status"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2)
        return {-1, -1};
    return {reply.arguments()[0].toInt(), reply.arguments()[1].toInt()};
}

bool engineRunning() {
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(engineService()).value();
}

class EngineLifetime : public ::testing::Test {
protected:
    void SetUp() override {
        if (!overBus()) GTEST_SKIP() << "only for the engine on the session bus";
        TANDREL_REQUIRE_RTI();
        chooseRunTime(QString());
        eng = app::createEngine();
        workspace = eng->Workspaces()->Item(cao::Variant::fromI2(0));
        controller =
            workspace->AddController("XpLifetime.Test", kProvider, QString(), chatOptions(0));
    }

    cao::EnginePtr eng;
    cao::WorkspacePtr workspace;
    cao::ControllerPtr controller;
};

TEST_F(EngineLifetime, AKilledClientLeavesNoFederateAndTheEngineEndsAfterTheLast) {
    PeerProcess peer({"--name", "XpLifetime.Peer"}, QString());
    ASSERT_TRUE(peer.waitReady()) << peer.transcript().toStdString();
    EXPECT_EQ(status(), std::make_pair(2, 2));
    peer.kill();
    EXPECT_TRUE(waitFor([] { return status() == std::make_pair(1, 1); }))
        << status().first << " clients, " << status().second << " controllers";

    controller.reset();
    workspace.reset();
    eng.reset();  // the last client leaves
    EXPECT_TRUE(waitFor([] { return !engineRunning(); }, 30000))
        << "the engine is still on the bus";
}

TEST_F(EngineLifetime, AKilledClientsFederateIsReportedLostToThoseWhoListen) {
    // The test's controller hears the management model's report through a variable of its
    // parameter, as any federate of the federation may.
    const QString lost =
        "InteractionRoot.HLAmanager.HLAfederate.HLAreport.HLAreportFederateLost.HLAfederateName";
    std::vector<QString> heard;
    controller->SetOnMessage([&](const cao::MessagePtr& message) {
        if (message->Number() == 3 && message->Source() == lost) {
            heard.push_back(message->Value().string());
        }
    });
    controller->Variables()->Add(lost, "Option=0");
    PeerProcess peer({"--name", "XpLifetime.Peer"}, QString());
    ASSERT_TRUE(peer.waitReady()) << peer.transcript().toStdString();
    peer.kill();
    ASSERT_TRUE(waitFor([&] { return !heard.empty(); })) << "no HLAreportFederateLost";
    EXPECT_EQ(heard.front(), "Peer");
    // A client that closes its controller itself is no loss.
    PeerProcess leaving({"--name", "XpLifetime.Leaving", "--exit-after", "1"}, QString());
    ASSERT_TRUE(leaving.waitReady()) << leaving.transcript().toStdString();
    EXPECT_EQ(leaving.waitForEnd(), 0);
    EXPECT_TRUE(waitFor([] { return status() == std::make_pair(1, 1); }));
    EXPECT_EQ(heard.size(), 1u);
}

TEST_F(EngineLifetime, ASecondTandrelJoinsTheSameEngine) {
    QProcess tandrel;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    tandrel.setProcessEnvironment(environment);
    tandrel.start(TANDREL_PROGRAM_PATH, {});
    EXPECT_TRUE(waitFor([] { return status().first == 2; })) << status().first << " clients";
    tandrel.terminate();
    EXPECT_TRUE(tandrel.waitForFinished(kWaitBoundMs));
    EXPECT_TRUE(waitFor([] { return status().first == 1; })) << status().first << " clients";
}

}  // namespace
