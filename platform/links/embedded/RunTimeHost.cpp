#include "platform/links/embedded/RunTimeHost.h"

namespace links {

RunTimeHost::RunTimeHost(std::shared_ptr<rti::RunTime> runTime)
    : m_runTime(runTime ? std::move(runTime) : std::make_shared<rti::RunTime>()) {
    m_runTime->setCallbackNotifier([this](hla::FederateHandle federate) {
        const auto it = m_wakers.find(federate);
        if (it != m_wakers.end()) it->second();
    });
    m_ticker = std::thread([this] { tickUntilStopped(); });
}

RunTimeHost::~RunTimeHost() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_runTime->setCallbackNotifier(nullptr);
    }
    m_ticked.notify_all();
    m_ticker.join();
}

void RunTimeHost::tickUntilStopped() {
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        const auto idle = std::chrono::steady_clock::now() + kIdleTick;
        const auto due = m_runTime->nextTick();
        m_ticked.wait_until(lock, due && *due < idle ? *due : idle, [this] { return m_stopping; });
        if (m_stopping) break;
        m_runTime->tick(std::chrono::steady_clock::now());
    }
}

void RunTimeHost::setWaker(hla::FederateHandle federate, std::function<void()> wake) {
    const std::lock_guard lock(m_mutex);
    m_wakers[federate] = std::move(wake);
}

void RunTimeHost::removeWaker(hla::FederateHandle federate) {
    const std::lock_guard lock(m_mutex);
    m_wakers.erase(federate);
}

}  // namespace links
