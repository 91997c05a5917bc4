// Two machines, played by two session buses of the test's own with an engine on each: the
// first serves its embedded run-time over HLA 4's Federate Protocol, a client of the second
// joins it on the hla4 link, and the two clients meet in ChatRoom: text both ways, and a
// synchronisation point announced at both and synchronised once both acknowledged. With the
// FED file, with Chat.xml, and with Chat.xml as a module of HLA 4's OMT.

#include "CrossProcess.h"
#include "EngineProcess.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace crossprocess;
using namespace peertest;

namespace {

constexpr int kStartBoundMs = 10000;
constexpr int kStopBoundMs = 5000;
const QString kChatMessage = QStringLiteral("InteractionRoot.Communication.Message");

// A session bus of the test's own, stopped by its PID however the test ends.
class SessionBus {
public:
    SessionBus() {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {"--session", "--nofork", "--nopidfile", "--print-address=1"});
        if (!m_daemon.waitForStarted(kStartBoundMs)) return;
        waitFor([&] {
            m_daemon.waitForReadyRead(100);
            m_output += m_daemon.readAllStandardOutput();
            return m_output.contains('\n') || m_daemon.state() == QProcess::NotRunning;
        });
        m_address = QString::fromLocal8Bit(m_output.left(m_output.indexOf('\n'))).trimmed();
    }
    ~SessionBus() {
        if (m_daemon.state() == QProcess::NotRunning) return;
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(kStopBoundMs)) {
            m_daemon.kill();
            m_daemon.waitForFinished(kStopBoundMs);
        }
    }
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    // Empty when the daemon did not start or did not say where it listens.
    const QString& address() const { return m_address; }

    // Waits until something serves the name on this bus; false when the bound passed first.
    bool waitServed(const QString& service) const {
        QDBusConnection connection = QDBusConnection::connectToBus(m_address, m_address);
        const bool served = waitFor([&] {
            return connection.isConnected() &&
                   connection.interface()->isServiceRegistered(service).value();
        });
        QDBusConnection::disconnectFromBus(m_address);
        return served;
    }

    // A client's environment on this bus, for the engine at service.
    QProcessEnvironment clientOn(const QString& service) const {
        QProcessEnvironment environment = clientEnvironment(service);
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
        return environment;
    }

private:
    QProcess m_daemon;
    QByteArray m_output;
    QString m_address;
};

// An engine of one of the buses: its own notes on stderr, stopped by its PID.
class Engine {
public:
    Engine(const SessionBus& bus, const QString& service, const QStringList& arguments) {
        m_process.setProcessEnvironment(bus.clientOn(service));
        QObject::connect(&m_process, &QProcess::readyReadStandardError, [this] {
            m_said += QString::fromLocal8Bit(m_process.readAllStandardError());
        });
        m_process.start(QStringLiteral(TANDREL_ENGINE_PATH),
                        QStringList{"--service", service} + arguments);
    }
    ~Engine() {
        if (m_process.state() == QProcess::NotRunning) return;
        m_process.terminate();
        if (!m_process.waitForFinished(kStopBoundMs)) {
            m_process.kill();
            m_process.waitForFinished(kStopBoundMs);
        }
    }
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    bool waitSaid(const QString& text) {
        return waitFor([&] {
                   return m_said.contains(text) || m_process.state() == QProcess::NotRunning;
               }) &&
               m_said.contains(text);
    }
    const QString& said() const { return m_said; }

private:
    QProcess m_process;
    QString m_said;
};

struct Description {
    const char* name;
    const char* file;  // in the data directory
    bool asHla4Module;
};

class TwoMachines : public ::testing::TestWithParam<Description> {
protected:
    // The controller's options, naming the description as the parameter has it.
    QString options() {
        const Description& d = GetParam();
        QString path = QStringLiteral(TANDREL_SOURCE_DATA_DIR "/") + QLatin1String(d.file);
        if (d.asHla4Module) {
            QFile original(path);
            EXPECT_TRUE(original.open(QIODevice::ReadOnly));
            QByteArray module = original.readAll();
            module.replace("IEEE1516-2010", "IEEE1516-2025");
            path = m_directory.filePath(QStringLiteral("Chat2025.xml"));
            QFile copy(path);
            EXPECT_TRUE(copy.open(QIODevice::WriteOnly));
            copy.write(module);
        }
        return QStringLiteral("URL=%1, TimePoli=0, TimeAdv=0, CurTime=0, LookAhead=1, AsyncDeli=0")
            .arg(path);
    }

    QTemporaryDir m_directory;
};

}  // namespace

TEST_P(TwoMachines, AWindowOfEachEngineMeetsTheOtherOverTheFederateProtocol) {
    if (!overBus()) GTEST_SKIP() << "only with the engine on the session bus";
    SessionBus first;
    SessionBus second;
    if (first.address().isEmpty() || second.address().isEmpty()) {
        if (qEnvironmentVariableIntValue("TANDREL_TEST_REQUIRE_BUS") == 1) {
            FAIL() << "dbus-daemon did not start a session bus";
        }
        GTEST_SKIP() << "dbus-daemon cannot start a session bus here";
    }
    const int port = unusedLoopbackPort();
    ASSERT_NE(port, 0);
    const QString served = ownService(QStringLiteral("Serving"));
    const QString joining = ownService(QStringLiteral("Joining"));
    Engine serving(first, served, {"--fedpro", QStringLiteral("127.0.0.1:%1").arg(port)});
    ASSERT_TRUE(serving.waitSaid(QStringLiteral("serving the Federate Protocol")))
        << serving.said().toStdString();
    Engine other(second, joining, {"--idle-exit", "60"});
    ASSERT_TRUE(second.waitServed(joining)) << other.said().toStdString();

    const QString options = this->options();
    // The first machine's window, on its engine's embedded run-time; it writes and registers.
    PeerProcess local({"--name", "ChatRoom.Local", "--options", options, "--var", kChatMessage,
                       "--answer-sync", "--exit-after", "120"},
                      first.clientOn(served), m_directory.path());
    ASSERT_TRUE(local.waitReady()) << local.transcript().toStdString();
    // The second machine's, joining the first over the protocol; it echoes what it hears.
    QProcessEnvironment remoteEnvironment = second.clientOn(joining);
    remoteEnvironment.insert(QStringLiteral("CAO_HLA_RTI"), QStringLiteral("hla4"));
    remoteEnvironment.insert(QStringLiteral("CAO_HLA_RTI_ADDRESS"),
                             QStringLiteral("tcp://127.0.0.1:%1").arg(port));
    PeerProcess remote({"--name", "ChatRoom.Remote", "--options", options, "--var", kChatMessage,
                        "--echo", "--answer-sync", "--exit-after", "120"},
                       remoteEnvironment, m_directory.path());
    ASSERT_TRUE(remote.waitReady()) << remote.transcript().toStdString();

    PeerProcess writer({"--name", "ChatRoom.Writer", "--options", options, "--delay", "1", "--send",
                        kChatMessage + "=Hello from the first machine", "--register-sync", "Ready",
                        "--answer-sync", "--exit-after", "60"},
                       first.clientOn(served), m_directory.path());
    const QString heard = "3 : Hello from the first machine (7) : Time=0, Source=" + kChatMessage;
    EXPECT_TRUE(remote.waitForLine(heard))
        << remote.transcript().toStdString() << writer.transcript().toStdString();
    // The echo comes back across: the text went both ways.
    EXPECT_TRUE(writer.waitForLine(heard)) << writer.transcript().toStdString();
    for (PeerProcess* peer : {&local, &remote, &writer}) {
        EXPECT_TRUE(peer->waitForLine("1 : Ready (7) : Time=0, Source=@SYNC_POINT"))
            << peer->transcript().toStdString();
        EXPECT_TRUE(peer->waitForLine("2 : Ready (7) : Time=0, Source=@SYNC_POINT"))
            << peer->transcript().toStdString();
    }
    EXPECT_EQ(remote.terminate(), 0) << remote.transcript().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Descriptions, TwoMachines,
                         ::testing::Values(Description{"ChatFed", "Chat.fed", false},
                                           Description{"ChatXml", "Chat.xml", false},
                                           Description{"Chat2025", "Chat.xml", true}),
                         [](const auto& info) { return std::string(info.param.name); });
