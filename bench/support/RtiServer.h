#pragma once

// One rtinode for the whole run of the benchmarks that need an RTI server, started on a free
// loopback port the first time it is asked for and stopped by its PID when the run ends.

#include <QProcess>
#include <QString>

#include <string>

namespace bench {

class RtiServer {
public:
    RtiServer() = default;
    RtiServer(const RtiServer&) = delete;
    RtiServer& operator=(const RtiServer&) = delete;
    ~RtiServer();

    // "rti://127.0.0.1:<port>"; empty when no server could be started, and error() says why.
    // The program is TANDREL_BENCH_RTINODE, or the one found at configure time.
    const QString& address();
    const std::string& error() const { return m_error; }

private:
    QProcess m_process;
    QString m_address;
    std::string m_error;
    bool m_tried = false;
};

// The run's server.
RtiServer& rtiServer();

}  // namespace bench
