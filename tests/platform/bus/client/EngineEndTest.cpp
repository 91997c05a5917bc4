// A client outlives its engine: the end is told to each open controller as message -1, the
// controllers lost with it are closed and listed until removed, and the next controller opens
// in whichever engine serves the name then, through the same engine and workspace objects.
#include "RaisingProvider.h"
#include "cao/ProviderContract.h"
#include "platform/bus/client/Connect.h"
#include "platform/bus/service/EngineThread.h"
#include "platform/engine/Engine.h"
#include "support/FailureOf.h"
#include "support/SessionBus.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using namespace cao;
using testsupport::waitUntil;

namespace {

const QString kProvider = "Test.Raising";
const QString kEnded =
    "The engine has ended (its process left the session bus), so controller \"ChatRoom.A\" is "
    "closed; close it and open it again to start a new engine";

class EngineEnd : public ::testing::Test {
protected:
    void SetUp() override {
        TANDREL_SKIP_WITHOUT_SESSION_BUS();
        startEngine();
        eng = bus::client::connectEngine({service, {}});
        ws = eng->Workspaces()->Item(Variant::fromI4(0));
        ctrl = ws->AddController("ChatRoom.A", kProvider, "", "");
        ctrl->SetOnMessage([this](const MessagePtr& m) { received << m; });
    }
    void startEngine() {
        thread =
            std::make_unique<bus::service::EngineThread>(raisingEngines(log, kProvider), service);
    }

    const QString service =
        QStringLiteral("io.tandrel.Engine1.Test.End.p%1").arg(QCoreApplication::applicationPid());
    RaisingLog log;
    std::unique_ptr<bus::service::EngineThread> thread;
    EnginePtr eng;
    WorkspacePtr ws;
    ControllerPtr ctrl;
    QList<MessagePtr> received;
};

}  // namespace

TEST_F(EngineEnd, IsToldInOrderClosesTheControllersAndANewEngineServesTheSameObjects) {
    const VariablePtr raise = ctrl->Variables()->Add("raise", "Option=0");
    raise->put_Value(Variant::fromI4(3));
    ASSERT_TRUE(waitUntil([&] { return received.size() == 3; }));
    thread.reset();  // the engine leaves the bus
    ASSERT_TRUE(waitUntil([&] { return received.size() == 4; })) << received.size();
    EXPECT_EQ(received[3]->Number(), contract::message::Failure);
    EXPECT_EQ(received[3]->Value(), Variant::fromString(kEnded));
    EXPECT_EQ(received[3]->Source(), "ChatRoom.A");

    EXPECT_EQ(failureOf([&] { raise->put_Value(Variant::fromI4(1)); }), kEnded);
    EXPECT_EQ(failureOf([&] { ctrl->SetOnMessage([](const MessagePtr&) {}); }), kEnded);
    // Nothing serves the name: opening says so, and the lost controller stays listed.
    EXPECT_EQ(failureOf([&] { ws->AddController("ChatRoom.B", kProvider, "", ""); }),
              QString("Nothing serves %1 on the session bus and the engine program was not "
                      "found (looked for: )")
                  .arg(service));
    ASSERT_EQ(ws->Controllers()->Count(), 1);
    EXPECT_EQ(ws->Controllers()->Item(Variant::fromI4(0))->Name(), "ChatRoom.A");
    ws->Controllers()->Remove(Variant::fromI4(ctrl->Index()));
    EXPECT_EQ(ws->Controllers()->Count(), 0);

    startEngine();
    const ControllerPtr again = ws->AddController("ChatRoom.A", kProvider, "", "");
    QList<int> numbers;
    again->SetOnMessage([&](const MessagePtr& m) { numbers << m->Number(); });
    again->Variables()->Add("raise", "Option=0")->put_Value(Variant::fromI4(2));
    ASSERT_TRUE(waitUntil([&] { return numbers.size() == 2; }));
    EXPECT_EQ(numbers, QList<int>({1, 2}));
    EXPECT_EQ(eng->Workspaces()->Count(), 1);
    EXPECT_EQ(thread->clientCount(), 1u);
    EXPECT_EQ(failureOf([&] { raise->put_Value(Variant::fromI4(1)); }),
              "Controller \"ChatRoom.A\" is closed");
    EXPECT_EQ(received.size(), 4);
}
