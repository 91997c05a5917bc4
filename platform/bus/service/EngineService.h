#pragma once

#include "cao/Cao.h"
#include "platform/bus/protocol/Wire.h"

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
// engine object of its own (a workspace of its own, as each creation of an engine does);
// the providers behind them are shared, so their controllers meet. Knows nothing of the
// connection: calls come in as messages, answers and signals go out through send.
//
// Each engine object is served on a thread of its own (PerClient), so that one client waiting
// on a slow RTI stalls nobody else; the service's own thread only routes calls and answers
// the manager. Inline serves them on the service's thread, for a caller that wants each
// answer at once.
class EngineService : public QObject {
    Q_OBJECT
public:
    using EngineFactory = std::function<cao::EnginePtr()>;
    using Send = std::function<void(const QDBusMessage&)>;
    enum class Threading { PerClient, Inline };

    // Engine objects one client may hold at once, and all clients together.
    static constexpr size_t kMaxEnginesPerClient = 64;
    static constexpr size_t kMaxEngines = 4096;
    // How long the service, as it ends, waits for its clients' threads to close their
    // controllers; a thread still waiting on an RTI then is left behind.
    static constexpr int kEndWaitMs = 5000;

    // send must be safe to call from any thread.
    EngineService(EngineFactory factory, Send send, Threading threading = Threading::PerClient);
    ~EngineService() override;

    // Answers a method call through send: at once for the manager and inline engine objects,
    // later from the client's thread otherwise.
    void receive(const QDBusMessage& call);
    // The answer to a method call, at once: its reply or an error with a description. Only
    // for an inline service.
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
    QString create(const QString& owner);
    void close(const QString& path);
    void reap();

    EngineFactory m_factory;
    Send m_send;
    Threading m_threading;
    unsigned m_nextEngine = 0;
    std::map<QString, std::unique_ptr<Held>> m_engines;   // by path
    std::vector<std::unique_ptr<ClientThread>> m_ending;  // closed, their threads still ending
};

}  // namespace bus::service
