#pragma once

#include "cao/Error.h"
#include "platform/engine/Provider.h"

#include <QStringList>

// A provider that records what the engine asks of it and raises messages on demand.
struct FakeProviderLog {
    QStringList calls;
    engine::ControllerContext* context = nullptr;
    bool refuseClose = false;
    bool refuseRelease = false;
};

class FakeVariable : public engine::ProviderVariable {
public:
    FakeVariable(FakeProviderLog& log, QString name) : m_log(log), m_name(std::move(name)) {}
    cao::Variant read() override { return m_value; }
    void write(const cao::Variant& value) override { m_value = value; }
    void release() override {
        if (m_log.refuseRelease) throw cao::Error("release refused");
        m_log.calls << "release " + m_name;
    }

private:
    FakeProviderLog& m_log;
    QString m_name;
    cao::Variant m_value;
};

class FakeController : public engine::ProviderController {
public:
    explicit FakeController(FakeProviderLog& log) : m_log(log) {}
    std::unique_ptr<engine::ProviderVariable> addVariable(const QString& name,
                                                          int32_t option) override {
        m_log.calls << QString("add %1 %2").arg(name).arg(option);
        return std::make_unique<FakeVariable>(m_log, name);
    }
    void close() override {
        if (m_log.refuseClose) throw cao::Error("close refused");
        m_log.calls << "close";
    }

private:
    FakeProviderLog& m_log;
};

inline engine::ProviderFactory fakeFactory(FakeProviderLog& log) {
    return [&log](const QString& name, const QString& options, engine::ControllerContext& ctx) {
        if (options == "refuse") throw cao::Error("options refused");
        log.calls << "open " + name + " " + options;
        log.context = &ctx;
        return std::make_unique<FakeController>(log);
    };
}
