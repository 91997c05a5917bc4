#pragma once

#include "cao/Cao.h"
#include "platform/engine/Provider.h"

namespace engine {

class Message : public cao::CaoMessage {
public:
    explicit Message(MessageData data) : m_data(std::move(data)) {}
    int32_t Number() override { return m_data.number; }
    cao::Variant Value() override { return m_data.value; }
    cao::Variant Time() override { return m_data.time; }
    QString Source() override { return m_data.source; }
    // The provider learns of the first acknowledgement only.
    void Acknowledge() override;
    // Whether Acknowledge would still reach the provider.
    bool acknowledgeable() const noexcept { return static_cast<bool>(m_data.acknowledge); }

private:
    MessageData m_data;
};

}  // namespace engine
