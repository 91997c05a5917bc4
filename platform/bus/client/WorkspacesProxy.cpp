#include "platform/bus/client/WorkspacesProxy.h"

#include "platform/bus/client/Replies.h"
#include "platform/bus/client/WorkspaceProxy.h"
#include "platform/bus/protocol/Names.h"

namespace bus::client {

int32_t WorkspacesProxy::Count() {
    return intOf(m_link->call(m_engine, kEngineInterface, "WorkspaceCount"));
}

cao::WorkspacePtr WorkspacesProxy::Item(const cao::Variant& index) {
    const QVariantList reply =
        m_link->call(m_engine, kEngineInterface, "Workspace", valueArgument(index));
    return std::make_shared<WorkspaceProxy>(m_link, pathOf(reply));
}

}  // namespace bus::client
