#pragma once

#include "platform/bus/service/EngineService.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QDBusVirtualObject>

namespace bus::service {

// Puts an EngineService on a connection: every object below the root path is answered by
// the service, and clients that leave the bus have their engine objects closed.
class BusObject : public QDBusVirtualObject {
    Q_OBJECT
public:
    BusObject(EngineService& service, QDBusConnection connection);
    ~BusObject() override;

    // Registers the objects; throws cao::Error saying why not.
    void registerObjects();

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    QString introspect(const QString& path) const override;

private:
    EngineService& m_service;
    QDBusConnection m_connection;
    QDBusServiceWatcher m_watcher;
};

}  // namespace bus::service
