#include "platform/engine/Engine.h"

#include "platform/engine/Dispatcher.h"
#include "platform/engine/Workspace.h"
#include "platform/engine/Workspaces.h"

namespace engine {

Engine::Engine(ProviderRegistry providers, ClientContext client)
    : m_dispatcher(std::make_unique<engine::Dispatcher>()),
      m_workspace(
          std::make_shared<Workspace>(std::move(providers), *m_dispatcher,
                                      std::make_shared<const ClientContext>(std::move(client)))) {}

Engine::~Engine() = default;

cao::WorkspacesPtr Engine::Workspaces() {
    return std::make_shared<engine::Workspaces>(m_workspace);
}

void Engine::clientLost(const QString& fault) {
    m_workspace->loseControllers(fault);
}

void Engine::deliverPending() {
    m_dispatcher->runAll();
}

}  // namespace engine
