#pragma once

#include "platform/provider/Ambassador.h"
#include "platform/provider/Federate.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <memory>

namespace provider {

// Hands a federate's callbacks to its ambassador from the event loop, a bounded batch at a
// time, so that a flood of callbacks never holds the event loop for long. Every batch goes
// through the controller's queue, so callbacks keep their order among its messages.
//
// A run-time that cannot tell when callbacks arrive is polled: often while traffic flows and
// for a while after, so a message in a conversation waits little, and seldom once the
// federate has been quiet for long, so an idle federate costs little.
class CallbackPump : public std::enable_shared_from_this<CallbackPump> {
public:
    static constexpr int kBatch = 256;
    static constexpr int kBusyPollMs = 2;
    // A quiet federate costs a poll per period; 20 ms keeps an idle one well under 1% of a
    // core and is left as soon as traffic comes.
    static constexpr int kIdlePollMs = 20;
    static constexpr int kBusySpellMs = 2000;  // how long after traffic polling stays busy

    CallbackPump(std::shared_ptr<Federate> federate, engine::ControllerContext& context);

    // Polls from now on when the run-time needs it.
    void start();
    // Schedules a run unless one is already scheduled; only queues work. Any thread may call
    // it: a run-time tells of callbacks on the thread that caused them.
    void wake();
    // Stops for good: a run already scheduled does nothing.
    void stop();

private:
    void schedule();
    void run();
    void poll();
    void schedulePoll(bool traffic);

    std::shared_ptr<Federate> m_federate;
    Ambassador m_ambassador;
    engine::ControllerContext& m_context;
    QObject m_home;  // lives on the controller's thread, where runs are scheduled
    QTimer m_pollTimer;
    QElapsedTimer m_sinceTraffic;
    std::atomic<bool> m_scheduled = false;
    std::atomic<bool> m_stopped = false;
};

}  // namespace provider
