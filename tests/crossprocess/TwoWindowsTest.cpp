// Two Tandrel windows in two processes on the one engine of the session bus: what one writes
// appears in the other's log, and the time boxes of each show its own federate's times.

#include "CrossProcess.h"
#include "app/EngineChoice.h"
#include "app/frmMain.h"
#include "messages/MessageLogModel.h"
#include "support/RecordingMessageBox.h"
#include "support/TimerTick.h"
#include "ui_frmMain.h"

#include <QProcess>

#include <gtest/gtest.h>

using namespace crossprocess;
using namespace peertest;

namespace {

constexpr int kStringRow = 7;
constexpr int kDoubleRow = 5;
constexpr int kRegulatingAndConstrained = 3;

// The other window, in a process of its own.
class OtherWindow {
public:
    OtherWindow() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        m_process.setProcessEnvironment(environment);
        m_process.start(TANDREL_WINDOW_PROCESS_PATH, {});
    }
    ~OtherWindow() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kWaitBoundMs);
        }
    }
    // Runs a command; false when it was not done within the bound.
    bool run(const QString& command) {
        m_process.write((command + "\n").toLocal8Bit());
        const QString done = "done " + command.section(' ', 0, 0);
        return waitFor([&] { return read().contains(done); });
    }
    bool waitForLine(const QString& line) {
        return waitFor([&] { return read().contains("log " + line); });
    }
    QStringList boxes() { return read().filter(QRegularExpression("^box ")); }
    QString lastTimes() {
        const QStringList times = read().filter(QRegularExpression("^times "));
        return times.isEmpty() ? QString() : times.last().mid(6);
    }
    const QStringList& read() {
        m_pending += m_process.readAllStandardOutput();
        qsizetype end = 0;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            m_lines << QString::fromLocal8Bit(m_pending.left(end));
            m_pending.remove(0, end + 1);
        }
        return m_lines;
    }

private:
    QProcess m_process;
    QByteArray m_pending;
    QStringList m_lines;
};

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

    OtherWindow other;
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
