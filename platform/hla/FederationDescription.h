#pragma once

// The object and interaction classes of a federation execution and the data types of their
// attributes and parameters, as read from a FED file or merged from IEEE 1516-2010 FOM
// modules. Handles index the tables below; attributes and parameters are inherited by
// subclasses. Names keep the HLA 1.3 form (ObjectRoot, InteractionRoot, privilegeToDelete);
// lookups take the 2010 form (HLAobjectRoot, HLAinteractionRoot, HLAprivilegeToDeleteObject)
// as well.

#include "platform/hla/DataTypes.h"
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
    std::string dataType;  // empty when the description declares none (a FED file)
    // Whether the description states the transportation and the order; a FOM module may leave
    // them out, and the values above then stand in until a module states them.
    bool transportDeclared = true;
    bool orderDeclared = true;
};

struct ObjectClassSpec {
    std::string name;
    std::string fullName;  // "ObjectRoot.Participant"
    std::optional<ObjectClassHandle> parent;
    std::vector<AttributeHandle> declared;
    std::vector<ObjectClassHandle> children;
    // The module that defined the class with its attributes, or that first named it.
    std::string module;
};

struct ParameterSpec {
    std::string name;
    InteractionClassHandle declaredIn;
    std::string dataType;  // empty when the description declares none (a FED file)
};

struct InteractionClassSpec {
    std::string name;
    std::string fullName;  // "InteractionRoot.Communication"
    std::optional<InteractionClassHandle> parent;
    Transport transport = Transport::Reliable;
    Order order = Order::Receive;
    std::vector<ParameterHandle> declared;
    std::vector<InteractionClassHandle> children;
    // The module that defined the class, or that first named it.
    std::string module;
    // Given by name only, to place subclasses under: no parameters, transportation or order
    // of its own. A module's definition of the class may fill it in.
    bool scaffolding = false;
    // Whether the description states the transportation and the order (see AttributeSpec).
    bool transportDeclared = true;
    bool orderDeclared = true;
};

// The 1.3 names of the roots and of the delete privilege, and their 2010 names.
inline constexpr const char* kObjectRoot = "ObjectRoot";
inline constexpr const char* kInteractionRoot = "InteractionRoot";
inline constexpr const char* kPrivilegeToDelete = "privilegeToDelete";
inline constexpr const char* kObjectRoot2010 = "HLAobjectRoot";
inline constexpr const char* kInteractionRoot2010 = "HLAinteractionRoot";
inline constexpr const char* kPrivilegeToDelete2010 = "HLAprivilegeToDeleteObject";

// A class or member name in the 1.3 form, whichever form it was given in.
std::string name13(std::string_view name);
// A full class name or member name in the 2010 form.
std::string name2010(std::string_view name);

class FederationDescription {
public:
    std::string federationName;
    std::string version;
    std::vector<std::string> routingSpaces;
    DataTypes dataTypes;
    // The modules merged into this description, in order (one for a FED file).
    std::vector<std::string> modules;

    // Building. A name that clashes with an existing one throws Error (InvalidName).
    ObjectClassHandle addObjectClass(std::optional<ObjectClassHandle> parent,
                                     const std::string& name);
    AttributeHandle addAttribute(ObjectClassHandle objectClass, const std::string& name,
                                 Transport transport, Order order, std::string dataType = {});
    InteractionClassHandle addInteractionClass(std::optional<InteractionClassHandle> parent,
                                               const std::string& name, Transport transport,
                                               Order order);
    ParameterHandle addParameter(InteractionClassHandle interactionClass, const std::string& name,
                                 std::string dataType = {});
    // What a module adds to a class it names besides the data: where it came from, and for
    // an interaction class whether it is given by name only.
    void setModule(ObjectClassHandle cls, std::string module);
    void setModule(InteractionClassHandle cls, std::string module, bool scaffolding);

    // Building from FOM modules, which may leave a transportation, order or data type open:
    // the name, values and *Declared flags come from spec (its handles, lists and full name
    // are ignored; an interaction class also takes its module and scaffolding flag).
    AttributeHandle addAttribute(ObjectClassHandle objectClass, const AttributeSpec& spec);
    InteractionClassHandle addInteractionClass(std::optional<InteractionClassHandle> parent,
                                               const InteractionClassSpec& spec);
    ParameterHandle addParameter(InteractionClassHandle interactionClass,
                                 const ParameterSpec& spec);
    // What a later module states that the description left open: an attribute's
    // transportation, order and data type, a parameter's data type, an interaction class's
    // transportation and order. What the description states already stays.
    void fillIn(AttributeHandle attribute, const AttributeSpec& from);
    void fillIn(ParameterHandle parameter, const ParameterSpec& from);
    void fillIn(InteractionClassHandle interactionClass, const InteractionClassSpec& from);

    // Lookups by the full class name and by a member name visible in a class, in the 1.3 or
    // the 2010 form.
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
    // Throws Error (AttributeNotDefined) naming the first attribute not available at cls.
    void requireAvailable(ObjectClassHandle cls, const AttributeSet& attributes) const;
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
