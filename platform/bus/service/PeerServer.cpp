#include "platform/bus/service/PeerServer.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>

namespace bus::service {

namespace {

QString listenAddress() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString directory =
        !runtime.isEmpty() && QDir(runtime).exists() ? runtime : QDir::tempPath();
    return QStringLiteral("unix:dir=") + directory;
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

QString PeerServer::address() const {
    return m_server.isConnected() ? m_server.address() : QString();
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
