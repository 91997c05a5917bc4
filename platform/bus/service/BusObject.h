#pragma once

#include "platform/bus/service/EngineService.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QDBusVirtualObject>

namespace bus::service {

// Puts an EngineService on a connection: every object below the root path is answered by
// the service. On the bus, clients are told apart by their unique names and have their engine
// objects closed when those leave the bus; on a peer connection, every call is the one
// client's at the other end, whose engine objects close when the connection drops.
class BusObject : public QDBusVirtualObject {
    Q_OBJECT
public:
    BusObject(EngineService& service, QDBusConnection connection);
    BusObject(EngineService& service, QDBusConnection connection, QString peer);
    ~BusObject() override;

    // Registers the objects; throws cao::Error saying why not.
    void registerObjects();

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    QString introspect(const QString& path) const override;

signals:
    // The peer connection dropped; its client's engine objects are closed.
    void peerGone(const QString& peer);

private slots:
    void peerDisconnected();

private:
    EngineService& m_service;
    QDBusConnection m_connection;
    QDBusServiceWatcher m_watcher;
    QString m_peer;                    // empty on the bus
    EngineService::Channel m_channel;  // the peer connection's
};

}  // namespace bus::service
