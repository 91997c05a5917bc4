#include "platform/bus/client/EngineSession.h"

#include "platform/bus/client/BusCall.h"
#include "platform/bus/client/Replies.h"
#include "platform/bus/protocol/Names.h"

#include "platform/bus/protocol/Wire.h"

#include <QDBusConnectionInterface>
#include <QDBusUnixFileDescriptor>
#include <QMap>

#include <atomic>

namespace bus::client {

namespace {

QVariant environmentArgument(const engine::ClientContext& client) {
    QMap<QString, QString> environment;
    for (const auto& [name, value] : client.environment()) environment.insert(name, value);
    return QVariant::fromValue(environment);
}

}  // namespace

EngineSession::EngineSession(QDBusConnection bus, const QString& connectionName,
                             const EngineLocation& location, MessageFormat format,
                             const engine::ClientContext& client)
    : m_bus(std::move(bus)),
      m_calls(m_bus),
      m_watcher(QString(), m_bus, QDBusServiceWatcher::WatchForUnregistration) {
    m_owner = launchEngine(m_bus, location);
    // Watched before the engine object exists: an end after this is always told.
    m_watcher.addWatchedService(m_owner);
    connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, &EngineSession::ended);
    connectPeer(connectionName);
    try {
        m_path = pathOf(call(QLatin1String(kRootPath), kManagerInterface, "CreateEngineWithContext",
                             {environmentArgument(client), client.workingDirectory()}));
        listen(true);
        if (format == MessageFormat::Packed) {
            call(m_path, kEngineInterface, "UsePackedMessages", {true});
            m_packed = true;
        }
    } catch (...) {
        if (onPeerConnection()) QDBusConnection::disconnectFromPeer(m_peerName);
        throw;
    }
}

EngineSession::~EngineSession() {
    m_channel.reset();
    listen(false);
    if (onPeerConnection()) QDBusConnection::disconnectFromPeer(m_peerName);
}

void EngineSession::connectPeer(const QString& connectionName) {
    QString address;
    try {
        address =
            callEngine(m_bus, m_owner, QLatin1String(kRootPath), kManagerInterface, "PeerAddress")
                .value(0)
                .toString();
    } catch (const cao::Error&) {
        return;  // an engine that takes none, or none this client can use: the bus it is
    }
    static std::atomic<int> peers{0};
    const QString name = QStringLiteral("%1-peer-%2").arg(connectionName).arg(++peers);
    QDBusConnection peer = QDBusConnection::connectToPeer(address, name);
    if (!peer.isConnected()) {
        qWarning(
            "tandrel: the engine's peer connection %s cannot be used, calling over the "
            "bus: %s",
            qUtf8Printable(address), qUtf8Printable(peer.lastError().message()));
        QDBusConnection::disconnectFromPeer(name);
        return;
    }
    m_calls = peer;
    m_peerName = name;
}

void EngineSession::listen(bool on) {
    const auto subscribe = [&](const QString& sender, const char* path, const char* interface,
                               const char* signal, const char* slot) {
        if (on) {
            m_calls.connect(sender, QLatin1String(path), QLatin1String(interface),
                            QLatin1String(signal), this, slot);
        } else {
            m_calls.disconnect(sender, QLatin1String(path), QLatin1String(interface),
                               QLatin1String(signal), this, slot);
        }
    };
    // Every controller's batches arrive through one subscription; the path says whose. On
    // the peer connection only the engine can send, and the connection tells of its end.
    const QString sender = onPeerConnection() ? QString() : m_owner;
    subscribe(sender, "", kControllerInterface, kMessagesSignal, SLOT(onMessages(QDBusMessage)));
    subscribe(sender, "", kControllerInterface, kPackedMessagesSignal,
              SLOT(onPackedMessages(QDBusMessage)));
    if (onPeerConnection()) {
        subscribe(QString(), kLocalPath, kLocalInterface, kDisconnectedSignal,
                  SLOT(onPeerDisconnected()));
    }
}

void EngineSession::openChannel(const Acknowledger& acknowledgerFor,
                                const BatchReader::Deliver& deliver) {
    // Through the bus daemon a call takes its hop anyway; the channel is the peer's.
    if (!m_packed || !onPeerConnection() ||
        !(m_calls.connectionCapabilities() & QDBusConnection::UnixFileDescriptorPassing)) {
        return;
    }
    QString why;
    const auto pair = [&why]() -> std::optional<channel::SocketPair> {
        try {
            return channel::makeSocketPair();
        } catch (const cao::Error& e) {
            why = e.description();
            return std::nullopt;
        }
    };
    const std::optional<channel::SocketPair> calls = pair();
    const std::optional<channel::SocketPair> batches = calls ? pair() : std::nullopt;
    if (!calls || !batches) {
        if (calls) {
            channel::closeSocket(calls->ours);
            channel::closeSocket(calls->theirs);
        }
        qWarning("tandrel: %s; calls go over D-Bus", qUtf8Printable(why));
        return;
    }
    auto opened = std::make_unique<Channel>(calls->ours, batches->ours, acknowledgerFor, deliver);
    try {
        // The message holds copies of the descriptors; the engine keeps its own.
        call(m_path, kEngineInterface, "OpenChannel",
             {QVariant::fromValue(QDBusUnixFileDescriptor(calls->theirs)),
              QVariant::fromValue(QDBusUnixFileDescriptor(batches->theirs))});
    } catch (const cao::Error& e) {
        // An engine told to serve over D-Bus only says so; anything else is worth a word.
        if (e.code() != cao::code::NotImplemented) {
            qWarning("tandrel: the engine took no channel, calls go over D-Bus: %s", e.what());
        }
        opened.reset();
    }
    channel::closeSocket(calls->theirs);
    channel::closeSocket(batches->theirs);
    m_channel = std::move(opened);
}

cao::Variant EngineSession::getValue(const QString& path) {
    if (onChannel()) {
        if (std::optional<cao::Variant> value = m_channel->call(channel::Member::GetValue, path)) {
            return *value;
        }
        throw cao::Error(QStringLiteral("The engine answered no value"));
    }
    const QVariantList reply = call(path, kVariableInterface, "GetValue");
    if (reply.isEmpty()) throw cao::Error(QStringLiteral("The engine answered no value"));
    return fromWire(wireValueArgument(reply[0]));
}

void EngineSession::putValue(const QString& path, const cao::Variant& value) {
    if (onChannel()) {
        try {
            m_channel->call(channel::Member::PutValue, path, value);
            return;
        } catch (const Channel::TooLarge&) {
            // D-Bus takes it to the engine, which refuses it as it refuses any such value.
        }
    }
    call(path, kVariableInterface, "PutValue", valueArgument(value));
}

bool EngineSession::present() const {
    if (onPeerConnection() && !m_calls.isConnected()) return false;
    return m_bus.interface()->isServiceRegistered(m_owner).value();
}

QVariantList EngineSession::call(const QString& path, const char* interface, const char* member,
                                 const QVariantList& arguments) {
    // A peer connection has nobody to address but the engine.
    return callEngine(m_calls, onPeerConnection() ? QString() : m_owner, path, interface, member,
                      arguments);
}

}  // namespace bus::client
