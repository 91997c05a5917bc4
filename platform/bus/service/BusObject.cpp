#include "platform/bus/service/BusObject.h"

#include "platform/bus/service/Introspection.h"

#include "platform/bus/protocol/Names.h"

namespace bus::service {

namespace {
constexpr const char* kIntrospectable = "org.freedesktop.DBus.Introspectable";
constexpr const char* kNodeStart =
    "<!DOCTYPE node PUBLIC \"-//freedesktop//DTD D-BUS Object Introspection 1.0//EN\"\n"
    " \"http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd\">\n<node>";
}  // namespace

BusObject::BusObject(EngineService& service, QDBusConnection connection)
    : m_service(service),
      m_connection(std::move(connection)),
      m_watcher(QString(), m_connection, QDBusServiceWatcher::WatchForUnregistration) {
    // Peer clients are not on the bus; their connections tell when they go.
    connect(&m_service, &EngineService::clientArrived, this, [this](const QString& name) {
        if (name.startsWith(QLatin1Char(':'))) m_watcher.addWatchedService(name);
    });
    connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered, this,
            [this](const QString& name) {
                m_watcher.removeWatchedService(name);
                m_service.clientGone(name);
            });
}

BusObject::BusObject(EngineService& service, QDBusConnection connection, QString peer)
    : m_service(service),
      m_connection(std::move(connection)),
      m_peer(std::move(peer)),
      m_channel{m_peer,
                [connection = m_connection](const QDBusMessage& out) { connection.send(out); },
                false} {
    m_connection.connect(QString(), QLatin1String(kLocalPath), QLatin1String(kLocalInterface),
                         QLatin1String(kDisconnectedSignal), this, SLOT(peerDisconnected()));
}

void BusObject::peerDisconnected() {
    m_service.clientGone(m_peer);
    emit peerGone(m_peer);
}

BusObject::~BusObject() {
    m_connection.unregisterObject(QLatin1String(bus::kRootPath));
}

void BusObject::registerObjects() {
    if (!m_connection.registerVirtualObject(QLatin1String(bus::kRootPath), this,
                                            QDBusConnection::SubPath)) {
        throw cao::Error(
            QStringLiteral("The engine's objects cannot be registered at %1: %2")
                .arg(QLatin1String(bus::kRootPath), m_connection.lastError().message()));
    }
}

bool BusObject::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    if (message.type() != QDBusMessage::MethodCallMessage) return false;
    if (message.interface() == QLatin1String(kIntrospectable) &&
        message.member() == QLatin1String("Introspect")) {
        connection.send(message.createReply(QString(QLatin1String(kNodeStart) +
                                                    introspectionOf(message.path()) +
                                                    QLatin1String("</node>"))));
        return true;
    }
    if (m_peer.isEmpty()) {
        m_service.receive(message);
    } else {
        m_service.receive(message, m_channel);
    }
    return true;
}

QString BusObject::introspect(const QString& path) const {
    return introspectionOf(path);
}

}  // namespace bus::service
