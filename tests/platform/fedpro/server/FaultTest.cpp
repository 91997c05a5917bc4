// Clients that fail the server: one that never reads, one that never asks for a session, one
// that drops and never comes back. Each is lost on its own, its federate resigned, and the
// others go on.

#include "ServerFixture.h"

#include "platform/hla/Error.h"
#include "platform/hla/FederateAmbassador.h"
#include "platform/hla/MomEncoding.h"

#include <gmock/gmock.h>

#include <QElapsedTimer>
#include <QThread>

namespace fedpro::testing {
namespace {

constexpr std::size_t kBigValue = 256 * 1024;
constexpr int kMostSends = 1000;
constexpr int kSendsPerCheck = 20;

// Waits, within the cap, for the run-time to have forgotten the federate.
bool resignedWithinCap(links::RunTimeHost& host, std::uint32_t federate) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kWaitCap.count()) {
        try {
            host.access()->federationNameOf(static_cast<hla::FederateHandle>(federate));
        } catch (const hla::Error& e) {
            if (e.kind() == hla::ErrorKind::FederateNotExecutionMember) return true;
            throw;
        }
        QThread::msleep(20);
    }
    return false;
}

std::uint32_t handleValue(const std::string& bytes) {
    std::uint32_t value = 0;
    for (char c : bytes) value = (value << 8) | static_cast<unsigned char>(c);
    return value;
}

std::uint32_t join(RawClient& client, const std::string& federation, const std::string& name) {
    const pb::CallResponse joined = client.call(joinRequest(federation, name));
    EXPECT_EQ(exceptionOf(joined), "") << joined.exceptiondata().details();
    return handleValue(
        joined.joinfederationexecutionwithnameresponse().result().federatehandle().data());
}

std::string communication(RawClient& client) {
    pb::CallRequest request;
    request.mutable_getinteractionclasshandlerequest()->set_interactionclassname("Communication");
    return client.call(request).getinteractionclasshandleresponse().result().data();
}

// The texts of every interaction a federate of the run-time's own receives.
class Listener : public hla::FederateAmbassador {
public:
    void receiveInteraction(hla::InteractionClassHandle, const hla::ParameterValues& values,
                            const std::string&, std::optional<hla::LogicalTime>) override {
        std::vector<std::string> texts;
        for (const auto& [parameter, bytes] : values) {
            texts.push_back(hla::mom::decodeText(bytes).value_or(""));
        }
        received.push_back(texts);
    }
    std::vector<std::vector<std::string>> received;
};

using FaultTest = ServerFixture;

TEST_F(FaultTest, AClientThatStopsReadingIsLostAndTheOthersGoOn) {
    auto sender = connected();
    auto stuck = connected();
    ASSERT_EQ(exceptionOf(sender->call(createRequest("Flood", "Chat.xml", chatXml()))), "");
    join(*sender, "Flood", "Sender");
    const std::uint32_t stuckFederate = join(*stuck, "Flood", "Stuck");
    const std::string cls = communication(*sender);
    pb::CallRequest publish;
    publish.mutable_publishinteractionclassrequest()->mutable_interactionclass()->set_data(cls);
    ASSERT_EQ(exceptionOf(sender->call(publish)), "");
    pb::CallRequest subscribe;
    subscribe.mutable_subscribeinteractionclassrequest()->mutable_interactionclass()->set_data(cls);
    ASSERT_EQ(exceptionOf(stuck->call(subscribe)), "");

    // The stuck client reads nothing more from here on.
    pb::CallRequest send;
    send.mutable_sendinteractionrequest()->mutable_interactionclass()->set_data(cls);
    send.mutable_sendinteractionrequest()->set_usersuppliedtag(std::string(kBigValue, 'x'));
    bool lost = false;
    for (int n = 1; n <= kMostSends && !lost; ++n) {
        ASSERT_EQ(exceptionOf(sender->call(send)), "");
        if (n % kSendsPerCheck != 0) continue;
        try {
            host->access()->federationNameOf(static_cast<hla::FederateHandle>(stuckFederate));
        } catch (const hla::Error&) {
            lost = true;
        }
    }
    EXPECT_TRUE(lost || resignedWithinCap(*host, stuckFederate));
    pb::CallRequest query;
    query.mutable_querylogicaltimerequest();
    EXPECT_EQ(exceptionOf(sender->call(query)), "");
}

class ShortWindowsTest : public ServerFixture {
protected:
    void adjust(server::ServerOptions& options) override {
        options.connectTime = std::chrono::milliseconds(500);
        options.resumeWindow = std::chrono::milliseconds(500);
    }
};

TEST_F(ShortWindowsTest, AConnectionThatAsksForNoSessionIsClosed) {
    RawClient silent(port);
    EXPECT_TRUE(silent.closedByServer());
    RawClient unconnected(port);
    unconnected.newSession();
    EXPECT_TRUE(unconnected.closedByServer());
}

TEST_F(ShortWindowsTest, ASessionNotResumedInTimeIsLostAndItsFederateResigned) {
    auto client = connected();
    ASSERT_EQ(exceptionOf(client->call(createRequest("Gone", "Chat.xml", chatXml()))), "");
    const std::uint32_t federate = join(*client, "Gone", "Leaver");
    client->cut();
    EXPECT_TRUE(resignedWithinCap(*host, federate));
    const Frame status = client->resume();
    EXPECT_EQ(readInt32(status.payload, 0, "status"), 1);
}

TEST_F(ShortWindowsTest, ALostSessionsFederateIsReportedLostToTheManagementModel) {
    auto client = connected();
    ASSERT_EQ(exceptionOf(client->call(createRequest("Lost", "Chat.xml", chatXml()))), "");
    const std::uint32_t federate = join(*client, "Lost", "Leaver");
    const hla::FederateHandle tool = host->access()->joinFederationExecution("Tool", "Lost");
    {
        auto rt = host->access();
        rt->subscribeInteractionClass(
            tool, rt->getInteractionClassHandle(tool, hla::mom::kReportFederateLost));
    }
    client->cut();
    ASSERT_TRUE(resignedWithinCap(*host, federate));
    Listener listener;
    while (host->access()->evokeCallback(tool, listener)) {
    }
    ASSERT_EQ(listener.received.size(), 1u);
    EXPECT_THAT(listener.received[0], ::testing::Contains("Leaver"));
    EXPECT_THAT(listener.received[0], ::testing::Contains(::testing::HasSubstr("resum")));
}

}  // namespace
}  // namespace fedpro::testing
