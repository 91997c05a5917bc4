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

namespace bus::service {

class EngineObject;

// The engine's objects for every client on the bus. Each CreateEngine gives the caller an
// engine object of its own (a workspace of its own, as each creation of an engine does),
// opening controllers for the client context the caller handed over (CreateEngineWithContext)
// or the engine process's own; the providers behind them are shared, so their controllers
// meet. Knows nothing of the connection: calls come in as messages, answers and signals go
// out through send.
class EngineService : public QObject {
    Q_OBJECT
public:
    using EngineFactory = std::function<cao::EnginePtr(const engine::ClientContext& client)>;
    using Send = std::function<void(const QDBusMessage&)>;

    // Engine objects one client may hold at once, and all clients together.
    static constexpr size_t kMaxEnginesPerClient = 64;
    static constexpr size_t kMaxEngines = 4096;

    EngineService(EngineFactory factory, Send send);
    ~EngineService() override;

    // The answer to a method call: its reply or an error with a description.
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
    QVariantList handle(const QDBusMessage& call);
    QVariantList handleManager(const QDBusMessage& call);
    QString create(const QString& owner, const engine::ClientContext& client);
    void close(const QString& path);

    struct Held {
        std::unique_ptr<EngineObject> engine;
        QString owner;  // empty for a detached engine object
    };

    EngineFactory m_factory;
    Send m_send;
    unsigned m_nextEngine = 0;
    std::map<QString, Held> m_engines;  // by path
};

}  // namespace bus::service
