#include "platform/engine/ProviderRegistry.h"

#include "cao/Error.h"

namespace engine {

void ProviderRegistry::add(const QString& identifier, ProviderFactory factory) {
    m_factories[identifier] = std::move(factory);
}

const ProviderFactory& ProviderRegistry::find(const QString& identifier) const {
    auto it = m_factories.find(identifier);
    if (it == m_factories.end()) {
        throw cao::Error(QStringLiteral("Provider \"%1\" is not available").arg(identifier),
                         cao::code::InvalidArg);
    }
    return it->second;
}

}  // namespace engine
