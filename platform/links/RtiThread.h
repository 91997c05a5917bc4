#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <type_traits>

namespace links {

// A bounded wait for the RTI that ran out. The work goes on on the RTI's thread; its result
// is dropped.
class RtiTimeout : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The one thread that makes every call of one RTI ambassador, its callbacks included: an
// ambassador is not thread-safe. Other threads hand work over and wait for it a bounded time,
// so that a silent RTI never holds them longer than the bound. Between jobs the thread waits
// for more work a short while and then runs `idle` (taking what the RTI has sent): often
// while traffic flows, seldom once the link has been quiet for long; or, where the RTI's
// connection can be waited on, as soon as it has sent something.
class RtiThread {
public:
    static constexpr std::chrono::microseconds kBusyWait{250};
    static constexpr std::chrono::milliseconds kQuietWait{10};
    static constexpr std::chrono::milliseconds kBusySpell{2000};

    // idle runs on the thread after every job and every wait; it answers whether anything
    // came in.
    explicit RtiThread(std::function<bool()> idle = {});
    // Stops as stop() does, without waiting.
    ~RtiThread();
    RtiThread(const RtiThread&) = delete;
    RtiThread& operator=(const RtiThread&) = delete;

    void setIdle(std::function<bool()> idle);
    // readable gives, on the thread, a descriptor that becomes readable when the RTI has sent
    // something (-1 when there is none); the thread then sleeps on it between jobs, and runs
    // `idle` as soon as something has come, rather than after its wait.
    void setReadable(std::function<int()> readable);
    bool onThread() const { return std::this_thread::get_id() == m_id; }

    // Runs job on the thread and gives its result or throws its exception. Throws RtiTimeout
    // "<what>: the RTI did not answer within N s" when it has not finished within bound; the
    // job must then hold nothing of the caller's by reference. On the thread itself the job
    // runs at once.
    template <typename Job>
    auto run(const std::string& what, std::chrono::milliseconds bound, Job job) -> decltype(job());

    // Hands job to the thread without waiting for it; it must hold nothing of the caller's by
    // reference, and takes care of its own exceptions.
    void hand(std::function<void()> job) { post(std::move(job)); }

    // Ends the thread once `last` has run on it, after the jobs already handed over; waits at
    // most bound for that. A thread stuck in the RTI is left to end by itself when the RTI
    // comes free, `last` still running then; until it has ended it counts as lingering.
    // Gives whether the thread ended within the bound.
    bool stop(std::function<void()> last, std::chrono::milliseconds bound);

private:
    struct Shared;

    void post(std::function<void()> job);
    [[noreturn]] static void timedOut(const std::string& what, std::chrono::milliseconds bound);

    std::shared_ptr<Shared> m_shared;
    std::thread::id m_id;
};

// RTI threads left behind, still in a call to an RTI that did not answer: a program that ends
// with some must end without waiting for them.
int lingeringRtiThreads();

template <typename Job>
auto RtiThread::run(const std::string& what, std::chrono::milliseconds bound, Job job)
    -> decltype(job()) {
    using Result = decltype(job());
    if (onThread()) return job();
    struct Outcome {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        std::exception_ptr failure;
        std::conditional_t<std::is_void_v<Result>, bool, std::optional<Result>> value{};
    };
    auto outcome = std::make_shared<Outcome>();
    post([outcome, job = std::move(job)]() mutable {
        std::exception_ptr failure;
        try {
            if constexpr (std::is_void_v<Result>) {
                job();
            } else {
                auto value = job();
                const std::lock_guard lock(outcome->mutex);
                outcome->value.emplace(std::move(value));
            }
        } catch (...) {
            failure = std::current_exception();
        }
        const std::lock_guard lock(outcome->mutex);
        outcome->failure = failure;
        outcome->finished = true;
        outcome->done.notify_all();
    });
    std::unique_lock lock(outcome->mutex);
    if (!outcome->done.wait_for(lock, bound, [&] { return outcome->finished; })) {
        timedOut(what, bound);
    }
    if (outcome->failure) std::rethrow_exception(outcome->failure);
    if constexpr (!std::is_void_v<Result>) return std::move(*outcome->value);
}

}  // namespace links
