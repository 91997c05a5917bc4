#pragma once

#include "hla/Ambassador.h"
#include "hla/Federate.h"

#include <memory>

namespace hla {

// Hands a federate's queued callbacks to its ambassador from the event loop, a bounded batch
// at a time, so that a flood of callbacks never holds the event loop for long.
class CallbackPump : public std::enable_shared_from_this<CallbackPump> {
public:
    static constexpr int kBatch = 256;

    CallbackPump(std::shared_ptr<Federate> federate, engine::ControllerContext& context)
        : m_federate(federate), m_ambassador(std::move(federate)), m_context(context) {}

    // Schedules a run unless one is already scheduled; only queues work.
    void wake();
    // Stops for good: a run already scheduled does nothing.
    void stop() { m_stopped = true; }

private:
    void run();

    std::shared_ptr<Federate> m_federate;
    Ambassador m_ambassador;
    engine::ControllerContext& m_context;
    bool m_scheduled = false;
    bool m_stopped = false;
};

}  // namespace hla
