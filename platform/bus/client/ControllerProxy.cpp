#include "platform/bus/client/ControllerProxy.h"

#include "platform/bus/client/Replies.h"
#include "platform/bus/client/VariablesProxy.h"
#include "platform/bus/protocol/Names.h"

namespace bus::client {

QString ControllerProxy::Name() {
    if (m_state->name.isEmpty()) {
        m_state->requireOpen();
        const QVariantList reply =
            m_link->call(m_state->owner, m_state->path, kControllerInterface, "Name");
        m_state->name = reply.value(0).toString();
    }
    return m_state->name;
}

int32_t ControllerProxy::Index() {
    if (!m_state->ended.isEmpty()) {
        // Answered here: closing a controller lost with its engine needs its index.
        const int32_t index = m_link->roster().endedIndexOf(*m_state);
        if (index >= 0) return index;
    }
    m_state->requireOpen();
    return intOf(m_link->call(m_state->owner, m_state->path, kControllerInterface, "Index"));
}

cao::VariablesPtr ControllerProxy::Variables() {
    m_state->requireOpen();
    return std::make_shared<VariablesProxy>(m_link, m_state);
}

void ControllerProxy::SetOnMessage(cao::MessageHandler handler) {
    // Ending a subscription always works, so a closed controller can still be let go of.
    if (handler) m_state->requireOpen();
    m_state->handler = std::move(handler);
}

}  // namespace bus::client
