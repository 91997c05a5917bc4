#include "platform/rti/CallbackQueue.h"

namespace rti {

bool CallbackQueue::push(Callback callback) {
    const bool wasEmpty = m_ready.empty();
    m_ready.push_back(std::move(callback));
    return wasEmpty;
}

bool CallbackQueue::releaseHeld() {
    const bool wasEmpty = m_ready.empty();
    for (auto& callback : m_held) m_ready.push_back(std::move(callback));
    m_held.clear();
    return wasEmpty && !m_ready.empty();
}

std::optional<Callback> CallbackQueue::pop() {
    if (m_ready.empty()) return std::nullopt;
    std::optional<Callback> front(std::move(m_ready.front()));
    m_ready.pop_front();
    return front;
}

}  // namespace rti
