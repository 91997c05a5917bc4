#pragma once

#include "cao/Cao.h"
#include "platform/bus/client/Link.h"

#include <memory>

namespace bus::client {

// The workspace collection of an engine object.
class WorkspacesProxy : public cao::CaoWorkspaces {
public:
    WorkspacesProxy(std::shared_ptr<Link> link, QString engine)
        : m_link(std::move(link)), m_engine(std::move(engine)) {}
    int32_t Count() override;
    cao::WorkspacePtr Item(const cao::Variant& index) override;

private:
    std::shared_ptr<Link> m_link;
    QString m_engine;
};

}  // namespace bus::client
