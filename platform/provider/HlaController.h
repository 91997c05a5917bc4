#pragma once

#include "platform/engine/Provider.h"
#include "platform/links/embedded/RunTimeHost.h"
#include "platform/provider/CallbackPump.h"
#include "platform/provider/Federate.h"
#include "platform/provider/WaitWatch.h"

#include <chrono>

#include <memory>

namespace provider {

// One controller of the provider: a federate joined to a federation execution.
class HlaController : public engine::ProviderController {
public:
    // Checks the name and the option string, finds and reads the federation description,
    // creates or joins the federation and sets up time management. Throws cao::Error; a
    // federate that joined resigns again first.
    static std::unique_ptr<HlaController> open(std::shared_ptr<links::RunTimeHost> host,
                                               const QString& name, const QString& options,
                                               engine::ControllerContext& context);
    ~HlaController() override;

    std::unique_ptr<engine::ProviderVariable> addVariable(const QString& name,
                                                          int32_t option) override;
    void close() override;
    void lose(const QString& fault) override;

private:
    HlaController(std::shared_ptr<Federate> federate, engine::ControllerContext& context,
                  std::chrono::milliseconds waitBound);

    std::shared_ptr<Federate> m_federate;
    std::shared_ptr<CallbackPump> m_pump;
    WaitWatch m_waits;
};

}  // namespace provider
