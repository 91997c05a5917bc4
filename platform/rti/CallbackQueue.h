#pragma once

#include "platform/rti/Callback.h"

#include <deque>
#include <optional>

namespace rti {

// A federate's callbacks in the order it will receive them, and the receive-order
// messages held back while the federate is constrained and not advancing.
class CallbackQueue {
public:
    // Both return true when the ready queue was empty before.
    bool push(Callback callback);
    bool releaseHeld();

    void hold(Callback callback) { m_held.push_back(std::move(callback)); }

    std::optional<Callback> pop();
    std::size_t size() const { return m_ready.size(); }
    std::size_t heldCount() const { return m_held.size(); }

private:
    std::deque<Callback> m_ready;
    std::deque<Callback> m_held;
};

}  // namespace rti
