#include "platform/bus/service/EngineService.h"

#include "platform/bus/protocol/Names.h"
#include "platform/bus/service/CallArguments.h"
#include "platform/bus/service/ClientContextArgument.h"
#include "platform/bus/service/EngineObject.h"

#include <QDBusObjectPath>

#include <algorithm>

namespace bus::service {

namespace {

constexpr const char* kEngineNodePrefix = "/e";

QVariant pathArgument(const QString& path) {
    return QVariant::fromValue(QDBusObjectPath(path));
}

}  // namespace

EngineService::EngineService(EngineFactory factory, Send send)
    : m_factory(std::move(factory)), m_send(std::move(send)) {
    bus::registerWireTypes();
}

EngineService::~EngineService() = default;

QDBusMessage EngineService::answer(const QDBusMessage& call) {
    try {
        return call.createReply(handle(call));
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

QVariantList EngineService::handle(const QDBusMessage& call) {
    const QString path = call.path();
    const QString root = QLatin1String(bus::kRootPath);
    if (path == root) return handleManager(call);
    if (!path.startsWith(root + QLatin1String(kEngineNodePrefix))) throw unknownObject(path);
    // The engine object is the first node below the root.
    const qsizetype end = path.indexOf(QLatin1Char('/'), root.size() + 1);
    const QString enginePath = end < 0 ? path : path.left(end);
    auto it = m_engines.find(enginePath);
    if (it == m_engines.end()) throw unknownObject(path);
    if (enginePath == path && call.member() == QLatin1String("Close") &&
        (call.interface().isEmpty() || call.interface() == QLatin1String(bus::kEngineInterface))) {
        CallArguments(QStringLiteral("Engine.Close"), call.arguments()).expect(0, "");
        close(enginePath);
        return {};
    }
    return it->second.engine->handle(path, call.interface(), call.member(), call.arguments());
}

QVariantList EngineService::handleManager(const QDBusMessage& call) {
    const QString member = call.member();
    if (!call.interface().isEmpty() && call.interface() != QLatin1String(bus::kManagerInterface)) {
        throw unknownMethod(call.interface(), member);
    }
    const CallArguments take(member, call.arguments());
    if (member == QLatin1String("CreateEngine")) {
        take.expect(0, "");
        return {pathArgument(create(call.service(), engine::ClientContext::ofThisProcess()))};
    }
    if (member == QLatin1String("CreateEngineWithContext")) {
        take.expect(2, "a{ss}s");
        return {pathArgument(create(call.service(), clientContextArgument(take, 0, 1)))};
    }
    if (member == QLatin1String("CreateDetachedEngine")) {
        take.expect(0, "");
        return {pathArgument(create(QString(), engine::ClientContext::ofThisProcess()))};
    }
    if (member == QLatin1String("Status")) {
        take.expect(0, "");
        uint controllers = 0;
        for (const auto& [path, held] : m_engines) {
            controllers += static_cast<uint>(held.engine->controllerCount());
        }
        return {static_cast<uint>(m_engines.size()), controllers};
    }
    throw unknownMethod(QLatin1String(bus::kManagerInterface), member);
}

QString EngineService::create(const QString& owner, const engine::ClientContext& client) {
    const auto held = static_cast<size_t>(
        std::count_if(m_engines.begin(), m_engines.end(),
                      [&](const auto& engine) { return engine.second.owner == owner; }));
    if (m_engines.size() >= kMaxEngines || (!owner.isEmpty() && held >= kMaxEnginesPerClient)) {
        throw cao::Error(QStringLiteral("The engine holds %1 engine objects (%2 of this client); "
                                        "close some before creating more")
                             .arg(m_engines.size())
                             .arg(held));
    }
    const QString path = QLatin1String(bus::kRootPath) + QLatin1String(kEngineNodePrefix) +
                         QString::number(m_nextEngine++);
    auto emitBatch = [this, owner](const QString& controller, const char* name,
                                   const QVariant& batch) {
        QDBusMessage signal =
            owner.isEmpty()
                ? QDBusMessage::createSignal(controller, QLatin1String(bus::kControllerInterface),
                                             QLatin1String(name))
                : QDBusMessage::createTargetedSignal(owner, controller,
                                                     QLatin1String(bus::kControllerInterface),
                                                     QLatin1String(name));
        signal.setArguments({batch});
        m_send(signal);
    };
    auto engine = std::make_unique<EngineObject>(m_factory(client), path, std::move(emitBatch));
    m_engines.emplace(path, Held{std::move(engine), owner});
    if (!owner.isEmpty() && held == 0) emit clientArrived(owner);
    return path;
}

void EngineService::close(const QString& path) {
    auto it = m_engines.find(path);
    if (it == m_engines.end()) return;
    // Out of the map first: closing controllers may call back into the service.
    std::unique_ptr<EngineObject> engine = std::move(it->second.engine);
    m_engines.erase(it);
    engine.reset();
    if (m_engines.empty()) emit idle();
}

void EngineService::clientGone(const QString& busName) {
    std::vector<QString> paths;
    for (const auto& [path, held] : m_engines) {
        if (held.owner == busName) paths.push_back(path);
    }
    for (const QString& path : paths) close(path);
}

}  // namespace bus::service
