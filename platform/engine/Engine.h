#pragma once

#include "cao/Cao.h"
#include "platform/engine/ClientContext.h"
#include "platform/engine/Dispatcher.h"
#include "platform/engine/ProviderRegistry.h"

#include <memory>

namespace engine {

class Workspace;

// The embedded engine: one default workspace whose controllers come from the registered
// providers, opened for one client. Lives on the thread that creates it, which must run a Qt
// event loop for messages to be delivered.
class Engine : public cao::CaoEngine {
public:
    explicit Engine(ProviderRegistry providers,
                    ClientContext client = ClientContext::ofThisProcess());
    ~Engine() override;
    cao::WorkspacesPtr Workspaces() override;

    // The client is gone without closing its controllers: they are lost for fault and closed.
    void clientLost(const QString& fault);
    // Delivers everything queued so far; for tests that run without an event loop.
    void deliverPending();

private:
    std::unique_ptr<engine::Dispatcher> m_dispatcher;
    std::shared_ptr<Workspace> m_workspace;
};

}  // namespace engine
