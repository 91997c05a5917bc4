#pragma once

#include "cao/Cao.h"

namespace cao {

// A reference to a controller that is bound to its OnMessage event: while it refers to a
// controller, that controller's messages go to the handler; assigning another controller
// moves the subscription, clearing the reference ends it.
class EventBoundController {
public:
    explicit EventBoundController(MessageHandler handler) : m_handler(std::move(handler)) {}
    ~EventBoundController();
    EventBoundController(const EventBoundController&) = delete;
    EventBoundController& operator=(const EventBoundController&) = delete;

    void set(ControllerPtr controller);
    void clear() { set(nullptr); }

    const ControllerPtr& get() const noexcept { return m_controller; }
    CaoController* operator->() const noexcept { return m_controller.get(); }
    explicit operator bool() const noexcept { return m_controller != nullptr; }

private:
    MessageHandler m_handler;
    ControllerPtr m_controller;
};

}  // namespace cao
