#include "cao/EventBoundController.h"

namespace cao {

EventBoundController::~EventBoundController() {
    // Ending the subscription must not throw out of a destructor; an engine that refuses it
    // is going away with the window anyway.
    try {
        clear();
    } catch (const Error&) {
    }
}

void EventBoundController::set(ControllerPtr controller) {
    if (controller == m_controller) return;
    if (controller) controller->SetOnMessage(m_handler);
    ControllerPtr previous = std::exchange(m_controller, std::move(controller));
    if (previous) previous->SetOnMessage(nullptr);
}

}  // namespace cao
