#include "platform/engine/Controller.h"

#include "platform/engine/Variables.h"

namespace engine {

int32_t Controller::Index() {
    m_state->requireOpen();
    return m_list->indexOf(*m_state);
}

cao::VariablesPtr Controller::Variables() {
    m_state->requireOpen();
    return std::make_shared<engine::Variables>(m_state);
}

void Controller::SetOnMessage(cao::MessageHandler handler) {
    // Ending a subscription always works, so a closed controller can still be let go of.
    if (handler) m_state->requireOpen();
    m_state->handler = std::move(handler);
}

}  // namespace engine
