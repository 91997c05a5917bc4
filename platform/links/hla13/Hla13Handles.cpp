#include "platform/links/hla13/Hla13Handles.h"

#include "platform/links/RunTimeLink.h"

#include <stdexcept>
#include <string>

namespace links {

std::string describe(const RTI::Exception& e) {
    const std::string name = e._name ? e._name : "RTI exception";
    const std::string reason = e._reason ? e._reason : "";
    return reason.empty() ? name : name + ": " + reason;
}

[[noreturn]] void rethrowRti(const std::string& what) {
    try {
        throw;
    } catch (const RTI::Exception& e) {
        throw std::runtime_error(what + ": " + describe(e));
    }
}

[[noreturn]] void rethrowUnsupported(const std::string& what) {
    try {
        throw;
    } catch (const RTI::RTIinternalError& e) {
        throw NotSupported("The " + std::string(kHla13RunTimeName) + " in use does not support " +
                           what + " (" + describe(e) + ")");
    } catch (const RTI::Exception& e) {
        throw std::runtime_error(what + ": " + describe(e));
    }
}

std::unique_ptr<RTI::AttributeHandleSet> attributeSet(Hla13Handles& handles,
                                                      hla::ObjectClassHandle cls,
                                                      const hla::AttributeSet& attributes) {
    std::unique_ptr<RTI::AttributeHandleSet> set(
        RTI::AttributeHandleSetFactory::create(static_cast<RTI::ULong>(attributes.size())));
    for (hla::AttributeHandle a : attributes) set->add(handles.attribute(cls, a));
    return set;
}

namespace {

[[noreturn]] void unknownToRti(const std::string& what, const RTI::Exception& e) {
    throw std::runtime_error("the RTI does not know " + what + " (" + describe(e) + ")");
}

}  // namespace

RTI::ObjectClassHandle Hla13Handles::objectClass(hla::ObjectClassHandle cls) {
    const auto found = m_objectClasses.find(cls);
    if (found != m_objectClasses.end()) return found->second;
    const std::string& name = m_description.objectClass(cls).fullName;
    try {
        const RTI::ObjectClassHandle handle = m_ambassador.getObjectClassHandle(name.c_str());
        m_objectClasses.emplace(cls, handle);
        m_localObjectClasses.emplace(handle, cls);
        return handle;
    } catch (const RTI::Exception& e) {
        unknownToRti("object class " + name, e);
    }
}

RTI::AttributeHandle Hla13Handles::attribute(hla::ObjectClassHandle cls,
                                             hla::AttributeHandle attribute) {
    const auto key = std::make_pair(cls, attribute);
    const auto found = m_attributes.find(key);
    if (found != m_attributes.end()) return found->second;
    const RTI::ObjectClassHandle rtiClass = objectClass(cls);
    const std::string& name = m_description.attribute(attribute).name;
    try {
        const RTI::AttributeHandle handle = m_ambassador.getAttributeHandle(name.c_str(), rtiClass);
        m_attributes.emplace(key, handle);
        return handle;
    } catch (const RTI::Exception& e) {
        unknownToRti("attribute " + name + " of " + m_description.objectClass(cls).fullName, e);
    }
}

RTI::InteractionClassHandle Hla13Handles::interactionClass(hla::InteractionClassHandle cls) {
    const auto found = m_interactionClasses.find(cls);
    if (found != m_interactionClasses.end()) return found->second;
    const std::string& name = m_description.interactionClass(cls).fullName;
    try {
        const RTI::InteractionClassHandle handle =
            m_ambassador.getInteractionClassHandle(name.c_str());
        m_interactionClasses.emplace(cls, handle);
        m_localInteractionClasses.emplace(handle, cls);
        return handle;
    } catch (const RTI::Exception& e) {
        unknownToRti("interaction class " + name, e);
    }
}

RTI::ParameterHandle Hla13Handles::parameter(hla::InteractionClassHandle cls,
                                             hla::ParameterHandle parameter) {
    const auto key = std::make_pair(cls, parameter);
    const auto found = m_parameters.find(key);
    if (found != m_parameters.end()) return found->second;
    const RTI::InteractionClassHandle rtiClass = interactionClass(cls);
    const std::string& name = m_description.parameter(parameter).name;
    try {
        const RTI::ParameterHandle handle = m_ambassador.getParameterHandle(name.c_str(), rtiClass);
        m_parameters.emplace(key, handle);
        return handle;
    } catch (const RTI::Exception& e) {
        unknownToRti("parameter " + name + " of " + m_description.interactionClass(cls).fullName,
                     e);
    }
}

std::optional<hla::ObjectClassHandle> Hla13Handles::localObjectClass(
    RTI::ObjectClassHandle cls) const {
    const auto found = m_localObjectClasses.find(cls);
    if (found == m_localObjectClasses.end()) return std::nullopt;
    return found->second;
}

std::optional<hla::InteractionClassHandle> Hla13Handles::localInteractionClass(
    RTI::InteractionClassHandle cls) const {
    const auto found = m_localInteractionClasses.find(cls);
    if (found == m_localInteractionClasses.end()) return std::nullopt;
    return found->second;
}

std::optional<hla::AttributeHandle> Hla13Handles::localAttribute(hla::ObjectClassHandle cls,
                                                                 RTI::AttributeHandle attribute) {
    for (hla::AttributeHandle candidate : m_description.availableAttributes(cls)) {
        try {
            if (this->attribute(cls, candidate) == attribute) return candidate;
        } catch (const std::runtime_error&) {
            // An attribute only this description has cannot be the one received.
        }
    }
    return std::nullopt;
}

std::optional<hla::ParameterHandle> Hla13Handles::localParameter(hla::InteractionClassHandle cls,
                                                                 RTI::ParameterHandle parameter) {
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

}  // namespace links
