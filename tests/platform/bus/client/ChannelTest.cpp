// A client's channel beside its peer connection: values and messages travel on it, in the
// order raised and with the same answers and refusals as over D-Bus; an engine that takes no
// channel, or one handed over that it must not take, leaves everything on D-Bus.
#include "RaisingProvider.h"
#include "platform/bus/client/Connect.h"
#include "platform/bus/protocol/ChannelSocket.h"
#include "platform/bus/protocol/Names.h"
#include "platform/bus/protocol/Wire.h"
#include "platform/bus/service/ChannelEnd.h"
#include "platform/bus/service/EngineThread.h"
#include "support/SessionBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QMap>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace cao;
using testsupport::waitUntil;
using Peers = bus::service::EngineThread::Peers;
using bus::service::ChannelEnd;

namespace {

const QString kProvider = "Test.Raising";

// Warnings the program prints while one is alive.
class Warnings {
public:
    Warnings() {
        s_seen.clear();
        m_previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext&, const QString& text) {
                if (type == QtWarningMsg) s_seen << text;
            });
    }
    ~Warnings() { qInstallMessageHandler(m_previous); }
    QStringList seen() const { return s_seen; }

private:
    static inline QStringList s_seen;
    QtMessageHandler m_previous;
};

class Channel : public ::testing::Test {
protected:
    void start(Peers peers) {
        bus::registerWireTypes();
        thread = std::make_unique<bus::service::EngineThread>(raisingEngines(log, kProvider),
                                                              QString(), peers);
    }
    ControllerPtr open(const EnginePtr& eng, const QString& name) {
        return eng->Workspaces()->Item(Variant::fromI4(0))->AddController(name, kProvider, "", "");
    }
    // Raises count messages and waits for them; the numbers they arrived with.
    static std::vector<int32_t> raised(const ControllerPtr& ctrl, int32_t count) {
        auto numbers = std::make_shared<std::vector<int32_t>>();
        ctrl->SetOnMessage([numbers](const MessagePtr& m) { numbers->push_back(m->Number()); });
        ctrl->Variables()->Add("raise", "Option=0")->put_Value(Variant::fromI4(count));
        waitUntil([&] { return numbers->size() >= size_t(count); });
        ctrl->SetOnMessage({});
        return *numbers;
    }

    RaisingLog log;
    std::unique_ptr<bus::service::EngineThread> thread;
};

// Hands fd, as the calls' socket, to a fresh engine object over a peer connection of the test's
// own; the answer.
QDBusMessage handOver(bus::service::EngineThread& thread, int fd) {
    const QDBusMessage address = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
        thread.service(), bus::kRootPath, bus::kManagerInterface, "PeerAddress"));
    QDBusConnection peer =
        QDBusConnection::connectToPeer(address.arguments().value(0).toString(), "channel-test");
    QDBusMessage create = QDBusMessage::createMethodCall(QString(), bus::kRootPath,
                                                         bus::kManagerInterface, "CreateEngine");
    const QString engine = peer.call(create).arguments().value(0).value<QDBusObjectPath>().path();
    QDBusMessage openChannel =
        QDBusMessage::createMethodCall(QString(), engine, bus::kEngineInterface, "OpenChannel");
    // The batches' socket is sound; the calls' one is what is tried.
    const bus::channel::SocketPair batches = bus::channel::makeSocketPair();
    openChannel.setArguments({QVariant::fromValue(QDBusUnixFileDescriptor(fd)),
                              QVariant::fromValue(QDBusUnixFileDescriptor(batches.theirs))});
    const QDBusMessage answer = peer.call(openChannel);
    bus::channel::closeSocket(batches.ours);
    bus::channel::closeSocket(batches.theirs);
    QDBusConnection::disconnectFromPeer("channel-test");
    return answer;
}

// One end of a socket pair made by a child process running as another user.
// One byte and room for one descriptor beside it, as sendmsg and recvmsg take them.
struct DescriptorMessage {
    char byte = 0;
    iovec data{&byte, 1};
    alignas(cmsghdr) std::array<char, CMSG_SPACE(sizeof(int))> control{};
    msghdr message{};

    DescriptorMessage() {
        message.msg_iov = &data;
        message.msg_iovlen = 1;
        message.msg_control = control.data();
        message.msg_controllen = control.size();
    }
    DescriptorMessage(const DescriptorMessage&) = delete;
    DescriptorMessage& operator=(const DescriptorMessage&) = delete;
};

int socketOfAnotherUser() {
    std::array<int, 2> carrier{};
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, carrier.data()) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        std::array<int, 2> pair{};
        constexpr uid_t kNobody = 65534;
        if (::setuid(kNobody) != 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, pair.data()) != 0) {
            ::_exit(1);
        }
        DescriptorMessage sent;
        cmsghdr* header = CMSG_FIRSTHDR(&sent.message);
        header->cmsg_level = SOL_SOCKET;
        header->cmsg_type = SCM_RIGHTS;
        header->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(header), &pair[1], sizeof(int));
        ::_exit(::sendmsg(carrier[1], &sent.message, 0) == 1 ? 0 : 1);
    }
    DescriptorMessage got;
    int received = -1;
    if (::recvmsg(carrier[0], &got.message, 0) == 1 && CMSG_FIRSTHDR(&got.message) != nullptr) {
        std::memcpy(&received, CMSG_DATA(CMSG_FIRSTHDR(&got.message)), sizeof(int));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(carrier[0]);
    ::close(carrier[1]);
    return received;
}

}  // namespace

TEST_F(Channel, ValuesAndMessagesTravelOnItInTheOrderRaised) {
    TANDREL_SKIP_WITHOUT_SESSION_BUS();
    start(Peers::Taken);
    const int before = ChannelEnd::openCount();
    const EnginePtr eng = bus::client::connectEngine({thread->service(), {}});
    EXPECT_EQ(ChannelEnd::openCount(), before + 1);
    const ControllerPtr ctrl = open(eng, "ChatRoom.A");
    // More than one batch's worth, so several frames and reads split them.
    constexpr int32_t kCount = 10000;
    const std::vector<int32_t> numbers = raised(ctrl, kCount);
    ASSERT_EQ(numbers.size(), size_t(kCount));
    for (int32_t i = 0; i < kCount; ++i) ASSERT_EQ(numbers[size_t(i)], i + 1);
    const VariablePtr text = ctrl->Variables()->Add("text", "Option=0");
    text->put_Value(Variant::fromString(QStringLiteral("über")));
    EXPECT_EQ(text->get_Value().string(), QStringLiteral("über"));
    text->put_Value(Variant::fromArray(VT_R8, {Variant::fromR8(0.5), Variant::fromR8(-1)}));
    EXPECT_EQ(text->get_Value().elements().at(1).r8(), -1);
}

TEST_F(Channel, AValueTooLargeForAFrameIsRefusedAsOverDBusAndLeavesItOpen) {
    TANDREL_SKIP_WITHOUT_SESSION_BUS();
    start(Peers::Taken);
    const EnginePtr eng = bus::client::connectEngine({thread->service(), {}});
    const ControllerPtr ctrl = open(eng, "ChatRoom.Large");
    const VariablePtr text = ctrl->Variables()->Add("text", "Option=0");
    // Four million characters: more than a frame carries, and than the engine takes.
    try {
        text->put_Value(Variant::fromString(QString(4 << 20, QLatin1Char('x'))));
        ADD_FAILURE() << "an oversize value was taken";
    } catch (const Error& e) {
        EXPECT_TRUE(e.description().contains("takes no value larger than"))
            << e.description().toStdString();
    }
    EXPECT_EQ(ChannelEnd::openCount(), 1);
    text->put_Value(Variant::fromString(QStringLiteral("small")));
    EXPECT_EQ(text->get_Value().string(), QStringLiteral("small"));
}

TEST_F(Channel, ARemovedVariableIsRefusedByNameAsOverDBus) {
    TANDREL_SKIP_WITHOUT_SESSION_BUS();
    for (Peers peers : {Peers::Taken, Peers::WithoutChannel}) {
        start(peers);
        const EnginePtr eng = bus::client::connectEngine({thread->service(), {}});
        const ControllerPtr ctrl = open(eng, "ChatRoom.Gone");
        const VariablePtr gone = ctrl->Variables()->Add("gone", "Option=0");
        ctrl->Variables()->Remove(Variant::fromString("gone"));
        try {
            gone->get_Value();
            ADD_FAILURE() << "a removed variable answered";
        } catch (const Error& e) {
            EXPECT_EQ(e.description(), QStringLiteral("Variable \"gone\" is no longer registered"));
        }
        EXPECT_THROW(gone->put_Value(Variant::fromI4(1)), Error);
        thread.reset();
    }
}

TEST_F(Channel, AnEngineThatTakesNoneServesOverDBusWithoutAWord) {
    TANDREL_SKIP_WITHOUT_SESSION_BUS();
    start(Peers::WithoutChannel);
    const Warnings warnings;
    const int before = ChannelEnd::openCount();
    const EnginePtr eng = bus::client::connectEngine({thread->service(), {}});
    EXPECT_EQ(ChannelEnd::openCount(), before);
    const std::vector<int32_t> numbers = raised(open(eng, "ChatRoom.B"), 300);
    EXPECT_EQ(numbers.size(), 300u);
    EXPECT_TRUE(warnings.seen().isEmpty()) << warnings.seen().join('\n').toStdString();
}

TEST_F(Channel, OneHandedOverThatIsNoUnixStreamOrIsAnotherUsersIsRefused) {
    TANDREL_SKIP_WITHOUT_SESSION_BUS();
    start(Peers::Taken);
    std::array<int, 2> pipe{};
    ASSERT_EQ(::pipe(pipe.data()), 0);
    const QDBusMessage notASocket = handOver(*thread, pipe[0]);
    ::close(pipe[0]);
    ::close(pipe[1]);
    EXPECT_EQ(notASocket.type(), QDBusMessage::ErrorMessage);
    EXPECT_TRUE(notASocket.errorMessage().contains("no Unix stream socket"))
        << notASocket.errorMessage().toStdString();
    if (::geteuid() != 0) GTEST_SKIP() << "another user's socket needs root to be made";
    const int foreign = socketOfAnotherUser();
    ASSERT_GE(foreign, 0);
    const QDBusMessage refused = handOver(*thread, foreign);
    ::close(foreign);
    EXPECT_TRUE(refused.errorMessage().contains("belongs to user 65534"))
        << refused.errorMessage().toStdString();
    EXPECT_EQ(ChannelEnd::openCount(), 0);
}
