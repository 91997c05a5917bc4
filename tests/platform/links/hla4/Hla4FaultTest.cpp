// The hla4 link when the server is not there, never answers, falls silent, cuts the connection,
// refuses a resume, goes away or sends what cannot be read: each open refused within its bound
// naming the step, each drop resumed without loss within the resume window, or the session
// lost with its reason once it cannot be.

#include "FakeServer.h"
#include "Hla4TestSupport.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

using namespace hla4test;
using namespace std::chrono_literals;

namespace {

class Hla4Fault : public ::testing::Test {
protected:
    links::LinkRequest request() {
        links::LinkRequest r = chatRequest("ChatRoom", "Chat", chatXml());
        r.bounds = quickBounds();
        return r;
    }
    std::string openRefusal(const std::string& address) {
        try {
            Hla4Federate chat(request(), quickSettings(address));
        } catch (const std::exception& e) {
            return e.what();
        }
        ADD_FAILURE() << "the open was accepted";
        return {};
    }
    // Subscribed to the chat's messages, so that the server's interactions reach it.
    std::unique_ptr<Hla4Federate> joinSubscribed(FakeServer& server) {
        auto chat = std::make_unique<Hla4Federate>(request(), quickSettings(server.address()));
        chat->link().subscribeInteractionClass(chat->interaction("InteractionRoot.Communication"));
        return chat;
    }
    static wire::CallbackRequest message(const std::string& text) {
        wire::CallbackRequest callback;
        wire::ReceiveInteraction* receive = callback.mutable_receiveinteraction();
        receive->mutable_interactionclass()->set_data("HLAinteractionRoot.Communication");
        wire::ParameterHandleValue* value =
            receive->mutable_parametervalues()->add_parameterhandlevalue();
        value->mutable_parameterhandle()->set_data("HLAinteractionRoot.Communication/Message");
        value->set_value(text);
        return callback;
    }
    static bool contains(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }
};

// A loopback port nothing listens on.
std::uint16_t closedPort() {
    FakeServer gone;
    const std::uint16_t port = gone.port();
    gone.kill();
    return port;
}

}  // namespace

TEST_F(Hla4Fault, AServerThatIsNotThereIsDescribedAtOpen) {
    const std::string address = "tcp://127.0.0.1:" + std::to_string(closedPort());
    const std::string refusal = openRefusal(address);
    EXPECT_TRUE(contains(refusal, "the server at " + address + " could not be reached: "))
        << refusal;
}

TEST_F(Hla4Fault, AListenerThatNeverAnswersIsRefusedWithinItsBoundNamingTheStep) {
    FakeServer mute(FakeServer::Mode::Mute);
    const std::string refusal = openRefusal(mute.address());
    EXPECT_TRUE(contains(refusal, "did not start a session within") ||
                contains(refusal, "starting a Federate Protocol session with " + mute.address() +
                                      " did not answer within"))
        << refusal;
}

TEST_F(Hla4Fault, CredentialsTheServerRefusesAreDescribedAtOpen) {
    FakeServer server;
    server.setAnswer([](const wire::CallRequest& r) -> std::optional<wire::CallResponse> {
        if (r.has_connectrequest()) return refusal("Unauthorized", "credentials are required");
        return std::nullopt;
    });
    const std::string refusal = openRefusal(server.address());
    EXPECT_TRUE(contains(refusal, "the server at " + server.address() +
                                      " refused to connect: Unauthorized: credentials are "
                                      "required; it wants credentials, and the engine's token "
                                      "file"))
        << refusal;
}

TEST_F(Hla4Fault, AnIdleSessionSendsHeartbeatsAndStays) {
    FakeServer server;
    auto chat = joinSubscribed(server);
    ASSERT_TRUE(server.waitFor([](const Seen& s) { return s.heartbeats >= 3; }));
    chat->link().registerSynchronizationPoint("alive");
    EXPECT_TRUE(chat->lineStarting("lost").empty()) << chat->lineStarting("lost");
    EXPECT_EQ(server.seen().resumes, 0);
}

TEST_F(Hla4Fault, ACutConnectionIsResumedWithoutLossEitherWay) {
    FakeServer server;
    auto chat = joinSubscribed(server);
    server.cut();
    server.sendCallback(message("while away"));  // kept by the server for the resume
    chat->link().registerSynchronizationPoint("s1");
    ASSERT_TRUE(chat->waitFor("receive InteractionRoot.Communication Message=while away"));
    const Seen seen = server.seen();
    EXPECT_EQ(seen.resumes, 1);
    EXPECT_EQ(seen.count("registerFederationSynchronizationPointRequest"), 1);
    EXPECT_TRUE(chat->lineStarting("lost").empty()) << chat->lineStarting("lost");
    chat->leave();
    EXPECT_TRUE(server.waitFor([](const Seen& s) { return s.terminated == 1; }));
}

TEST_F(Hla4Fault, ASilentServerIsResumedWhenItAnswersAgainWithinTheWindow) {
    FakeServer server;
    auto chat = joinSubscribed(server);
    server.mute(true);
    // Past the timeout the link drops the connection and tries a new one.
    ASSERT_TRUE(server.waitFor([](const Seen& s) { return s.connections >= 2; }));
    server.mute(false);
    ASSERT_TRUE(server.waitFor([](const Seen& s) { return s.resumes == 1; }));
    server.sendCallback(message("back"));
    ASSERT_TRUE(chat->waitFor("receive InteractionRoot.Communication Message=back"));
    EXPECT_TRUE(chat->lineStarting("lost").empty()) << chat->lineStarting("lost");
}

TEST_F(Hla4Fault, AServerSilentPastTheWindowIsLostWithItsReason) {
    FakeServer server;
    auto chat = joinSubscribed(server);
    server.mute(true);
    ASSERT_TRUE(chat->waitFor([&] { return !chat->lineStarting("lost").empty(); }));
    const std::string lost = chat->lineStarting("lost");
    EXPECT_TRUE(contains(lost, "lost the connection to the server at " + server.address() +
                                   " was lost (the server was silent for 0.6 s) and could not "
                                   "be resumed within 2 s"))
        << lost;
    try {
        chat->link().registerSynchronizationPoint("s1");
        ADD_FAILURE() << "a call was accepted after the loss";
    } catch (const std::exception& e) {
        EXPECT_TRUE(contains(e.what(), "close the controller and open it again")) << e.what();
    }
}

TEST_F(Hla4Fault, AResumeTheServerRefusesLosesTheSessionAtOnce) {
    FakeServer server;
    auto chat = joinSubscribed(server);
    server.refuseResumes(fedpro::ResumeStatusCode::InvalidSession);
    server.cut();
    ASSERT_TRUE(chat->waitFor([&] { return !chat->lineStarting("lost").empty(); }));
    EXPECT_TRUE(contains(chat->lineStarting("lost"),
                         "could not be resumed: the server no longer knows the session"))
        << chat->lineStarting("lost");
}

TEST_F(Hla4Fault, AServerThatGoesAwayIsLostOnceTheResumeWindowHasPassed) {
    FakeServer server;
    auto chat = joinSubscribed(server);
    server.kill();
    ASSERT_TRUE(chat->waitFor([&] { return !chat->lineStarting("lost").empty(); }));
    const std::string lost = chat->lineStarting("lost");
    EXPECT_TRUE(contains(lost, "and could not be resumed within 2 s: the server at " +
                                   server.address() + " could not be reached"))
        << lost;
}

TEST_F(Hla4Fault, AMalformedMessageLosesTheSessionWithItsReason) {
    FakeServer server;
    auto chat = joinSubscribed(server);
    fedpro::FrameHeader header;
    header.type = 99;
    server.sendRaw(fedpro::encodeFrame(header, {}));
    ASSERT_TRUE(chat->waitFor([&] { return !chat->lineStarting("lost").empty(); }));
    EXPECT_TRUE(contains(chat->lineStarting("lost"),
                         "the server at " + server.address() + " sent a malformed message: "))
        << chat->lineStarting("lost");
}

TEST_F(Hla4Fault, ClosingWhileTheServerIsSilentIsBoundedAndEndsTheSession) {
    FakeServer server;
    auto chat = joinSubscribed(server);
    server.mute(true);
    chat->link().resign();  // bounded: the link's resign bound, never longer
    server.mute(false);
    EXPECT_GE(server.seen().connections, 1);
}
