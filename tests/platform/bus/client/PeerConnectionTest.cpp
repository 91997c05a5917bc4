// A client's peer connection to the engine: the engine objects made over it are that
// connection's client's, close when it drops although the process stays on the bus, and
// their messages travel on it alone. An engine that takes none says so.
#include "RaisingProvider.h"
#include "platform/bus/client/Connect.h"
#include "platform/bus/protocol/Names.h"
#include "platform/bus/protocol/Wire.h"
#include "platform/bus/service/EngineThread.h"
#include "platform/engine/Engine.h"
#include "support/SessionBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QMap>

#include <gtest/gtest.h>

using namespace cao;
using testsupport::waitUntil;

namespace {

const QString kProvider = "Test.Raising";
using Peers = bus::service::EngineThread::Peers;

// Counts the signals it is given.
class SignalCounter : public QObject {
    Q_OBJECT
public:
    int count = 0;
public slots:
    void take(const QDBusMessage&) { ++count; }
};

class PeerConnection : public ::testing::Test {
protected:
    void start(Peers peers) {
        bus::registerWireTypes();
        thread = std::make_unique<bus::service::EngineThread>(raisingEngines(log, kProvider),
                                                              QString(), peers);
    }
    QDBusMessage onBus(const char* member) {
        return QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
            thread->service(), bus::kRootPath, bus::kManagerInterface, member));
    }
    static QDBusMessage call(QDBusConnection& connection, const QString& path,
                             const char* interface, const char* member,
                             const QVariantList& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(QString(), path, interface, member);
        message.setArguments(arguments);
        return connection.call(message);
    }

    // A client opens a controller and hears from it; throws when it cannot.
    void connectEngineAndOpen() {
        const EnginePtr eng = bus::client::connectEngine({thread->service(), {}});
        const ControllerPtr ctrl = eng->Workspaces()
                                       ->Item(Variant::fromI4(0))
                                       ->AddController("ChatRoom.B", kProvider, "", "");
        bool heard = false;
        ctrl->SetOnMessage([&](const MessagePtr&) { heard = true; });
        ctrl->Variables()->Add("raise", "Option=0")->put_Value(Variant::fromI4(1));
        if (!waitUntil([&] { return heard; })) throw Error("The controller was not heard");
        ctrl->SetOnMessage({});
    }

    RaisingLog log;
    std::unique_ptr<bus::service::EngineThread> thread;
};

}  // namespace

TEST_F(PeerConnection, ItsEngineObjectsCloseWhenItDropsThoughTheProcessStaysOnTheBus) {
    TANDREL_SKIP_WITHOUT_SESSION_BUS();
    start(Peers::Taken);
    const QDBusMessage address = onBus("PeerAddress");
    ASSERT_EQ(address.type(), QDBusMessage::ReplyMessage) << address.errorMessage().toStdString();
    const QString name = "peer-connection-test";
    {
        QDBusConnection peer =
            QDBusConnection::connectToPeer(address.arguments().value(0).toString(), name);
        ASSERT_TRUE(peer.isConnected()) << peer.lastError().message().toStdString();

        const QDBusMessage made =
            call(peer, bus::kRootPath, bus::kManagerInterface, "CreateEngineWithContext",
                 {QVariant::fromValue(QMap<QString, QString>()), QDir::rootPath()});
        ASSERT_EQ(made.type(), QDBusMessage::ReplyMessage) << made.errorMessage().toStdString();
        const QString engine = made.arguments().value(0).value<QDBusObjectPath>().path();
        const QDBusMessage added =
            call(peer, engine + "/w0", bus::kWorkspaceInterface, "AddController",
                 {QString("ChatRoom.A"), kProvider, QString(), QString()});
        ASSERT_EQ(added.type(), QDBusMessage::ReplyMessage) << added.errorMessage().toStdString();
        EXPECT_EQ(thread->clientCount(), 1u);
    }
    QDBusConnection::disconnectFromPeer(name);  // its last reference gone, it drops
    ASSERT_TRUE(waitUntil([&] { return thread->clientCount() == 0; }));
    EXPECT_TRUE(waitUntil([&] { return log.all().contains("close"); }));
    // The engine serves on: the next client is welcome.
    EXPECT_NO_THROW(connectEngineAndOpen());
}

TEST_F(PeerConnection, MessagesTravelOnItAndNotOnTheBus) {
    TANDREL_SKIP_WITHOUT_SESSION_BUS();
    start(Peers::Taken);
    const QString owner =
        QDBusConnection::sessionBus().interface()->serviceOwner(thread->service()).value();
    SignalCounter broadcast;
    for (const char* signal : {bus::kMessagesSignal, bus::kPackedMessagesSignal}) {
        ASSERT_TRUE(QDBusConnection::sessionBus().connect(owner, QString(),
                                                          bus::kControllerInterface, signal,
                                                          &broadcast, SLOT(take(QDBusMessage))));
    }
    const EnginePtr eng = bus::client::connectEngine({thread->service(), {}});
    const ControllerPtr ctrl =
        eng->Workspaces()->Item(Variant::fromI4(0))->AddController("ChatRoom.A", kProvider, "", "");
    int received = 0;
    ctrl->SetOnMessage([&](const MessagePtr&) { ++received; });
    ctrl->Variables()->Add("raise", "Option=0")->put_Value(Variant::fromI4(300));
    ASSERT_TRUE(waitUntil([&] { return received == 300; })) << received;
    // A bus round trip after the last batch: one sent on the bus would have come by now.
    onBus("Status");
    QCoreApplication::processEvents();
    EXPECT_EQ(broadcast.count, 0);
}

TEST_F(PeerConnection, AnEngineThatTakesNoneSaysSoAndIsCalledOverTheBus) {
    TANDREL_SKIP_WITHOUT_SESSION_BUS();
    start(Peers::BusOnly);
    const QDBusMessage address = onBus("PeerAddress");
    ASSERT_EQ(address.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(address.errorMessage(), "This engine takes no peer connections; call it on the bus");
    EXPECT_NO_THROW(connectEngineAndOpen());
}

#include "PeerConnectionTest.moc"
