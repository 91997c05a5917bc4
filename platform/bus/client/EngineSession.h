#pragma once

#include "cao/Variant.h"
#include "platform/bus/client/Channel.h"
#include "platform/bus/client/EngineLauncher.h"
#include "platform/engine/ClientContext.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QString>
#include <QVariantList>

#include <memory>

namespace bus::client {

// Packed: messages come as PackedMessages, far cheaper in a flood; Structured: as Messages,
// which scripts read.
enum class MessageFormat { Packed, Structured };

// A client's engine object in one engine process. Calls and messages go over a peer
// connection to that process when it offers one, which skips the bus daemon's hop each way,
// or else to its unique bus name, never to the name every engine serves: no path of it can
// reach another engine. When that process leaves the bus or the peer connection drops,
// however it ended, ended() is emitted. Beside a peer connection, a client that takes packed
// batches hands its engine object a channel of its own for a variable's values and the
// batches; when the engine takes none, or it closes, those go over D-Bus too.
class EngineSession : public QObject {
    Q_OBJECT
public:
    // Finds or starts the engine and creates an engine object in it that opens controllers
    // for the client's context. connectionName names the bus connection, and the peer
    // connection after it. Throws cao::Error saying why there is none.
    EngineSession(QDBusConnection bus, const QString& connectionName,
                  const EngineLocation& location, MessageFormat format,
                  const engine::ClientContext& client);
    // The engine closes what the client left open as the connection drops.
    ~EngineSession() override;
    EngineSession(const EngineSession&) = delete;
    EngineSession& operator=(const EngineSession&) = delete;

    const QString& owner() const noexcept { return m_owner; }
    const QString& path() const noexcept { return m_path; }
    bool onPeerConnection() const noexcept { return !m_peerName.isEmpty(); }
    bool onChannel() const noexcept { return m_channel && m_channel->open(); }
    // Hands the engine object a channel, when it takes packed batches over a peer connection
    // that can carry descriptors; batches on it are unpacked with acknowledgerFor and handed to
    // deliver on this thread. Without one, or when the engine takes none, D-Bus carries all.
    void openChannel(const Acknowledger& acknowledgerFor, const BatchReader::Deliver& deliver);
    void closeChannel() { m_channel.reset(); }
    // Whether the engine's process is on the bus and reachable now; asks the bus.
    bool present() const;

    // Calls member on the object at path of this engine. Throws as callEngine in BusCall.h.
    QVariantList call(const QString& path, const char* interface, const char* member,
                      const QVariantList& arguments = {});
    // A variable's value, over the channel when there is one. Throws as call.
    cao::Variant getValue(const QString& path);
    void putValue(const QString& path, const cao::Variant& value);

signals:
    void ended();
    // A batch of a controller's messages, as the engine sent it.
    void messages(const QDBusMessage& signal);
    void packedMessages(const QDBusMessage& signal);

private slots:
    void onMessages(const QDBusMessage& signal) { emit messages(signal); }
    void onPackedMessages(const QDBusMessage& signal) { emit packedMessages(signal); }
    void onPeerDisconnected() { emit ended(); }

private:
    void connectPeer(const QString& connectionName);
    void listen(bool on);

    QDBusConnection m_bus;
    QDBusConnection m_calls;  // the peer connection, or the bus
    QDBusServiceWatcher m_watcher;
    QString m_owner;
    QString m_path;
    QString m_peerName;  // empty when calls go over the bus
    bool m_packed = false;
    std::unique_ptr<Channel> m_channel;
};

}  // namespace bus::client
