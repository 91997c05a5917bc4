#include "platform/engine/ControllerState.h"

#include "platform/engine/Dispatcher.h"
#include "platform/engine/Message.h"

namespace engine {

void ControllerState::requireOpen() const {
    if (!open) throw cao::Error(QStringLiteral("Controller \"%1\" is closed").arg(name));
}

void ControllerState::drop() {
    open = false;
    handler = nullptr;
    variables.clear();
    provider.reset();
}

void QueuedContext::raise(MessageData message) {
    m_dispatcher.post([state = m_state, message = std::move(message)]() mutable {
        auto s = state.lock();
        // A removed controller's messages are never delivered, nor those raised while
        // nobody listens.
        if (!s || !s->open || !s->handler) return;
        cao::MessageHandler handler = s->handler;  // the handler may replace itself
        handler(std::make_shared<Message>(std::move(message)));
    });
}

void QueuedContext::post(std::function<void()> work) {
    m_dispatcher.post([state = m_state, work = std::move(work)] {
        auto s = state.lock();
        if (s && s->open) work();
    });
}

}  // namespace engine
