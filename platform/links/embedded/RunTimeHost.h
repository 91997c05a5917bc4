#pragma once

#include "platform/rti/RunTime.h"

#include <functional>
#include <map>
#include <memory>

namespace links {

// One run-time and the controllers that joined through it: routes the run-time's notice
// that a federate's callbacks wait to the controller of that federate. Every controller of
// every engine that shares the run-time must share its host, since the run-time has one
// notifier only.
class RunTimeHost {
public:
    explicit RunTimeHost(std::shared_ptr<rti::RunTime> runTime = nullptr);
    ~RunTimeHost();
    RunTimeHost(const RunTimeHost&) = delete;
    RunTimeHost& operator=(const RunTimeHost&) = delete;

    rti::RunTime& runTime() { return *m_runTime; }

    // wake may only schedule work; it is called from inside run-time services.
    void setWaker(hla::FederateHandle federate, std::function<void()> wake);
    void removeWaker(hla::FederateHandle federate);

private:
    std::shared_ptr<rti::RunTime> m_runTime;
    std::map<hla::FederateHandle, std::function<void()>> m_wakers;
};

}  // namespace links
