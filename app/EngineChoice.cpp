// The one place that chooses the engine the program runs on: the shared engine on the session
// bus, or with TANDREL_ENGINE=embedded (or without a session bus) the embedded engine with the
// providers built into this program.
#include "app/EngineChoice.h"

#include "platform/bus/client/Connect.h"
#include "platform/engine/Engine.h"
#include "platform/links/RtiThread.h"
#include "platform/provider/HlaProvider.h"

#include <QByteArray>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace app {

namespace {

constexpr const char* kChoiceVariable = "TANDREL_ENGINE";
constexpr const char* kEmbedded = "embedded";
constexpr const char* kBus = "bus";

cao::EnginePtr embeddedEngine() {
    engine::ProviderRegistry providers;
    provider::registerProvider(providers);
    return std::make_shared<engine::Engine>(std::move(providers));
}

}  // namespace

cao::EnginePtr createEngine() {
    const QByteArray choice = qgetenv(kChoiceVariable);
    if (choice == kEmbedded) return embeddedEngine();
    if (!choice.isEmpty() && choice != kBus) {
        throw cao::Error(QStringLiteral("%1=\"%2\" is not an engine: use %3 (the default) or %4")
                             .arg(QLatin1String(kChoiceVariable), QString::fromLocal8Bit(choice),
                                  QLatin1String(kBus), QLatin1String(kEmbedded)));
    }
    try {
        return bus::client::connectEngine(bus::client::EngineLocation::standard());
    } catch (const bus::client::NoSessionBus& e) {
        static std::atomic<bool> said{false};
        if (!said.exchange(true)) {
            std::fprintf(stderr, "%s; using the engine inside this program\n", e.what());
        }
        return embeddedEngine();
    }
}

int finishProgram(int status) {
    if (links::lingeringRtiThreads() > 0) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}

}  // namespace app
