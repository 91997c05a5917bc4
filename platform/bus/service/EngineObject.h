#pragma once

#include "cao/Cao.h"
#include "platform/bus/protocol/ChannelMessages.h"
#include "platform/bus/protocol/Wire.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace bus::service {

class ChannelEnd;
struct ControllerState;

// One client's engine object and everything reached through it, as objects under one path:
// w0 the workspace, cK its controllers, cK/vJ their variables, cK/mJ messages to acknowledge.
// A controller's messages are gathered and sent as one signal per turn of the event loop, or
// as one frame on the client's channel once it has handed one over (OpenChannel).
class EngineObject : public QObject {
    Q_OBJECT
public:
    // Sends a batch of messages raised by the controller at path as the signal named.
    using Emit =
        std::function<void(const QString& path, const char* signal, const QVariant& batch)>;

    EngineObject(cao::EnginePtr engine, QString path, Emit sendBatch);
    // Ends every subscription; the controllers close as the engine goes.
    ~EngineObject() override;
    EngineObject(const EngineObject&) = delete;
    EngineObject& operator=(const EngineObject&) = delete;

    const QString& path() const noexcept { return m_path; }
    // Whether OpenChannel is served; refused with a description when not.
    void setChannelsAllowed(bool allowed);
    int controllerCount() const;
    // Its client is gone without closing it: its controllers are lost for fault.
    void clientLost(const QString& fault);

    // Handles a call on the object at path (this engine's path or below). Throws CallError or
    // cao::Error.
    QVariantList handle(const QString& path, const QString& interface, const QString& member,
                        const QVariantList& arguments);

    // Sends every batch gathered so far.
    void flush();

private:
    QVariantList handleEngine(const QString& member, const QVariantList& arguments);
    QVariantList handleWorkspace(const QString& member, const QVariantList& arguments);
    QVariantList handleController(ControllerState& entry, const QString& member,
                                  const QVariantList& arguments);
    QVariantList handleVariable(ControllerState& entry, const QString& node, const QString& member,
                                const QVariantList& arguments);
    QVariantList handleMessage(ControllerState& entry, const QString& node, const QString& member,
                               const QVariantList& arguments);

    void openChannel(int calls, int batches);
    std::optional<cao::Variant> serveChannel(const channel::Call& call);
    std::shared_ptr<ControllerState> entryFor(const cao::ControllerPtr& controller);
    void subscribe(const std::shared_ptr<ControllerState>& entry, bool listening);
    void gather(const std::weak_ptr<ControllerState>& target, const cao::MessagePtr& message);
    void release(ControllerState& entry);

    cao::EnginePtr m_engine;
    cao::WorkspacePtr m_workspace;
    QString m_path;
    Emit m_emit;
    unsigned m_nextNode = 0;
    std::map<QString, std::shared_ptr<ControllerState>> m_controllers;  // by node name
    std::vector<std::weak_ptr<ControllerState>> m_waiting;              // batches to send
    bool m_flushQueued = false;
    bool m_packed = false;  // batches go as PackedMessages
    bool m_channelsAllowed = true;
    std::unique_ptr<ChannelEnd> m_channel;  // the client's, once handed over
};

}  // namespace bus::service
