// Two Tandrel windows in two processes on the one engine of the session bus: what one writes
// appears in the other's log, and the time boxes of each show its own federate's times.

#include "CrossProcess.h"
#include "DrivenWindow.h"
#include "app/EngineChoice.h"
#include "app/frmMain.h"
#include "messages/MessageLogModel.h"
#include "support/RecordingMessageBox.h"
#include "support/TimerTick.h"
#include "ui_frmMain.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace crossprocess;
using namespace peertest;

namespace {

constexpr int kStringRow = 7;
constexpr int kDoubleRow = 5;
constexpr int kRegulatingAndConstrained = 3;

QStringList logOf(frmMain& window) {
    auto* log = qobject_cast<messages::MessageLogModel*>(window.form().lstMessage->model());
    QStringList all;
    for (qsizetype i = 0; i < log->lineCount(); ++i) all << log->line(i);
    return all;
}

TEST(TwoWindows, TalkThroughTheOneEngineAndEachShowsItsOwnTimes) {
    if (!overBus()) GTEST_SKIP() << "only for the engine on the session bus";
    TANDREL_REQUIRE_RTI();
    chooseRunTime(QString());
    RecordingMessageBox boxes;
    frmMain window(boxes);
    window.load(app::createEngine);
    window.show();
    Ui::frmMain& form = window.form();
    form.cmbTimePoli->setCurrentIndex(kRegulatingAndConstrained);
    form.chkAsyncDeli->setChecked(true);  // constrained, it still hears chat between grants
    form.cmdOpen->click();
    for (const char* name :
         {"InteractionRoot.Communication.Message", "@CURRENT_TIME", "@ADVANCE_TIME"}) {
        form.cmbVarNames->setEditText(name);
        form.cmdGetVar->click();
    }
    ASSERT_TRUE(boxes.shown.isEmpty()) << boxes.shown.join("; ").toStdString();

    DrivenWindow other;
    ASSERT_TRUE(other.run("name ChatRoom.Other"));
    ASSERT_TRUE(other.run("open"));
    ASSERT_TRUE(other.run("register InteractionRoot.Communication.Message"));
    ASSERT_TRUE(other.run("register @CURRENT_TIME"));
    ASSERT_TRUE(other.boxes().isEmpty()) << other.boxes().join("; ").toStdString();

    const QString message = "InteractionRoot.Communication.Message";
    form.cmbVar->setCurrentIndex(form.cmbVar->findText(message));
    form.cmbPutType->setCurrentIndex(kStringRow);
    form.txtPut->setText("Hello from here");
    form.cmdPut->click();
    EXPECT_TRUE(other.waitForLine("3 : Hello from here (7) : Time=0, Source=" + message))
        << other.read().join("\n").toStdString();
    ASSERT_TRUE(other.run(QString("put %1 %2 Hello from there").arg(message).arg(kStringRow)));
    const QString line = "3 : Hello from there (7) : Time=0, Source=" + message;
    EXPECT_TRUE(waitFor([&] { return logOf(window).contains(line); }))
        << logOf(window).join("\n").toStdString();
    EXPECT_FALSE(logOf(window).contains("3 : Hello from here (7) : Time=0, Source=" + message));

    // This window's federate advances to 3; the other's, not time-managed, stays at 0.
    form.cmbVar->setCurrentIndex(form.cmbVar->findText("@ADVANCE_TIME"));
    form.cmbPutType->setCurrentIndex(kDoubleRow);
    form.txtPut->setText("3");
    form.cmdPut->click();
    EXPECT_TRUE(waitFor([&] {
        return !logOf(window).filter(QRegularExpression("^5 : 3 ")).isEmpty();
    })) << logOf(window).join("\n").toStdString();
    ASSERT_TRUE(tickNow(window.timer()));
    EXPECT_EQ(form.txtTime_0->text(), "3");
    ASSERT_TRUE(other.run("tick"));
    ASSERT_TRUE(other.run("times"));
    EXPECT_EQ(other.lastTimes().section('|', 0, 0), "0") << other.lastTimes().toStdString();
    EXPECT_TRUE(other.boxes().isEmpty()) << other.boxes().join("; ").toStdString();

    ASSERT_TRUE(other.run("close"));
    form.cmdClose->click();
    EXPECT_TRUE(boxes.shown.isEmpty()) << boxes.shown.join("; ").toStdString();
    window.close();
}

}  // namespace
