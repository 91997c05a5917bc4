// The client's end of a channel against an engine end the test plays: batches handed on in
// the order sent, the engine's refusals as they come over D-Bus, and every fault of the
// channel closing it with a description.
#include "platform/bus/client/BusCall.h"
#include "platform/bus/client/Channel.h"
#include "platform/bus/protocol/ChannelMessages.h"
#include "platform/bus/protocol/ChannelSocket.h"
#include "platform/bus/protocol/Frame.h"
#include "platform/bus/protocol/PackedBatch.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace bus::channel;
using bus::client::EngineUnreachable;
using bus::client::UnknownObject;

namespace {

const QString kVariable = QStringLiteral("/io/tandrel/Engine1/e0/c0/v0");
constexpr int kWaitMs = 10000;

class ChannelClient : public ::testing::Test {
protected:
    ChannelClient() {
        const SocketPair calls = makeSocketPair();
        const SocketPair batches = makeSocketPair();
        engineCalls = calls.theirs;
        engineBatches = batches.theirs;
        client = std::make_unique<bus::client::Channel>(
            calls.ours, batches.ours, [](const QString&) { return [] {}; },
            [this](const QString& path, std::vector<engine::MessageData> messages) {
                delivered.emplace_back(path, messages.size());
            });
        QObject::connect(client.get(), &bus::client::Channel::closed, [this] { closed = true; });
    }
    ~ChannelClient() override {
        client.reset();
        closeSocket(engineCalls);
        closeSocket(engineBatches);
    }
    static void send(int fd, const QByteArray& bytes) {
        ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    }
    static QByteArray replyTo(uint32_t id, std::optional<cao::Variant> value) {
        return frame(FrameKind::Reply, encodeReply(Reply{id, std::move(value), {}, {}}));
    }
    static QByteArray refusalOf(uint32_t id, const QString& name, const QString& message) {
        return frame(FrameKind::Reply, encodeReply(Reply{id, {}, name, message}));
    }
    static QByteArray batchOf(const QString& path, int messages) {
        bus::PackedBatchWriter writer;
        for (int i = 0; i < messages; ++i) {
            writer.add(3, cao::Variant::fromI4(i), cao::Variant(), "s", "");
        }
        return frame(FrameKind::Batch, encodeBatch(path, writer.take()));
    }
    static bool turnUntil(const std::function<bool()>& condition) {
        const QDeadlineTimer deadline(kWaitMs);
        while (!condition() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        return condition();
    }
    std::string faultOf(const std::function<void()>& call) {
        try {
            call();
        } catch (const EngineUnreachable& e) {
            return e.description().toStdString();
        }
        return {};
    }

    int engineCalls = -1;
    int engineBatches = -1;
    std::unique_ptr<bus::client::Channel> client;
    std::vector<std::pair<QString, size_t>> delivered;
    bool closed = false;
};

}  // namespace

TEST_F(ChannelClient, BatchesAreHandedOnInTheOrderSentAndNeverInsideACall) {
    send(engineBatches, batchOf("/e0/c0", 2) + batchOf("/e0/c1", 5000) + batchOf("/e0/c0", 1));
    send(engineCalls, replyTo(1, cao::Variant::fromI4(42)));
    const std::optional<cao::Variant> value = client->call(Member::GetValue, kVariable);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->i4(), 42);
    EXPECT_TRUE(delivered.empty());
    ASSERT_TRUE(turnUntil([&] { return delivered.size() == 3; }));
    EXPECT_EQ(delivered[0], std::pair(QString("/e0/c0"), size_t(2)));
    EXPECT_EQ(delivered[1], std::pair(QString("/e0/c1"), size_t(5000)));
    EXPECT_EQ(delivered[2], std::pair(QString("/e0/c0"), size_t(1)));

    FrameReader reader;
    while (readInto(engineCalls, reader) == ReadResult::Read) {
    }
    std::optional<Frame> sent = reader.next();
    ASSERT_TRUE(sent.has_value());
    const Call call = decodeCall(sent->payload);
    EXPECT_EQ(call.member, Member::GetValue);
    EXPECT_EQ(call.path, kVariable);
}

TEST_F(ChannelClient, TheEnginesRefusalsComeAsOverDBusAndLeaveItOpen) {
    send(engineCalls, refusalOf(1, "org.freedesktop.DBus.Error.UnknownObject", "no object"));
    EXPECT_THROW(client->call(Member::GetValue, kVariable), UnknownObject);
    send(engineCalls, refusalOf(2, "io.tandrel.Engine1.Error.TypeMismatch", "Type mismatch"));
    try {
        client->call(Member::PutValue, kVariable, cao::Variant::fromString("x"));
        ADD_FAILURE() << "the refusal was not thrown";
    } catch (const EngineUnreachable&) {
        ADD_FAILURE() << "a refusal was taken for a fault";
    } catch (const cao::Error& e) {
        EXPECT_EQ(e.code(), cao::code::TypeMismatch);
        EXPECT_EQ(e.description(), "Type mismatch");
    }
    EXPECT_TRUE(client->open());
    send(engineCalls, replyTo(3, std::nullopt));
    EXPECT_FALSE(client->call(Member::PutValue, kVariable, cao::Variant::fromI4(1)).has_value());
}

TEST_F(ChannelClient, AReplyToAnotherCallOrABatchAmongTheRepliesIsAFault) {
    send(engineCalls, replyTo(7, cao::Variant::fromI4(1)));
    EXPECT_NE(faultOf([&] {
                  client->call(Member::GetValue, kVariable);
              }).find("answered call 7 while call 1"),
              std::string::npos);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(client->open());
    EXPECT_NE(faultOf([&] { client->call(Member::GetValue, kVariable); }).find("closed"),
              std::string::npos);
}

TEST_F(ChannelClient, AMalformedBatchOrTheEngineGoingClosesIt) {
    send(engineBatches, frame(FrameKind::Call, encodeCall({1, Member::GetValue, kVariable, {}})));
    EXPECT_TRUE(turnUntil([&] { return closed; }));
    EXPECT_FALSE(client->open());
}

TEST_F(ChannelClient, TheEngineClosingItDuringACallIsAFault) {
    closeSocket(engineCalls);
    engineCalls = -1;
    EXPECT_NE(faultOf([&] { client->call(Member::GetValue, kVariable); }).find("closed"),
              std::string::npos);
    EXPECT_TRUE(closed);
}

TEST_F(ChannelClient, TheEngineLettingGoOfTheBatchesClosesItWithoutAWarning) {
    bool warned = false;
    static bool* seen = nullptr;
    seen = &warned;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString&) {
            if (type == QtWarningMsg) *seen = true;
        });
    closeSocket(engineBatches);
    engineBatches = -1;
    EXPECT_TRUE(turnUntil([&] { return closed; }));
    qInstallMessageHandler(previous);
    EXPECT_FALSE(warned);
    EXPECT_FALSE(client->open());
}
