#pragma once

// The object and interaction classes of a federation execution, as read from its FED file.
// Handles index the tables below; attributes and parameters are inherited by subclasses.

#include "platform/hla/Types.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hla {

struct AttributeSpec {
    std::string name;
    ObjectClassHandle declaredIn;
    Transport transport = Transport::Reliable;
    Order order = Order::Receive;
};

struct ObjectClassSpec {
    std::string name;
    std::string fullName;  // "ObjectRoot.Participant"
    std::optional<ObjectClassHandle> parent;
    std::vector<AttributeHandle> declared;
    std::vector<ObjectClassHandle> children;
};

struct ParameterSpec {
    std::string name;
    InteractionClassHandle declaredIn;
};

struct InteractionClassSpec {
    std::string name;
    std::string fullName;  // "InteractionRoot.Communication"
    std::optional<InteractionClassHandle> parent;
    Transport transport = Transport::Reliable;
    Order order = Order::Receive;
    std::vector<ParameterHandle> declared;
    std::vector<InteractionClassHandle> children;
};

class FederationDescription {
public:
    std::string federationName;
    std::string version;
    std::vector<std::string> routingSpaces;

    // Building. A name that clashes with an existing one throws Error (InvalidName).
    ObjectClassHandle addObjectClass(std::optional<ObjectClassHandle> parent,
                                     const std::string& name);
    AttributeHandle addAttribute(ObjectClassHandle objectClass, const std::string& name,
                                 Transport transport, Order order);
    InteractionClassHandle addInteractionClass(std::optional<InteractionClassHandle> parent,
                                               const std::string& name, Transport transport,
                                               Order order);
    ParameterHandle addParameter(InteractionClassHandle interactionClass, const std::string& name);

    // Lookups by the full class name and by a member name visible in a class.
    std::optional<ObjectClassHandle> findObjectClass(std::string_view fullName) const;
    std::optional<AttributeHandle> findAttribute(ObjectClassHandle objectClass,
                                                 std::string_view name) const;
    std::optional<InteractionClassHandle> findInteractionClass(std::string_view fullName) const;
    std::optional<ParameterHandle> findParameter(InteractionClassHandle interactionClass,
                                                 std::string_view name) const;

    // Accessors throw Error (…NotDefined) for a handle this description does not hold.
    const ObjectClassSpec& objectClass(ObjectClassHandle handle) const;
    const AttributeSpec& attribute(AttributeHandle handle) const;
    const InteractionClassSpec& interactionClass(InteractionClassHandle handle) const;
    const ParameterSpec& parameter(ParameterHandle handle) const;

    std::size_t objectClassCount() const { return m_objectClasses.size(); }
    std::size_t interactionClassCount() const { return m_interactionClasses.size(); }

    // True when cls is ancestor itself or one of its subclasses.
    bool isSubclassOf(ObjectClassHandle cls, ObjectClassHandle ancestor) const;
    bool isSubclassOf(InteractionClassHandle cls, InteractionClassHandle ancestor) const;
    // True when the member is declared in the class or inherited by it.
    bool isAvailable(ObjectClassHandle cls, AttributeHandle attribute) const;
    bool isAvailable(InteractionClassHandle cls, ParameterHandle parameter) const;
    std::vector<AttributeHandle> availableAttributes(ObjectClassHandle cls) const;

private:
    bool declaredInSubtree(ObjectClassHandle cls, std::string_view name) const;
    bool declaredInSubtree(InteractionClassHandle cls, std::string_view name) const;

    std::vector<ObjectClassSpec> m_objectClasses;
    std::vector<AttributeSpec> m_attributes;
    std::vector<InteractionClassSpec> m_interactionClasses;
    std::vector<ParameterSpec> m_parameters;
    std::map<std::string, ObjectClassHandle, std::less<>> m_objectClassByName;
    std::map<std::string, InteractionClassHandle, std::less<>> m_interactionClassByName;
    // Per class, the members it declares itself, by name.
    std::vector<std::map<std::string, AttributeHandle, std::less<>>> m_attributeByName;
    std::vector<std::map<std::string, ParameterHandle, std::less<>>> m_parameterByName;
};

}  // namespace hla
