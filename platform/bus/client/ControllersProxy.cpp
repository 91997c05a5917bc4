#include "platform/bus/client/ControllersProxy.h"

#include "platform/bus/client/ControllerProxy.h"
#include "platform/bus/client/Replies.h"
#include "platform/bus/protocol/Names.h"

namespace bus::client {

int32_t ControllersProxy::Count() {
    if (m_link->ended()) return m_link->roster().endedCount();
    return intOf(call("ControllerCount"));
}

cao::ControllerPtr ControllersProxy::Item(const cao::Variant& index) {
    if (m_link->ended()) {
        return std::make_shared<ControllerProxy>(
            m_link, m_link->roster().endedAt(cao::indexFromVariant(index)));
    }
    QString owner;
    const QString path = pathOf(call("Controller", valueArgument(index), &owner));
    return std::make_shared<ControllerProxy>(m_link, m_link->controller(owner, path));
}

void ControllersProxy::Remove(const cao::Variant& index) {
    if (m_link->ended()) {
        // Closed with the engine already; the client lets go of it here.
        m_link->roster().removeEnded(cao::indexFromVariant(index));
        return;
    }
    m_link->controllerRemoved(pathOf(call("RemoveController", valueArgument(index))));
}

QVariantList ControllersProxy::call(const char* member, const QVariantList& arguments,
                                    QString* owner) {
    return m_link->callEngine(m_workspace, kWorkspaceInterface, member, arguments, owner);
}

}  // namespace bus::client
