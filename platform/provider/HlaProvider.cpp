#include "platform/provider/HlaProvider.h"

#include "cao/ProviderContract.h"
#include "platform/links/embedded/RunTimeHost.h"
#include "platform/provider/HlaController.h"

namespace provider {

void registerProvider(engine::ProviderRegistry& registry,
                      std::shared_ptr<links::RunTimeHost> host) {
    if (!host) host = std::make_shared<links::RunTimeHost>();
    registry.add(
        QLatin1String(cao::contract::kProviderId),
        [host](const QString& name, const QString& options,
               engine::ControllerContext& context) -> std::unique_ptr<engine::ProviderController> {
            return HlaController::open(host, name, options, context);
        });
}

}  // namespace provider
