#include "platform/bus/client/Link.h"

#include "cao/ProviderContract.h"
#include "platform/bus/protocol/Names.h"
#include "platform/bus/protocol/PackedBatch.h"
#include "platform/engine/Message.h"

#include <QtGlobal>

#include <algorithm>
#include <exception>
#include <iterator>
#include <vector>

namespace bus::client {

namespace {
constexpr const char* kBatchSignature = "a(i(qv)(qv)so)";
// Messages handed to the dispatcher as one item; small enough to keep its slices short.
constexpr size_t kDeliveryRun = 64;
}  // namespace

Link::Link(QDBusConnection connection, QString connectionName, EngineLocation location,
           MessageFormat format, engine::ClientContext client)
    : m_connection(std::move(connection)),
      m_connectionName(std::move(connectionName)),
      m_location(std::move(location)),
      m_format(format),
      m_client(std::move(client)) {}

Link::~Link() {
    // The engine sees this client go and closes whatever it left open.
    m_session.reset();
    QDBusConnection::disconnectFromBus(m_connectionName);
}

const EngineSession& Link::session() {
    if (!m_session) {
        auto session = std::make_unique<EngineSession>(m_connection, m_connectionName, m_location,
                                                       m_format, m_client);
        // Only the current session's messages are delivered: an ended one is disconnected.
        connect(session.get(), &EngineSession::ended, this, &Link::engineEnded);
        connect(session.get(), &EngineSession::messages, this, &Link::onMessages);
        connect(session.get(), &EngineSession::packedMessages, this, &Link::onPackedMessages);
        session->openChannel(acknowledgerFor(session->owner()),
                             [this](const QString& path, std::vector<engine::MessageData> batch) {
                                 if (m_session) deliver(m_roster.find(path), std::move(batch));
                             });
        m_roster.forgetEnded();
        m_session = std::move(session);
    }
    return *m_session;
}

QVariantList Link::callEngine(const QString& node, const char* interface, const char* member,
                              const QVariantList& arguments, QString* calledOwner) {
    const EngineSession& current = session();
    // Copied: the call may find the engine ended and let go of the session.
    const QString owner = current.owner();
    const QString path = node.isEmpty() ? current.path() : current.path() + QLatin1Char('/') + node;
    QVariantList reply = call(owner, path, interface, member, arguments);
    if (calledOwner != nullptr) *calledOwner = owner;
    return reply;
}

template <typename Work>
auto Link::onSession(const QString& owner, Work work) {
    // Objects of an engine that has ended are gone with it.
    if (!m_session || m_session->owner() != owner) throw cao::Error(engineEndedDescription());
    try {
        return work(*m_session);
    } catch (const EngineUnreachable&) {
        // The call may tell of the end before the watcher or the connection does.
        if (!m_session->present()) engineEnded();
        if (!m_session) throw cao::Error(engineEndedDescription());
        throw;
    }
}

QVariantList Link::call(const QString& owner, const QString& path, const char* interface,
                        const char* member, const QVariantList& arguments) {
    return onSession(owner, [&](EngineSession& session) {
        return session.call(path, interface, member, arguments);
    });
}

cao::Variant Link::getValue(const QString& owner, const QString& path) {
    return onSession(owner, [&](EngineSession& session) { return session.getValue(path); });
}

void Link::putValue(const QString& owner, const QString& path, const cao::Variant& value) {
    onSession(owner, [&](EngineSession& session) { session.putValue(path, value); });
}

std::shared_ptr<ControllerState> Link::controller(const QString& owner, const QString& path) {
    return m_roster.state(owner, path);
}

std::shared_ptr<ControllerState> Link::opened(const QString& owner, const QString& path,
                                              const QString& name) {
    m_roster.opened(path, name);
    auto state = m_roster.state(owner, path);
    if (state->name.isEmpty()) state->name = name;
    return state;
}

void Link::controllerRemoved(const QString& path) {
    m_roster.removed(path);
}

void Link::engineEnded() {
    if (!m_session) return;
    std::unique_ptr<EngineSession> session = std::move(m_session);
    const QString owner = session->owner();
    disconnect(session.get(), nullptr, this, nullptr);
    session->closeChannel();  // nothing more of it is delivered
    // Possibly inside its own signal: deleted once that returns, or with this link.
    session->setParent(this);
    session.release()->deleteLater();
    for (const auto& state : m_roster.end(owner, controllerEndedDescription)) {
        engine::MessageData failure;
        failure.number = cao::contract::message::Failure;
        failure.value = cao::Variant::fromString(state->ended);
        failure.source = state->name;
        std::vector<engine::MessageData> batch;
        batch.push_back(std::move(failure));
        deliver(state, std::move(batch));
    }
}

Acknowledger Link::acknowledgerFor(const QString& owner) {
    // A message is acknowledged through the object the engine named for it, in the engine
    // that raised it; the engine learns of the first acknowledgement only.
    return [weak = weak_from_this(), owner](const QString& path) -> std::function<void()> {
        return [weak, owner, path] {
            if (const auto link = weak.lock()) {
                link->call(owner, path, kMessageInterface, "Acknowledge");
            }
        };
    };
}

void Link::onMessages(const QDBusMessage& signal) {
    if (!m_session) return;
    const QVariantList arguments = signal.arguments();
    if (arguments.size() != 1 || arguments[0].metaType() != QMetaType::fromType<QDBusArgument>() ||
        arguments[0].value<QDBusArgument>().currentSignature() != QLatin1String(kBatchSignature)) {
        qWarning("tandrel: a message batch from the engine for %s is malformed and was dropped",
                 qUtf8Printable(signal.path()));
        return;
    }
    const Acknowledger acknowledger = acknowledgerFor(m_session->owner());
    const auto marshalled = arguments[0].value<QDBusArgument>();
    std::vector<engine::MessageData> batch;
    marshalled.beginArray();
    while (!marshalled.atEnd()) {
        WireMessage wire;
        marshalled >> wire;
        try {
            batch.push_back(messageFromWire(wire, acknowledger));
        } catch (const cao::Error& e) {
            qWarning("tandrel: a message from the engine for %s was dropped: %s",
                     qUtf8Printable(signal.path()), e.what());
        }
    }
    marshalled.endArray();
    deliver(m_roster.find(signal.path()), std::move(batch));
}

void Link::onPackedMessages(const QDBusMessage& signal) {
    if (!m_session) return;
    const QVariantList arguments = signal.arguments();
    if (arguments.size() != 1 || arguments[0].metaType() != QMetaType::fromType<QByteArray>()) {
        qWarning(
            "tandrel: a packed message batch from the engine for %s is malformed and was "
            "dropped",
            qUtf8Printable(signal.path()));
        return;
    }
    try {
        deliver(m_roster.find(signal.path()),
                unpackBatch(arguments[0].toByteArray(), acknowledgerFor(m_session->owner())));
    } catch (const cao::Error& e) {
        qWarning("tandrel: a message batch from the engine for %s was dropped: %s",
                 qUtf8Printable(signal.path()), e.what());
    }
}

void Link::deliver(const std::weak_ptr<ControllerState>& target,
                   std::vector<engine::MessageData> batch) {
    if (target.expired()) return;  // removed, or never asked for here
    // Handed over in runs: one queued item per run rather than per message keeps a flood
    // cheap, while the handler still sees one message at a time.
    for (size_t first = 0; first < batch.size(); first += kDeliveryRun) {
        const size_t last = std::min(batch.size(), first + kDeliveryRun);
        auto run = std::make_shared<std::vector<engine::MessageData>>(
            std::make_move_iterator(batch.begin() + static_cast<std::ptrdiff_t>(first)),
            std::make_move_iterator(batch.begin() + static_cast<std::ptrdiff_t>(last)));
        m_dispatcher.post([target, run] {
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
