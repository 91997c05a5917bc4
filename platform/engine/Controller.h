#pragma once

#include "cao/Cao.h"
#include "platform/engine/ControllerList.h"
#include "platform/engine/ControllerState.h"

#include <memory>

namespace engine {

// An open controller of the workspace; it fails cleanly once removed.
class Controller : public cao::CaoController {
public:
    Controller(std::shared_ptr<ControllerState> state, std::shared_ptr<ControllerList> list)
        : m_state(std::move(state)), m_list(std::move(list)) {}
    QString Name() override { return m_state->name; }
    int32_t Index() override;
    cao::VariablesPtr Variables() override;
    void SetOnMessage(cao::MessageHandler handler) override;

private:
    std::shared_ptr<ControllerState> m_state;
    std::shared_ptr<ControllerList> m_list;
};

}  // namespace engine
