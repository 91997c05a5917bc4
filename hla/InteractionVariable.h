#pragma once

#include "engine/Provider.h"
#include "hla/Federate.h"
#include "hla/VariableName.h"

#include <memory>

namespace hla {

// A parameter of an interaction class: a write sends the interaction with that one parameter,
// a received interaction carrying it updates the value and raises message 3.
class InteractionVariable : public engine::ProviderVariable {
public:
    // Publishes and subscribes the class as the options allow; throws cao::Error naming the
    // class or parameter the description lacks.
    InteractionVariable(std::shared_ptr<Federate> federate, const QString& name,
                        const VariableName& parsed, int32_t options);
    ~InteractionVariable() override;

    cao::Variant read() override { return m_value; }
    void write(const cao::Variant& value) override;
    void release() override;

    // A received interaction of class received (as this federate knows it).
    void receive(rti::InteractionClassHandle received, const rti::ParameterValues& values,
                 std::optional<rti::LogicalTime> timestamp);

private:
    void withdraw();

    std::shared_ptr<Federate> m_federate;
    QString m_name;
    rti::InteractionClassHandle m_class{};
    rti::ParameterHandle m_parameter{};
    cao::VarType m_type;
    int32_t m_options;
    bool m_published = false;
    bool m_subscribed = false;
    cao::Variant m_value;
};

}  // namespace hla
