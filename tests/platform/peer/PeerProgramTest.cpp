// The tandrel-peer program itself on the embedded run-time: its exit statuses, its help,
// and a clean close on SIGTERM.

#include "platform/peer/PeerOptions.h"
#include "support/MessageRecorder.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

constexpr int kProcessBoundMs = 20000;

struct PeerRun {
    int status = -1;
    QString out;
    QString err;
};

// The peer on the embedded run-time, whatever the environment of the test says.
void startPeer(QProcess& process, const QStringList& args) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("CAO_HLA_RTI", "embedded");
    process.setProcessEnvironment(environment);
    process.start(TANDREL_PEER_PATH, args);
}

PeerRun runPeer(const QStringList& args,
                const std::function<void(QProcessEnvironment&)>& adjust = {}) {
    QProcess process;
    startPeer(process, args);
    if (adjust) {
        process.close();
        QProcessEnvironment environment = process.processEnvironment();
        adjust(environment);
        process.setProcessEnvironment(environment);
        process.start(TANDREL_PEER_PATH, args);
    }
    if (!process.waitForFinished(kProcessBoundMs)) {
        process.kill();
        process.waitForFinished(kProcessBoundMs);
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

TEST(PeerProgram, HelpListsTheOptionsAndSucceeds) {
    const PeerRun run = runPeer({"--help"});
    EXPECT_EQ(run.status, peer::kExitDone);
    EXPECT_TRUE(run.out.startsWith("Usage: tandrel-peer")) << run.out.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
}

TEST(PeerProgram, BadArgumentsAreDescribedOnStderrWithStatusTwo) {
    const PeerRun run = runPeer({"--advance", "-1"});
    EXPECT_EQ(run.status, peer::kExitUsage);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains("tandrel-peer: --advance: the step must be above 0"))
        << run.err.toStdString();
}

TEST(PeerProgram, AControllerThatCannotOpenIsDescribedWithStatusOne) {
    const PeerRun run = runPeer({"--options", "URL=Chat.fed, TimePoli=7"});
    EXPECT_EQ(run.status, peer::kExitFailed);
    EXPECT_TRUE(run.err.contains("TimePoli")) << run.err.toStdString();
}

TEST(PeerProgram, PrintsItsMessagesAndEndsByItself) {
    const PeerRun run = runPeer({"--name", "Alone.Peer", "--exit-after", "0.2"});
    EXPECT_EQ(run.status, peer::kExitDone);
    EXPECT_TRUE(run.out.startsWith("0 : ")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(", Source=Alone.Peer")) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains("tandrel-peer: closed Alone.Peer")) << run.err.toStdString();
}

TEST(PeerProgram, SigtermClosesTheControllerAndEndsWithStatusZero) {
    QProcess process;
    startPeer(process, {"--name", "Alone.Peer", "--exit-after", "600"});
    QString err;
    ASSERT_TRUE(peertest::waitFor([&] {
        err += QString::fromLocal8Bit(process.readAllStandardError());
        return err.contains("tandrel-peer: ready") || process.state() == QProcess::NotRunning;
    }));
    ASSERT_TRUE(err.contains("tandrel-peer: ready")) << err.toStdString();
    process.terminate();
    if (!process.waitForFinished(kProcessBoundMs)) {
        process.kill();
        process.waitForFinished(kProcessBoundMs);
        FAIL() << "tandrel-peer did not end on SIGTERM";
    }
    err += QString::fromLocal8Bit(process.readAllStandardError());
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), peer::kExitDone);
    EXPECT_TRUE(err.contains("tandrel-peer: closed Alone.Peer")) << err.toStdString();
}

}  // namespace

// How the program's one choice of engine answers its environment.
TEST(PeerProgram, AnUnknownEngineIsRefusedAndNoSessionBusMeansTheEngineInside) {
    const PeerRun unknown = runPeer({"--exit-after", "1"}, [](QProcessEnvironment& environment) {
        environment.insert("TANDREL_ENGINE", "remote");
    });
    EXPECT_EQ(unknown.status, peer::kExitFailed);
    EXPECT_TRUE(unknown.err.contains(
        "TANDREL_ENGINE=\"remote\" is not an engine: use bus (the default) or embedded"))
        << unknown.err.toStdString();

    const PeerRun alone = runPeer({"--exit-after", "1"}, [](QProcessEnvironment& environment) {
        environment.insert("TANDREL_ENGINE", "bus");
        for (const char* name : {"DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR", "DISPLAY"}) {
            environment.remove(name);
        }
    });
    EXPECT_EQ(alone.status, peer::kExitDone) << alone.err.toStdString();
    EXPECT_TRUE(alone.err.contains("There is no D-Bus session bus to reach the engine on"))
        << alone.err.toStdString();
    EXPECT_TRUE(alone.err.contains("using the engine inside this program"));
    EXPECT_TRUE(alone.err.contains("tandrel-peer: opened ChatRoom.Peer"));
}
