#include "platform/links/hla1516e/Hla1516eHandles.h"

#include "platform/links/hla1516e/Hla1516eText.h"

#include <stdexcept>

namespace links {

namespace {

[[noreturn]] void unknownToRti(const std::string& what, const rti1516e::Exception& e) {
    throw std::runtime_error("the RTI does not know " + what + " (" + describe(e) + ")");
}

}  // namespace

rti1516e::ObjectClassHandle Hla1516eHandles::objectClass(hla::ObjectClassHandle cls) {
    const auto found = m_objectClasses.find(cls);
    if (found != m_objectClasses.end()) return found->second;
    const std::string name = hla::name2010(m_description.objectClass(cls).fullName);
    try {
        const auto handle = m_ambassador.getObjectClassHandle(wide(name));
        m_objectClasses.emplace(cls, handle);
        m_localObjectClasses.emplace(handle, cls);
        return handle;
    } catch (const rti1516e::Exception& e) {
        unknownToRti("object class " + name, e);
    }
}

rti1516e::AttributeHandle Hla1516eHandles::attribute(hla::ObjectClassHandle cls,
                                                     hla::AttributeHandle attribute) {
    const auto key = std::make_pair(cls, attribute);
    const auto found = m_attributes.find(key);
    if (found != m_attributes.end()) return found->second;
    const auto rtiClass = objectClass(cls);
    const std::string name = hla::name2010(m_description.attribute(attribute).name);
    try {
        const auto handle = m_ambassador.getAttributeHandle(rtiClass, wide(name));
        m_attributes.emplace(key, handle);
        return handle;
    } catch (const rti1516e::Exception& e) {
        unknownToRti(
            "attribute " + name + " of " + hla::name2010(m_description.objectClass(cls).fullName),
            e);
    }
}

rti1516e::InteractionClassHandle Hla1516eHandles::interactionClass(
    hla::InteractionClassHandle cls) {
    const auto found = m_interactionClasses.find(cls);
    if (found != m_interactionClasses.end()) return found->second;
    const std::string name = hla::name2010(m_description.interactionClass(cls).fullName);
    try {
        const auto handle = m_ambassador.getInteractionClassHandle(wide(name));
        m_interactionClasses.emplace(cls, handle);
        m_localInteractionClasses.emplace(handle, cls);
        return handle;
    } catch (const rti1516e::Exception& e) {
        unknownToRti("interaction class " + name, e);
    }
}

rti1516e::ParameterHandle Hla1516eHandles::parameter(hla::InteractionClassHandle cls,
                                                     hla::ParameterHandle parameter) {
    const auto key = std::make_pair(cls, parameter);
    const auto found = m_parameters.find(key);
    if (found != m_parameters.end()) return found->second;
    const auto rtiClass = interactionClass(cls);
    const std::string& name = m_description.parameter(parameter).name;
    try {
        const auto handle = m_ambassador.getParameterHandle(rtiClass, wide(name));
        m_parameters.emplace(key, handle);
        return handle;
    } catch (const rti1516e::Exception& e) {
        unknownToRti("parameter " + name + " of " +
                         hla::name2010(m_description.interactionClass(cls).fullName),
                     e);
    }
}

rti1516e::AttributeHandleSet Hla1516eHandles::attributes(hla::ObjectClassHandle cls,
                                                         const hla::AttributeSet& attributes) {
    rti1516e::AttributeHandleSet set;
    for (hla::AttributeHandle a : attributes) set.insert(attribute(cls, a));
    return set;
}

std::optional<hla::ObjectClassHandle> Hla1516eHandles::localObjectClass(
    const rti1516e::ObjectClassHandle& cls) const {
    const auto found = m_localObjectClasses.find(cls);
    if (found == m_localObjectClasses.end()) return std::nullopt;
    return found->second;
}

std::optional<hla::InteractionClassHandle> Hla1516eHandles::localInteractionClass(
    const rti1516e::InteractionClassHandle& cls) const {
    const auto found = m_localInteractionClasses.find(cls);
    if (found == m_localInteractionClasses.end()) return std::nullopt;
    return found->second;
}

std::optional<hla::AttributeHandle> Hla1516eHandles::localAttribute(
    hla::ObjectClassHandle cls, const rti1516e::AttributeHandle& attribute) {
    for (hla::AttributeHandle candidate : m_description.availableAttributes(cls)) {
        try {
            if (this->attribute(cls, candidate) == attribute) return candidate;
        } catch (const std::runtime_error&) {
            // An attribute only this description has cannot be the one received.
        }
    }
    return std::nullopt;
}

std::optional<hla::ParameterHandle> Hla1516eHandles::localParameter(
    hla::InteractionClassHandle cls, const rti1516e::ParameterHandle& parameter) {
    for (std::optional<hla::InteractionClassHandle> c = cls; c;
         c = m_description.interactionClass(*c).parent) {
        for (hla::ParameterHandle candidate : m_description.interactionClass(*c).declared) {
            try {
                if (this->parameter(cls, candidate) == parameter) return candidate;
            } catch (const std::runtime_error&) {
                // A parameter only this description has cannot be the one received.
            }
        }
    }
    return std::nullopt;
}

hla::AttributeSet Hla1516eHandles::localAttributes(hla::ObjectClassHandle cls,
                                                   const rti1516e::AttributeHandleSet& attributes) {
    hla::AttributeSet local;
    for (const auto& a : attributes) {
        if (const auto found = localAttribute(cls, a)) local.insert(*found);
    }
    return local;
}

hla::ObjectInstanceHandle Hla1516eHandles::localObject(
    const rti1516e::ObjectInstanceHandle& object) {
    const auto found = m_localObjects.find(object);
    if (found != m_localObjects.end()) return found->second;
    // Numbered from 1, in the order this federate first saw them.
    const auto local = static_cast<hla::ObjectInstanceHandle>(m_localObjects.size() + 1);
    m_localObjects.emplace(object, local);
    m_objects.emplace(local, object);
    return local;
}

rti1516e::ObjectInstanceHandle Hla1516eHandles::rtiObject(hla::ObjectInstanceHandle object) const {
    const auto found = m_objects.find(object);
    if (found == m_objects.end()) {
        throw std::runtime_error("object " + hla::toString(object) +
                                 " is not known to this federate");
    }
    return found->second;
}

}  // namespace links
