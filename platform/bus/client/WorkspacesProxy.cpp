#include "platform/bus/client/WorkspacesProxy.h"

#include "platform/bus/client/Replies.h"
#include "platform/bus/client/WorkspaceProxy.h"
#include "platform/bus/protocol/Names.h"

namespace bus::client {

int32_t WorkspacesProxy::Count() {
    return intOf(m_link->callEngine({}, kEngineInterface, "WorkspaceCount"));
}

cao::WorkspacePtr WorkspacesProxy::Item(const cao::Variant& index) {
    const QString path =
        pathOf(m_link->callEngine({}, kEngineInterface, "Workspace", valueArgument(index)));
    // Kept relative to the engine object, so the proxy outlives an engine that ends.
    const QString engine = m_link->session().path() + QLatin1Char('/');
    if (!path.startsWith(engine)) {
        throw cao::Error(QStringLiteral("The engine answered with the workspace %1, which is not "
                                        "one of this client's engine object %2")
                             .arg(path, m_link->session().path()));
    }
    return std::make_shared<WorkspaceProxy>(m_link, path.mid(engine.size()));
}

}  // namespace bus::client
