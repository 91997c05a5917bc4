#include "hla/HlaProvider.h"

#include "cao/ProviderId.h"
#include "hla/HlaController.h"
#include "hla/RunTimeHost.h"

namespace hla {

void registerProvider(engine::ProviderRegistry& registry, std::shared_ptr<rti::RunTime> runTime) {
    registerProvider(registry, std::make_shared<RunTimeHost>(std::move(runTime)));
}

void registerProvider(engine::ProviderRegistry& registry, std::shared_ptr<RunTimeHost> host) {
    registry.add(
        QLatin1String(cao::kProviderId),
        [host](const QString& name, const QString& options,
               engine::ControllerContext& context) -> std::unique_ptr<engine::ProviderController> {
            return HlaController::open(host, name, options, context);
        });
}

}  // namespace hla
