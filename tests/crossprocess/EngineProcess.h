#pragma once

// tandrel-engine processes of a test's own, each under a bus name of its own and stopped by
// its PID however the test ends: those the test starts, and those its clients start.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

namespace crossprocess {

// A bus name no other test's engine serves.
QString ownService(const QString& stem);

// The environment of a client process on the engine at service: the system's, without the
// provider's variables.
QProcessEnvironment clientEnvironment(const QString& service);

// The PID of the process serving service now; 0 when nothing serves it.
qint64 servingPid(const QString& service);

// A tandrel-engine this test started; killed by its PID at the end if it still runs.
class EngineProcess {
public:
    // environment: the engine's; a client's on service when none is given.
    explicit EngineProcess(const QString& service, QProcessEnvironment environment = {});
    ~EngineProcess();
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    // Waits until it serves its name; false when it ended or the bound passed first.
    bool waitServing();
    qint64 pid() const { return m_process.processId(); }
    // Ends it as a crash or the OOM killer would: SIGKILL, and a bounded wait for the end.
    bool killHard();

private:
    QProcess m_process;
    QString m_service;
};

// Stops, by its PID, whatever engine serves service when it goes: the one a client started.
class EngineStopper {
public:
    explicit EngineStopper(QString service) : m_service(std::move(service)) {}
    ~EngineStopper();
    EngineStopper(const EngineStopper&) = delete;
    EngineStopper& operator=(const EngineStopper&) = delete;

private:
    QString m_service;
};

}  // namespace crossprocess
