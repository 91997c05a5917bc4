#include "platform/bus/client/ControllersProxy.h"

#include "platform/bus/client/ControllerProxy.h"
#include "platform/bus/client/Replies.h"
#include "platform/bus/protocol/Names.h"

namespace bus::client {

int32_t ControllersProxy::Count() {
    return intOf(call("ControllerCount"));
}

cao::ControllerPtr ControllersProxy::Item(const cao::Variant& index) {
    return ControllerProxy::at(m_link, pathOf(call("Controller", valueArgument(index))), {});
}

void ControllersProxy::Remove(const cao::Variant& index) {
    m_link->controllerRemoved(pathOf(call("RemoveController", valueArgument(index))));
}

QVariantList ControllersProxy::call(const char* member, const QVariantList& arguments) {
    return m_link->call(m_workspace, kWorkspaceInterface, member, arguments);
}

}  // namespace bus::client
