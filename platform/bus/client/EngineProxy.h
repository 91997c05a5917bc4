#pragma once

#include "cao/Cao.h"
#include "platform/bus/client/Link.h"

#include <memory>

namespace bus::client {

// A client's engine object in the engine.
class EngineProxy : public cao::CaoEngine {
public:
    EngineProxy(std::shared_ptr<Link> link, QString path)
        : m_link(std::move(link)), m_path(std::move(path)) {}
    cao::WorkspacesPtr Workspaces() override;

private:
    std::shared_ptr<Link> m_link;
    QString m_path;
};

}  // namespace bus::client
