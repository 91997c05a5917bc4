#pragma once

#include "platform/links/RunTimeLink.h"

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace links {

// Carries a federate's callbacks from the thread that takes them from the RTI to the
// controller's thread, in order. recorder() is what the RTI's side hands the callbacks to; it
// keeps each as a call to make later and says so through the waker. deliver() makes the
// oldest call on the controller's thread.
class CallbackOutbox {
public:
    CallbackOutbox();
    ~CallbackOutbox();
    CallbackOutbox(const CallbackOutbox&) = delete;
    CallbackOutbox& operator=(const CallbackOutbox&) = delete;

    RunTimeCallbacks& recorder();
    // wake may only schedule work; it is called on the RTI's thread.
    void setWaker(std::function<void()> wake);

    // Makes the oldest call on callbacks; false when none waits.
    bool deliver(RunTimeCallbacks& callbacks);
    bool pending() const;
    // The time of the last grant delivered so far, which is the federate's logical time as the
    // controller has been told it.
    std::optional<hla::LogicalTime> deliveredGrant() const;

private:
    class Recorder;
    using Call = std::function<void(RunTimeCallbacks&)>;

    void keep(Call call);

    mutable std::mutex m_mutex;
    std::deque<Call> m_calls;
    std::function<void()> m_wake;
    std::optional<hla::LogicalTime> m_deliveredGrant;
    std::unique_ptr<Recorder> m_recorder;
};

}  // namespace links
