#pragma once

#include "engine/Provider.h"
#include "hla/Federate.h"
#include "hla/VariableName.h"

#include <memory>

namespace hla {

// An attribute of a named object instance: a write updates that one attribute, taking
// ownership when it is free; a reflection of it updates the value and raises message 4.
class AttributeVariable : public engine::ProviderVariable {
public:
    // Publishes and subscribes the attribute as the options allow and, with option 2,
    // registers the object; throws cao::Error naming what the description lacks.
    AttributeVariable(std::shared_ptr<Federate> federate, const QString& name,
                      const VariableName& parsed, int32_t options);
    ~AttributeVariable() override;

    cao::Variant read() override { return m_value; }
    void write(const cao::Variant& value) override;
    void release() override;

    const QString& name() const { return m_name; }
    const std::string& objectName() const { return m_objectName; }
    rti::AttributeHandle attribute() const { return m_attribute; }
    bool keepsOwnership() const;

    void reflect(const rti::AttributeValues& values, std::optional<rti::LogicalTime> timestamp);

private:
    void registerObject();
    void withdraw();
    rti::ObjectInstanceHandle objectHandle();
    void takeOwnership(rti::ObjectInstanceHandle object);

    std::shared_ptr<Federate> m_federate;
    QString m_name;
    std::string m_objectName;
    rti::ObjectClassHandle m_class{};
    rti::AttributeHandle m_attribute{};
    cao::VarType m_type;
    int32_t m_options;
    bool m_published = false;
    bool m_subscribed = false;
    bool m_registered = false;
    cao::Variant m_value;
};

// Releases or deletes an object this federate registered once no variable uses it: deleted,
// unless a variable with option 16 asked for its attributes to be released unowned.
void letGoOfObject(Federate& federate, const std::string& objectName);

}  // namespace hla
