#include "platform/bus/client/EngineProxy.h"

#include "platform/bus/client/WorkspacesProxy.h"

namespace bus::client {

cao::WorkspacesPtr EngineProxy::Workspaces() {
    return std::make_shared<WorkspacesProxy>(m_link);
}

}  // namespace bus::client
