#pragma once

#include "platform/rti/RunTime.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace links {

// One run-time and the controllers that joined through it: routes the run-time's notice
// that a federate's callbacks wait to the controller of that federate. Every controller of
// every engine that shares the run-time must share its host, since the run-time has one
// notifier only.
//
// The engine serves each client on a thread of its own, so controllers on several threads
// share the run-time: every use of it goes through access(), which holds the host's lock for
// as long as the access lives. The lock is recursive, since a callback handed out under it
// may call the run-time again.
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

private:
    std::recursive_mutex m_mutex;
    std::shared_ptr<rti::RunTime> m_runTime;
    std::map<hla::FederateHandle, std::function<void()>> m_wakers;
};

}  // namespace links
