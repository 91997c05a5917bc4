#pragma once

#include "cao/Cao.h"

#include <QProcess>
#include <QString>

#include <benchmark/benchmark.h>

namespace bench {

// How clients reach the engine: over their channel beside a peer connection, as they do when
// they can; over the peer connection alone; or through the bus daemon.
enum class Path { Channel, Peer, Bus };

Path pathArgument(int64_t argument);
// Names the path a case's figures took.
void label(benchmark::State& state, Path path);

// A tandrel-engine process under a bus name of its own that serves clients the path given,
// stopped by its PID.
class EngineProcess {
public:
    explicit EngineProcess(Path path = Path::Channel);
    ~EngineProcess();
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    const QString& service() const noexcept { return m_service; }
    // Waits for the engine to serve its name; throws cao::Error saying why it does not.
    void awaitService();
    cao::EnginePtr connect();
    // CPU time the process has taken so far, from the kernel's exact account: the clock ticks
    // of /proc/<pid>/stat (10 ms) are too coarse for a share below half a percent.
    double cpuSeconds() const;

private:
    QString m_service;
    QProcess m_process;
};

}  // namespace bench
