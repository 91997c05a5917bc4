#include "EngineProcess.h"

#include "cao/ProviderContract.h"
#include "platform/bus/protocol/Names.h"
#include "support/MessageRecorder.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>

#include <csignal>

namespace crossprocess {

namespace {

constexpr int kStopBoundMs = 10000;

bool serving(const QString& service) {
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(service).value();
}

bool signalAndWait(qint64 pid, const QString& service, int signal) {
    ::kill(static_cast<pid_t>(pid), signal);
    return peertest::waitFor([&] { return !serving(service); }, kStopBoundMs);
}

}  // namespace

QString ownService(const QString& stem) {
    static int made = 0;
    return QStringLiteral("io.tandrel.Engine1.Test.%1.p%2n%3")
        .arg(stem)
        .arg(QCoreApplication::applicationPid())
        .arg(++made);
}

QProcessEnvironment clientEnvironment(const QString& service) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : environment.keys()) {
        if (name.startsWith(QLatin1String(cao::contract::environment::kPrefix))) {
            environment.remove(name);
        }
    }
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("TANDREL_ENGINE"), QStringLiteral("bus"));
    environment.insert(QLatin1String(bus::kServiceVariable), service);
    environment.insert(QLatin1String(bus::kProgramVariable), QStringLiteral(TANDREL_ENGINE_PATH));
    return environment;
}

qint64 servingPid(const QString& service) {
    const QDBusReply<uint> pid = QDBusConnection::sessionBus().interface()->servicePid(service);
    return pid.isValid() ? qint64(pid.value()) : 0;
}

EngineProcess::EngineProcess(const QString& service, QProcessEnvironment environment)
    : m_service(service) {
    m_process.setProcessEnvironment(environment.isEmpty() ? clientEnvironment(service)
                                                          : environment);
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
    m_process.start(QStringLiteral(TANDREL_ENGINE_PATH), {QStringLiteral("--service"), service});
}

EngineProcess::~EngineProcess() {
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.kill();
    m_process.waitForFinished(kStopBoundMs);
}

bool EngineProcess::waitServing() {
    return peertest::waitFor(
               [&] { return serving(m_service) || m_process.state() == QProcess::NotRunning; }) &&
           m_process.state() != QProcess::NotRunning;
}

bool EngineProcess::killHard() {
    m_process.kill();
    return m_process.waitForFinished(kStopBoundMs);
}

EngineStopper::~EngineStopper() {
    const qint64 pid = servingPid(m_service);
    if (pid == 0) return;
    if (!signalAndWait(pid, m_service, SIGTERM)) signalAndWait(pid, m_service, SIGKILL);
}

}  // namespace crossprocess
