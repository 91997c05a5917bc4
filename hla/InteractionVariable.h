#pragma once

#include "hla/ExchangeVariable.h"
#include "hla/VariableName.h"

#include <memory>

namespace hla {

// A parameter of an interaction class: a write sends the interaction with that one parameter,
// a received interaction carrying it updates the value and raises message 3.
class InteractionVariable : public ExchangeVariable {
public:
    // Publishes and subscribes the class as the options allow; throws cao::Error naming the
    // class or parameter the description lacks.
    InteractionVariable(std::shared_ptr<Federate> federate, const QString& name,
                        const VariableName& parsed, int32_t options);
    ~InteractionVariable() override;

    // A received interaction of class received (as this federate knows it).
    void receive(rti::InteractionClassHandle received, const rti::ParameterValues& values,
                 std::optional<rti::LogicalTime> timestamp);

private:
    void send(const rti::Bytes& payload) override;
    QString sendFailure() const override { return QStringLiteral("could not be sent"); }
    void withdraw() override;
    void detach() override { m_federate->detach(this); }

    rti::InteractionClassHandle m_class{};
    rti::ParameterHandle m_parameter{};
};

}  // namespace hla
