#pragma once

#include "cao/Cao.h"
#include "platform/bus/client/ControllerState.h"
#include "platform/bus/client/Link.h"

#include <memory>

namespace bus::client {

// A controller of the engine. Every proxy of one controller shares its state, so that all of
// them know when it is removed, or lost with its engine.
class ControllerProxy : public cao::CaoController {
public:
    ControllerProxy(std::shared_ptr<Link> link, std::shared_ptr<ControllerState> state)
        : m_link(std::move(link)), m_state(std::move(state)) {}

    QString Name() override;
    // Of a controller lost with its engine, its place among those not removed yet.
    int32_t Index() override;
    cao::VariablesPtr Variables() override;
    void SetOnMessage(cao::MessageHandler handler) override;

private:
    std::shared_ptr<Link> m_link;
    std::shared_ptr<ControllerState> m_state;
};

}  // namespace bus::client
