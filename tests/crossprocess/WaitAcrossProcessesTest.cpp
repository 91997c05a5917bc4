// "Why is it waiting?" across processes: the test's controller and tandrel-peer processes meet
// in one federation of the engine on the session bus, and the controller that waits names who
// holds it, as the window would.

#include "CrossProcess.h"
#include "app/EngineChoice.h"

#include <gtest/gtest.h>

#include <memory>

using namespace crossprocess;
using namespace peertest;

namespace {

constexpr int kWaitReport = 6;
constexpr int kRegulating = 1;
constexpr int kConstrained = 2;

class WaitAcrossProcesses : public ::testing::Test {
protected:
    void SetUp() override {
        if (!overBus()) GTEST_SKIP() << "only for the engine on the session bus";
        TANDREL_REQUIRE_RTI();
        chooseRunTime(QString());
        // A small bound for this process's controller and the peers it starts.
        qputenv("CAO_HLA_WAIT_REPORT", "0.2");
    }
    void TearDown() override {
        recorder.reset();
        if (controller) workspace->Controllers()->Remove(cao::Variant::fromI4(controller->Index()));
        qunsetenv("CAO_HLA_WAIT_REPORT");
    }
    QString federation() const {
        return QStringLiteral("Xp") +
               QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void open(const QString& options) {
        eng = app::createEngine();
        workspace = eng->Workspaces()->Item(cao::Variant::fromI2(0));
        controller =
            workspace->AddController(federation() + ".Test", kProvider, QString(), options);
        recorder = std::make_unique<MessageRecorder>(controller);
    }
    std::unique_ptr<PeerProcess> startPeer(const QString& name, QStringList args) {
        args << "--name" << federation() + "." + name;
        auto peer = std::make_unique<PeerProcess>(args, QString());
        EXPECT_TRUE(peer->waitReady()) << peer->transcript().toStdString();
        return peer;
    }
    // The first wait report whose text contains part, or an empty text.
    QString report(const QString& part) {
        QString found;
        waitFor([&] {
            for (const Record& r : recorder->records()) {
                if (r.number == kWaitReport && r.value.contains(part)) found = r.value;
            }
            return !found.isEmpty();
        });
        return found;
    }

    cao::EnginePtr eng;
    cao::WorkspacePtr workspace;
    cao::ControllerPtr controller;
    std::unique_ptr<MessageRecorder> recorder;
};

TEST_F(WaitAcrossProcesses, ARegulatorInAnotherProcessThatNeverAdvancesIsNamed) {
    open(chatOptions(kConstrained, "0.5"));
    auto advance = controller->Variables()->Add("@ADVANCE_TIME", "Option=0");
    auto two = startPeer("Two", {"--options", chatOptions(kRegulating, "0.5")});
    advance->put_Value(cao::Variant::fromR8(3));
    const QString text = report("time advance to 3");
    EXPECT_EQ(text, "time advance to 3 waits for " + federation() +
                        ".Two: regulating, granted at 0, lookahead 0.5, not asking to advance")
        << recorder->dump().toStdString();
    EXPECT_EQ(two->terminate(), 0);
}

TEST_F(WaitAcrossProcesses, APeersWriteNobodyHearsIsNamedInItsOwnLog) {
    open(chatOptions(0));
    controller->Variables()->Add("InteractionRoot.Communication.Message", "Option=0");
    auto one = startPeer("One", {"--send", "InteractionRoot.TSCommunication.Message=anyone?"});
    EXPECT_TRUE(one->waitForLine(
        "6 : interaction InteractionRoot.TSCommunication is heard by no other federate: none of " +
        federation() + ".Test subscribes it or a class above it; " + federation() +
        ".Test subscribes InteractionRoot.Communication (7) : Time=0, "
        "Source=InteractionRoot.TSCommunication.Message"))
        << one->transcript().toStdString();
    EXPECT_EQ(one->terminate(), 0);
}

}  // namespace
