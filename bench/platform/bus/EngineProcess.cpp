#include "bench/platform/bus/EngineProcess.h"

#include "bench/support/BenchSupport.h"
#include "platform/bus/client/Connect.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include <ctime>

namespace bench {

namespace {
// The engine process ends this long after its last client has gone.
constexpr int kEngineIdleExitSeconds = 1;
}  // namespace

Path pathArgument(int64_t argument) {
    return argument == 2 ? Path::Bus : argument == 1 ? Path::Peer : Path::Channel;
}

void label(benchmark::State& state, Path path) {
    state.SetLabel(path == Path::Channel ? "channel beside the peer connection"
                   : path == Path::Peer  ? "peer connection, D-Bus only"
                                         : "through the bus daemon");
}

EngineProcess::EngineProcess(Path path) {
    static int started = 0;
    m_service = QStringLiteral("io.tandrel.Engine1.Bench.p%1n%2")
                    .arg(QCoreApplication::applicationPid())
                    .arg(++started);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList arguments{QStringLiteral("--service"), m_service, QStringLiteral("--idle-exit"),
                          QString::number(kEngineIdleExitSeconds)};
    if (path == Path::Bus) arguments << QStringLiteral("--bus-only");
    if (path == Path::Peer) arguments << QStringLiteral("--no-channel");
    m_process.start(QStringLiteral(TANDREL_ENGINE_PATH), arguments);
}

EngineProcess::~EngineProcess() {
    stopProcess(m_process);
}

void EngineProcess::awaitService() {
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    if (!pumpUntil([&] {
            return bus->isServiceRegistered(m_service).value() ||
                   m_process.state() == QProcess::NotRunning;
        }) ||
        m_process.state() == QProcess::NotRunning) {
        throw cao::Error(QStringLiteral("tandrel-engine did not serve %1: %2")
                             .arg(m_service, m_process.errorString()));
    }
}

cao::EnginePtr EngineProcess::connect() {
    return bus::client::connectEngine({m_service, {}});
}

double EngineProcess::cpuSeconds() const {
    clockid_t clock{};
    timespec t{};
    if (clock_getcpuclockid(pid_t(m_process.processId()), &clock) != 0 ||
        clock_gettime(clock, &t) != 0) {
        throw cao::Error(QStringLiteral("The CPU time of tandrel-engine cannot be read"));
    }
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

}  // namespace bench
