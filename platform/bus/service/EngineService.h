#pragma once

#include "cao/Cao.h"
#include "platform/bus/protocol/Wire.h"
#include "platform/engine/ClientContext.h"

#include <QDBusMessage>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace bus::service {

class ClientThread;
class EngineObject;

// The engine's objects for every client on the bus. Each CreateEngine gives the caller an
// engine object of its own (a workspace of its own, as each creation of an engine does),
// opening controllers for the client context the caller handed over (CreateEngineWithContext)
// or the engine process's own; the providers behind them are shared, so their controllers
// meet. Knows nothing of connections: calls come in as messages with the channel they came
// on, and answers and signals go out through that channel's send. A client's calls come over
// the bus, or over a peer connection of its own to this process, which skips the bus daemon's
// hop each way.
//
// An engine object whose client's controllers may wait on a network (ownThread says which)
// is served on a thread of its own, so that one client waiting on a slow RTI stalls nobody
// else; the others are served on the service's own thread, which never waits, and so answer
// without a hop between threads.
class EngineService : public QObject {
    Q_OBJECT
public:
    using EngineFactory = std::function<cao::EnginePtr(const engine::ClientContext& client)>;
    using Send = std::function<void(const QDBusMessage&)>;
    // Whether the engine object of a client with this context gets a thread of its own.
    using ThreadChoice = std::function<bool(const engine::ClientContext& client)>;
    static bool everyClient(const engine::ClientContext&) { return true; }
    static bool noClient(const engine::ClientContext&) { return false; }

    // Engine objects one client may hold at once, and all clients together.
    static constexpr size_t kMaxEnginesPerClient = 64;
    static constexpr size_t kMaxEngines = 4096;
    // How long the service, as it ends, waits for its clients' threads to close their
    // controllers; a thread still waiting on an RTI then is left behind.
    static constexpr int kEndWaitMs = 5000;

    // Where a call came from, and so where its answer and the messages of the engine objects
    // it creates go.
    struct Channel {
        QString client;     // the caller's unique bus name, or its peer connection's name
        Send send;          // safe to call from any thread
        bool onBus = true;  // signals on the bus are addressed to the client
    };

    // send, for calls over the bus, must be safe to call from any thread.
    EngineService(EngineFactory factory, Send send, ThreadChoice ownThread = everyClient);
    ~EngineService() override;

    // Answers a method call through its channel's send: at once for the manager and inline
    // engine objects, later from the client's thread otherwise. Without a channel the call
    // came over the bus.
    void receive(const QDBusMessage& call);
    void receive(const QDBusMessage& call, const Channel& from);
    // The answer to a method call over the bus, at once: its reply or an error with a
    // description. Only for engine objects served on the service's thread.
    QDBusMessage answer(const QDBusMessage& call);

    // The address clients may connect to this process at, handed out by PeerAddress.
    void setPeerAddress(const QString& address) { m_peerAddress = address; }
    // Whether engine objects made from now on take their clients' channels (OpenChannel).
    void setChannelsAllowed(bool allowed) { m_channelsAllowed = allowed; }

    // A client (a bus name, or a peer connection) has gone: its engine objects close.
    void clientGone(const QString& client);
    size_t clientCount() const noexcept { return m_engines.size(); }

signals:
    // A client's first engine object was made; the service should watch that client.
    void clientArrived(const QString& client);
    // The last engine object closed.
    void idle();

private:
    struct Held;

    // Answers the manager and closes engine objects; for any other call sets held to the
    // engine object that answers it. Throws for an unknown path.
    QVariantList route(const QDBusMessage& call, const Channel& from, Held*& held);
    QVariantList handleManager(const QDBusMessage& call, const Channel& from);
    QString create(const Channel& owner, const engine::ClientContext& client);
    Channel busChannel(const QDBusMessage& call) const;
    // lost: the owner is gone without closing it, and its controllers are lost for this.
    void close(const QString& path, const std::optional<QString>& lost = std::nullopt);
    void reap();

    EngineFactory m_factory;
    Send m_send;
    ThreadChoice m_ownThread;
    QString m_peerAddress;
    bool m_channelsAllowed = true;
    unsigned m_nextEngine = 0;
    std::map<QString, std::unique_ptr<Held>> m_engines;   // by path
    std::vector<std::unique_ptr<ClientThread>> m_ending;  // closed, their threads still ending
};

}  // namespace bus::service
