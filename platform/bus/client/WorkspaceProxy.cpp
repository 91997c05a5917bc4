#include "platform/bus/client/WorkspaceProxy.h"

#include "platform/bus/client/ControllerProxy.h"
#include "platform/bus/client/ControllersProxy.h"
#include "platform/bus/client/Replies.h"
#include "platform/bus/protocol/Names.h"

namespace bus::client {

cao::ControllersPtr WorkspaceProxy::Controllers() {
    return std::make_shared<ControllersProxy>(m_link, m_node);
}

cao::ControllerPtr WorkspaceProxy::AddController(const QString& name, const QString& provider,
                                                 const QString& machine, const QString& options) {
    QString owner;
    const QVariantList reply = m_link->callEngine(m_node, kWorkspaceInterface, "AddController",
                                                  {name, provider, machine, options}, &owner);
    return std::make_shared<ControllerProxy>(m_link, m_link->opened(owner, pathOf(reply), name));
}

}  // namespace bus::client
