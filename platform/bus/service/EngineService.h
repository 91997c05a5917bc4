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
#include <vector>

namespace bus::service {

class ClientThread;
class EngineObject;

// The engine's objects for every client on the bus. Each CreateEngine gives the caller an
// engine object of its own (a workspace of its own, as each creation of an engine does),
// opening controllers for the client context the caller handed over (CreateEngineWithContext)
// or the engine process's own; the providers behind them are shared, so their controllers
// meet. Knows nothing of the connection: calls come in as messages, answers and signals go
// out through send.
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

    // send must be safe to call from any thread.
    EngineService(EngineFactory factory, Send send, ThreadChoice ownThread = everyClient);
    ~EngineService() override;

    // Answers a method call through send: at once for the manager and inline engine objects,
    // later from the client's thread otherwise.
    void receive(const QDBusMessage& call);
    // The answer to a method call, at once: its reply or an error with a description. Only
    // for engine objects served on the service's thread.
    QDBusMessage answer(const QDBusMessage& call);

    // A bus name left the bus: its engine objects close.
    void clientGone(const QString& busName);
    size_t clientCount() const noexcept { return m_engines.size(); }

signals:
    // A client's first engine object was made; the service should watch that name.
    void clientArrived(const QString& busName);
    // The last engine object closed.
    void idle();

private:
    struct Held;

    // Answers the manager and closes engine objects; for any other call sets held to the
    // engine object that answers it. Throws for an unknown path.
    QVariantList route(const QDBusMessage& call, Held*& held);
    QVariantList handleManager(const QDBusMessage& call);
    QString create(const QString& owner, const engine::ClientContext& client);
    void close(const QString& path);
    void reap();

    EngineFactory m_factory;
    Send m_send;
    ThreadChoice m_ownThread;
    unsigned m_nextEngine = 0;
    std::map<QString, std::unique_ptr<Held>> m_engines;   // by path
    std::vector<std::unique_ptr<ClientThread>> m_ending;  // closed, their threads still ending
};

}  // namespace bus::service
