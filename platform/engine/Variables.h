#pragma once

#include "cao/Cao.h"
#include "platform/engine/ControllerState.h"

namespace engine {

// Parses "Option=<decimal mask>"; throws cao::Error naming the text otherwise.
int32_t parseVariableOption(const QString& option);

class Variables : public cao::CaoVariables {
public:
    explicit Variables(std::shared_ptr<ControllerState> state) : m_state(std::move(state)) {}
    cao::VariablePtr Add(const QString& name, const QString& option) override;
    cao::VariablePtr Item(const cao::Variant& index) override;
    void Remove(const cao::Variant& index) override;
    int32_t Count() override;

private:
    std::shared_ptr<ControllerState> m_state;
};

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
