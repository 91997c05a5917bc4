#pragma once

#include "hla/Ambassador.h"
#include "hla/Federate.h"

#include <QTimer>

#include <memory>

namespace hla {

// Hands a federate's callbacks to its ambassador from the event loop, a bounded batch at a
// time, so that a flood of callbacks never holds the event loop for long. Every batch goes
// through the controller's queue, so callbacks keep their order among its messages.
//
// A run-time that cannot tell when callbacks arrive is polled: soon after traffic, then less
// often while it stays quiet, so an idle federate costs little and a message waits at most
// kSlowestPollMs before it is taken.
class CallbackPump : public std::enable_shared_from_this<CallbackPump> {
public:
    static constexpr int kBatch = 256;
    static constexpr int kFastestPollMs = 1;
    static constexpr int kSlowestPollMs = 8;

    CallbackPump(std::shared_ptr<Federate> federate, engine::ControllerContext& context);

    // Polls from now on when the run-time needs it.
    void start();
    // Schedules a run unless one is already scheduled; only queues work.
    void wake();
    // Stops for good: a run already scheduled does nothing.
    void stop();

private:
    void run();
    void poll();
    void schedulePoll(bool busy);

    std::shared_ptr<Federate> m_federate;
    Ambassador m_ambassador;
    engine::ControllerContext& m_context;
    QTimer m_pollTimer;
    int m_pollMs = kFastestPollMs;
    bool m_scheduled = false;
    bool m_stopped = false;
};

}  // namespace hla
