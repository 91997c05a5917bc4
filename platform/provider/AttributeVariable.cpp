#include "platform/provider/AttributeVariable.h"

#include "cao/Error.h"
#include "cao/ProviderContract.h"
#include "platform/provider/Text.h"

#include <algorithm>

namespace provider {

AttributeVariable::AttributeVariable(std::shared_ptr<Federate> federate, const QString& name,
                                     const VariableName& parsed, int32_t options)
    : ExchangeVariable(std::move(federate), name, parsed.dataType, options),
      m_objectName(parsed.objectName) {
    const hla::FederationDescription& fom = m_federate->description();
    const auto cls = fom.findObjectClass(parsed.classPath);
    if (!cls) {
        throw cao::Error(QStringLiteral("The federation description has no object class \"%1\" "
                                        "(variable \"%2\")")
                             .arg(text(parsed.classPath), name),
                         cao::code::InvalidArg);
    }
    const auto attribute = fom.findAttribute(*cls, parsed.member);
    if (!attribute) {
        throw cao::Error(QStringLiteral("Object class \"%1\" has no attribute \"%2\" (variable "
                                        "\"%3\")")
                             .arg(text(parsed.classPath), text(parsed.member), name),
                         cao::code::InvalidArg);
    }
    m_class = *cls;
    m_attribute = *attribute;
    setFomType(fom.attribute(m_attribute).dataType);
    declare([this] {
        if (!hasOption(cao::contract::option::NoPublish)) {
            m_federate->declarations().publish(m_class, m_attribute);
            m_published = true;
        }
        if (!hasOption(cao::contract::option::NoSubscribe)) {
            m_federate->declarations().subscribe(m_class, m_attribute);
            m_subscribed = true;
        }
        if (hasOption(cao::contract::option::CreateObject)) registerObject();
    });
    m_federate->attach(this);
}

AttributeVariable::~AttributeVariable() {
    m_federate->detach(this);
}

bool AttributeVariable::keepsOwnership() const {
    return hasOption(cao::contract::option::KeepOwnership);
}

void AttributeVariable::registerObject() {
    RegisteredObject* found = m_federate->registeredObject(m_objectName);
    if (!found) {
        const hla::ObjectInstanceHandle handle =
            m_federate->link().registerObjectInstance(m_class, m_objectName);
        found = &m_federate->addRegisteredObject(m_objectName, RegisteredObject{handle, m_class});
    } else if (found->objectClass != m_class) {
        throw cao::Error(
            QStringLiteral("Object \"%1\" is already registered by this federate as an instance "
                           "of %2")
                .arg(text(m_objectName),
                     text(m_federate->description().objectClass(found->objectClass).fullName)),
            cao::code::InvalidArg);
    }
    ++found->users;
    if (hasOption(cao::contract::option::ReleaseUnowned)) ++found->orphanUsers;
    m_registered = true;
}

void letGoOfObject(Federate& federate, const std::string& objectName) {
    const RegisteredObject* found = federate.registeredObject(objectName);
    if (!found) return;
    const RegisteredObject object = *found;
    links::RunTimeLink& rt = federate.link();
    if (object.orphanUsers > 0) {
        hla::AttributeSet owned;
        for (hla::AttributeHandle a :
             federate.description().availableAttributes(object.objectClass)) {
            if (rt.isAttributeOwnedByFederate(object.handle, a)) owned.insert(a);
        }
        if (!owned.empty()) rt.unconditionalAttributeOwnershipDivestiture(object.handle, owned);
    } else {
        rt.deleteObjectInstance(object.handle);
    }
    federate.forgetRegisteredObject(objectName);
}

void AttributeVariable::withdraw() {
    if (!m_federate->isOpen()) return;
    RegisteredObject* found = m_federate->registeredObject(m_objectName);
    if (m_registered && found) {
        if (found->users == 1) {
            letGoOfObject(*m_federate, m_objectName);
        } else {
            --found->users;
            if (hasOption(cao::contract::option::ReleaseUnowned)) --found->orphanUsers;
        }
    }
    m_registered = false;
    if (m_published) m_federate->declarations().unpublish(m_class, m_attribute);
    m_published = false;
    if (m_subscribed) m_federate->declarations().unsubscribe(m_class, m_attribute);
    m_subscribed = false;
}

hla::ObjectInstanceHandle AttributeVariable::objectHandle() {
    const auto object = m_federate->link().findObjectInstance(m_objectName);
    if (!object) {
        throw cao::Error(QStringLiteral("Variable \"%1\" cannot be written: there is no object "
                                        "\"%2\" in federation %3; register it with option 2 or "
                                        "wait until another federate does")
                             .arg(name(), text(m_objectName), text(m_federate->federationName())),
                         cao::code::InvalidArg);
    }
    return *object;
}

void AttributeVariable::takeOwnership(hla::ObjectInstanceHandle object) {
    links::RunTimeLink& rt = m_federate->link();
    if (rt.isAttributeOwnedByFederate(object, m_attribute)) return;
    rt.attributeOwnershipAcquisitionIfAvailable(object, {m_attribute});
    if (rt.isAttributeOwnedByFederate(object, m_attribute)) return;
    rt.attributeOwnershipAcquisition(object, {m_attribute});
    throw cao::Error(QStringLiteral("Variable \"%1\" cannot be written: its attribute is owned by "
                                    "another federate; ownership has been requested, write again "
                                    "once it has been gained")
                         .arg(name()));
}

void AttributeVariable::send(const hla::Bytes& payload) {
    const hla::ObjectInstanceHandle object = objectHandle();
    takeOwnership(object);
    const auto time = m_federate->sendTime(m_federate->description().attribute(m_attribute).order);
    m_federate->link().updateAttributeValues(object, {{m_attribute, payload}}, time);
    m_federate->wrote(WrittenClass{std::nullopt, m_class, m_attribute}, name());
}

void AttributeVariable::reflect(const hla::AttributeValues& values,
                                std::optional<hla::LogicalTime> timestamp) {
    if (!m_subscribed) return;
    const auto carried = values.find(m_attribute);
    if (carried == values.end()) return;
    take(carried->second, timestamp, cao::contract::message::AttributeReflected, false);
}

}  // namespace provider
