#include "bus/Proxies.h"

#include "bus/Names.h"

#include <QDBusObjectPath>

namespace bus {

namespace {

using LinkPtr = std::shared_ptr<Link>;

QVariantList valueArgument(const cao::Variant& value) {
    return {QVariant::fromValue(toWire(value))};
}

int32_t intOf(const QVariantList& reply) {
    if (reply.isEmpty() || reply[0].metaType() != QMetaType::fromType<int>()) {
        throw cao::Error(QStringLiteral("The engine answered without the number asked for"));
    }
    return reply[0].toInt();
}

class Message : public cao::CaoMessage {
public:
    Message(Link& link, MessageData data) : m_link(link), m_data(std::move(data)) {}
    int32_t Number() override { return m_data.number; }
    cao::Variant Value() override { return m_data.value; }
    cao::Variant Time() override { return m_data.time; }
    QString Source() override { return m_data.source; }
    // The engine learns of the first acknowledgement only.
    void Acknowledge() override {
        const QString path = std::exchange(m_data.acknowledgePath, QString());
        if (!path.isEmpty()) m_link.call(path, kMessageInterface, "Acknowledge");
    }

private:
    Link& m_link;  // messages are delivered by the link, which outlives their handling
    MessageData m_data;
};

class Variable : public cao::CaoVariable {
public:
    Variable(LinkPtr link, std::shared_ptr<ControllerLink> controller, QString path, QString name)
        : m_link(std::move(link)),
          m_controller(std::move(controller)),
          m_path(std::move(path)),
          m_name(std::move(name)) {}
    QString Name() override { return m_name; }
    cao::Variant get_Value() override {
        const QVariantList reply = call("GetValue");
        if (reply.isEmpty()) throw cao::Error(QStringLiteral("The engine answered no value"));
        return fromWire(wireValueArgument(reply[0]));
    }
    void put_Value(const cao::Variant& value) override { call("PutValue", valueArgument(value)); }

private:
    QVariantList call(const char* member, const QVariantList& arguments = {}) {
        m_controller->requireOpen();
        try {
            return m_link->call(m_path, kVariableInterface, member, arguments);
        } catch (const UnknownObject&) {
            throw cao::Error(QStringLiteral("Variable \"%1\" is no longer registered").arg(m_name));
        }
    }

    LinkPtr m_link;
    std::shared_ptr<ControllerLink> m_controller;
    QString m_path;
    QString m_name;
};

class Variables : public cao::CaoVariables {
public:
    Variables(LinkPtr link, std::shared_ptr<ControllerLink> controller)
        : m_link(std::move(link)), m_controller(std::move(controller)) {}
    cao::VariablePtr Add(const QString& name, const QString& option) override {
        const QString path = pathOf(call("AddVariable", {name, option}));
        return std::make_shared<Variable>(m_link, m_controller, path, name);
    }
    cao::VariablePtr Item(const cao::Variant& index) override {
        const QString path = pathOf(call("Variable", valueArgument(index)));
        return std::make_shared<Variable>(m_link, m_controller, path, index.string());
    }
    void Remove(const cao::Variant& index) override {
        call("RemoveVariable", valueArgument(index));
    }
    int32_t Count() override { return intOf(call("VariableCount")); }

private:
    QVariantList call(const char* member, const QVariantList& arguments = {}) {
        m_controller->requireOpen();
        return m_link->call(m_controller->path, kControllerInterface, member, arguments);
    }

    LinkPtr m_link;
    std::shared_ptr<ControllerLink> m_controller;
};

class Controller : public cao::CaoController {
public:
    Controller(LinkPtr link, std::shared_ptr<ControllerLink> state)
        : m_link(std::move(link)), m_state(std::move(state)) {}
    QString Name() override {
        if (m_state->name.isEmpty()) {
            m_state->requireOpen();
            const QVariantList reply = m_link->call(m_state->path, kControllerInterface, "Name");
            m_state->name = reply.value(0).toString();
        }
        return m_state->name;
    }
    int32_t Index() override {
        m_state->requireOpen();
        return intOf(m_link->call(m_state->path, kControllerInterface, "Index"));
    }
    cao::VariablesPtr Variables() override {
        m_state->requireOpen();
        return std::make_shared<bus::Variables>(m_link, m_state);
    }
    void SetOnMessage(cao::MessageHandler handler) override {
        // Ending a subscription always works, so a closed controller can still be let go of.
        if (handler) m_state->requireOpen();
        m_state->handler = std::move(handler);
    }

private:
    LinkPtr m_link;
    std::shared_ptr<ControllerLink> m_state;
};

cao::ControllerPtr controllerAt(const LinkPtr& link, const QString& path, const QString& name) {
    auto state = link->controller(path);
    if (state->name.isEmpty()) state->name = name;
    return std::make_shared<Controller>(link, std::move(state));
}

class Controllers : public cao::CaoControllers {
public:
    Controllers(LinkPtr link, QString workspace)
        : m_link(std::move(link)), m_workspace(std::move(workspace)) {}
    int32_t Count() override { return intOf(call("ControllerCount")); }
    cao::ControllerPtr Item(const cao::Variant& index) override {
        return controllerAt(m_link, pathOf(call("Controller", valueArgument(index))), {});
    }
    void Remove(const cao::Variant& index) override {
        m_link->controllerRemoved(pathOf(call("RemoveController", valueArgument(index))));
    }

private:
    QVariantList call(const char* member, const QVariantList& arguments = {}) {
        return m_link->call(m_workspace, kWorkspaceInterface, member, arguments);
    }

    LinkPtr m_link;
    QString m_workspace;
};

class Workspace : public cao::CaoWorkspace {
public:
    Workspace(LinkPtr link, QString path) : m_link(std::move(link)), m_path(std::move(path)) {}
    cao::ControllersPtr Controllers() override {
        return std::make_shared<bus::Controllers>(m_link, m_path);
    }
    cao::ControllerPtr AddController(const QString& name, const QString& provider,
                                     const QString& machine, const QString& options) override {
        const QVariantList reply = m_link->call(m_path, kWorkspaceInterface, "AddController",
                                                {name, provider, machine, options});
        return controllerAt(m_link, pathOf(reply), name);
    }

private:
    LinkPtr m_link;
    QString m_path;
};

class Workspaces : public cao::CaoWorkspaces {
public:
    Workspaces(LinkPtr link, QString engine)
        : m_link(std::move(link)), m_engine(std::move(engine)) {}
    int32_t Count() override {
        return intOf(m_link->call(m_engine, kEngineInterface, "WorkspaceCount"));
    }
    cao::WorkspacePtr Item(const cao::Variant& index) override {
        const QVariantList reply =
            m_link->call(m_engine, kEngineInterface, "Workspace", valueArgument(index));
        return std::make_shared<Workspace>(m_link, pathOf(reply));
    }

private:
    LinkPtr m_link;
    QString m_engine;
};

class Engine : public cao::CaoEngine {
public:
    Engine(LinkPtr link, QString path) : m_link(std::move(link)), m_path(std::move(path)) {}
    cao::WorkspacesPtr Workspaces() override {
        return std::make_shared<bus::Workspaces>(m_link, m_path);
    }

private:
    LinkPtr m_link;
    QString m_path;
};

}  // namespace

MessageData messageFromWire(const WireMessage& wire) {
    MessageData data;
    data.number = wire.number;
    data.value = fromWire(wire.value);
    data.time = fromWire(wire.time);
    data.source = wire.source;
    const QString path = wire.acknowledge.path();
    if (path != QLatin1String(kNoMessageObject)) data.acknowledgePath = path;
    return data;
}

cao::MessagePtr makeMessage(Link& link, MessageData data) {
    return std::make_shared<Message>(link, std::move(data));
}

cao::EnginePtr makeEngine(std::shared_ptr<Link> link, QString path) {
    return std::make_shared<Engine>(std::move(link), std::move(path));
}

}  // namespace bus
