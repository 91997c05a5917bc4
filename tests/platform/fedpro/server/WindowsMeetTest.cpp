// A remote federate over the protocol and a window's federate on the embedded link share the
// engine's run-time, so they meet in one federation.

#include "ServerFixture.h"

#include "platform/hla/FomModules.h"
#include "platform/links/embedded/EmbeddedLink.h"

#include <QElapsedTimer>
#include <QThread>

namespace fedpro::testing {
namespace {

class Received : public links::RunTimeCallbacks {
public:
    void receiveInteraction(hla::InteractionClassHandle, const hla::ParameterValues& values,
                            const std::string& tag, std::optional<hla::LogicalTime>) override {
        tags.push_back(tag);
        count += values.size();
    }
    std::vector<std::string> tags;
    std::size_t count = 0;
};

using WindowsMeetTest = ServerFixture;

TEST_F(WindowsMeetTest, ARemoteFederateAndAWindowExchangeInteractions) {
    auto remote = connected();
    ASSERT_EQ(exceptionOf(remote->call(createRequest("Meeting", "Chat.xml", chatXml()))), "");
    ASSERT_EQ(exceptionOf(remote->call(joinRequest("Meeting", "Remote"))), "");
    std::unique_ptr<links::RunTimeLink> window =
        links::joinEmbedded(host, "Meeting", "Window",
                            hla::readFederationModules({TANDREL_SOURCE_DATA_DIR "/Chat.xml"}), 0);
    const hla::InteractionClassHandle cls =
        *window->description().findInteractionClass("InteractionRoot.Communication");
    window->publishInteractionClass(cls);
    window->subscribeInteractionClass(cls);

    pb::CallRequest declare;
    declare.mutable_publishinteractionclassrequest()->mutable_interactionclass()->set_data(
        handleBytes(hla::toUnderlying(cls)));
    ASSERT_EQ(exceptionOf(remote->call(declare)), "");
    pb::CallRequest subscribe;
    subscribe.mutable_subscribeinteractionclassrequest()->mutable_interactionclass()->set_data(
        handleBytes(hla::toUnderlying(cls)));
    ASSERT_EQ(exceptionOf(remote->call(subscribe)), "");

    pb::CallRequest send;
    send.mutable_sendinteractionrequest()->mutable_interactionclass()->set_data(
        handleBytes(hla::toUnderlying(cls)));
    send.mutable_sendinteractionrequest()->set_usersuppliedtag("from afar");
    ASSERT_EQ(exceptionOf(remote->call(send)), "");
    Received received;
    QElapsedTimer clock;
    clock.start();
    while (received.tags.empty() && clock.elapsed() < kWaitCap.count()) {
        if (!window->evokeCallback(received)) QThread::msleep(10);
    }
    ASSERT_EQ(received.tags, std::vector<std::string>{"from afar"});

    window->sendInteraction(cls, {}, std::nullopt);
    const pb::CallbackRequest callback = remote->callback();
    ASSERT_TRUE(callback.has_receiveinteraction()) << callback.DebugString();
    window->resign();
}

}  // namespace
}  // namespace fedpro::testing
