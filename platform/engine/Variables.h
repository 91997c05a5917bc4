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

}  // namespace engine
