#pragma once

#include "platform/engine/ProviderRegistry.h"

#include <memory>

namespace links {
class RunTimeHost;
}  // namespace links

namespace provider {

// Registers the HLA provider. Without a host, every controller of this registry shares a new
// embedded run-time; registries that pass one host share its run-time, and their controllers
// meet in its federations.
void registerProvider(engine::ProviderRegistry& registry,
                      std::shared_ptr<links::RunTimeHost> host = nullptr);

}  // namespace provider
