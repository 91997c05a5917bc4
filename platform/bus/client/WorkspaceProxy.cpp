#include "platform/bus/client/WorkspaceProxy.h"

#include "platform/bus/client/ControllerProxy.h"
#include "platform/bus/client/ControllersProxy.h"
#include "platform/bus/client/Replies.h"
#include "platform/bus/protocol/Names.h"

namespace bus::client {

cao::ControllersPtr WorkspaceProxy::Controllers() {
    return std::make_shared<ControllersProxy>(m_link, m_path);
}

cao::ControllerPtr WorkspaceProxy::AddController(const QString& name, const QString& provider,
                                                 const QString& machine, const QString& options) {
    const QVariantList reply = m_link->call(m_path, kWorkspaceInterface, "AddController",
                                            {name, provider, machine, options});
    return ControllerProxy::at(m_link, pathOf(reply), name);
}

}  // namespace bus::client
