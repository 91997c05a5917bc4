#pragma once

#include "cao/Cao.h"
#include "platform/bus/client/Link.h"

#include <memory>

namespace bus::client {

// The workspace collection of the client's engine object.
class WorkspacesProxy : public cao::CaoWorkspaces {
public:
    explicit WorkspacesProxy(std::shared_ptr<Link> link) : m_link(std::move(link)) {}
    int32_t Count() override;
    cao::WorkspacePtr Item(const cao::Variant& index) override;

private:
    std::shared_ptr<Link> m_link;
};

}  // namespace bus::client
