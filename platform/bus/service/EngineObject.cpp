#include "platform/bus/service/EngineObject.h"

#include "platform/bus/protocol/Names.h"
#include "platform/bus/service/CallArguments.h"
#include "platform/bus/service/ChannelEnd.h"
#include "platform/bus/service/ControllerState.h"
#include "platform/engine/Engine.h"
#include "platform/engine/Message.h"

#include <QMetaObject>

namespace bus::service {

namespace {

constexpr const char* kWorkspaceNode = "w0";
constexpr QChar kControllerKind = QLatin1Char('c');
constexpr QChar kVariableKind = QLatin1Char('v');
constexpr QChar kMessageKind = QLatin1Char('m');

// A batch this large goes at once rather than at the end of the turn.
constexpr qsizetype kMaxBatch = 4096;
constexpr qsizetype kMaxPackedBytes = qsizetype{1} << 20;
// Room made at a batch's first message; a flood grows it from there.
constexpr qsizetype kFirstBatchCapacity = 64;
// Announcements kept for acknowledgement per controller; the oldest go first.
constexpr size_t kMaxAnnouncements = 1024;

QVariant pathArgument(const QString& path) {
    return QVariant::fromValue(QDBusObjectPath(path));
}

bool canAcknowledge(const cao::MessagePtr& message) {
    const auto* known = dynamic_cast<const engine::Message*>(message.get());
    return known == nullptr || known->acknowledgeable();
}

}  // namespace

EngineObject::EngineObject(cao::EnginePtr engine, QString path, Emit sendBatch)
    : m_engine(std::move(engine)), m_path(std::move(path)), m_emit(std::move(sendBatch)) {
    m_workspace = m_engine->Workspaces()->Item(cao::Variant::fromI4(0));
}

EngineObject::~EngineObject() {
    for (auto& [node, entry] : m_controllers) release(*entry);
}

void EngineObject::clientLost(const QString& fault) {
    // Only the embedded engine knows its controllers' providers; another closes them as it goes.
    if (auto* embedded = dynamic_cast<engine::Engine*>(m_engine.get())) embedded->clientLost(fault);
}

void EngineObject::setChannelsAllowed(bool allowed) {
    m_channelsAllowed = allowed;
}

int EngineObject::controllerCount() const {
    return m_workspace->Controllers()->Count();
}

QVariantList EngineObject::handle(const QString& path, const QString& interface,
                                  const QString& member, const QVariantList& arguments) {
    const QStringList nodes = path.mid(m_path.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const auto expect = [&](const char* wanted) {
        if (!interface.isEmpty() && interface != QLatin1String(wanted)) {
            throw unknownMethod(interface, member);
        }
    };
    if (nodes.isEmpty()) {
        expect(bus::kEngineInterface);
        return handleEngine(member, arguments);
    }
    if (nodes.size() == 1 && nodes[0] == QLatin1String(kWorkspaceNode)) {
        expect(bus::kWorkspaceInterface);
        return handleWorkspace(member, arguments);
    }
    auto it = m_controllers.find(nodes[0]);
    if (it == m_controllers.end() || nodes.size() > 2) throw unknownObject(path);
    std::shared_ptr<ControllerState> entry = it->second;  // a handler may remove it
    if (nodes.size() == 1) {
        expect(bus::kControllerInterface);
        return handleController(*entry, member, arguments);
    }
    if (nodes[1].startsWith(kVariableKind)) {
        expect(bus::kVariableInterface);
        return handleVariable(*entry, nodes[1], member, arguments);
    }
    if (nodes[1].startsWith(kMessageKind)) {
        expect(bus::kMessageInterface);
        return handleMessage(*entry, nodes[1], member, arguments);
    }
    throw unknownObject(path);
}

QVariantList EngineObject::handleEngine(const QString& member, const QVariantList& arguments) {
    const CallArguments take(QStringLiteral("Engine.") + member, arguments);
    if (member == QLatin1String("WorkspaceCount")) {
        take.expect(0, "");
        return {m_engine->Workspaces()->Count()};
    }
    if (member == QLatin1String("UsePackedMessages")) {
        take.expect(1, "b");
        const bool packed = take.flag(0);
        flush();  // what was gathered goes as it was gathered, so the order holds
        m_packed = packed;
        return {};
    }
    if (member == QLatin1String("OpenChannel")) {
        take.expect(2, "hh");
        const int calls = take.fileDescriptor(0);
        int batches = -1;
        try {
            batches = take.fileDescriptor(1);
        } catch (...) {
            channel::closeSocket(calls);
            throw;
        }
        openChannel(calls, batches);
        return {};
    }
    if (member == QLatin1String("Workspace")) {
        take.expect(1, "(qv)");
        m_engine->Workspaces()->Item(take.value(0));  // throws for any index but the one
        return {pathArgument(m_path + QLatin1Char('/') + QLatin1String(kWorkspaceNode))};
    }
    throw unknownMethod(QLatin1String(bus::kEngineInterface), member);
}

QVariantList EngineObject::handleWorkspace(const QString& member, const QVariantList& arguments) {
    const CallArguments take(QStringLiteral("Workspace.") + member, arguments);
    if (member == QLatin1String("ControllerCount")) {
        take.expect(0, "");
        return {m_workspace->Controllers()->Count()};
    }
    if (member == QLatin1String("Controller")) {
        take.expect(1, "(qv)");
        return {pathArgument(entryFor(m_workspace->Controllers()->Item(take.value(0)))->path)};
    }
    if (member == QLatin1String("AddController")) {
        take.expect(4, "ssss");
        cao::ControllerPtr controller =
            m_workspace->AddController(take.text(0), take.text(1), take.text(2), take.text(3));
        return {pathArgument(entryFor(controller)->path)};
    }
    if (member == QLatin1String("RemoveController")) {
        take.expect(1, "(qv)");
        const cao::Variant index = take.value(0);
        cao::ControllersPtr controllers = m_workspace->Controllers();
        std::shared_ptr<ControllerState> entry = entryFor(controllers->Item(index));
        controllers->Remove(index);  // a refusal leaves it open and reachable
        release(*entry);
        m_controllers.erase(entry->node);
        return {pathArgument(entry->path)};
    }
    throw unknownMethod(QLatin1String(bus::kWorkspaceInterface), member);
}

QVariantList EngineObject::handleController(ControllerState& entry, const QString& member,
                                            const QVariantList& arguments) {
    const CallArguments take(QStringLiteral("Controller.") + member, arguments);
    if (member == QLatin1String("Name")) {
        take.expect(0, "");
        return {entry.controller->Name()};
    }
    if (member == QLatin1String("Index")) {
        take.expect(0, "");
        return {entry.controller->Index()};
    }
    if (member == QLatin1String("VariableCount")) {
        take.expect(0, "");
        return {entry.controller->Variables()->Count()};
    }
    const auto nodeFor = [&entry](const QString& name, cao::VariablePtr variable) {
        auto known = entry.variableNodes.find(name);
        if (known != entry.variableNodes.end()) return known->second;
        const QString node = kVariableKind + QString::number(entry.newNumber());
        entry.variableNodes.emplace(name, node);
        entry.variables.emplace(node, std::move(variable));
        return node;
    };
    if (member == QLatin1String("AddVariable")) {
        take.expect(2, "ss");
        const QString name = take.text(0);
        cao::VariablePtr variable = entry.controller->Variables()->Add(name, take.text(1));
        return {pathArgument(entry.pathOf(nodeFor(name, std::move(variable))))};
    }
    if (member == QLatin1String("Variable")) {
        take.expect(1, "(qv)");
        const cao::Variant index = take.value(0);
        cao::VariablePtr variable = entry.controller->Variables()->Item(index);
        return {pathArgument(entry.pathOf(nodeFor(index.string(), std::move(variable))))};
    }
    if (member == QLatin1String("RemoveVariable")) {
        take.expect(1, "(qv)");
        const cao::Variant index = take.value(0);
        entry.controller->Variables()->Remove(index);
        auto known = entry.variableNodes.find(index.string());
        if (known != entry.variableNodes.end()) {
            entry.variables.erase(known->second);
            entry.variableNodes.erase(known);
        }
        return {};
    }
    if (member == QLatin1String("Subscribe")) {
        take.expect(1, "b");
        subscribe(m_controllers.at(entry.node), take.flag(0));
        return {};
    }
    throw unknownMethod(QLatin1String(bus::kControllerInterface), member);
}

void EngineObject::openChannel(int calls, int batches) {
    try {
        if (!m_channelsAllowed) {
            throw cao::Error(
                QStringLiteral("This engine serves its clients over D-Bus only, as it was told"),
                cao::code::NotImplemented);
        }
        channel::checkChannelSocket(calls);
        channel::checkChannelSocket(batches);
    } catch (...) {
        channel::closeSocket(calls);
        channel::closeSocket(batches);
        throw;
    }
    flush();  // what was gathered goes the way it was gathered for, so the order holds
    m_channel = std::make_unique<ChannelEnd>(
        calls, batches, [this](const channel::Call& call) { return serveChannel(call); });
}

std::optional<cao::Variant> EngineObject::serveChannel(const channel::Call& call) {
    const QStringList nodes =
        call.path.startsWith(m_path + QLatin1Char('/'))
            ? call.path.mid(m_path.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)
            : QStringList();
    const auto controller = nodes.size() == 2 ? m_controllers.find(nodes[0]) : m_controllers.end();
    if (controller == m_controllers.end()) throw unknownObject(call.path);
    std::shared_ptr<ControllerState> entry = controller->second;  // a handler may remove it
    auto it = entry->variables.find(nodes[1]);
    if (it == entry->variables.end()) throw unknownObject(call.path);
    cao::VariablePtr variable = it->second;
    if (call.member == channel::Member::GetValue) return variable->get_Value();
    CallArguments(QStringLiteral("Variable.PutValue"), {}).checkSize(call.value);
    variable->put_Value(call.value);
    return std::nullopt;
}

QVariantList EngineObject::handleVariable(ControllerState& entry, const QString& node,
                                          const QString& member, const QVariantList& arguments) {
    auto it = entry.variables.find(node);
    if (it == entry.variables.end()) throw unknownObject(entry.pathOf(node));
    cao::VariablePtr variable = it->second;
    const CallArguments take(QStringLiteral("Variable.") + member, arguments);
    if (member == QLatin1String("Name")) {
        take.expect(0, "");
        return {variable->Name()};
    }
    if (member == QLatin1String("GetValue")) {
        take.expect(0, "");
        return {QVariant::fromValue(bus::toWire(variable->get_Value()))};
    }
    if (member == QLatin1String("PutValue")) {
        take.expect(1, "(qv)");
        variable->put_Value(take.value(0));
        return {};
    }
    throw unknownMethod(QLatin1String(bus::kVariableInterface), member);
}

QVariantList EngineObject::handleMessage(ControllerState& entry, const QString& node,
                                         const QString& member, const QVariantList& arguments) {
    bool numbered = false;
    const unsigned number = node.mid(1).toUInt(&numbered);
    auto it = numbered ? entry.announcements.find(number) : entry.announcements.end();
    if (it == entry.announcements.end()) throw unknownObject(entry.pathOf(node));
    const CallArguments take(QStringLiteral("Message.") + member, arguments);
    if (member == QLatin1String("Acknowledge")) {
        take.expect(0, "");
        cao::MessagePtr message = std::move(it->second);
        entry.announcements.erase(it);
        message->Acknowledge();
        return {};
    }
    throw unknownMethod(QLatin1String(bus::kMessageInterface), member);
}

std::shared_ptr<ControllerState> EngineObject::entryFor(const cao::ControllerPtr& controller) {
    const QString name = controller->Name();
    for (const auto& [node, entry] : m_controllers) {
        if (entry->name == name) return entry;
    }
    auto entry = std::make_shared<ControllerState>();
    entry->node = kControllerKind + QString::number(m_nextNode++);
    entry->path = m_path + QLatin1Char('/') + entry->node;
    entry->name = name;
    entry->controller = controller;
    m_controllers.emplace(entry->node, entry);
    // Messages go to the client whether or not it listens yet: it decides when it delivers
    // them, as a handler set just after a call still receives what that call raised.
    subscribe(entry, true);
    return entry;
}

void EngineObject::subscribe(const std::shared_ptr<ControllerState>& entry, bool listening) {
    if (!listening) {
        entry->controller->SetOnMessage({});
    } else {
        std::weak_ptr<ControllerState> target = entry;
        entry->controller->SetOnMessage(
            [this, target](const cao::MessagePtr& message) { gather(target, message); });
    }
    entry->listening = listening;
}

void EngineObject::gather(const std::weak_ptr<ControllerState>& target,
                          const cao::MessagePtr& message) {
    auto entry = target.lock();
    if (!entry) return;
    QString acknowledgePath;
    if (canAcknowledge(message)) {
        if (entry->announcements.size() >= kMaxAnnouncements) {
            entry->announcements.erase(entry->announcements.begin());
        }
        const unsigned number = entry->newNumber();
        entry->announcements.emplace(number, message);
        acknowledgePath = entry->pathOf(kMessageKind + QString::number(number));
    }
    if (!entry->hasBatch()) m_waiting.push_back(entry);
    qsizetype gathered = 0;
    if (m_packed) {
        entry->packed.add(message->Number(), message->Value(), message->Time(), message->Source(),
                          acknowledgePath);
        gathered = entry->packed.count();
    } else {
        bus::WireMessage wire;
        wire.number = message->Number();
        wire.value = bus::toWire(message->Value());
        wire.time = bus::toWire(message->Time());
        wire.source = message->Source();
        // Built once: a path is checked each time one is made.
        static const QDBusObjectPath nothingToAcknowledge{QLatin1String(bus::kNoMessageObject)};
        wire.acknowledge =
            acknowledgePath.isEmpty() ? nothingToAcknowledge : QDBusObjectPath(acknowledgePath);
        if (entry->batch.isEmpty()) entry->batch.reserve(kFirstBatchCapacity);
        entry->batch.append(std::move(wire));
        gathered = entry->batch.size();
    }
    if (gathered >= kMaxBatch || entry->packed.size() >= kMaxPackedBytes) {
        flush();
    } else if (!m_flushQueued) {
        m_flushQueued = true;
        QMetaObject::invokeMethod(this, &EngineObject::flush, Qt::QueuedConnection);
    }
}

void EngineObject::flush() {
    m_flushQueued = false;
    std::vector<std::weak_ptr<ControllerState>> waiting;
    waiting.swap(m_waiting);
    for (const auto& target : waiting) {
        auto entry = target.lock();
        if (!entry) continue;
        if (!entry->batch.isEmpty()) {
            bus::WireMessages batch;
            batch.swap(entry->batch);
            m_emit(entry->path, bus::kMessagesSignal, QVariant::fromValue(batch));
        }
        if (entry->packed.count() > 0) {
            const QByteArray packed = entry->packed.take();
            if (!m_channel || !m_channel->sendBatch(entry->path, packed)) {
                m_emit(entry->path, bus::kPackedMessagesSignal, packed);
            }
        }
    }
}

void EngineObject::release(ControllerState& entry) {
    if (entry.listening) {
        entry.controller->SetOnMessage({});
        entry.listening = false;
    }
    entry.batch.clear();
    entry.packed.take();
    entry.announcements.clear();
    entry.variables.clear();
    entry.variableNodes.clear();
}

}  // namespace bus::service
