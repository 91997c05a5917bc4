#include "platform/bus/client/EngineSession.h"

#include "platform/bus/client/BusCall.h"
#include "platform/bus/client/Replies.h"
#include "platform/bus/protocol/Names.h"

#include <QDBusConnectionInterface>
#include <QMap>

namespace bus::client {

namespace {

QVariant environmentArgument(const engine::ClientContext& client) {
    QMap<QString, QString> environment;
    for (const auto& [name, value] : client.environment()) environment.insert(name, value);
    return QVariant::fromValue(environment);
}

}  // namespace

EngineSession::EngineSession(QDBusConnection connection, const EngineLocation& location,
                             MessageFormat format, const engine::ClientContext& client)
    : m_connection(std::move(connection)),
      m_watcher(QString(), m_connection, QDBusServiceWatcher::WatchForUnregistration) {
    m_owner = launchEngine(m_connection, location);
    // Watched before the engine object exists: an end after this is always told.
    m_watcher.addWatchedService(m_owner);
    connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, &EngineSession::ended);
    m_path = pathOf(callEngine(m_connection, m_owner, QLatin1String(kRootPath), kManagerInterface,
                               "CreateEngineWithContext",
                               {environmentArgument(client), client.workingDirectory()}));
    if (format == MessageFormat::Packed) {
        callEngine(m_connection, m_owner, m_path, kEngineInterface, "UsePackedMessages", {true});
    }
}

bool EngineSession::present() const {
    return m_connection.interface()->isServiceRegistered(m_owner).value();
}

}  // namespace bus::client
