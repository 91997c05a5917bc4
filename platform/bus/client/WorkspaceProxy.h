#pragma once

#include "cao/Cao.h"
#include "platform/bus/client/Link.h"

#include <memory>

namespace bus::client {

// A workspace of the client's engine object, known by its node below that object, so the
// same proxy reaches the workspace of the next engine object after the engine ended.
class WorkspaceProxy : public cao::CaoWorkspace {
public:
    WorkspaceProxy(std::shared_ptr<Link> link, QString node)
        : m_link(std::move(link)), m_node(std::move(node)) {}
    cao::ControllersPtr Controllers() override;
    // After the engine ended, opens in a new engine.
    cao::ControllerPtr AddController(const QString& name, const QString& provider,
                                     const QString& machine, const QString& options) override;

private:
    std::shared_ptr<Link> m_link;
    QString m_node;
};

}  // namespace bus::client
