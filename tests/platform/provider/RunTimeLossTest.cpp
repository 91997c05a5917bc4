// A controller on the hla4 link when its server's connection is cut (the session resumes and
// nothing is lost) and when the server goes for good (message -1, once the resume window has
// passed).

#include "../links/hla4/TcpProxy.h"
#include "RunTimeFixture.h"

using namespace hlatest;
using cao::Variant;

namespace {

const QString kMessage = "InteractionRoot.Communication.Message";

class RunTimeLoss : public RunTimeTest {};

}  // namespace

TEST_P(RunTimeLoss, ACutConnectionUnderAnOpenControllerIsResumedWithoutLoss) {
    startServer(false);  // the token is the server's port's, not the relay's
    hla4test::TcpProxy network(server().port());
    auto variables = hla4Variables(server().port());
    variables[cao::contract::environment::kRunTimeAddress] =
        QString::fromStdString(network.address());
    useClient(variables);  // both sides relayed, both cut
    Side chat = join("Chat");
    Side peer = join("Peer");
    ASSERT_TRUE(waitFor([&] { return has(chat, 0) && has(peer, 0); }));
    chat.add(kMessage);
    peer.add(kMessage);
    network.cut();
    peer.put(kMessage, Variant::fromString("while cut"));
    ASSERT_TRUE(waitFor([&] { return has(chat, 3) || has(chat, -1); }));
    settle();
    EXPECT_FALSE(has(chat, -1));
    const auto received = chat.take(3);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].value, Variant::fromString("while cut"));
    EXPECT_GE(network.accepted(), 4);
    close(chat);  // while the relay is still there
    close(peer);
}

TEST_P(RunTimeLoss, AServerThatGoesIsRaisedAsMinusOneOnceTheSessionCannotResume) {
    auto variables = hla4Variables(server().port());
    variables[cao::contract::environment::kResumeWindow] = QStringLiteral("1");
    useClient(variables);
    Side chat = join("Chat");
    ASSERT_TRUE(waitFor([&] { return has(chat, 0); }));
    server().stop();
    ASSERT_TRUE(waitFor([&] { return has(chat, -1); }));
    const auto failures = chat.take(-1);
    ASSERT_EQ(failures.size(), 1u);
    const QString text = failures[0].value.string();
    EXPECT_TRUE(text.startsWith("The connection to the HLA 4 run-time was lost: "))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith("; close the controller and open it again")) << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(RunTimes, RunTimeLoss, ::testing::Values(kHla4), runTimeName);
