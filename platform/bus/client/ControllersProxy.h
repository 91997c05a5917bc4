#pragma once

#include "cao/Cao.h"
#include "platform/bus/client/Link.h"

#include <memory>

namespace bus::client {

// The controller collection of a workspace of the client's engine object. After the engine
// ended it holds the controllers lost with it, closed, until the client removes them.
class ControllersProxy : public cao::CaoControllers {
public:
    ControllersProxy(std::shared_ptr<Link> link, QString workspace)
        : m_link(std::move(link)), m_workspace(std::move(workspace)) {}
    int32_t Count() override;
    cao::ControllerPtr Item(const cao::Variant& index) override;
    void Remove(const cao::Variant& index) override;

private:
    QVariantList call(const char* member, const QVariantList& arguments = {},
                      QString* owner = nullptr);

    std::shared_ptr<Link> m_link;
    QString m_workspace;  // its node below the engine object
};

}  // namespace bus::client
