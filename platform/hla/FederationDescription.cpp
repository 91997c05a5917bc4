#include "platform/hla/FederationDescription.h"

#include "platform/hla/Error.h"

namespace hla {

namespace {

template <typename Table>
auto& at(Table& table, std::uint32_t index, ErrorKind kind, const char* what) {
    if (index >= table.size()) {
        throw Error(kind, std::string(what) + " handle " + std::to_string(index) +
                              " is not defined in the federation description");
    }
    return table[index];
}

std::string replacePrefix(std::string_view name, std::string_view from, std::string_view to) {
    if (name.substr(0, from.size()) != from) return std::string(name);
    if (name.size() > from.size() && name[from.size()] != '.') return std::string(name);
    return std::string(to) + std::string(name.substr(from.size()));
}

// A later module states what an earlier one left open, never overrides it.
template <typename Spec>
void fillInDelivery(Spec& spec, const Spec& from) {
    if (!spec.transportDeclared && from.transportDeclared) {
        spec.transport = from.transport;
        spec.transportDeclared = true;
    }
    if (!spec.orderDeclared && from.orderDeclared) {
        spec.order = from.order;
        spec.orderDeclared = true;
    }
}

}  // namespace

std::string name13(std::string_view name) {
    if (name == kPrivilegeToDelete2010) return kPrivilegeToDelete;
    std::string result = replacePrefix(name, kObjectRoot2010, kObjectRoot);
    return replacePrefix(result, kInteractionRoot2010, kInteractionRoot);
}

std::string name2010(std::string_view name) {
    if (name == kPrivilegeToDelete) return kPrivilegeToDelete2010;
    std::string result = replacePrefix(name, kObjectRoot, kObjectRoot2010);
    return replacePrefix(result, kInteractionRoot, kInteractionRoot2010);
}

ObjectClassHandle FederationDescription::addObjectClass(std::optional<ObjectClassHandle> parent,
                                                        const std::string& name) {
    std::string fullName = parent ? objectClass(*parent).fullName + "." + name : name;
    if (m_objectClassByName.count(fullName) != 0) {
        throw Error(ErrorKind::InvalidName, "object class " + fullName + " is declared twice");
    }
    const auto handle = static_cast<ObjectClassHandle>(m_objectClasses.size());
    m_objectClasses.push_back({name, fullName, parent, {}, {}, {}});
    m_attributeByName.emplace_back();
    if (parent) m_objectClasses[toUnderlying(*parent)].children.push_back(handle);
    m_objectClassByName.emplace(std::move(fullName), handle);
    return handle;
}

AttributeHandle FederationDescription::addAttribute(ObjectClassHandle objectClass,
                                                    const std::string& name, Transport transport,
                                                    Order order, std::string dataType) {
    AttributeSpec spec;
    spec.name = name;
    spec.transport = transport;
    spec.order = order;
    spec.dataType = std::move(dataType);
    return addAttribute(objectClass, spec);
}

AttributeHandle FederationDescription::addAttribute(ObjectClassHandle objectClass,
                                                    const AttributeSpec& spec) {
    const auto& cls = this->objectClass(objectClass);
    if (findAttribute(objectClass, spec.name) || declaredInSubtree(objectClass, spec.name)) {
        throw Error(
            ErrorKind::InvalidName,
            "attribute " + spec.name + " is declared twice in object class " + cls.fullName);
    }
    const auto handle = static_cast<AttributeHandle>(m_attributes.size());
    AttributeSpec added = spec;
    added.declaredIn = objectClass;
    m_attributes.push_back(std::move(added));
    m_objectClasses[toUnderlying(objectClass)].declared.push_back(handle);
    m_attributeByName[toUnderlying(objectClass)].emplace(spec.name, handle);
    return handle;
}

InteractionClassHandle FederationDescription::addInteractionClass(
    std::optional<InteractionClassHandle> parent, const std::string& name, Transport transport,
    Order order) {
    InteractionClassSpec spec;
    spec.name = name;
    spec.transport = transport;
    spec.order = order;
    return addInteractionClass(parent, spec);
}

InteractionClassHandle FederationDescription::addInteractionClass(
    std::optional<InteractionClassHandle> parent, const InteractionClassSpec& spec) {
    std::string fullName =
        parent ? interactionClass(*parent).fullName + "." + spec.name : spec.name;
    if (m_interactionClassByName.count(fullName) != 0) {
        throw Error(ErrorKind::InvalidName, "interaction class " + fullName + " is declared twice");
    }
    const auto handle = static_cast<InteractionClassHandle>(m_interactionClasses.size());
    InteractionClassSpec added = spec;
    added.fullName = fullName;
    added.parent = parent;
    added.declared.clear();
    added.children.clear();
    m_interactionClasses.push_back(std::move(added));
    m_parameterByName.emplace_back();
    if (parent) m_interactionClasses[toUnderlying(*parent)].children.push_back(handle);
    m_interactionClassByName.emplace(std::move(fullName), handle);
    return handle;
}

ParameterHandle FederationDescription::addParameter(InteractionClassHandle interactionClass,
                                                    const std::string& name, std::string dataType) {
    ParameterSpec spec;
    spec.name = name;
    spec.dataType = std::move(dataType);
    return addParameter(interactionClass, spec);
}

ParameterHandle FederationDescription::addParameter(InteractionClassHandle interactionClass,
                                                    const ParameterSpec& spec) {
    const auto& cls = this->interactionClass(interactionClass);
    if (findParameter(interactionClass, spec.name) ||
        declaredInSubtree(interactionClass, spec.name)) {
        throw Error(
            ErrorKind::InvalidName,
            "parameter " + spec.name + " is declared twice in interaction class " + cls.fullName);
    }
    const auto handle = static_cast<ParameterHandle>(m_parameters.size());
    m_parameters.push_back({spec.name, interactionClass, spec.dataType});
    m_interactionClasses[toUnderlying(interactionClass)].declared.push_back(handle);
    m_parameterByName[toUnderlying(interactionClass)].emplace(spec.name, handle);
    return handle;
}

void FederationDescription::fillIn(AttributeHandle attribute, const AttributeSpec& from) {
    this->attribute(attribute);  // throws for a handle not held
    AttributeSpec& spec = m_attributes[toUnderlying(attribute)];
    fillInDelivery(spec, from);
    if (spec.dataType.empty()) spec.dataType = from.dataType;
}

void FederationDescription::fillIn(ParameterHandle parameter, const ParameterSpec& from) {
    this->parameter(parameter);  // throws for a handle not held
    ParameterSpec& spec = m_parameters[toUnderlying(parameter)];
    if (spec.dataType.empty()) spec.dataType = from.dataType;
}

void FederationDescription::fillIn(InteractionClassHandle interactionClass,
                                   const InteractionClassSpec& from) {
    this->interactionClass(interactionClass);  // throws for a handle not held
    InteractionClassSpec& spec = m_interactionClasses[toUnderlying(interactionClass)];
    fillInDelivery(spec, from);
}

void FederationDescription::setModule(ObjectClassHandle cls, std::string module) {
    objectClass(cls);  // throws for a handle not held
    m_objectClasses[toUnderlying(cls)].module = std::move(module);
}

void FederationDescription::setModule(InteractionClassHandle cls, std::string module,
                                      bool scaffolding) {
    interactionClass(cls);  // throws for a handle not held
    auto& spec = m_interactionClasses[toUnderlying(cls)];
    spec.module = std::move(module);
    spec.scaffolding = scaffolding;
}

std::optional<ObjectClassHandle> FederationDescription::findObjectClass(
    std::string_view fullName) const {
    const auto it = m_objectClassByName.find(name13(fullName));
    if (it == m_objectClassByName.end()) return std::nullopt;
    return it->second;
}

std::optional<AttributeHandle> FederationDescription::findAttribute(ObjectClassHandle cls,
                                                                    std::string_view name) const {
    const std::string wanted = name13(name);
    for (std::optional<ObjectClassHandle> c = cls; c; c = objectClass(*c).parent) {
        const auto& names = m_attributeByName[toUnderlying(*c)];
        if (const auto it = names.find(wanted); it != names.end()) return it->second;
    }
    return std::nullopt;
}

std::optional<InteractionClassHandle> FederationDescription::findInteractionClass(
    std::string_view fullName) const {
    const auto it = m_interactionClassByName.find(name13(fullName));
    if (it == m_interactionClassByName.end()) return std::nullopt;
    return it->second;
}

std::optional<ParameterHandle> FederationDescription::findParameter(InteractionClassHandle cls,
                                                                    std::string_view name) const {
    for (std::optional<InteractionClassHandle> c = cls; c; c = interactionClass(*c).parent) {
        const auto& names = m_parameterByName[toUnderlying(*c)];
        if (const auto it = names.find(name); it != names.end()) return it->second;
    }
    return std::nullopt;
}

const ObjectClassSpec& FederationDescription::objectClass(ObjectClassHandle handle) const {
    return at(m_objectClasses, toUnderlying(handle), ErrorKind::ObjectClassNotDefined,
              "object class");
}

const AttributeSpec& FederationDescription::attribute(AttributeHandle handle) const {
    return at(m_attributes, toUnderlying(handle), ErrorKind::AttributeNotDefined, "attribute");
}

const InteractionClassSpec& FederationDescription::interactionClass(
    InteractionClassHandle handle) const {
    return at(m_interactionClasses, toUnderlying(handle), ErrorKind::InteractionClassNotDefined,
              "interaction class");
}

const ParameterSpec& FederationDescription::parameter(ParameterHandle handle) const {
    return at(m_parameters, toUnderlying(handle), ErrorKind::InteractionParameterNotDefined,
              "parameter");
}

bool FederationDescription::isSubclassOf(ObjectClassHandle cls, ObjectClassHandle ancestor) const {
    for (std::optional<ObjectClassHandle> c = cls; c; c = objectClass(*c).parent) {
        if (*c == ancestor) return true;
    }
    return false;
}

bool FederationDescription::isSubclassOf(InteractionClassHandle cls,
                                         InteractionClassHandle ancestor) const {
    for (std::optional<InteractionClassHandle> c = cls; c; c = interactionClass(*c).parent) {
        if (*c == ancestor) return true;
    }
    return false;
}

void FederationDescription::requireAvailable(ObjectClassHandle cls,
                                             const AttributeSet& attributes) const {
    for (AttributeHandle a : attributes) {
        if (!isAvailable(cls, a)) {
            throw Error(ErrorKind::AttributeNotDefined,
                        "attribute " + attribute(a).name + " is not an attribute of object class " +
                            objectClass(cls).fullName);
        }
    }
}

bool FederationDescription::isAvailable(ObjectClassHandle cls, AttributeHandle attr) const {
    return isSubclassOf(cls, attribute(attr).declaredIn);
}

bool FederationDescription::isAvailable(InteractionClassHandle cls, ParameterHandle param) const {
    return isSubclassOf(cls, parameter(param).declaredIn);
}

std::vector<AttributeHandle> FederationDescription::availableAttributes(
    ObjectClassHandle cls) const {
    std::vector<AttributeHandle> result;
    for (std::optional<ObjectClassHandle> c = cls; c; c = objectClass(*c).parent) {
        const auto& declared = objectClass(*c).declared;
        result.insert(result.end(), declared.begin(), declared.end());
    }
    return result;
}

bool FederationDescription::declaredInSubtree(ObjectClassHandle cls, std::string_view name) const {
    for (ObjectClassHandle child : objectClass(cls).children) {
        if (m_attributeByName[toUnderlying(child)].count(name) != 0) return true;
        if (declaredInSubtree(child, name)) return true;
    }
    return false;
}

bool FederationDescription::declaredInSubtree(InteractionClassHandle cls,
                                              std::string_view name) const {
    for (InteractionClassHandle child : interactionClass(cls).children) {
        if (m_parameterByName[toUnderlying(child)].count(name) != 0) return true;
        if (declaredInSubtree(child, name)) return true;
    }
    return false;
}

}  // namespace hla
