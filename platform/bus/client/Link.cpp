#include "platform/bus/client/Link.h"

#include "platform/bus/protocol/Names.h"
#include "platform/bus/protocol/PackedBatch.h"
#include "platform/engine/Message.h"

#include <QtGlobal>

#include <algorithm>
#include <iterator>

#include <exception>
#include <vector>

namespace bus::client {

namespace {
constexpr const char* kBatchSignature = "a(i(qv)(qv)so)";
// Messages handed to the dispatcher as one item; small enough to keep its slices short.
constexpr size_t kDeliveryRun = 64;
}  // namespace

Link::Link(QDBusConnection connection, QString connectionName, QString service)
    : m_connection(std::move(connection)),
      m_connectionName(std::move(connectionName)),
      m_service(std::move(service)) {
    // A message is acknowledged through the object the engine named for it; the engine
    // learns of the first acknowledgement only.
    m_acknowledger = [this](const QString& path) -> std::function<void()> {
        return [weak = weak_from_this(), path] {
            if (const auto link = weak.lock()) link->call(path, kMessageInterface, "Acknowledge");
        };
    };
    // Every controller's batches arrive through one subscription; the path says whose.
    m_connection.connect(m_service, QString(), QLatin1String(kControllerInterface),
                         QLatin1String(kMessagesSignal), this, SLOT(onMessages(QDBusMessage)));
    m_connection.connect(m_service, QString(), QLatin1String(kControllerInterface),
                         QLatin1String(kPackedMessagesSignal), this,
                         SLOT(onPackedMessages(QDBusMessage)));
}

Link::~Link() {
    // The engine sees this client go and closes whatever it left open.
    m_connection.disconnect(m_service, QString(), QLatin1String(kControllerInterface),
                            QLatin1String(kMessagesSignal), this, SLOT(onMessages(QDBusMessage)));
    m_connection.disconnect(m_service, QString(), QLatin1String(kControllerInterface),
                            QLatin1String(kPackedMessagesSignal), this,
                            SLOT(onPackedMessages(QDBusMessage)));
    QDBusConnection::disconnectFromBus(m_connectionName);
}

QVariantList Link::call(const QString& path, const char* interface, const char* member,
                        const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(m_service, path, QLatin1String(interface),
                                                          QLatin1String(member));
    message.setArguments(arguments);
    const QDBusMessage reply = m_connection.call(message, QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        const QDBusError error(reply);
        if (error.type() == QDBusError::UnknownObject) throw UnknownObject(error.message());
        throw errorFromBus(error);
    }
    return reply.arguments();
}

void Link::post(const QString& path, const char* interface, const char* member) {
    QDBusMessage message = QDBusMessage::createMethodCall(m_service, path, QLatin1String(interface),
                                                          QLatin1String(member));
    message.setAutoStartService(false);
    m_connection.send(message);
}

std::shared_ptr<ControllerState> Link::controller(const QString& path) {
    auto& slot = m_controllers[path];
    auto link = slot.lock();
    if (!link) {
        link = std::make_shared<ControllerState>();
        link->path = path;
        slot = link;
    }
    return link;
}

void Link::controllerRemoved(const QString& path) {
    auto it = m_controllers.find(path);
    if (it == m_controllers.end()) return;
    if (auto link = it->second.lock()) {
        link->open = false;
        link->handler = nullptr;
    }
    m_controllers.erase(it);
}

void Link::onMessages(const QDBusMessage& signal) {
    const QVariantList arguments = signal.arguments();
    if (arguments.size() != 1 || arguments[0].metaType() != QMetaType::fromType<QDBusArgument>() ||
        arguments[0].value<QDBusArgument>().currentSignature() != QLatin1String(kBatchSignature)) {
        qWarning("tandrel: a message batch from the engine for %s is malformed and was dropped",
                 qUtf8Printable(signal.path()));
        return;
    }
    const auto marshalled = arguments[0].value<QDBusArgument>();
    std::vector<engine::MessageData> batch;
    marshalled.beginArray();
    while (!marshalled.atEnd()) {
        WireMessage wire;
        marshalled >> wire;
        try {
            batch.push_back(messageFromWire(wire, m_acknowledger));
        } catch (const cao::Error& e) {
            qWarning("tandrel: a message from the engine for %s was dropped: %s",
                     qUtf8Printable(signal.path()), e.what());
        }
    }
    marshalled.endArray();
    deliver(signal.path(), std::move(batch));
}

void Link::onPackedMessages(const QDBusMessage& signal) {
    const QVariantList arguments = signal.arguments();
    if (arguments.size() != 1 || arguments[0].metaType() != QMetaType::fromType<QByteArray>()) {
        qWarning(
            "tandrel: a packed message batch from the engine for %s is malformed and was "
            "dropped",
            qUtf8Printable(signal.path()));
        return;
    }
    try {
        deliver(signal.path(), unpackBatch(arguments[0].toByteArray(), m_acknowledger));
    } catch (const cao::Error& e) {
        qWarning("tandrel: a message batch from the engine for %s was dropped: %s",
                 qUtf8Printable(signal.path()), e.what());
    }
}

void Link::deliver(const QString& path, std::vector<engine::MessageData> batch) {
    auto it = m_controllers.find(path);
    if (it == m_controllers.end()) return;  // removed, or never asked for here
    const std::weak_ptr<ControllerState> target = it->second;
    // Handed over in runs: one queued item per run rather than per message keeps a flood
    // cheap, while the handler still sees one message at a time.
    for (size_t first = 0; first < batch.size(); first += kDeliveryRun) {
        const size_t last = std::min(batch.size(), first + kDeliveryRun);
        auto run = std::make_shared<std::vector<engine::MessageData>>(
            std::make_move_iterator(batch.begin() + static_cast<std::ptrdiff_t>(first)),
            std::make_move_iterator(batch.begin() + static_cast<std::ptrdiff_t>(last)));
        m_dispatcher.post([this, target, run] {
            for (engine::MessageData& data : *run) {
                auto link = target.lock();
                // Nothing is delivered for a removed controller or when nobody listens.
                if (!link || !link->open || !link->handler) return;
                cao::MessageHandler handler = link->handler;  // the handler may replace itself
                try {
                    handler(std::make_shared<engine::Message>(std::move(data)));
                } catch (const std::exception& e) {
                    // As the dispatcher does for an item of its own: the next one still comes.
                    qWarning("tandrel: a message handler failed: %s", e.what());
                }
            }
        });
    }
}

}  // namespace bus::client
