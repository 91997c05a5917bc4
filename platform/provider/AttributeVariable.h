#pragma once

#include "platform/provider/ExchangeVariable.h"
#include "platform/provider/VariableName.h"

#include <memory>

namespace provider {

// An attribute of a named object instance: a write updates that one attribute, taking
// ownership when it is free; a reflection of it updates the value and raises message 4.
class AttributeVariable : public ExchangeVariable {
public:
    // Publishes and subscribes the attribute as the options allow and, with option 2,
    // registers the object; throws cao::Error naming what the description lacks.
    AttributeVariable(std::shared_ptr<Federate> federate, const QString& name,
                      const VariableName& parsed, int32_t options);
    ~AttributeVariable() override;

    const std::string& objectName() const { return m_objectName; }
    hla::AttributeHandle attribute() const { return m_attribute; }
    bool keepsOwnership() const;

    void reflect(const hla::AttributeValues& values, std::optional<hla::LogicalTime> timestamp);

private:
    void send(const hla::Bytes& payload) override;
    QString sendFailure() const override { return QStringLiteral("could not be written"); }
    void withdraw() override;
    void detach() override { m_federate->detach(this); }

    void registerObject();
    hla::ObjectInstanceHandle objectHandle();
    void takeOwnership(hla::ObjectInstanceHandle object);

    std::string m_objectName;
    hla::ObjectClassHandle m_class{};
    hla::AttributeHandle m_attribute{};
    bool m_registered = false;
};

// Releases or deletes an object this federate registered once no variable uses it: deleted,
// unless a variable with option 16 asked for its attributes to be released unowned.
void letGoOfObject(Federate& federate, const std::string& objectName);

}  // namespace provider
