// The hla4 link against the engine's own Federate Protocol server, started in this process on
// a free loopback port in front of a run-time of its own: federates meet through it, show it
// the engine's token, resume under a cut connection, and are lost when it stops.

#include "Hla4TestSupport.h"
#include "TcpProxy.h"

#include "platform/fedpro/server/FedProServer.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace hla4test;

namespace {

class Hla4Server : public ::testing::Test {
protected:
    void SetUp() override { startServer(true); }
    void startServer(bool authenticate) {
        server.reset();
        fedpro::server::ServerOptions options;
        options.port = 0;
        options.authenticate = authenticate;
        server = std::make_unique<fedpro::server::FedProServer>(
            std::make_shared<links::RunTimeHost>(std::make_shared<rti::RunTime>()), options);
        server->start();
    }
    std::string address() const { return "tcp://127.0.0.1:" + std::to_string(server->port()); }
    std::unique_ptr<Hla4Federate> join(const std::string& federate,
                                       const std::string& at = std::string()) {
        links::LinkRequest request = chatRequest(federation, federate, chatXml());
        request.bounds = quickBounds();
        return std::make_unique<Hla4Federate>(request, quickSettings(at.empty() ? address() : at));
    }
    // Chat and peer, each subscribed to and publishing the chat's messages.
    void talk(Hla4Federate& federate) {
        const auto cls = federate.interaction("InteractionRoot.Communication");
        federate.link().publishInteractionClass(cls);
        federate.link().subscribeInteractionClass(cls);
    }
    void say(Hla4Federate& federate, const std::string& text) {
        const auto cls = federate.interaction("InteractionRoot.Communication");
        federate.link().sendInteraction(
            cls, {{federate.parameter(cls, "Message"), linktest::bytes(text)}}, std::nullopt);
    }

    const std::string federation = linktest::uniqueFederation();
    std::unique_ptr<fedpro::server::FedProServer> server;
};

}  // namespace

TEST_F(Hla4Server, TwoFederatesMeetAndSynchronizeThroughIt) {
    auto chat = join("Chat");
    auto peer = join("Peer");
    talk(*chat);
    talk(*peer);
    ASSERT_TRUE(chat->sendUntil(*peer, "receive InteractionRoot.Communication Message=hello",
                                [&] { say(*chat, "hello"); }));
    ASSERT_TRUE(peer->sendUntil(*chat, "receive InteractionRoot.Communication Message=hi",
                                [&] { say(*peer, "hi"); }));
    chat->link().registerSynchronizationPoint("ready");
    ASSERT_TRUE(peer->waitFor("announce ready"));
    ASSERT_TRUE(chat->waitFor("announce ready"));
    chat->link().synchronizationPointAchieved("ready");
    peer->link().synchronizationPointAchieved("ready");
    ASSERT_TRUE(chat->waitFor("synchronized ready"));
    ASSERT_TRUE(peer->waitFor("synchronized ready"));
    peer->leave();
    chat->leave();
}

TEST_F(Hla4Server, WithoutTheEnginesTokenTheServerRefusesTheFederate) {
    ASSERT_FALSE(server->tokenPath().isEmpty());
    ASSERT_TRUE(QFile::remove(server->tokenPath()));
    try {
        join("Chat");
        ADD_FAILURE() << "the federate joined without the token";
    } catch (const std::exception& e) {
        const std::string text = e.what();
        EXPECT_NE(text.find("refused to connect: Unauthorized"), std::string::npos) << text;
        EXPECT_NE(text.find("the engine's token file"), std::string::npos) << text;
    }
}

TEST_F(Hla4Server, ACutConnectionIsResumedAndNothingIsLostEitherWay) {
    startServer(false);  // the token is the server's port's, not the relay's
    TcpProxy network(server->port());
    auto chat = join("Chat", network.address());
    auto peer = join("Peer");
    talk(*chat);
    talk(*peer);
    ASSERT_TRUE(chat->sendUntil(*peer, "receive InteractionRoot.Communication Message=before",
                                [&] { say(*chat, "before"); }));
    network.cut();
    say(*peer, "while cut");
    say(*chat, "from the cut side");
    ASSERT_TRUE(chat->waitFor("receive InteractionRoot.Communication Message=while cut"));
    ASSERT_TRUE(peer->waitFor("receive InteractionRoot.Communication Message=from the cut side"));
    EXPECT_GE(network.accepted(), 2);
    EXPECT_TRUE(chat->lineStarting("lost").empty()) << chat->lineStarting("lost");
    // Each arrived once: the resume sent again only what the other side had not had.
    int received = 0;
    for (const std::string& line : chat->told().lines) {
        received += line == "receive InteractionRoot.Communication Message=while cut" ? 1 : 0;
    }
    EXPECT_EQ(received, 1);
    chat->leave();
    peer->leave();
}

TEST_F(Hla4Server, AServerThatStopsLosesItsFederatesWithTheReason) {
    auto chat = join("Chat");
    server->stop();
    ASSERT_TRUE(chat->waitFor([&] { return !chat->lineStarting("lost").empty(); }));
    EXPECT_NE(chat->lineStarting("lost").find("the server at " + address()), std::string::npos)
        << chat->lineStarting("lost");
}
