#pragma once

#include "bus/PackedBatch.h"
#include "bus/Wire.h"
#include "cao/Cao.h"
#include "cao/Dispatcher.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariantList>

#include <map>
#include <memory>
#include <vector>

namespace bus {

// What a client knows of one controller of the engine; every proxy of it shares this.
struct ControllerLink {
    QString path;
    QString name;  // empty until asked
    bool open = true;
    cao::MessageHandler handler;

    // Throws the engine's own description of a removed controller.
    void requireOpen() const;
};

// A call reached an object the engine no longer has.
class UnknownObject : public cao::Error {
public:
    using cao::Error::Error;
};

// One client's connection to the engine: the calls every proxy makes and the delivery of
// the messages that arrive for its controllers, one at a time from the event loop, in the
// order the engine raised them, never inside a call and never after a controller's removal.
class Link : public QObject {
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

    std::shared_ptr<ControllerLink> controller(const QString& path);
    void controllerRemoved(const QString& path);

private slots:
    void onMessages(const QDBusMessage& signal);
    void onPackedMessages(const QDBusMessage& signal);

private:
    void deliver(const QString& path, std::vector<MessageData> batch);

    QDBusConnection m_connection;
    QString m_connectionName;
    QString m_service;
    cao::Dispatcher m_dispatcher;
    std::map<QString, std::weak_ptr<ControllerLink>> m_controllers;
};

// Path-valued replies: the first argument as an object path.
QString pathOf(const QVariantList& reply);

}  // namespace bus
