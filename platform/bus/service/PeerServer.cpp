#include "platform/bus/service/PeerServer.h"

#include <QDBusConnection>
#include <QFile>
#include <QStandardPaths>

namespace bus::service {

namespace {

// The user's own directory (made private when it has to be made).
QString listenAddress() {
    return QStringLiteral("unix:dir=") +
           QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

// The socket file of a listening address "unix:path=...,guid=...", if it has one.
QString socketFile(const QString& address) {
    const QString key = QStringLiteral("path=");
    for (const QString& part : address.section(QLatin1Char(':'), 1).split(QLatin1Char(','))) {
        if (part.startsWith(key)) return part.mid(key.size());
    }
    return {};
}

}  // namespace

PeerServer::PeerServer(EngineService& service) : m_service(service), m_server(listenAddress()) {
    if (!m_server.isConnected()) {
        qWarning("tandrel-engine: takes no peer connections, clients call over the bus (%s: %s)",
                 qUtf8Printable(listenAddress()), qUtf8Printable(m_server.lastError().message()));
        return;
    }
    connect(&m_server, &QDBusServer::newConnection, this, &PeerServer::connected);
    m_service.setPeerAddress(m_server.address());
    m_socketFile = socketFile(m_server.address());
}

PeerServer::~PeerServer() {
    m_service.setPeerAddress(QString());
    for (auto& [peer, object] : m_peers) {
        object.reset();
        QDBusConnection::disconnectFromPeer(peer);
    }
    // The server is closed later than this, if at all as the program ends: its socket would
    // be left behind.
    if (!m_socketFile.isEmpty()) QFile::remove(m_socketFile);
}

void PeerServer::connected(const QDBusConnection& connection) {
    const QString peer = connection.name();
    auto object = std::make_unique<BusObject>(m_service, connection, peer);
    try {
        object->registerObjects();
    } catch (const cao::Error& e) {
        qWarning("tandrel-engine: a peer connection was refused: %s", e.what());
        QDBusConnection::disconnectFromPeer(peer);
        return;
    }
    // Queued: the object that tells is let go of here.
    connect(object.get(), &BusObject::peerGone, this, &PeerServer::gone, Qt::QueuedConnection);
    m_peers[peer] = std::move(object);
}

void PeerServer::gone(const QString& peer) {
    m_peers.erase(peer);
    QDBusConnection::disconnectFromPeer(peer);
}

}  // namespace bus::service
