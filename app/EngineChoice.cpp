// The one place that chooses the engine the program runs on: the embedded engine with the
// providers built into this program.
#include "cao/Cao.h"
#include "engine/Engine.h"

#if __has_include("hla/HlaProvider.h")
#include "hla/HlaProvider.h"
#define TANDREL_HAS_HLA 1
#endif

namespace cao {

EnginePtr createEngine() {
    engine::ProviderRegistry providers;
#ifdef TANDREL_HAS_HLA
    hla::registerProvider(providers);
#endif
    return std::make_shared<engine::Engine>(std::move(providers));
}

}  // namespace cao
