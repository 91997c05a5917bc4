#pragma once

// The engine the interface tests run on: the engine inside this program, or the same engine
// served by an engine thread and reached as a client over the session bus, as the program
// reaches tandrel-engine.

#include "platform/bus/client/Connect.h"
#include "platform/bus/service/EngineThread.h"
#include "platform/engine/Engine.h"
#include "support/SessionBus.h"

#include <functional>
#include <memory>
#include <ostream>

namespace testsupport {

enum class EngineKind { Embedded, Bus };

inline std::ostream& operator<<(std::ostream& out, EngineKind kind) {
    return out << (kind == EngineKind::Embedded ? "Embedded" : "Bus");
}

inline std::string engineKindName(const ::testing::TestParamInfo<EngineKind>& info) {
    return info.param == EngineKind::Embedded ? "Embedded" : "Bus";
}

class EngineUnderTest {
public:
    using Providers = std::function<engine::ProviderRegistry()>;

    EngineUnderTest(EngineKind kind, Providers providers) {
        const auto make = [providers = std::move(providers)](
                              const engine::ClientContext& client) -> cao::EnginePtr {
            return std::make_shared<engine::Engine>(providers(), client);
        };
        if (kind == EngineKind::Embedded) {
            m_engine = make(engine::ClientContext::ofThisProcess());
        } else {
            m_thread = std::make_unique<bus::service::EngineThread>(make);
            m_engine = bus::client::connectEngine({m_thread->service(), {}});
        }
    }
    ~EngineUnderTest() {
        m_engine.reset();
        m_thread.reset();
    }

    const cao::EnginePtr& engine() const noexcept { return m_engine; }

private:
    std::unique_ptr<bus::service::EngineThread> m_thread;
    cao::EnginePtr m_engine;
};

}  // namespace testsupport

// First statement of a parameterised test's SetUp: the bus kind needs a session bus.
#define TANDREL_SKIP_UNLESS_ENGINE_REACHABLE(kind)                                      \
    do {                                                                                \
        if ((kind) == testsupport::EngineKind::Bus) TANDREL_SKIP_WITHOUT_SESSION_BUS(); \
    } while (false)
