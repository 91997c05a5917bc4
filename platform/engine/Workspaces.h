#pragma once

#include "cao/Cao.h"

namespace engine {

// An engine's workspaces: the one default workspace at index 0.
class Workspaces : public cao::CaoWorkspaces {
public:
    explicit Workspaces(cao::WorkspacePtr workspace) : m_workspace(std::move(workspace)) {}
    int32_t Count() override { return 1; }
    cao::WorkspacePtr Item(const cao::Variant& index) override;

private:
    cao::WorkspacePtr m_workspace;
};

}  // namespace engine
