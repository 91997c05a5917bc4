#pragma once

#include "cao/Cao.h"
#include "platform/bus/client/Link.h"

#include <memory>

namespace bus::client {

// A workspace of the engine.
class WorkspaceProxy : public cao::CaoWorkspace {
public:
    WorkspaceProxy(std::shared_ptr<Link> link, QString path)
        : m_link(std::move(link)), m_path(std::move(path)) {}
    cao::ControllersPtr Controllers() override;
    cao::ControllerPtr AddController(const QString& name, const QString& provider,
                                     const QString& machine, const QString& options) override;

private:
    std::shared_ptr<Link> m_link;
    QString m_path;
};

}  // namespace bus::client
