#include "platform/engine/Workspaces.h"

namespace engine {

cao::WorkspacePtr Workspaces::Item(const cao::Variant& index) {
    const int32_t position = cao::indexFromVariant(index);
    if (position != 0) {
        throw cao::Error(QStringLiteral("Workspace index %1 is out of range").arg(position),
                         cao::code::InvalidArg);
    }
    return m_workspace;
}

}  // namespace engine
