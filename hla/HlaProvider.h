#pragma once

#include "engine/ProviderRegistry.h"
#include "rti/RunTime.h"

#include <memory>

namespace hla {

class RunTimeHost;

// Registers the HLA provider. Without a run-time, every controller of this registry shares
// a new one. A run-time passed here must not be passed to another registry: share a host
// instead, so that both engines' controllers are told of their callbacks.
void registerProvider(engine::ProviderRegistry& registry,
                      std::shared_ptr<rti::RunTime> runTime = nullptr);
void registerProvider(engine::ProviderRegistry& registry, std::shared_ptr<RunTimeHost> host);

}  // namespace hla
