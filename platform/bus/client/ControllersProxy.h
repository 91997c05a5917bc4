#pragma once

#include "cao/Cao.h"
#include "platform/bus/client/Link.h"

#include <memory>

namespace bus::client {

// The controller collection of a workspace in the engine.
class ControllersProxy : public cao::CaoControllers {
public:
    ControllersProxy(std::shared_ptr<Link> link, QString workspace)
        : m_link(std::move(link)), m_workspace(std::move(workspace)) {}
    int32_t Count() override;
    cao::ControllerPtr Item(const cao::Variant& index) override;
    void Remove(const cao::Variant& index) override;

private:
    QVariantList call(const char* member, const QVariantList& arguments = {});

    std::shared_ptr<Link> m_link;
    QString m_workspace;
};

}  // namespace bus::client
