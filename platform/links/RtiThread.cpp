#include "platform/links/RtiThread.h"

#include "platform/links/ThreadedLink.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <ctime>

namespace links {

namespace {

std::atomic<int> g_lingering{0};

// Sleeps until the RTI's descriptor or the thread's own wake-up is readable, or the wait is
// over; takes the wake-up's count.
void sleepOn(int rtiDescriptor, int wakeDescriptor, std::chrono::nanoseconds wait) {
    pollfd watched[] = {{wakeDescriptor, POLLIN, 0}, {rtiDescriptor, POLLIN, 0}};
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait);
    const timespec timeout{static_cast<std::time_t>(seconds.count()),
                           static_cast<long>((wait - seconds).count())};
    if (::ppoll(watched, 2, &timeout, nullptr) > 0 && (watched[0].revents & POLLIN) != 0) {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t taken = ::read(wakeDescriptor, &count, sizeof count);
    }
}

}  // namespace

int lingeringRtiThreads() {
    return g_lingering.load();
}

// What the thread and its owner share; the thread keeps it alive after the owner has gone.
struct RtiThread::Shared {
    std::mutex mutex;
    std::condition_variable wake;   // work arrived, or the thread is to end
    std::condition_variable ended;  // the thread ran its last job
    std::deque<std::function<void()>> jobs;
    std::function<bool()> idle;
    std::function<int()> readable;
    std::function<void()> last;
    // Written as work arrives, for a thread sleeping on the RTI's descriptor; -1 without.
    int wakeDescriptor = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    bool stopping = false;
    bool finished = false;
    bool abandoned = false;  // counted as lingering
    std::thread thread;

    // A fault of the link must not take the process down with the thread.
    template <typename Work>
    static bool guarded(const Work& work) {
        try {
            return work();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "tandrel: the RTI thread's work failed: %s\n", e.what());
        } catch (...) {
            std::fprintf(stderr, "tandrel: the RTI thread's work failed\n");
        }
        return false;
    }

    ~Shared() {
        if (wakeDescriptor >= 0) ::close(wakeDescriptor);
    }

    void wakeUp() {
        wake.notify_one();
        if (wakeDescriptor < 0) return;
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(wakeDescriptor, &one, sizeof one);
    }

    void loop() {
        using Clock = std::chrono::steady_clock;
        Clock::time_point lastTraffic = Clock::now();
        bool traffic = false;
        std::unique_lock lock(mutex);
        while (!stopping || !jobs.empty()) {
            const bool busy = Clock::now() - lastTraffic < kBusySpell;
            const auto wait = busy ? std::chrono::duration_cast<Clock::duration>(kBusyWait)
                                   : std::chrono::duration_cast<Clock::duration>(kQuietWait);
            const auto descriptorOf = readable;
            int descriptor = -1;
            if (descriptorOf && wakeDescriptor >= 0 && jobs.empty() && !stopping) {
                lock.unlock();
                descriptor = descriptorOf();
                // What the last turn took may have left more in the RTI's own buffer.
                if (descriptor >= 0 && !traffic) sleepOn(descriptor, wakeDescriptor, kQuietWait);
                lock.lock();
            }
            if (descriptor < 0) {
                wake.wait_for(lock, wait, [&] { return stopping || !jobs.empty(); });
            }
            while (!jobs.empty()) {
                auto job = std::move(jobs.front());
                jobs.pop_front();
                lock.unlock();
                job();
                lock.lock();
                lastTraffic = Clock::now();
            }
            if (stopping) break;
            const auto take = idle;
            lock.unlock();
            traffic = take && guarded(take);
            lock.lock();
            if (traffic) lastTraffic = Clock::now();
        }
        auto ending = std::move(last);
        lock.unlock();
        if (ending)
            guarded([&] {
                ending();
                return false;
            });
        lock.lock();
        idle = nullptr;
        readable = nullptr;
        finished = true;
        if (abandoned) --g_lingering;
        ended.notify_all();
    }
};

RtiThread::RtiThread(std::function<bool()> idle) : m_shared(std::make_shared<Shared>()) {
    m_shared->idle = std::move(idle);
    m_shared->thread = std::thread([shared = m_shared] { shared->loop(); });
    m_id = m_shared->thread.get_id();
}

RtiThread::~RtiThread() {
    stop({}, std::chrono::milliseconds(0));
}

void RtiThread::setIdle(std::function<bool()> idle) {
    const std::lock_guard lock(m_shared->mutex);
    m_shared->idle = std::move(idle);
}

void RtiThread::setReadable(std::function<int()> readable) {
    const std::lock_guard lock(m_shared->mutex);
    m_shared->readable = std::move(readable);
}

void RtiThread::post(std::function<void()> job) {
    const std::lock_guard lock(m_shared->mutex);
    m_shared->jobs.push_back(std::move(job));
    m_shared->wakeUp();
}

bool RtiThread::stop(std::function<void()> last, std::chrono::milliseconds bound) {
    std::unique_lock lock(m_shared->mutex);
    if (!m_shared->thread.joinable()) return m_shared->finished;
    if (!m_shared->stopping) {
        m_shared->stopping = true;
        m_shared->last = std::move(last);
        m_shared->wakeUp();
    }
    const bool ended = m_shared->ended.wait_for(lock, bound, [&] { return m_shared->finished; });
    std::thread thread = std::move(m_shared->thread);
    if (ended) {
        lock.unlock();
        thread.join();
        return true;
    }
    m_shared->abandoned = true;
    ++g_lingering;
    thread.detach();
    return false;
}

void RtiThread::timedOut(const std::string& what, std::chrono::milliseconds bound) {
    throw RtiTimeout(what + ": the RTI did not answer within " + secondsText(bound));
}

}  // namespace links
