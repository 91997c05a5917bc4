#pragma once

#include "cao/Cao.h"
#include "platform/bus/client/Link.h"

#include <memory>

namespace bus::client {

// A client's engine object in the engine; after the engine ended, the one made in the next.
class EngineProxy : public cao::CaoEngine {
public:
    explicit EngineProxy(std::shared_ptr<Link> link) : m_link(std::move(link)) {}
    cao::WorkspacesPtr Workspaces() override;

private:
    std::shared_ptr<Link> m_link;
};

}  // namespace bus::client
