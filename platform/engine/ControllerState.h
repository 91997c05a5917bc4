#pragma once

#include "cao/Cao.h"
#include "platform/engine/Provider.h"

#include <QString>

#include <map>
#include <memory>

namespace engine {

class Dispatcher;

// Everything the engine keeps for one controller. The CaoController, CaoVariables and
// CaoVariable objects handed out share it, so that they fail cleanly once it is closed.
struct ControllerState {
    QString name;
    bool open = true;
    std::unique_ptr<ProviderController> provider;
    std::map<QString, std::shared_ptr<ProviderVariable>> variables;
    cao::MessageHandler handler;

    // Throws when the controller has been removed.
    void requireOpen() const;
    // After the provider closed it: nothing of it is reachable or delivered any more.
    void drop();
};

// The context a provider controller raises its messages through.
class QueuedContext : public ControllerContext {
public:
    QueuedContext(std::weak_ptr<ControllerState> state, engine::Dispatcher& dispatcher,
                  std::shared_ptr<const ClientContext> client)
        : m_state(std::move(state)), m_dispatcher(dispatcher), m_client(std::move(client)) {}
    void raise(MessageData message) override;
    void post(std::function<void()> work) override;
    const ClientContext& client() const override { return *m_client; }

private:
    std::weak_ptr<ControllerState> m_state;
    engine::Dispatcher& m_dispatcher;
    std::shared_ptr<const ClientContext> m_client;
};

}  // namespace engine
