#pragma once

#include "cao/Cao.h"
#include "platform/bus/client/ControllerState.h"
#include "platform/bus/protocol/Wire.h"
#include "platform/engine/Dispatcher.h"
#include "platform/engine/MessageData.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariantList>

#include <map>
#include <memory>
#include <vector>

namespace bus::client {

// A call reached an object the engine no longer has.
class UnknownObject : public cao::Error {
public:
    using cao::Error::Error;
};

// One client's connection to the engine: the calls every proxy makes and the delivery of
// the messages that arrive for its controllers, one at a time from the event loop, in the
// order the engine raised them, never inside a call and never after a controller's removal.
class Link : public QObject, public std::enable_shared_from_this<Link> {
    Q_OBJECT
public:
    // Blocking calls wait this long for the engine; opening a controller may take seconds.
    static constexpr int kCallTimeoutMs = 30000;

    Link(QDBusConnection connection, QString connectionName, QString service);
    ~Link() override;
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Calls member on the object at path and returns the reply's arguments; throws
    // cao::Error with the engine's description when the call fails, UnknownObject when the
    // object is gone.
    QVariantList call(const QString& path, const char* interface, const char* member,
                      const QVariantList& arguments = {});
    // Sends without waiting for an answer.
    void post(const QString& path, const char* interface, const char* member);

    std::shared_ptr<ControllerState> controller(const QString& path);
    void controllerRemoved(const QString& path);

private slots:
    void onMessages(const QDBusMessage& signal);
    void onPackedMessages(const QDBusMessage& signal);

private:
    void deliver(const QString& path, std::vector<engine::MessageData> batch);

    QDBusConnection m_connection;
    QString m_connectionName;
    QString m_service;
    engine::Dispatcher m_dispatcher;
    Acknowledger m_acknowledger;
    std::map<QString, std::weak_ptr<ControllerState>> m_controllers;
};

}  // namespace bus::client
