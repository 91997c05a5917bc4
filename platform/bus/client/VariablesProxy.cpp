#include "platform/bus/client/VariablesProxy.h"

#include "platform/bus/client/Replies.h"
#include "platform/bus/client/VariableProxy.h"
#include "platform/bus/protocol/Names.h"

namespace bus::client {

cao::VariablePtr VariablesProxy::Add(const QString& name, const QString& option) {
    const QString path = pathOf(call("AddVariable", {name, option}));
    return std::make_shared<VariableProxy>(m_link, m_controller, path, name);
}

cao::VariablePtr VariablesProxy::Item(const cao::Variant& index) {
    const QString path = pathOf(call("Variable", valueArgument(index)));
    return std::make_shared<VariableProxy>(m_link, m_controller, path, index.string());
}

void VariablesProxy::Remove(const cao::Variant& index) {
    call("RemoveVariable", valueArgument(index));
}

int32_t VariablesProxy::Count() {
    return intOf(call("VariableCount"));
}

QVariantList VariablesProxy::call(const char* member, const QVariantList& arguments) {
    m_controller->requireOpen();
    return m_link->call(m_controller->owner, m_controller->path, kControllerInterface, member,
                        arguments);
}

}  // namespace bus::client
