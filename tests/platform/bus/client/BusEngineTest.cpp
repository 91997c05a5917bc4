// The engine reached over the session bus keeps the promises of the engine in the program:
// messages in order, one at a time, never inside a call, none after removal; the right
// announcement acknowledged; failures with the engine's description; a client that goes has
// its controllers closed; bad calls from any client are answered with an error. Each holds
// over the client's peer connection to the engine and, with an engine that takes none, over
// the bus.
#include "RaisingProvider.h"
#include "platform/bus/client/Connect.h"
#include "platform/bus/protocol/Names.h"
#include "platform/bus/service/EngineThread.h"
#include "platform/engine/Engine.h"
#include "support/FailureOf.h"
#include "support/SessionBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

using namespace cao;
using testsupport::waitUntil;

namespace {

const QString kProvider = "Test.Raising";

using Peers = bus::service::EngineThread::Peers;

class BusEngineBase : public ::testing::Test {
protected:
    virtual Peers peers() const { return Peers::Taken; }
    void SetUp() override {
        TANDREL_SKIP_WITHOUT_SESSION_BUS();
        thread = std::make_unique<bus::service::EngineThread>(raisingEngines(log, kProvider),
                                                              QString(), peers());
        eng = connect();
        ws = eng->Workspaces()->Item(Variant::fromI2(0));
        ctrl = ws->AddController("ChatRoom.A", kProvider, "", "");
        ctrl->SetOnMessage([this](MessagePtr m) { received << m->Number(); });
    }
    void TearDown() override {
        ctrl.reset();
        ws.reset();
        eng.reset();
        thread.reset();
    }
    EnginePtr connect() { return bus::client::connectEngine({thread->service(), {}}); }
    VariablePtr variable(const QString& name) { return ctrl->Variables()->Add(name, "Option=0"); }

    RaisingLog log;
    std::unique_ptr<bus::service::EngineThread> thread;
    EnginePtr eng;
    WorkspacePtr ws;
    ControllerPtr ctrl;
    QList<int> received;
};

class BusEngine : public BusEngineBase, public ::testing::WithParamInterface<Peers> {
protected:
    Peers peers() const override { return GetParam(); }
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(, BusEngine, ::testing::Values(Peers::Taken, Peers::BusOnly),
                         [](const auto& info) {
                             return std::string(info.param == Peers::Taken ? "OverThePeerConnection"
                                                                           : "OverTheBus");
                         });

TEST_P(BusEngine, AFloodArrivesInOrderAndNeverInsideACall) {
    constexpr int kCount = 20000;  // several batches
    variable("raise")->put_Value(Variant::fromI4(kCount));
    EXPECT_TRUE(received.isEmpty());
    ASSERT_TRUE(waitUntil([&] { return received.size() == kCount; })) << received.size();
    for (int i = 0; i < kCount; ++i) ASSERT_EQ(received[i], i + 1);
}

TEST_P(BusEngine, AFloodArrivesInOrderAsTheStructuredSignalScriptsRead) {
    const EnginePtr structured =
        bus::client::connectEngine({thread->service(), {}}, bus::client::MessageFormat::Structured);
    const ControllerPtr other = structured->Workspaces()
                                    ->Item(Variant::fromI2(0))
                                    ->AddController("ChatRoom.S", kProvider, "", "");
    QList<int> got;
    other->SetOnMessage([&](MessagePtr m) { got << m->Number(); });
    constexpr int kCount = 9000;  // several batches
    other->Variables()->Add("raise", "Option=0")->put_Value(Variant::fromI4(kCount));
    ASSERT_TRUE(waitUntil([&] { return got.size() == kCount; })) << got.size();
    for (int i = 0; i < kCount; ++i) ASSERT_EQ(got[i], i + 1);
}

TEST_P(BusEngine, NothingArrivesAfterTheControllerIsRemoved) {
    variable("raise")->put_Value(Variant::fromI4(5000));
    ws->Controllers()->Remove(Variant::fromI4(0));
    QCoreApplication::processEvents();
    // The engine sends nothing more; whatever was on its way is dropped here.
    const VariablePtr probe = [&] {
        auto other = ws->AddController("ChatRoom.B", kProvider, "", "");
        return other->Variables()->Add("idle", "Option=0");
    }();
    probe->put_Value(Variant::fromI4(1));
    waitUntil([] { return false; }, 200);
    EXPECT_TRUE(received.isEmpty()) << received.size();
    EXPECT_EQ(failureOf([&] { ctrl->Variables(); }), "Controller \"ChatRoom.A\" is closed");
    EXPECT_TRUE(log.all().contains("close"));
}

TEST_P(BusEngine, AcknowledgeAnswersItsOwnAnnouncementOnce) {
    QList<MessagePtr> kept;
    ctrl->SetOnMessage([&](MessagePtr m) { kept << m; });
    variable("announce")->put_Value(Variant::fromI4(3));
    ASSERT_TRUE(waitUntil([&] { return kept.size() == 3; }));
    kept[1]->Acknowledge();
    kept[1]->Acknowledge();
    EXPECT_EQ(log.all().filter("ack"), QStringList({"ack 2"}));
    EXPECT_EQ(kept[1]->Value(), Variant::fromI4(2));
    EXPECT_EQ(kept[1]->Time(), Variant::fromR8(1.0));
    EXPECT_EQ(kept[1]->Source(), "announce");
}

TEST_P(BusEngine, AHandlerInANestedEventLoopHoldsBackTheNextMessage) {
    QStringList events;
    ctrl->SetOnMessage([&](MessagePtr m) {
        events << QString("begin %1").arg(m->Number());
        if (m->Number() == 1) {
            QEventLoop loop;  // stands for a modal box
            QTimer::singleShot(30, &loop, &QEventLoop::quit);
            loop.exec();
        }
        events << QString("end %1").arg(m->Number());
    });
    variable("raise")->put_Value(Variant::fromI4(2));
    ASSERT_TRUE(waitUntil([&] { return events.size() == 4; }));
    EXPECT_EQ(events, QStringList({"begin 1", "end 1", "begin 2", "end 2"}));
}

TEST_P(BusEngine, ValuesOfEveryTypeGoThereAndBack) {
    const VariablePtr var = variable("value");
    for (const Variant& value :
         {Variant(), Variant::null(), Variant::fromBool(true), Variant::fromUI1(200),
          Variant::fromI2(-3), Variant::fromI4(70000), Variant::fromR4(0.1f),
          Variant::fromR8(1e300), Variant::fromCurrency(-12345), Variant::fromDate(45000.5),
          Variant::fromString(QString(100000, QChar('x'))), Variant::fromError(5),
          Variant::fromArray(cao::VT_UI1, {Variant::fromUI1(1), Variant::fromUI1(2)})}) {
        var->put_Value(value);
        EXPECT_EQ(var->get_Value(), value) << cao::typeName(value.type()).toStdString();
    }
}

TEST_P(BusEngine, FailuresCarryTheEngineDescriptionAndCode) {
    try {
        ws->AddController("x", "Nope", "", "");
        FAIL() << "opened";
    } catch (const Error& e) {
        EXPECT_EQ(e.description(), "Provider \"Nope\" is not available");
    }
    EXPECT_EQ(failureOf([&] { ws->AddController("ChatRoom.A", kProvider, "", ""); }),
              "Controller \"ChatRoom.A\" is already open");
    EXPECT_EQ(failureOf([&] { eng->Workspaces()->Item(Variant::fromI2(3)); }),
              "Workspace index 3 is out of range");
    const VariablePtr var = variable("v");
    ctrl->Variables()->Remove(Variant::fromString("v"));
    EXPECT_EQ(failureOf([&] { var->get_Value(); }), "Variable \"v\" is no longer registered");
    EXPECT_EQ(ctrl->Variables()->Count(), 0);
    EXPECT_EQ(ctrl->Name(), "ChatRoom.A");
    EXPECT_EQ(ws->Controllers()->Item(Variant::fromI4(0))->Name(), "ChatRoom.A");
}

TEST_P(BusEngine, EachClientHasAWorkspaceOfItsOwn) {
    const EnginePtr second = connect();
    const WorkspacePtr other = second->Workspaces()->Item(Variant::fromI2(0));
    EXPECT_EQ(other->Controllers()->Count(), 0);
    EXPECT_NO_THROW(other->AddController("ChatRoom.A", kProvider, "", ""));
    EXPECT_EQ(thread->clientCount(), 2u);
}

TEST_P(BusEngine, AClientThatGoesHasItsControllersClosed) {
    ctrl.reset();
    ws.reset();
    eng.reset();  // the last proxy goes: the client leaves the bus
    ASSERT_TRUE(waitUntil([&] { return thread->clientCount() == 0; }));
    // The controllers close on the client's own thread, after its engine object is gone.
    EXPECT_TRUE(waitUntil([&] { return log.all().contains("close"); }));
}

namespace {

struct BadCall {
    const char* name;
    QString path;  // relative to the client's engine object; absolute when it starts with "/"
    const char* interface;
    const char* member;
    QVariantList arguments;
    const char* error;
};

class BadCalls : public BusEngineBase, public ::testing::WithParamInterface<BadCall> {};

}  // namespace

TEST_P(BadCalls, AreAnsweredWithAnErrorThatSaysWhy) {
    const BadCall& call = GetParam();
    QDBusConnection raw = QDBusConnection::sessionBus();
    const QDBusMessage made = raw.call(QDBusMessage::createMethodCall(
        thread->service(), bus::kRootPath, bus::kManagerInterface, "CreateEngine"));
    ASSERT_EQ(made.type(), QDBusMessage::ReplyMessage);
    const QString engine = made.arguments().at(0).value<QDBusObjectPath>().path();
    const QString path = call.path.startsWith(QChar('/')) ? call.path : engine + "/" + call.path;
    QDBusMessage message =
        QDBusMessage::createMethodCall(thread->service(), path, call.interface, call.member);
    message.setArguments(call.arguments);
    const QDBusMessage reply = raw.call(message);
    ASSERT_EQ(reply.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(reply.errorName().toStdString(), call.error) << reply.errorMessage().toStdString();
    EXPECT_FALSE(reply.errorMessage().isEmpty());
    // The engine carries on.
    EXPECT_EQ(raw.call(QDBusMessage::createMethodCall(thread->service(), bus::kRootPath,
                                                      bus::kManagerInterface, "Status"))
                  .type(),
              QDBusMessage::ReplyMessage);
}

INSTANTIATE_TEST_SUITE_P(
    FromAnyClient, BadCalls,
    ::testing::Values(BadCall{"UnknownPath",
                              "/io/tandrel/Engine1/e999/w0",
                              bus::kWorkspaceInterface,
                              "ControllerCount",
                              {},
                              "org.freedesktop.DBus.Error.UnknownObject"},
                      BadCall{"UnknownController",
                              "c77",
                              bus::kControllerInterface,
                              "Name",
                              {},
                              "org.freedesktop.DBus.Error.UnknownObject"},
                      BadCall{"UnknownMethod",
                              "w0",
                              bus::kWorkspaceInterface,
                              "Explode",
                              {},
                              "org.freedesktop.DBus.Error.UnknownMethod"},
                      BadCall{"WrongInterface",
                              "w0",
                              bus::kVariableInterface,
                              "ControllerCount",
                              {},
                              "org.freedesktop.DBus.Error.UnknownMethod"},
                      BadCall{"TooFewArguments",
                              "w0",
                              bus::kWorkspaceInterface,
                              "AddController",
                              {QString("a")},
                              "org.freedesktop.DBus.Error.InvalidArgs"},
                      BadCall{"WrongTypes",
                              "w0",
                              bus::kWorkspaceInterface,
                              "AddController",
                              {1, 2, 3, 4},
                              "org.freedesktop.DBus.Error.InvalidArgs"},
                      BadCall{"IndexNotAValue",
                              "w0",
                              bus::kWorkspaceInterface,
                              "Controller",
                              {QString("0")},
                              "org.freedesktop.DBus.Error.InvalidArgs"},
                      BadCall{"HugeName",
                              "w0",
                              bus::kWorkspaceInterface,
                              "AddController",
                              {QString(2 << 20, QChar('n')), QString("p"), QString(), QString()},
                              "org.freedesktop.DBus.Error.InvalidArgs"},
                      BadCall{"IndexOutOfRange",
                              "w0",
                              bus::kWorkspaceInterface,
                              "Controller",
                              {QVariant::fromValue(bus::toWire(Variant::fromI4(5)))},
                              "io.tandrel.Engine1.Error.InvalidArg"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BusStart, AnEngineThatCannotBeFoundIsDescribed) {
    TANDREL_SKIP_WITHOUT_SESSION_BUS();
    const QString service = "io.tandrel.Engine1.Nobody";
    EXPECT_EQ(failureOf([&] {
                  bus::client::connectEngine({service, {"/nonexistent/tandrel-engine"}});
              }),
              "Nothing serves io.tandrel.Engine1.Nobody on the session bus and the engine "
              "program was not found (looked for: /nonexistent/tandrel-engine)");
}
