// A client outlives its engine: when the engine process dies (a crash, the OOM killer,
// SIGKILL), every open controller raises message -1 and is closed, closing it works at once,
// and opening again starts a new engine behind the same engine and workspace objects.

#include "CrossProcess.h"
#include "DrivenWindow.h"
#include "EngineProcess.h"
#include "cao/ProviderContract.h"
#include "platform/bus/client/Connect.h"
#include "platform/bus/protocol/Names.h"
#include "support/FailureOf.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace crossprocess;
using namespace peertest;

namespace {

const QString kEnded = QStringLiteral(
    "The engine has ended (its process left the session bus), so controller \"%1\" "
    "is closed; close it and open it again to start a new engine");

// Clients of the engine serving service; -1 when it does not answer.
int clientsOf(const QString& service) {
    const QDBusMessage reply = QDBusConnection::sessionBus().call(
        QDBusMessage::createMethodCall(service, bus::kRootPath, bus::kManagerInterface, "Status"));
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0).toInt() : -1;
}

// One client in this process, as the window holds it: its engine and workspace objects for
// good, a controller at a time.
struct Client {
    Client(const QString& service, QString name) : name(std::move(name)) {
        engine = bus::client::connectEngine({service, {TANDREL_ENGINE_PATH}});
        workspace = engine->Workspaces()->Item(cao::Variant::fromI4(0));
    }
    void open() {
        controller = workspace->AddController(name, kProvider, QString(), chatOptions(0));
        recorder = std::make_unique<MessageRecorder>(controller);
    }
    // As the window's Close does it.
    void close() {
        const cao::ControllersPtr controllers = workspace->Controllers();
        controllers->Remove(cao::Variant::fromI4(controller->Index()));
        recorder.reset();
        controller.reset();
    }
    bool heardTheEnd() const {
        return recorder->waitFor(cao::contract::message::Failure, kEnded.arg(name)).has_value();
    }

    QString name;
    cao::EnginePtr engine;
    cao::WorkspacePtr workspace;
    cao::ControllerPtr controller;
    std::unique_ptr<MessageRecorder> recorder;
};

class LostEngine : public ::testing::Test {
protected:
    void SetUp() override {
        if (!overBus()) GTEST_SKIP() << "only for the engine on the session bus";
        TANDREL_REQUIRE_RTI();
        engine = std::make_unique<EngineProcess>(service);
        ASSERT_TRUE(engine->waitServing());
    }

    const QString service = ownService("Lost");
    EngineStopper stopper{service};  // the new engine a client starts
    std::unique_ptr<EngineProcess> engine;
};

TEST_F(LostEngine, TwoClientsHearItCloseAtOnceAndOpenOnANewEngine) {
    Client first(service, "XpLost.First");
    Client second(service, "XpLost.Second");
    first.open();
    second.open();
    const cao::VariablePtr stale = first.controller->Variables()->Add(kMessage, "Option=0");
    ASSERT_EQ(clientsOf(service), 2);

    QElapsedTimer sinceKill;
    ASSERT_TRUE(engine->killHard());
    sinceKill.start();
    EXPECT_TRUE(first.heardTheEnd()) << first.recorder->dump().toStdString();
    EXPECT_TRUE(second.heardTheEnd()) << second.recorder->dump().toStdString();
    // For the record (gtest's XML output), not a bound: how soon both had heard.
    RecordProperty("both_heard_ms", int(sinceKill.elapsed()));
    EXPECT_EQ(first.workspace->Controllers()->Count(), 1);
    EXPECT_EQ(failureOf([&] { stale->put_Value(cao::Variant::fromString("lost")); }),
              kEnded.arg(first.name));
    EXPECT_EQ(failureOf([&] { first.controller->Variables(); }), kEnded.arg(first.name));
    const cao::ControllerPtr lost = first.controller;
    EXPECT_NO_THROW(first.close());
    EXPECT_NO_THROW(second.close());
    EXPECT_EQ(first.workspace->Controllers()->Count(), 0);
    EXPECT_EQ(failureOf([&] { lost->Index(); }), "Controller \"XpLost.First\" is closed");

    // Opening again starts a new engine; both clients meet in it and hear each other.
    ASSERT_NO_THROW(first.open());
    ASSERT_NO_THROW(second.open());
    EXPECT_NE(servingPid(service), engine->pid());
    EXPECT_EQ(clientsOf(service), 2);
    const cao::VariablePtr said = first.controller->Variables()->Add(kMessage, "Option=0");
    second.controller->Variables()->Add(kMessage, "Option=0");
    said->put_Value(cao::Variant::fromString("Hello again"));
    EXPECT_TRUE(
        second.recorder->waitFor(cao::contract::message::InteractionReceived, "Hello again"))
        << second.recorder->dump().toStdString();
    // The new engine numbers its objects afresh: the old variable's path may be taken again,
    // yet the variable stays with the controller closed.
    EXPECT_EQ(failureOf([&] { stale->put_Value(cao::Variant::fromString("lost")); }),
              "Controller \"XpLost.First\" is closed");
    first.close();
    second.close();
}

TEST_F(LostEngine, TheWindowInItsOwnProcessCarriesOnWithoutARestart) {
    DrivenWindow window(clientEnvironment(service));
    ASSERT_TRUE(window.run("name XpLost.Window"));
    ASSERT_TRUE(window.run("open"));
    ASSERT_TRUE(window.waitForLineStartingWith("0 : Joined federation \"XpLost\""))
        << window.read().join("\n").toStdString();

    QElapsedTimer sinceKill;
    ASSERT_TRUE(engine->killHard());
    sinceKill.start();
    EXPECT_TRUE(window.waitForLineStartingWith("-1 : " + kEnded.arg("XpLost.Window")))
        << window.read().join("\n").toStdString();
    RecordProperty("window_heard_ms", int(sinceKill.elapsed()));
    ASSERT_TRUE(window.run("close"));
    EXPECT_TRUE(window.boxes().isEmpty()) << window.boxes().join("; ").toStdString();

    ASSERT_TRUE(window.run("open"));
    EXPECT_TRUE(window.boxes().isEmpty()) << window.boxes().join("; ").toStdString();
    EXPECT_TRUE(waitFor([&] {
        return window.read().filter(QRegularExpression("^log 0 : Joined federation")).size() == 2;
    })) << window.read().join("\n").toStdString();
    EXPECT_NE(servingPid(service), 0);
    EXPECT_NE(servingPid(service), engine->pid());
    ASSERT_TRUE(window.run("close"));
    EXPECT_TRUE(window.boxes().isEmpty()) << window.boxes().join("; ").toStdString();
}

}  // namespace
