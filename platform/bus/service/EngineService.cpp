#include "platform/bus/service/EngineService.h"

#include "platform/bus/protocol/Names.h"
#include "platform/bus/service/CallArguments.h"
#include "platform/bus/service/ClientContextArgument.h"
#include "platform/bus/service/ClientThread.h"
#include "platform/bus/service/EngineObject.h"

#include <QDBusObjectPath>
#include <QDeadlineTimer>

#include <algorithm>

namespace bus::service {

namespace {

constexpr const char* kEngineNodePrefix = "/e";

QVariant pathArgument(const QString& path) {
    return QVariant::fromValue(QDBusObjectPath(path));
}

// The reply to a call, or the error that describes why it failed.
template <typename Handle>
QDBusMessage answerOf(const QDBusMessage& call, Handle handle) {
    try {
        return call.createReply(handle());
    } catch (const CallError& e) {
        return call.createErrorReply(e.name, e.message);
    } catch (const cao::Error& e) {
        return call.createErrorReply(bus::errorName(e.code()), e.description());
    } catch (const std::exception& e) {
        // A fault below the engine's objects; the caller still gets an answer.
        return call.createErrorReply(
            bus::errorName(cao::code::Fail),
            QStringLiteral("The engine failed: %1").arg(QString::fromUtf8(e.what())));
    }
}

QDBusMessage answerOn(EngineObject& engine, const QDBusMessage& call) {
    return answerOf(call, [&] {
        return engine.handle(call.path(), call.interface(), call.member(), call.arguments());
    });
}

bool isClose(const QDBusMessage& call, const QString& enginePath) {
    return call.path() == enginePath && call.member() == QLatin1String("Close") &&
           (call.interface().isEmpty() || call.interface() == QLatin1String(bus::kEngineInterface));
}

}  // namespace

// An engine object: on a thread of its own, or inline.
struct EngineService::Held {
    QString owner;  // empty for a detached engine object
    std::unique_ptr<ClientThread> thread;
    std::unique_ptr<EngineObject> inlineEngine;

    int controllerCount() const {
        return thread ? thread->controllerCount() : inlineEngine->controllerCount();
    }
};

EngineService::EngineService(EngineFactory factory, Send send, ThreadChoice ownThread)
    : m_factory(std::move(factory)), m_send(std::move(send)), m_ownThread(std::move(ownThread)) {
    bus::registerWireTypes();
}

EngineService::~EngineService() {
    for (auto& [path, held] : m_engines) {
        if (held->thread) {
            held->thread->finish();
            m_ending.push_back(std::move(held->thread));
        }
    }
    m_engines.clear();
    const QDeadlineTimer deadline(kEndWaitMs);
    for (auto& thread : m_ending) {
        if (!thread->wait(static_cast<int>(deadline.remainingTime()))) {
            // Still waiting on an RTI: left behind, for the program to end without it.
            qWarning("tandrel-engine: a client's controllers did not close within %d ms",
                     kEndWaitMs);
            (void)thread.release();
        }
    }
}

EngineService::Channel EngineService::busChannel(const QDBusMessage& call) const {
    return {call.service(), m_send, true};
}

void EngineService::receive(const QDBusMessage& call) {
    receive(call, busChannel(call));
}

void EngineService::receive(const QDBusMessage& call, const Channel& from) {
    Held* held = nullptr;
    QDBusMessage early = answerOf(call, [&] { return route(call, from, held); });
    if (held && early.type() != QDBusMessage::ErrorMessage) {
        if (held->thread) return held->thread->post(call, from.send);
        early = answerOn(*held->inlineEngine, call);
    }
    if (call.isReplyRequired() || early.type() == QDBusMessage::ErrorMessage) from.send(early);
}

QDBusMessage EngineService::answer(const QDBusMessage& call) {
    Held* held = nullptr;
    const QDBusMessage early = answerOf(call, [&] {
        QVariantList answered = route(call, busChannel(call), held);
        if (held && held->thread) {
            throw cao::Error(
                QStringLiteral("This engine serves its clients on threads of their "
                               "own and answers them later"));
        }
        return answered;
    });
    if (!held || early.type() == QDBusMessage::ErrorMessage) return early;
    return answerOn(*held->inlineEngine, call);
}

QVariantList EngineService::route(const QDBusMessage& call, const Channel& from, Held*& held) {
    const QString path = call.path();
    const QString root = QLatin1String(bus::kRootPath);
    if (path == root) return handleManager(call, from);
    if (!path.startsWith(root + QLatin1String(kEngineNodePrefix))) throw unknownObject(path);
    // The engine object is the first node below the root.
    const qsizetype end = path.indexOf(QLatin1Char('/'), root.size() + 1);
    const QString enginePath = end < 0 ? path : path.left(end);
    auto it = m_engines.find(enginePath);
    if (it == m_engines.end()) throw unknownObject(path);
    if (isClose(call, enginePath)) {
        CallArguments(QStringLiteral("Engine.Close"), call.arguments()).expect(0, "");
        close(enginePath);
        return {};
    }
    held = it->second.get();
    return {};
}

QVariantList EngineService::handleManager(const QDBusMessage& call, const Channel& from) {
    const QString member = call.member();
    if (!call.interface().isEmpty() && call.interface() != QLatin1String(bus::kManagerInterface)) {
        throw unknownMethod(call.interface(), member);
    }
    const CallArguments take(member, call.arguments());
    if (member == QLatin1String("CreateEngine")) {
        take.expect(0, "");
        return {pathArgument(create(from, engine::ClientContext::ofThisProcess()))};
    }
    if (member == QLatin1String("CreateEngineWithContext")) {
        take.expect(2, "a{ss}s");
        return {pathArgument(create(from, clientContextArgument(take, 0, 1)))};
    }
    if (member == QLatin1String("CreateDetachedEngine")) {
        take.expect(0, "");
        // Nobody's: its messages are broadcast on the bus, whoever asked for it.
        return {pathArgument(
            create({QString(), m_send, true}, engine::ClientContext::ofThisProcess()))};
    }
    if (member == QLatin1String("PeerAddress")) {
        take.expect(0, "");
        if (m_peerAddress.isEmpty()) {
            throw cao::Error(
                QStringLiteral("This engine takes no peer connections; call it on the bus"));
        }
        return {m_peerAddress};
    }
    if (member == QLatin1String("Status")) {
        take.expect(0, "");
        uint controllers = 0;
        for (const auto& [path, held] : m_engines) {
            controllers += static_cast<uint>(held->controllerCount());
        }
        return {static_cast<uint>(m_engines.size()), controllers};
    }
    throw unknownMethod(QLatin1String(bus::kManagerInterface), member);
}

QString EngineService::create(const Channel& from, const engine::ClientContext& client) {
    const QString& owner = from.client;
    reap();
    const auto held = static_cast<size_t>(
        std::count_if(m_engines.begin(), m_engines.end(),
                      [&](const auto& engine) { return engine.second->owner == owner; }));
    if (m_engines.size() >= kMaxEngines || (!owner.isEmpty() && held >= kMaxEnginesPerClient)) {
        throw cao::Error(QStringLiteral("The engine holds %1 engine objects (%2 of this client); "
                                        "close some before creating more")
                             .arg(m_engines.size())
                             .arg(held));
    }
    const QString path = QLatin1String(bus::kRootPath) + QLatin1String(kEngineNodePrefix) +
                         QString::number(m_nextEngine++);
    // Sent from the client's thread: it captures nothing of the service. On a peer
    // connection there is nobody else to address.
    const QString addressee = from.onBus ? owner : QString();
    auto emitBatch = [send = from.send, addressee](const QString& controller, const char* name,
                                                   const QVariant& batch) {
        QDBusMessage signal =
            addressee.isEmpty()
                ? QDBusMessage::createSignal(controller, QLatin1String(bus::kControllerInterface),
                                             QLatin1String(name))
                : QDBusMessage::createTargetedSignal(addressee, controller,
                                                     QLatin1String(bus::kControllerInterface),
                                                     QLatin1String(name));
        signal.setArguments({batch});
        send(signal);
    };
    auto entry = std::make_unique<Held>();
    entry->owner = owner;
    if (m_ownThread(client)) {
        entry->thread = std::make_unique<ClientThread>(
            [factory = m_factory, client, path, emitBatch, channels = m_channelsAllowed] {
                auto made = std::make_unique<EngineObject>(factory(client), path, emitBatch);
                made->setChannelsAllowed(channels);
                return made;
            },
            answerOn);
    } else {
        entry->inlineEngine = std::make_unique<EngineObject>(m_factory(client), path, emitBatch);
        entry->inlineEngine->setChannelsAllowed(m_channelsAllowed);
    }
    m_engines.emplace(path, std::move(entry));
    if (!owner.isEmpty() && held == 0) emit clientArrived(owner);
    return path;
}

void EngineService::close(const QString& path, const std::optional<QString>& lost) {
    auto it = m_engines.find(path);
    if (it == m_engines.end()) return;
    // Out of the map first: closing controllers may call back into the service.
    std::unique_ptr<Held> held = std::move(it->second);
    m_engines.erase(it);
    if (held->thread) {
        held->thread->finish(lost);
        m_ending.push_back(std::move(held->thread));
    } else if (lost && held->inlineEngine) {
        held->inlineEngine->clientLost(*lost);
    }
    held.reset();
    reap();
    if (m_engines.empty()) emit idle();
}

void EngineService::reap() {
    std::erase_if(m_ending, [](const auto& thread) { return thread->finished(); });
}

void EngineService::clientGone(const QString& client) {
    std::vector<QString> paths;
    for (const auto& [path, held] : m_engines) {
        if (held->owner == client) paths.push_back(path);
    }
    const QString fault =
        QStringLiteral("its client went away without closing its controller (its process ended)");
    for (const QString& path : paths) close(path, fault);
}

}  // namespace bus::service
