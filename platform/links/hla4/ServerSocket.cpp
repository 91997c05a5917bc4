#include "platform/links/hla4/ServerSocket.h"

#include "platform/links/ThreadedLink.h"

#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QStringList>
#include <QTcpSocket>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <stdexcept>
#include <utility>

namespace links::hla4 {

namespace {

// Qt's waits take milliseconds as int, and -1 means for ever: never passed on.
int msecs(std::chrono::milliseconds bound) {
    if (bound.count() <= 0) return 0;
    return bound.count() > INT_MAX ? INT_MAX : static_cast<int>(bound.count());
}

std::unique_ptr<QSslSocket> tlsSocket(const ServerAddress& server, const std::string& caFile) {
    if (!QSslSocket::supportsSsl()) {
        throw std::runtime_error(
            "tls:// cannot be used here: Qt's TLS backend could not be "
            "loaded (install OpenSSL's library), or use tcp://");
    }
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    if (!caFile.empty()) {
        const QList<QSslCertificate> authorities =
            QSslCertificate::fromPath(QString::fromStdString(caFile), QSsl::Pem);
        if (authorities.isEmpty()) {
            throw std::runtime_error("the certificate file " + caFile +
                                     " holds no PEM certificate to trust the server at " +
                                     server.text() + " by");
        }
        config.addCaCertificates(authorities);
    }
    // Never unverified: the server's name and chain are checked, whatever the defaults say.
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    auto socket = std::make_unique<QSslSocket>();
    socket->setSslConfiguration(config);
    socket->setPeerVerifyName(QString::fromStdString(server.host));
    return socket;
}

std::string handshakeFailure(QSslSocket& socket) {
    QStringList reasons;
    for (const QSslError& error : socket.sslHandshakeErrors()) reasons << error.errorString();
    if (reasons.isEmpty()) reasons << socket.errorString();
    return reasons.join(QStringLiteral("; ")).toStdString();
}

}  // namespace

ServerSocket::ServerSocket(ServerAddress server, std::string caFile)
    : m_server(std::move(server)), m_caFile(std::move(caFile)) {}

ServerSocket::~ServerSocket() {
    if (m_socket) m_socket->abort();
}

void ServerSocket::connect(std::chrono::milliseconds bound) {
    const QString host = QString::fromStdString(m_server.host);
    const std::string where = "the server at " + m_server.text();
    if (m_server.transport == Transport::Tls) {
        auto socket = tlsSocket(m_server, m_caFile);
        QSslSocket& tls = *socket;
        m_socket = std::move(socket);
        tls.connectToHostEncrypted(host, m_server.port);
        if (!tls.waitForEncrypted(msecs(bound))) {
            if (tls.state() == QAbstractSocket::ConnectedState &&
                tls.sslHandshakeErrors().isEmpty()) {
                throw std::runtime_error(where + " did not complete the TLS handshake within " +
                                         secondsText(bound));
            }
            throw std::runtime_error(where +
                                     " could not be reached over TLS: " + handshakeFailure(tls));
        }
    } else {
        m_socket = std::make_unique<QTcpSocket>();
        m_socket->connectToHost(host, m_server.port);
        if (!m_socket->waitForConnected(msecs(bound))) {
            if (m_socket->error() == QAbstractSocket::SocketTimeoutError) {
                throw std::runtime_error(where + " did not accept the connection within " +
                                         secondsText(bound));
            }
            throw std::runtime_error(
                where + " could not be reached: " + m_socket->errorString().toStdString());
        }
    }
    // Calls wait for their answers: nothing may sit in the system waiting for more to send.
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
}

void ServerSocket::send(const std::string& bytes) {
    if (!m_socket || m_broken) return;
    m_socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
    m_socket->flush();
    noteBroken();
}

std::string ServerSocket::receive(std::chrono::milliseconds wait, std::size_t limit) {
    if (!m_socket || m_broken || limit == 0) return {};
    if (m_socket->bytesAvailable() == 0) {
        if (m_socket->bytesToWrite() > 0) m_socket->flush();
        m_socket->waitForReadyRead(msecs(wait));
    }
    const qint64 most =
        limit > static_cast<std::size_t>(INT64_MAX) ? INT64_MAX : static_cast<qint64>(limit);
    const QByteArray bytes = m_socket->read(std::min(most, m_socket->bytesAvailable()));
    if (m_socket->bytesAvailable() == 0) noteBroken();
    return bytes.toStdString();
}

std::size_t ServerSocket::unsent() const {
    return m_socket ? static_cast<std::size_t>(m_socket->bytesToWrite()) : 0;
}

bool ServerSocket::broken() const {
    return m_broken;
}

std::string ServerSocket::fault() const {
    return m_fault;
}

void ServerSocket::close(std::chrono::milliseconds bound) {
    if (!m_socket) return;
    if (!m_broken && m_socket->bytesToWrite() > 0) m_socket->waitForBytesWritten(msecs(bound));
    m_socket->abort();
    m_socket.reset();
}

void ServerSocket::noteBroken() {
    if (m_broken || !m_socket) return;
    // Whatever arrived before the end is still read; only what follows fails.
    if (m_socket->state() == QAbstractSocket::ConnectedState) return;
    m_broken = true;
    m_fault = m_socket->error() == QAbstractSocket::RemoteHostClosedError
                  ? "the server closed the connection"
                  : m_socket->errorString().toStdString();
}

int ServerSocket::descriptor() const {
    return m_socket && !m_broken ? static_cast<int>(m_socket->socketDescriptor()) : -1;
}

}  // namespace links::hla4
