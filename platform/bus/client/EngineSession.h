#pragma once

#include "platform/bus/client/EngineLauncher.h"
#include "platform/engine/ClientContext.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QString>

namespace bus::client {

// Packed: messages come as PackedMessages, far cheaper in a flood; Structured: as Messages,
// which scripts read.
enum class MessageFormat { Packed, Structured };

// A client's engine object in one engine process. Calls go to that process's unique bus
// name, never to the name every engine serves, so no path of it can reach another engine.
// When that process leaves the bus, however it ended, ended() is emitted.
class EngineSession : public QObject {
    Q_OBJECT
public:
    // Finds or starts the engine and creates an engine object in it that opens controllers
    // for the client's context. Throws cao::Error saying why there is none.
    EngineSession(QDBusConnection connection, const EngineLocation& location, MessageFormat format,
                  const engine::ClientContext& client);

    const QString& owner() const noexcept { return m_owner; }
    const QString& path() const noexcept { return m_path; }
    // Whether the engine's process is on the bus now; asks the bus.
    bool present() const;

signals:
    void ended();

private:
    QDBusConnection m_connection;
    QDBusServiceWatcher m_watcher;
    QString m_owner;
    QString m_path;
};

}  // namespace bus::client
