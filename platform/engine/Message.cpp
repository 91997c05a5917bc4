#include "platform/engine/Message.h"

namespace engine {

void Message::Acknowledge() {
    if (!m_data.acknowledge) return;
    auto acknowledge = std::exchange(m_data.acknowledge, nullptr);
    acknowledge();
}

}  // namespace engine
