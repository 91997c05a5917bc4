#include "platform/links/embedded/RunTimeHost.h"

namespace links {

RunTimeHost::RunTimeHost(std::shared_ptr<rti::RunTime> runTime)
    : m_runTime(runTime ? std::move(runTime) : std::make_shared<rti::RunTime>()) {
    m_runTime->setCallbackNotifier([this](hla::FederateHandle federate) {
        const auto it = m_wakers.find(federate);
        if (it != m_wakers.end()) it->second();
    });
}

RunTimeHost::~RunTimeHost() {
    const std::lock_guard lock(m_mutex);
    m_runTime->setCallbackNotifier(nullptr);
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
