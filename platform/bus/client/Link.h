#pragma once

#include "cao/Cao.h"
#include "platform/bus/client/BusCall.h"
#include "platform/bus/client/ControllerRoster.h"
#include "platform/bus/client/ControllerState.h"
#include "platform/bus/client/EngineSession.h"
#include "platform/bus/protocol/Wire.h"
#include "platform/engine/ClientContext.h"
#include "platform/engine/Dispatcher.h"
#include "platform/engine/MessageData.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariantList>

#include <memory>
#include <vector>

namespace bus::client {

// One client's connection to the engine: the calls every proxy makes and the delivery of
// the messages that arrive for its controllers, one at a time from the event loop, in the
// order the engine raised them, never inside a call and never after a controller's removal.
// When the engine ends, each open controller raises message -1 and is closed; the next
// engine object the client needs is made in a new engine, behind the same proxies.
class Link : public QObject, public std::enable_shared_from_this<Link> {
    Q_OBJECT
public:
    Link(QDBusConnection connection, QString connectionName, EngineLocation location,
         MessageFormat format, engine::ClientContext client);
    ~Link() override;
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // The client's engine object: the one in use, or after its engine ended a new one, the
    // engine found or started again and the client's context handed over again. Throws
    // cao::Error saying why there is none.
    const EngineSession& session();
    // Whether the engine has ended and no new engine object was made since.
    bool ended() const noexcept { return !m_session; }

    // Calls member on the object at node below the client's engine object (empty: the object
    // itself), making a new engine object first when the engine has ended; calledOwner, when
    // given, learns the engine called.
    QVariantList callEngine(const QString& node, const char* interface, const char* member,
                            const QVariantList& arguments = {}, QString* calledOwner = nullptr);
    // Calls member on the object at path of the engine at owner. Throws as callEngine in
    // BusCall.h, and when the engine has ended, the description saying so.
    QVariantList call(const QString& owner, const QString& path, const char* interface,
                      const char* member, const QVariantList& arguments = {});
    // A variable's value at path of the engine at owner, the quickest way there is. Throws as
    // call.
    cao::Variant getValue(const QString& owner, const QString& path);
    void putValue(const QString& owner, const QString& path, const cao::Variant& value);

    // A controller the engine at owner answered with, and one the client opened there as name.
    std::shared_ptr<ControllerState> controller(const QString& owner, const QString& path);
    std::shared_ptr<ControllerState> opened(const QString& owner, const QString& path,
                                            const QString& name);
    void controllerRemoved(const QString& path);
    // The controllers lost with the engine, until removed.
    ControllerRoster& roster() noexcept { return m_roster; }

private slots:
    void onMessages(const QDBusMessage& signal);
    void onPackedMessages(const QDBusMessage& signal);
    void engineEnded();

private:
    // Runs work on the session of the engine at owner, as call does.
    template <typename Work>
    auto onSession(const QString& owner, Work work);
    Acknowledger acknowledgerFor(const QString& owner);
    void deliver(const std::weak_ptr<ControllerState>& target,
                 std::vector<engine::MessageData> batch);

    QDBusConnection m_connection;
    QString m_connectionName;
    EngineLocation m_location;
    MessageFormat m_format;
    engine::ClientContext m_client;
    std::unique_ptr<EngineSession> m_session;  // none once its engine ended
    engine::Dispatcher m_dispatcher;
    ControllerRoster m_roster;
};

}  // namespace bus::client
