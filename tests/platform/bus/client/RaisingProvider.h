#pragma once

#include "cao/Error.h"
#include "platform/bus/service/EngineService.h"
#include "platform/engine/Engine.h"
#include "platform/engine/Provider.h"

#include <QStringList>

#include <mutex>

// A provider whose variable "raise" raises as many messages as the number written to it,
// numbered from 1, each carrying its number; "announce" raises that many announcements
// whose acknowledgements are recorded; "client" reads as the client context the controller
// was opened for ("<working directory>|NAME=VALUE|..."). The log is written on the engine's thread
// and read by the test after a call has returned.
struct RaisingLog {
    std::mutex mutex;
    QStringList calls;

    void add(const QString& call) {
        const std::lock_guard lock(mutex);
        calls << call;
    }
    QStringList all() {
        const std::lock_guard lock(mutex);
        return calls;
    }
};

class RaisingVariable : public engine::ProviderVariable {
public:
    RaisingVariable(RaisingLog& log, QString name, engine::ControllerContext& context)
        : m_log(log), m_name(std::move(name)), m_context(context) {}
    cao::Variant read() override {
        if (m_name != "client") return m_value;
        QStringList parts{m_context.client().workingDirectory()};
        for (const auto& [name, value] : m_context.client().environment()) {
            parts << name + "=" + value;
        }
        return cao::Variant::fromString(parts.join("|"));
    }
    void write(const cao::Variant& value) override {
        m_value = value;
        if (m_name == "raise" || m_name == "announce") {
            for (int32_t n = 1; n <= value.i4(); ++n) raise(n);
        }
    }
    void release() override { m_log.add("release " + m_name); }

private:
    void raise(int32_t n) {
        engine::MessageData message{
            n, cao::Variant::fromI4(n), cao::Variant::fromR8(n * 0.5), m_name, {}};
        if (m_name == "announce") {
            message.acknowledge = [log = &m_log, n] { log->add(QString("ack %1").arg(n)); };
        }
        m_context.raise(std::move(message));
    }

    RaisingLog& m_log;
    QString m_name;
    engine::ControllerContext& m_context;
    cao::Variant m_value;
};

class RaisingController : public engine::ProviderController {
public:
    RaisingController(RaisingLog& log, engine::ControllerContext& context)
        : m_log(log), m_context(context) {}
    std::unique_ptr<engine::ProviderVariable> addVariable(const QString& name, int32_t) override {
        return std::make_unique<RaisingVariable>(m_log, name, m_context);
    }
    void close() override { m_log.add("close"); }

private:
    RaisingLog& m_log;
    engine::ControllerContext& m_context;
};

inline engine::ProviderFactory raisingFactory(RaisingLog& log) {
    return [&log](const QString& name, const QString&, engine::ControllerContext& context) {
        log.add("open " + name);
        return std::make_unique<RaisingController>(log, context);
    };
}

// Engines whose one provider, under the name given, is the raising one.
inline bus::service::EngineService::EngineFactory raisingEngines(RaisingLog& log,
                                                                 const QString& provider) {
    return [&log, provider](const engine::ClientContext& client) {
        engine::ProviderRegistry providers;
        providers.add(provider, raisingFactory(log));
        return std::make_shared<engine::Engine>(std::move(providers), client);
    };
}
