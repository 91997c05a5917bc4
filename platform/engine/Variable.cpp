#include "platform/engine/Variable.h"

namespace engine {

std::shared_ptr<ProviderVariable> Variable::live() {
    m_state->requireOpen();
    auto provider = m_provider.lock();
    if (!provider) {
        throw cao::Error(QStringLiteral("Variable \"%1\" is no longer registered").arg(m_name));
    }
    return provider;
}

}  // namespace engine
