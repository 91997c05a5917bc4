#pragma once

#include "platform/engine/Provider.h"

#include <QString>

#include <map>

namespace engine {

// Providers by identifier, matched exactly.
class ProviderRegistry {
public:
    void add(const QString& identifier, ProviderFactory factory);
    // Throws cao::Error naming the identifier when none is registered under it.
    const ProviderFactory& find(const QString& identifier) const;

private:
    std::map<QString, ProviderFactory> m_factories;
};

}  // namespace engine
