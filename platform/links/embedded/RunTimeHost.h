#pragma once

#include "platform/rti/RunTime.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace links {

// One run-time and the controllers that joined through it: routes the run-time's notice
// that a federate's callbacks wait to the controller of that federate. Every controller of
// every engine that shares the run-time must share its host, since the run-time has one
// notifier only.
//
// The engine serves each client on a thread of its own, so controllers on several threads
// share the run-time: every use of it goes through access(), which holds the host's lock for
// as long as the access lives. The lock is recursive, since a callback handed out under it
// may call the run-time again. A thread of the host's own ticks the run-time for what it does
// at a time, such as the management objects' periodic updates; it only takes the lock.
class RunTimeHost {
public:
    // The run-time, locked for the life of this object.
    class Access {
    public:
        Access(std::recursive_mutex& mutex, rti::RunTime& runTime)
            : m_lock(mutex), m_runTime(runTime) {}
        rti::RunTime* operator->() const { return &m_runTime; }
        rti::RunTime& operator*() const { return m_runTime; }

    private:
        std::unique_lock<std::recursive_mutex> m_lock;
        rti::RunTime& m_runTime;
    };

    explicit RunTimeHost(std::shared_ptr<rti::RunTime> runTime = nullptr);
    ~RunTimeHost();
    RunTimeHost(const RunTimeHost&) = delete;
    RunTimeHost& operator=(const RunTimeHost&) = delete;

    Access access() { return Access(m_mutex, *m_runTime); }

    // wake may only schedule work, and may be called on any thread: it is called from
    // inside the run-time's services, on the thread of whichever federate caused the news.
    void setWaker(hla::FederateHandle federate, std::function<void()> wake);
    void removeWaker(hla::FederateHandle federate);

    // How often the ticker looks whether something has come due when nothing is.
    static constexpr std::chrono::seconds kIdleTick{1};

private:
    void tickUntilStopped();

    std::recursive_mutex m_mutex;
    std::shared_ptr<rti::RunTime> m_runTime;
    std::map<hla::FederateHandle, std::function<void()>> m_wakers;
    std::condition_variable_any m_ticked;
    bool m_stopping = false;
    std::thread m_ticker;  // last: it starts once everything else is there
};

}  // namespace links
