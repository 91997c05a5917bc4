#pragma once

#include "platform/provider/ExchangeVariable.h"
#include "platform/provider/VariableName.h"

#include <memory>

namespace provider {

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
    void receive(hla::InteractionClassHandle received, const hla::ParameterValues& values,
                 std::optional<hla::LogicalTime> timestamp);

private:
    void send(const hla::Bytes& payload) override;
    QString sendFailure() const override { return QStringLiteral("could not be sent"); }
    void withdraw() override;
    void detach() override { m_federate->detach(this); }

    hla::InteractionClassHandle m_class{};
    hla::ParameterHandle m_parameter{};
};

}  // namespace provider
