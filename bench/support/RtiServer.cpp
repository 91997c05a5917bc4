#include "bench/support/RtiServer.h"

#include "bench/support/BenchSupport.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace bench {

namespace {

bool acceptsConnections(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    const bool connected =
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

int unusedLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    if (fd >= 0) ::close(fd);
    return port;
}

}  // namespace

RtiServer::~RtiServer() {
    stopProcess(m_process);
}

const QString& RtiServer::address() {
    if (m_tried) return m_address;
    m_tried = true;
    QString program = qEnvironmentVariable("TANDREL_BENCH_RTINODE");
    if (program.isEmpty()) program = QStringLiteral(TANDREL_RTINODE_PATH);
    if (program.isEmpty()) {
        m_error = "no rtinode: set TANDREL_BENCH_RTINODE";
        return m_address;
    }
    const int port = unusedLoopbackPort();
    const QString address = QStringLiteral("rti://127.0.0.1:%1").arg(port);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(program, {"-i", address});
    if (!m_process.waitForStarted(kBoundMs)) {
        m_error = "rtinode did not start: " + m_process.errorString().toStdString();
        return m_address;
    }
    if (!pumpUntil([&] {
            return acceptsConnections(port) || m_process.state() == QProcess::NotRunning;
        }) ||
        m_process.state() == QProcess::NotRunning) {
        m_error = "rtinode did not listen: " + m_process.readAll().toStdString();
        return m_address;
    }
    m_address = address;
    return m_address;
}

RtiServer& rtiServer() {
    static RtiServer instance;
    return instance;
}

}  // namespace bench
