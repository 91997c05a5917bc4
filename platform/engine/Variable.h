#pragma once

#include "cao/Cao.h"
#include "platform/engine/ControllerState.h"

#include <memory>

namespace engine {

// A registered variable; it fails cleanly once removed or once its controller is closed.
class Variable : public cao::CaoVariable {
public:
    Variable(std::shared_ptr<ControllerState> state, QString name,
             std::weak_ptr<ProviderVariable> provider)
        : m_state(std::move(state)), m_name(std::move(name)), m_provider(std::move(provider)) {}
    QString Name() override { return m_name; }
    cao::Variant get_Value() override { return live()->read(); }
    void put_Value(const cao::Variant& value) override { live()->write(value); }

private:
    std::shared_ptr<ProviderVariable> live();

    std::shared_ptr<ControllerState> m_state;
    QString m_name;
    std::weak_ptr<ProviderVariable> m_provider;
};

}  // namespace engine
