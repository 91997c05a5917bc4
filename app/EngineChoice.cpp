// The one place that chooses the engine the program runs on: the embedded engine with the
// providers built into this program.
#include "app/EngineChoice.h"

#include "engine/Engine.h"
#include "hla/HlaProvider.h"

namespace app {

cao::EnginePtr createEngine() {
    engine::ProviderRegistry providers;
    hla::registerProvider(providers);
    return std::make_shared<engine::Engine>(std::move(providers));
}

}  // namespace app
