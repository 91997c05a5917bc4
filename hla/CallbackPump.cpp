#include "hla/CallbackPump.h"

#include "engine/Provider.h"

namespace hla {

void CallbackPump::wake() {
    if (m_scheduled || m_stopped) return;
    m_scheduled = true;
    std::weak_ptr<CallbackPump> weak = weak_from_this();
    m_context.post([weak] {
        if (const auto pump = weak.lock()) pump->run();
    });
}

void CallbackPump::run() {
    m_scheduled = false;
    if (m_stopped || !m_federate->isOpen()) return;
    rti::RunTime& rt = m_federate->runTime();
    const rti::FederateHandle self = m_federate->handle();
    for (int i = 0; i < kBatch && !m_stopped; ++i) {
        if (!rt.evokeCallback(self, m_ambassador)) return;
    }
    if (!m_stopped && rt.pendingCallbackCount(self) > 0) wake();
}

}  // namespace hla
