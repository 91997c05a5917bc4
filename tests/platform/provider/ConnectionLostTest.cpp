#include "cao/ProviderContract.h"
#include "platform/links/embedded/EmbeddedLink.h"
#include "platform/provider/Ambassador.h"
#include "platform/provider/FedLocator.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Collects what a controller raises.
class Context : public engine::ControllerContext {
public:
    void raise(engine::MessageData message) override { raised.push_back(std::move(message)); }
    void post(std::function<void()> work) override { work(); }
    const engine::ClientContext& client() const override { return m_client; }
    std::vector<engine::MessageData> raised;

private:
    engine::ClientContext m_client{{}, QStringLiteral("/")};
};

}  // namespace

TEST(HlaConnectionLost, IsRaisedAsAFailureNamingTheRunTimeAndWhatToDo) {
    auto host = std::make_shared<links::RunTimeHost>();
    const QString fed = QStringLiteral(TANDREL_SOURCE_DATA_DIR "/Chat.fed");
    Context context;
    auto federate = std::make_shared<provider::Federate>(
        links::joinEmbedded(host, "ChatRoom", "Chat", provider::readFederationDescription({fed}),
                            3),
        context, "ChatRoom", provider::AdvancePolicy::TimeAdvance);
    provider::Ambassador ambassador(federate);
    ambassador.connectionLost("socket closed");
    ASSERT_EQ(context.raised.size(), 1u);
    const engine::MessageData& m = context.raised[0];
    EXPECT_EQ(m.number, cao::contract::message::Failure);
    EXPECT_EQ(m.value.string(),
              "The connection to the embedded run-time was lost: socket closed; close the "
              "controller and open it again");
    EXPECT_EQ(m.source, "ChatRoom");
    EXPECT_EQ(m.time, cao::Variant::fromR8(3));
    federate->link().resign();
}
