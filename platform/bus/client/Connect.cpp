#include "platform/bus/client/Connect.h"

#include "platform/bus/client/EngineProxy.h"
#include "platform/bus/client/Link.h"
#include "platform/bus/protocol/Wire.h"

#include <atomic>

namespace bus::client {

cao::EnginePtr connectEngine(const EngineLocation& location, MessageFormat format) {
    registerWireTypes();
    static std::atomic<int> clients{0};
    const QString name = QStringLiteral("tandrel-client-%1").arg(++clients);
    QDBusConnection connection = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    if (!connection.isConnected()) {
        const QString reason = connection.lastError().message();
        QDBusConnection::disconnectFromBus(name);
        throw NoSessionBus(
            QStringLiteral("There is no D-Bus session bus to reach the engine on: %1").arg(reason));
    }
    // The link leaves the bus again should the engine object not be made.
    auto link = std::make_shared<Link>(connection, name, location, format,
                                       engine::ClientContext::ofThisProcess());
    link->session();
    return std::make_shared<EngineProxy>(std::move(link));
}

}  // namespace bus::client
