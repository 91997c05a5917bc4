#include "platform/engine/Workspace.h"

#include "platform/engine/Controller.h"
#include "platform/engine/Controllers.h"
#include "platform/engine/Dispatcher.h"

namespace engine {

namespace {

// Keeps the context alive exactly as long as the provider controller that uses it.
class ContextHolder : public ProviderController {
public:
    ContextHolder(std::unique_ptr<ProviderController> inner, std::shared_ptr<QueuedContext> context)
        : m_inner(std::move(inner)), m_context(std::move(context)) {}
    ~ContextHolder() override { m_inner.reset(); }
    std::unique_ptr<ProviderVariable> addVariable(const QString& name, int32_t option) override {
        return m_inner->addVariable(name, option);
    }
    void close() override { m_inner->close(); }
    void lose(const QString& fault) override { m_inner->lose(fault); }

private:
    std::unique_ptr<ProviderController> m_inner;
    std::shared_ptr<QueuedContext> m_context;
};

}  // namespace

Workspace::Workspace(ProviderRegistry providers, Dispatcher& dispatcher,
                     std::shared_ptr<const ClientContext> client)
    : m_providers(std::move(providers)),
      m_dispatcher(dispatcher),
      m_client(std::move(client)),
      m_list(std::make_shared<ControllerList>()) {}

Workspace::~Workspace() {
    for (const auto& state : m_list->items) {
        try {
            state->provider->close();
        } catch (const std::exception& e) {
            qWarning("engine: closing controller \"%s\" failed: %s", qUtf8Printable(state->name),
                     e.what());
        }
        state->drop();
    }
}

void Workspace::loseControllers(const QString& fault) {
    for (const auto& state : m_list->items) {
        try {
            state->provider->lose(fault);
        } catch (const std::exception& e) {
            qWarning("engine: closing controller \"%s\" of a client gone failed: %s",
                     qUtf8Printable(state->name), e.what());
        }
    }
}

cao::ControllersPtr Workspace::Controllers() {
    return std::make_shared<engine::Controllers>(m_list);
}

cao::ControllerPtr Workspace::AddController(const QString& name, const QString& provider,
                                            const QString& machine, const QString& options) {
    const ProviderFactory& factory = m_providers.find(provider);
    if (!machine.isEmpty()) {
        throw cao::Error(QStringLiteral("The embedded engine opens controllers on this "
                                        "machine only; remote machine \"%1\" is not supported")
                             .arg(machine),
                         cao::code::NotImplemented);
    }
    if (m_list->contains(name)) {
        throw cao::Error(QStringLiteral("Controller \"%1\" is already open").arg(name),
                         cao::code::InvalidArg);
    }
    auto state = std::make_shared<ControllerState>();
    state->name = name;
    auto context = std::make_shared<QueuedContext>(state, m_dispatcher, m_client);
    auto opened = factory(name, options, *context);
    state->provider = std::unique_ptr<ProviderController>(
        new ContextHolder(std::move(opened), std::move(context)));
    m_list->items.push_back(state);
    return std::make_shared<Controller>(state, m_list);
}

}  // namespace engine
