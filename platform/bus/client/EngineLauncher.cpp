#include "platform/bus/client/EngineLauncher.h"

#include "cao/Error.h"
#include "platform/bus/protocol/Names.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <unistd.h>

namespace bus::client {

namespace {

// How long a started engine may take to appear on the bus, and how often to look.
constexpr int kStartTimeoutMs = 10000;
constexpr int kStartPollMs = 20;

bool serving(QDBusConnection& connection, const QString& service) {
    return connection.interface()->isServiceRegistered(service).value();
}

// The bus itself starts the engine when its service file is installed.
bool activate(QDBusConnection& connection, const QString& service) {
    const QDBusReply<void> reply = connection.interface()->startService(service);
    return reply.isValid() && serving(connection, service);
}

void start(QDBusConnection& connection, const EngineLocation& location) {
    if (serving(connection, location.service) || activate(connection, location.service)) return;
    QString program;
    for (const QString& candidate : location.programs) {
        if (!candidate.isEmpty() && QFileInfo(candidate).isExecutable()) {
            program = candidate;
            break;
        }
    }
    if (program.isEmpty()) {
        throw cao::Error(QStringLiteral("Nothing serves %1 on the session bus and the engine "
                                        "program was not found (looked for: %2)")
                             .arg(location.service, location.programs.join(QStringLiteral(", "))));
    }
    // The engine outlives this program: it must not hold its terminal or output pipes.
    QProcess engine;
    engine.setProgram(program);
    engine.setArguments({QStringLiteral("--service"), location.service});
    engine.setStandardInputFile(QProcess::nullDevice());
    engine.setStandardOutputFile(engineLogPath(), QIODevice::Append);
    engine.setStandardErrorFile(engineLogPath(), QIODevice::Append);
    if (!engine.startDetached()) {
        throw cao::Error(QStringLiteral("The engine program %1 could not be started: %2")
                             .arg(program, engine.errorString()));
    }
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (!serving(connection, location.service)) {
        if (deadline.hasExpired()) {
            throw cao::Error(QStringLiteral("The engine program %1 was started but %2 did not "
                                            "appear on the session bus within %3 s")
                                 .arg(program, location.service)
                                 .arg(kStartTimeoutMs / 1000));
        }
        QThread::msleep(kStartPollMs);
    }
}

}  // namespace

QString engineLogPath() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString directory = runtime.isEmpty() ? QDir::tempPath() : runtime;
    return QStringLiteral("%1/tandrel-engine-%2.log").arg(directory).arg(::getuid());
}

EngineLocation EngineLocation::standard() {
    EngineLocation location;
    location.service = qEnvironmentVariable(kServiceVariable, QLatin1String(kService));
    const QString beside = QCoreApplication::instance() != nullptr
                               ? QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                                     QLatin1String(kEngineProgram)
                               : QString();
    location.programs = {qEnvironmentVariable(kProgramVariable), beside,
                         QStringLiteral(TANDREL_ENGINE_BUILD_PROGRAM),
                         QStringLiteral(TANDREL_ENGINE_INSTALLED_PROGRAM)};
    location.programs.removeAll(QString());
    return location;
}

QString launchEngine(QDBusConnection& connection, const EngineLocation& location) {
    start(connection, location);
    const QDBusReply<QString> owner = connection.interface()->serviceOwner(location.service);
    if (!owner.isValid() || owner.value().isEmpty()) {
        throw cao::Error(QStringLiteral("The engine serving %1 left the session bus as it was "
                                        "reached: %2")
                             .arg(location.service, owner.error().message()));
    }
    return owner.value();
}

}  // namespace bus::client
