#pragma once

#include "cao/Cao.h"
#include "platform/bus/client/ControllerState.h"
#include "platform/bus/client/Link.h"

#include <memory>

namespace bus::client {

// The variable collection of a controller in the engine.
class VariablesProxy : public cao::CaoVariables {
public:
    VariablesProxy(std::shared_ptr<Link> link, std::shared_ptr<ControllerState> controller)
        : m_link(std::move(link)), m_controller(std::move(controller)) {}
    cao::VariablePtr Add(const QString& name, const QString& option) override;
    cao::VariablePtr Item(const cao::Variant& index) override;
    void Remove(const cao::Variant& index) override;
    int32_t Count() override;

private:
    QVariantList call(const char* member, const QVariantList& arguments = {});

    std::shared_ptr<Link> m_link;
    std::shared_ptr<ControllerState> m_controller;
};

}  // namespace bus::client
