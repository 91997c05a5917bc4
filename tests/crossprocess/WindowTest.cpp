// The window on the HLA 1.3 run-time: its log shows what a peer in another process sent.

#include "CrossProcess.h"
#include "app/frmMain.h"
#include "messages/MessageLogModel.h"
#include "support/RecordingMessageBox.h"
#include "ui_frmMain.h"

#include <gtest/gtest.h>

using namespace crossprocess;
using namespace peertest;

namespace {

TEST(WindowAcrossProcesses, TheLogShowsTheLineForAnInteractionThePeerSent) {
    TANDREL_REQUIRE_RTI();
    chooseRunTime(rtiAddress());
    RecordingMessageBox boxes;
    frmMain window(boxes);
    window.load(cao::createEngine);
    window.show();
    // Its own federation, so that it does not meet other tests; everything else as shipped.
    window.form().txtName->setText("XpWindow.Chat");
    window.form().cmdOpen->click();
    ASSERT_TRUE(boxes.shown.isEmpty()) << boxes.shown.join("; ").toStdString();
    window.form().cmbVarNames->setEditText(kMessage);
    window.form().cmdGetVar->click();
    ASSERT_TRUE(boxes.shown.isEmpty()) << boxes.shown.join("; ").toStdString();

    PeerProcess peer({"--name", "XpWindow.Peer", "--send", kMessage + "=Hello from the peer"},
                     rtiAddress());
    ASSERT_TRUE(peer.waitReady()) << peer.transcript().toStdString();

    auto* log = qobject_cast<messages::MessageLogModel*>(window.form().lstMessage->model());
    const QString expected = "3 : Hello from the peer (7) : Time=0, Source=" + kMessage;
    const bool shown = waitFor([&] {
        for (qsizetype i = 0; i < log->lineCount(); ++i) {
            if (log->line(i) == expected) return true;
        }
        return false;
    });
    QStringList all;
    for (qsizetype i = 0; i < log->lineCount(); ++i) all << log->line(i);
    EXPECT_TRUE(shown) << all.join("\n").toStdString();
    EXPECT_EQ(peer.terminate(), 0) << peer.transcript().toStdString();
    window.form().cmdClose->click();
    EXPECT_TRUE(boxes.shown.isEmpty()) << boxes.shown.join("; ").toStdString();
    window.close();
}

}  // namespace
