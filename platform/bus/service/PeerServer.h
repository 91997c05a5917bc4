#pragma once

#include "platform/bus/service/BusObject.h"
#include "platform/bus/service/EngineService.h"

#include <QDBusServer>
#include <QObject>
#include <QString>

#include <map>
#include <memory>

namespace bus::service {

// Takes clients' peer connections to this process: a call over one reaches the engine
// without the bus daemon's two hops. Only the user's own processes may connect. The address
// is handed out by the manager's PeerAddress; a client that cannot use it stays on the bus.
class PeerServer : public QObject {
    Q_OBJECT
public:
    // Listens in the user's runtime directory. When it cannot, says why on standard error and
    // takes no connections; clients then call over the bus.
    explicit PeerServer(EngineService& service);
    ~PeerServer() override;
    PeerServer(const PeerServer&) = delete;
    PeerServer& operator=(const PeerServer&) = delete;

private:
    void connected(const QDBusConnection& connection);
    void gone(const QString& peer);

    EngineService& m_service;
    QDBusServer m_server;
    QString m_socketFile;
    std::map<QString, std::unique_ptr<BusObject>> m_peers;  // by name, which is the client's
};

}  // namespace bus::service
