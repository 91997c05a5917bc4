#include "platform/bus/client/VariableProxy.h"

#include "platform/bus/client/Replies.h"
#include "platform/bus/protocol/Names.h"
#include "platform/bus/protocol/Wire.h"

namespace bus::client {

VariableProxy::VariableProxy(std::shared_ptr<Link> link,
                             std::shared_ptr<ControllerState> controller, QString path,
                             QString name)
    : m_link(std::move(link)),
      m_controller(std::move(controller)),
      m_path(std::move(path)),
      m_name(std::move(name)) {}

cao::Variant VariableProxy::get_Value() {
    const QVariantList reply = call("GetValue");
    if (reply.isEmpty()) throw cao::Error(QStringLiteral("The engine answered no value"));
    return fromWire(wireValueArgument(reply[0]));
}

void VariableProxy::put_Value(const cao::Variant& value) {
    call("PutValue", valueArgument(value));
}

QVariantList VariableProxy::call(const char* member, const QVariantList& arguments) {
    m_controller->requireOpen();
    try {
        return m_link->call(m_controller->owner, m_path, kVariableInterface, member, arguments);
    } catch (const UnknownObject&) {
        throw cao::Error(QStringLiteral("Variable \"%1\" is no longer registered").arg(m_name));
    }
}

}  // namespace bus::client
