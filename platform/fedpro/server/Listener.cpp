#include "platform/fedpro/server/Listener.h"

#include "platform/fedpro/protocol/MessageType.h"
#include "platform/fedpro/protocol/ProtocolError.h"
#include "platform/fedpro/protocol/Sequence.h"
#include "platform/fedpro/protocol/SessionId.h"
#include "platform/fedpro/server/Connection.h"
#include "platform/fedpro/server/Session.h"
#include "platform/fedpro/server/TlsServer.h"

#include <QTcpSocket>

namespace fedpro::server {

namespace {

using Clock = std::chrono::steady_clock;

bool unavailable(const QTcpServer& server) {
    return server.serverError() == QAbstractSocket::SocketAddressNotAvailableError ||
           server.serverError() == QAbstractSocket::UnsupportedSocketOperationError;
}

}  // namespace

Listener::Listener(std::shared_ptr<links::RunTimeHost> host, ServerOptions options)
    : m_services{std::move(host),
                 options,
                 FomLoader(FomLoader::engineDirectories(options.fomDirectory)),
                 {},
                 nullptr,
                 0} {}

Listener::~Listener() {
    stop();
}

QString Listener::start() {
    const ServerOptions& options = m_services.options;
    // The loopbacks by default: IPv6's may be missing on a machine without it.
    const bool byDefault = options.addresses.empty();
    const std::vector<QHostAddress> addresses =
        byDefault ? std::vector<QHostAddress>{QHostAddress(QHostAddress::LocalHost),
                                              QHostAddress(QHostAddress::LocalHostIPv6)}
                  : options.addresses;
    const QString exposed = exposureRefusal(options);
    if (!exposed.isEmpty()) return exposed;
    if (options.tls()) {
        try {
            m_tls = TlsServer::configurationFrom(options.certificateFile, options.keyFile);
        } catch (const std::exception& e) {
            return QStringLiteral("cannot serve the Federate Protocol over TLS: %1")
                .arg(QString::fromUtf8(e.what()));
        }
    }
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        const QString refused = bind(addresses[i], !byDefault || i == 0);
        if (!refused.isEmpty()) {
            stop();
            return refused;
        }
    }
    try {
        if (!options.passwordFile.isEmpty()) {
            m_services.token = AccessToken::fromPasswordFile(options.passwordFile);
        } else if (options.authenticate) {
            m_services.token = std::make_unique<AccessToken>(m_services.port);
        }
    } catch (const std::exception& e) {
        stop();
        return QStringLiteral("cannot serve the Federate Protocol: %1").arg(e.what());
    }
    if (!options.authenticate) {
        logLine(
            QStringLiteral("the Federate Protocol is served without authentication: any "
                           "process of this machine may join the engine's federations"));
    }
    m_watch.setInterval(kWatchInterval);
    connect(&m_watch, &QTimer::timeout, this, &Listener::watch);
    m_watch.start();
    return {};
}

QString Listener::bind(const QHostAddress& address, bool required) {
    QTcpServer* server =
        m_services.options.tls() ? new TlsServer(m_tls, this) : new QTcpServer(this);
    server->setMaxPendingConnections(static_cast<int>(kMaxSessions));
    // The second loopback takes the port the first was given.
    const std::uint16_t port = m_services.port != 0 ? m_services.port : m_services.options.port;
    if (!server->listen(address, port)) {
        const QString refused = QStringLiteral("cannot serve the Federate Protocol on %1: %2")
                                    .arg(endpointText(address, port), server->errorString());
        const bool optional = !required && unavailable(*server);
        delete server;
        if (optional) {
            logLine(refused + QStringLiteral("; serving on the other loopback only"));
            return {};
        }
        return refused;
    }
    m_services.port = server->serverPort();
    connect(server, &QTcpServer::newConnection, this, [this, server] { accepted(server); });
    m_servers.push_back(server);
    return {};
}

void Listener::stop() {
    m_watch.stop();
    for (QTcpServer* server : m_servers) server->close();
    const std::map<std::uint64_t, Session*> sessions = m_sessions;
    for (const auto& [id, session] : sessions) session->stop();
    for (auto& [connection, since] : m_pending) connection->abort();
    m_pending.clear();
    m_services.token.reset();
}

QString Listener::tokenPath() const {
    return m_services.token ? m_services.token->path() : QString();
}

QStringList Listener::endpoints() const {
    QStringList list;
    for (const QTcpServer* server : m_servers) {
        list << endpointText(server->serverAddress(), server->serverPort());
    }
    return list;
}

std::size_t Listener::fromAddress(const QString& address) const {
    std::size_t count = 0;
    for (const auto& [id, session] : m_sessions) count += session->address() == address ? 1 : 0;
    for (const auto& [connection, since] : m_pending) {
        count += connection->address() == address ? 1 : 0;
    }
    return count;
}

void Listener::accepted(QTcpServer* server) {
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        auto* connection = new Connection(socket, m_services.options.maxPacketSize);
        connection->setParent(this);
        const QString address = connection->address();
        if (m_sessions.size() + m_pending.size() >= kMaxSessions ||
            fromAddress(address) >= kMaxSessionsPerAddress) {
            logLine(QStringLiteral("a Federate Protocol connection from %1 was refused: the "
                                   "server holds as many sessions as it takes (%2 in all, %3 "
                                   "from one address)")
                        .arg(address)
                        .arg(kMaxSessions)
                        .arg(kMaxSessionsPerAddress));
            connection->abort();
            connection->deleteLater();
            continue;
        }
        m_pending.emplace(connection, Clock::now());
        connection->setHandlers(
            [this](Connection& from, Frame&& frame) { firstFrame(from, std::move(frame)); },
            [this](Connection& from, const QString& reason, bool) { pendingGone(from, reason); });
    }
}

void Listener::firstFrame(Connection& connection, Frame&& frame) {
    if (m_pending.erase(&connection) == 0) return;
    const std::optional<MessageType> type = messageTypeOf(frame.header.type);
    if (type == MessageType::NewSession) {
        startSession(connection, frame);
    } else if (type == MessageType::ResumeRequest) {
        resumeSession(connection, frame);
    } else {
        logLine(QStringLiteral("a Federate Protocol connection from %1 was closed: it began "
                               "with a %2, not a new session or resume request")
                    .arg(connection.address(), QLatin1String(type ? messageTypeName(*type) : "?")));
        connection.abort();
        connection.deleteLater();
    }
}

void Listener::refuse(Connection& connection, MessageType type, std::int32_t code,
                      std::uint64_t sessionId, const QString& why) {
    FrameHeader header;
    header.sequence = type == MessageType::ResumeStatus ? kNoSequence : kFirstSequence;
    header.sessionId = sessionId;
    header.lastReceived = kNoSequence;
    header.type = static_cast<std::int32_t>(type);
    const std::string payload = type == MessageType::ResumeStatus
                                    ? int32PairPayload(code, kNoSequence)
                                    : int32Payload(code);
    logLine(QStringLiteral("a Federate Protocol %1 from %2 was refused: %3")
                .arg(QLatin1String(type == MessageType::ResumeStatus ? "resume" : "session"),
                     connection.address(), why));
    connection.write(encodeFrame(header, payload));
    connection.close();
}

void Listener::startSession(Connection& connection, const Frame& frame) {
    std::int32_t version = 0;
    try {
        version = readInt32(frame.payload, 0, "the new session's protocol version");
    } catch (const ProtocolError& e) {
        refuse(connection, MessageType::NewSessionStatus,
               static_cast<std::int32_t>(NewSessionReason::Other), 0, QString::fromUtf8(e.what()));
        return;
    }
    if (version != kProtocolVersion) {
        refuse(connection, MessageType::NewSessionStatus,
               static_cast<std::int32_t>(NewSessionReason::UnsupportedVersion), 0,
               QStringLiteral("it asked for protocol version %1; the server speaks %2")
                   .arg(version)
                   .arg(kProtocolVersion));
        return;
    }
    std::uint64_t id = 0;
    try {
        do {
            id = newSessionId();
        } while (m_sessions.count(id) != 0);
        auto* session = new Session(m_services, id, &connection, frame,
                                    [this](Session& ended) { sessionEnded(ended); });
        session->setParent(this);
        m_sessions.emplace(id, session);
    } catch (const std::exception& e) {
        refuse(connection, MessageType::NewSessionStatus,
               static_cast<std::int32_t>(NewSessionReason::Other), 0, QString::fromUtf8(e.what()));
    }
}

void Listener::resumeSession(Connection& connection, const Frame& frame) {
    const auto it = m_sessions.find(frame.header.sessionId);
    if (it == m_sessions.end() || !it->second->mayResume()) {
        refuse(connection, MessageType::ResumeStatus,
               static_cast<std::int32_t>(ResumeStatusCode::InvalidSession), frame.header.sessionId,
               QStringLiteral("no session that had connected has its id"));
        return;
    }
    try {
        it->second->resume(&connection, frame);
    } catch (const ProtocolError& e) {
        refuse(connection, MessageType::ResumeStatus,
               static_cast<std::int32_t>(ResumeStatusCode::Other), frame.header.sessionId,
               QString::fromUtf8(e.what()));
    }
}

void Listener::pendingGone(Connection& connection, const QString& reason) {
    if (m_pending.erase(&connection) == 0) return;
    // A failed TLS handshake is worth the operator's notice; a client that went is not.
    if (m_services.options.tls()) {
        logLine(QStringLiteral("a Federate Protocol connection from %1 ended before its "
                               "session: %2")
                    .arg(connection.address(), reason));
    }
    connection.deleteLater();
}

void Listener::sessionEnded(Session& session) {
    m_sessions.erase(session.id());
    session.deleteLater();
}

void Listener::watch() {
    const Clock::time_point now = Clock::now();
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        if (now - it->second <= m_services.options.connectTime) {
            ++it;
            continue;
        }
        logLine(QStringLiteral("a Federate Protocol connection from %1 was closed: it asked for "
                               "no session within %2 ms")
                    .arg(it->first->address())
                    .arg(m_services.options.connectTime.count()));
        it->first->abort();
        it->first->deleteLater();
        it = m_pending.erase(it);
    }
}

}  // namespace fedpro::server
