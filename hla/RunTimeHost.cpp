#include "hla/RunTimeHost.h"

namespace hla {

RunTimeHost::RunTimeHost(std::shared_ptr<rti::RunTime> runTime)
    : m_runTime(runTime ? std::move(runTime) : std::make_shared<rti::RunTime>()) {
    m_runTime->setCallbackNotifier([this](rti::FederateHandle federate) {
        const auto it = m_wakers.find(federate);
        if (it != m_wakers.end()) it->second();
    });
}

RunTimeHost::~RunTimeHost() {
    m_runTime->setCallbackNotifier(nullptr);
}

void RunTimeHost::setWaker(rti::FederateHandle federate, std::function<void()> wake) {
    m_wakers[federate] = std::move(wake);
}

void RunTimeHost::removeWaker(rti::FederateHandle federate) {
    m_wakers.erase(federate);
}

}  // namespace hla
