#include "CrossProcess.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcessEnvironment>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

namespace crossprocess {

namespace {

constexpr int kStopBoundMs = 10000;
constexpr int kRewriteMs = 200;
const char* const kPeerNotePrefix = "tandrel-peer: ";

QStringList takeLines(QByteArray& pending, const QByteArray& more) {
    pending += more;
    QStringList lines;
    qsizetype end = 0;
    while ((end = pending.indexOf('\n')) >= 0) {
        lines << QString::fromLocal8Bit(pending.left(end));
        pending.remove(0, end + 1);
    }
    return lines;
}

// The engine a test started on the bus would end by itself a few seconds after its last
// client; it is stopped by its PID as the test process ends instead.
class StopTheEngine : public ::testing::Environment {
public:
    void TearDown() override {
        if (!overBus()) return;
        QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
        if (bus == nullptr) return;
        const QDBusReply<uint> pid = bus->servicePid(engineService());
        if (!pid.isValid() || pid.value() == 0) return;
        ::kill(static_cast<pid_t>(pid.value()), SIGTERM);
        peertest::waitFor([&] { return !bus->isServiceRegistered(engineService()).value(); },
                          kStopBoundMs);
    }
};

[[maybe_unused]] const auto* const g_stopTheEngine =
    ::testing::AddGlobalTestEnvironment(new StopTheEngine);

}  // namespace

bool overBus() {
    return qgetenv("TANDREL_TEST_CROSS") == "bus";
}

bool mixedInterfaces() {
    return qgetenv("TANDREL_TEST_CROSS") == "mixed";
}

QString engineService() {
    return QStringLiteral("io.tandrel.Engine1.Test.p%1").arg(QCoreApplication::applicationPid());
}

std::optional<QString> missingRti() {
    if (overBus()) {
        if (!QDBusConnection::sessionBus().isConnected()) {
            return QStringLiteral("no D-Bus session bus: run under dbus-run-session");
        }
        if (!QFileInfo(QStringLiteral(TANDREL_PEER_PATH)).isExecutable()) {
            return QStringLiteral("tandrel-peer is not built at " TANDREL_PEER_PATH);
        }
        return std::nullopt;
    }
    if (!TANDREL_HAVE_HLA13) {
        return QStringLiteral(
            "this build has no HLA 1.3 run-time: install an RTI and configure with its "
            "prefix in CMAKE_PREFIX_PATH and PKG_CONFIG_PATH (or TANDREL_RTI_PREFIX)");
    }
    if (mixedInterfaces() && !TANDREL_HAVE_HLA1516E) {
        return QStringLiteral(
            "this build has no IEEE 1516-2010 run-time: install an RTI and configure with "
            "its prefix in PKG_CONFIG_PATH (or TANDREL_RTI_PREFIX)");
    }
    if (rtiAddress().isEmpty()) {
        return QStringLiteral(
            "TANDREL_TEST_RTI_ADDRESS is not set: start rtinode and set it, e.g. to "
            "rti://127.0.0.1:14321");
    }
    if (!QFileInfo(QStringLiteral(TANDREL_PEER_PATH)).isExecutable()) {
        return QStringLiteral("tandrel-peer is not built at " TANDREL_PEER_PATH);
    }
    return std::nullopt;
}

bool rtiRequired() {
    if (overBus()) return qgetenv("TANDREL_TEST_REQUIRE_BUS") == "1";
    if (mixedInterfaces()) return qgetenv("TANDREL_TEST_REQUIRE_HLA1516E") == "1";
    return qgetenv("TANDREL_TEST_REQUIRE_HLA13") == "1";
}

QString rtiAddress() {
    return QString::fromLocal8Bit(qgetenv("TANDREL_TEST_RTI_ADDRESS"));
}

QString rtinodePath() {
    const QString fromEnvironment = QString::fromLocal8Bit(qgetenv("TANDREL_TEST_RTINODE"));
    return fromEnvironment.isEmpty() ? QStringLiteral(TANDREL_RTINODE_PATH) : fromEnvironment;
}

int unusedLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

void chooseRunTime(const QString& address) {
    if (overBus()) {
        // One engine of this test's own, started by the first client; the peers join it.
        qputenv("TANDREL_ENGINE", "bus");
        qputenv("TANDREL_ENGINE_SERVICE", engineService().toLocal8Bit());
        qputenv("TANDREL_ENGINE_PROGRAM", TANDREL_ENGINE_PATH);
        qunsetenv("CAO_HLA_RTI");
        return;
    }
    qputenv("CAO_HLA_RTI", mixedInterfaces() ? "hla1516e" : "hla13");
    qputenv("CAO_HLA_RTI_ADDRESS", address.toLocal8Bit());
}

bool writeUntil(const std::function<void(const QString&)>& write, const QString& stem,
                const std::function<bool()>& done) {
    int count = 0;
    QElapsedTimer sinceWrite;
    return peertest::waitFor([&] {
        if (done()) return true;
        if (!sinceWrite.isValid() || sinceWrite.elapsed() >= kRewriteMs) {
            write(QStringLiteral("%1 %2").arg(stem).arg(++count));
            sinceWrite.restart();
        }
        return false;
    });
}

PeerProcess::PeerProcess(const QStringList& args, const QString& address) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!overBus()) {
        environment.insert(QStringLiteral("CAO_HLA_RTI"), QStringLiteral("hla13"));
        environment.insert(QStringLiteral("CAO_HLA_RTI_ADDRESS"), address);
    }
    m_process.setProcessEnvironment(environment);
    start(args);
}

PeerProcess::PeerProcess(const QStringList& args, const QProcessEnvironment& environment,
                         const QString& workingDirectory) {
    m_process.setProcessEnvironment(environment);
    m_process.setWorkingDirectory(workingDirectory);
    start(args);
}

void PeerProcess::start(const QStringList& args) {
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] { readOutput(); });
    QObject::connect(&m_process, &QProcess::readyReadStandardError, [this] { readOutput(); });
    m_process.start(QStringLiteral(TANDREL_PEER_PATH), args);
}

PeerProcess::~PeerProcess() {
    kill();
}

void PeerProcess::readOutput() {
    m_lines << takeLines(m_outPending, m_process.readAllStandardOutput());
    for (const QString& line : takeLines(m_errPending, m_process.readAllStandardError())) {
        m_notes << (line.startsWith(QLatin1String(kPeerNotePrefix))
                        ? line.mid(qsizetype(strlen(kPeerNotePrefix)))
                        : line);
    }
}

bool PeerProcess::waitReady() {
    return waitForNote(QStringLiteral("ready"));
}

bool PeerProcess::waitForLine(const QString& line) {
    return peertest::waitFor([&] {
               readOutput();
               return m_lines.contains(line) || m_process.state() == QProcess::NotRunning;
           }) &&
           m_lines.contains(line);
}

bool PeerProcess::waitForNote(const QString& note) {
    return peertest::waitFor([&] {
               readOutput();
               return m_notes.contains(note) || m_process.state() == QProcess::NotRunning;
           }) &&
           m_notes.contains(note);
}

QString PeerProcess::transcript() const {
    return QStringLiteral("stdout:\n%1\nstderr:\n%2")
        .arg(m_lines.join(QLatin1Char('\n')), m_notes.join(QLatin1Char('\n')));
}

std::optional<int> PeerProcess::terminate() {
    if (m_process.state() == QProcess::NotRunning) return m_process.exitCode();
    m_process.terminate();
    if (!peertest::waitFor([&] { return m_process.state() == QProcess::NotRunning; },
                           kStopBoundMs)) {
        kill();
        return std::nullopt;
    }
    readOutput();
    return m_process.exitStatus() == QProcess::NormalExit ? std::optional<int>(m_process.exitCode())
                                                          : std::nullopt;
}

std::optional<int> PeerProcess::waitForEnd() {
    if (!peertest::waitFor([&] { return m_process.state() == QProcess::NotRunning; })) {
        return std::nullopt;
    }
    readOutput();
    return m_process.exitStatus() == QProcess::NormalExit ? std::optional<int>(m_process.exitCode())
                                                          : std::nullopt;
}

void PeerProcess::kill() {
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.kill();
    m_process.waitForFinished(kStopBoundMs);
}

}  // namespace crossprocess
