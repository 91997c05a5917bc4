#pragma once

#include "cao/Cao.h"
#include "platform/engine/ClientContext.h"
#include "platform/engine/ControllerList.h"
#include "platform/engine/ProviderRegistry.h"

#include <memory>

namespace engine {

class Dispatcher;

// The one workspace of an engine: it opens controllers through the registered providers, each
// for the engine's client.
class Workspace : public cao::CaoWorkspace {
public:
    Workspace(ProviderRegistry providers, Dispatcher& dispatcher,
              std::shared_ptr<const ClientContext> client);
    // Controllers still open when the engine goes are closed, so no federate stays joined.
    ~Workspace() override;

    // The engine's client is gone: every controller is lost for fault and closed.
    void loseControllers(const QString& fault);

    cao::ControllersPtr Controllers() override;
    cao::ControllerPtr AddController(const QString& name, const QString& provider,
                                     const QString& machine, const QString& options) override;

private:
    ProviderRegistry m_providers;
    Dispatcher& m_dispatcher;
    std::shared_ptr<const ClientContext> m_client;
    std::shared_ptr<ControllerList> m_list;
};

}  // namespace engine
