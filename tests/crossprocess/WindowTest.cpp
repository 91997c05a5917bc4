// The window on the HLA 1.3 run-time: its log shows what a peer in another process sent.

#include "CrossProcess.h"
#include "app/frmMain.h"
#include "messages/MessageLogModel.h"
#include "support/RecordingMessageBox.h"
#include "ui_frmMain.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

using namespace crossprocess;
using namespace peertest;

namespace {

TEST(WindowAcrossProcesses, TheLogShowsTheLineForAnInteractionThePeerSent) {
    TANDREL_REQUIRE_RTI();
    chooseRunTime(rtiAddress());
    RecordingMessageBox boxes;
    frmMain window(boxes);
    window.load(app::createEngine);
    window.show();
    // Its own federation, so that it does not meet other tests; everything else as shipped.
    window.form().txtName->setText("XpWindow.Chat");
    window.form().cmdOpen->click();
    ASSERT_TRUE(boxes.shown.isEmpty()) << boxes.shown.join("; ").toStdString();
    window.form().cmbVarNames->setEditText(kMessage);
    window.form().cmdGetVar->click();
    ASSERT_TRUE(boxes.shown.isEmpty()) << boxes.shown.join("; ").toStdString();

    PeerProcess peer({"--name", "XpWindow.Peer", "--var", kMessage, "--echo"}, rtiAddress());
    ASSERT_TRUE(peer.waitReady()) << peer.transcript().toStdString();

    // The window writes through its own buttons until the peer's echo is in the log.
    auto* log = qobject_cast<messages::MessageLogModel*>(window.form().lstMessage->model());
    const QRegularExpression echoLine(
        "^3 : Hello \\d+ \\(7\\) : Time=0, Source=" + QRegularExpression::escape(kMessage) + "$");
    const auto logLines = [&] {
        QStringList all;
        for (qsizetype i = 0; i < log->lineCount(); ++i) all << log->line(i);
        return all;
    };
    constexpr int kStringRow = 7;
    window.form().cmbVar->setCurrentIndex(window.form().cmbVar->findText(kMessage));
    window.form().cmbPutType->setCurrentIndex(kStringRow);
    const bool shown = writeUntil(
        [&](const QString& text) {
            window.form().txtPut->setText(text);
            window.form().cmdPut->click();
        },
        "Hello", [&] { return !logLines().filter(echoLine).isEmpty(); });
    EXPECT_TRUE(shown) << logLines().join("\n").toStdString() << "\n"
                       << peer.transcript().toStdString();
    const QString echoed = logLines().filter(echoLine).value(0).section(" (7)", 0, 0).mid(4);
    // The peer prints its line once per turn: it may come a moment after its echo.
    EXPECT_TRUE(peer.waitForLine("3 : " + echoed + " (7) : Time=0, Source=" + kMessage));
    EXPECT_EQ(peer.terminate(), 0) << peer.transcript().toStdString();
    window.form().cmdClose->click();
    EXPECT_TRUE(boxes.shown.isEmpty()) << boxes.shown.join("; ").toStdString();
    window.close();
}

}  // namespace
