// "tandrel-engine --fedpro" beside an engine that already serves the bus: that engine serves
// the Federate Protocol for as long as the command runs, a federate of another process meets
// the engine's own clients through it, and ending the command ends only the serving.

#include "CrossProcess.h"
#include "app/EngineChoice.h"
#include "platform/bus/protocol/Names.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>

#include <gtest/gtest.h>

using namespace crossprocess;
using namespace peertest;

namespace {

constexpr int kConnectBoundMs = 2000;
const QString kMessage = QStringLiteral("InteractionRoot.Communication.Message");

bool engineAnswers() {
    const QDBusMessage reply = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
        engineService(), bus::kRootPath, bus::kManagerInterface, "Status"));
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool listening(int port) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
    return socket.waitForConnected(kConnectBoundMs);
}

// The command, stopped by its PID however the test ends.
class ServeCommand {
public:
    explicit ServeCommand(int port) {
        QObject::connect(&m_process, &QProcess::readyReadStandardError, [this] {
            m_said += QString::fromLocal8Bit(m_process.readAllStandardError());
        });
        m_process.start(
            QStringLiteral(TANDREL_ENGINE_PATH),
            {"--service", engineService(), "--fedpro", QStringLiteral("127.0.0.1:%1").arg(port)});
    }
    ~ServeCommand() {
        if (m_process.state() == QProcess::NotRunning) return;
        m_process.kill();
        m_process.waitForFinished(kStopBoundMs);
    }
    ServeCommand(const ServeCommand&) = delete;
    ServeCommand& operator=(const ServeCommand&) = delete;

    bool waitSaid(const QString& text) {
        return waitFor([&] {
                   return m_said.contains(text) || m_process.state() == QProcess::NotRunning;
               }) &&
               m_said.contains(text);
    }
    // SIGTERM, as Ctrl+C would; the exit status, or -1 when it did not end in time.
    int terminate() {
        m_process.terminate();
        if (!waitFor([&] { return m_process.state() == QProcess::NotRunning; })) return -1;
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    const QString& said() const { return m_said; }

private:
    static constexpr int kStopBoundMs = 5000;
    QProcess m_process;
    QString m_said;
};

// A peer with an engine of its own in its process, joining over the protocol.
QProcessEnvironment remoteEnvironment(int port) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TANDREL_ENGINE"), QStringLiteral("embedded"));
    environment.insert(QStringLiteral("CAO_HLA_RTI"), QStringLiteral("hla4"));
    environment.insert(QStringLiteral("CAO_HLA_RTI_ADDRESS"),
                       QStringLiteral("tcp://127.0.0.1:%1").arg(port));
    // Lost at once when the server goes, rather than after a resume window.
    environment.insert(QStringLiteral("CAO_HLA_RESUME_WINDOW"), QStringLiteral("0"));
    return environment;
}

TEST(FedProServe, ARunningEngineServesWhileTheCommandRunsAndOnlyTheServingEnds) {
    if (!overBus()) GTEST_SKIP() << "only for the engine on the session bus";
    TANDREL_REQUIRE_RTI();
    chooseRunTime(QString());
    // A client of the bus engine first, so that the engine runs before the command.
    PeerProcess local({"--name", "ChatRoom.Local", "--var", kMessage, "--exit-after", "120"},
                      QString());
    ASSERT_TRUE(local.waitReady()) << local.transcript().toStdString();

    const int port = unusedLoopbackPort();
    ASSERT_NE(port, 0);
    ServeCommand command(port);
    ASSERT_TRUE(command.waitSaid("until this command ends")) << command.said().toStdString();
    EXPECT_TRUE(command.said().contains(QStringLiteral("127.0.0.1:%1").arg(port)))
        << command.said().toStdString();

    PeerProcess remote(
        {"--name", "ChatRoom.Remote", "--var", kMessage, "--echo", "--exit-after", "120"},
        remoteEnvironment(port), QDir::tempPath());
    ASSERT_TRUE(remote.waitReady()) << remote.transcript().toStdString();
    PeerProcess writer({"--name", "ChatRoom.Writer", "--delay", "1", "--send",
                        kMessage + "=Hello over the protocol", "--exit-after", "30"},
                       QString());
    EXPECT_TRUE(remote.waitForLine("3 : Hello over the protocol (7) : Time=0, Source=" + kMessage))
        << remote.transcript().toStdString();
    EXPECT_TRUE(local.waitForLine("3 : Hello over the protocol (7) : Time=0, Source=" + kMessage))
        << local.transcript().toStdString() << writer.transcript().toStdString();

    EXPECT_EQ(command.terminate(), 0) << command.said().toStdString();
    EXPECT_FALSE(listening(port));
    // The remote federate is lost; the engine and its own clients carry on.
    EXPECT_TRUE(waitFor([&] {
        return !remote.lines().filter(QRegularExpression("^-1 : ")).isEmpty();
    })) << remote.transcript().toStdString();
    EXPECT_TRUE(engineAnswers());
    EXPECT_TRUE(local.running()) << local.transcript().toStdString();
}

}  // namespace
