// The whole program on the real embedded engine, closed by the window system in the middle
// of a flood of messages from a peer federate.
#include "ProgramRun.h"
#include "support/RecordingMessageBox.h"
#include "ui_frmMain.h"

#include "messages/MessageLogModel.h"
#include "platform/engine/Engine.h"
#include "platform/provider/HlaProvider.h"

using namespace cao;

namespace {

const QString kOptions =
    "URL=file:///D:/ZUzI2/CAO/ProviderLib/HLA/Bin/Chat.fed, TimePoli=0, TimeAdv=0, "
    "CurTime=0.0, LookAhead=0.5, AsyncDeli=0";
const QString kInteraction = "InteractionRoot.Communication.Message#I4";
constexpr int kFlood = 50000;

TEST(EndToEndUnload, ClosingDuringAFloodRemovesTheFederateAndEndsTheProgram) {
    engine::ProviderRegistry providers;
    provider::registerProvider(providers);
    auto eng = std::make_shared<engine::Engine>(std::move(providers));
    const WorkspacePtr workspace = eng->Workspaces()->Item(Variant::fromI2(0));
    RecordingMessageBox messages;
    ControllerPtr peer;
    qsizetype linesAtClose = -1;

    QObject context;
    std::function<void(frmMain&)> closeOnceUnderWay = [&](frmMain& window) {
        const auto* log =
            qobject_cast<messages::MessageLogModel*>(window.form().lstMessage->model());
        if (log->lineCount() == 0) {
            // Not yet: look again at the event loop's next turn.
            QMetaObject::invokeMethod(
                &context, [&] { closeOnceUnderWay(window); }, Qt::QueuedConnection);
            return;
        }
        linesAtClose = log->lineCount();
        requestClose(window);
    };
    const int status = runProgram(
        messages, [&] { return eng; },
        [&](frmMain& window) {
            window.form().cmdOpen->click();
            window.form().cmbVarNames->setEditText(kInteraction);
            window.form().cmdGetVar->click();
            peer = workspace->AddController("ChatRoom.Peer", "CaoProv.Zarn.HLA", "", kOptions);
            peer->Variables()->Add(kInteraction, "Option=0");
            const VariablePtr sender = peer->Variables()->Item(Variant::fromString(kInteraction));
            for (int i = 0; i < kFlood; ++i) sender->put_Value(Variant::fromI4(i));
            closeOnceUnderWay(window);
        });

    EXPECT_EQ(status, 0);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.join("; ").toStdString();
    EXPECT_GT(linesAtClose, 0);
    EXPECT_LT(linesAtClose, kFlood) << "the close came only after the flood";
    ASSERT_TRUE(peer);
    EXPECT_EQ(workspace->Controllers()->Count(), 1) << "the window's federate is still there";
    EXPECT_EQ(peer->Index(), 0);
    workspace->Controllers()->Remove(Variant::fromI4(peer->Index()));
}

}  // namespace
