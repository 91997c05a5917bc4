#pragma once

// The handles of the federation description the provider reads and those of an RTI, which
// numbers classes and members its own way: found by name once, then kept. What differs
// between the RTI interfaces comes in Rti:
//   Ambassador, what names are looked up on; Exception, the base of what a lookup throws;
//   ObjectClass, Attribute, InteractionClass, Parameter, Object: the RTI's handles, ordered
//   by <;
//   static ObjectClass objectClass(Ambassador&, const std::string& name), and likewise
//   attribute(Ambassador&, const ObjectClass&, name), interactionClass(Ambassador&, name),
//   parameter(Ambassador&, const InteractionClass&, name): the lookups;
//   static std::string className(const std::string& fullName), attributeName(name): a class's
//   and an attribute's names as the RTI knows them (parameters keep theirs);
//   static std::string describe(const Exception&).

#include "platform/hla/FederationDescription.h"

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

namespace links {

template <class Rti>
class RtiHandles {
public:
    using ObjectClass = typename Rti::ObjectClass;
    using Attribute = typename Rti::Attribute;
    using InteractionClass = typename Rti::InteractionClass;
    using Parameter = typename Rti::Parameter;
    using Object = typename Rti::Object;

    RtiHandles(typename Rti::Ambassador& ambassador, const hla::FederationDescription& description)
        : m_ambassador(ambassador), m_description(description) {}

    // Each throws std::runtime_error naming what the RTI does not know.
    ObjectClass objectClass(hla::ObjectClassHandle cls) {
        return kept(m_objectClasses, cls, [&] {
            const std::string name = Rti::className(m_description.objectClass(cls).fullName);
            const ObjectClass handle = lookedUp(
                "object class " + name, [&] { return Rti::objectClass(m_ambassador, name); });
            m_localObjectClasses.emplace(handle, cls);
            return handle;
        });
    }

    Attribute attribute(hla::ObjectClassHandle cls, hla::AttributeHandle attribute) {
        return kept(m_attributes, std::make_pair(cls, attribute), [&] {
            const ObjectClass rtiClass = objectClass(cls);
            const std::string name = Rti::attributeName(m_description.attribute(attribute).name);
            return lookedUp("attribute " + name + " of " +
                                Rti::className(m_description.objectClass(cls).fullName),
                            [&] { return Rti::attribute(m_ambassador, rtiClass, name); });
        });
    }

    InteractionClass interactionClass(hla::InteractionClassHandle cls) {
        return kept(m_interactionClasses, cls, [&] {
            const std::string name = Rti::className(m_description.interactionClass(cls).fullName);
            const InteractionClass handle = lookedUp("interaction class " + name, [&] {
                return Rti::interactionClass(m_ambassador, name);
            });
            m_localInteractionClasses.emplace(handle, cls);
            return handle;
        });
    }

    Parameter parameter(hla::InteractionClassHandle cls, hla::ParameterHandle parameter) {
        return kept(m_parameters, std::make_pair(cls, parameter), [&] {
            const InteractionClass rtiClass = interactionClass(cls);
            const std::string& name = m_description.parameter(parameter).name;
            return lookedUp("parameter " + name + " of " +
                                Rti::className(m_description.interactionClass(cls).fullName),
                            [&] { return Rti::parameter(m_ambassador, rtiClass, name); });
        });
    }

    // Back from the RTI's handles to the description's: only for classes translated before.
    std::optional<hla::ObjectClassHandle> localObjectClass(const ObjectClass& cls) const {
        const auto found = m_localObjectClasses.find(cls);
        if (found == m_localObjectClasses.end()) return std::nullopt;
        return found->second;
    }

    std::optional<hla::InteractionClassHandle> localInteractionClass(
        const InteractionClass& cls) const {
        const auto found = m_localInteractionClasses.find(cls);
        if (found == m_localInteractionClasses.end()) return std::nullopt;
        return found->second;
    }

    std::optional<hla::AttributeHandle> localAttribute(hla::ObjectClassHandle cls,
                                                       const Attribute& attribute) {
        for (hla::AttributeHandle candidate : m_description.availableAttributes(cls)) {
            try {
                if (this->attribute(cls, candidate) == attribute) return candidate;
            } catch (const std::runtime_error&) {
                // An attribute only this description has cannot be the one received.
            }
        }
        return std::nullopt;
    }

    std::optional<hla::ParameterHandle> localParameter(hla::InteractionClassHandle cls,
                                                       const Parameter& parameter) {
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

    // The description's attributes among any range of the RTI's; the others are left out.
    template <class Attributes>
    hla::AttributeSet localAttributes(hla::ObjectClassHandle cls, const Attributes& attributes) {
        hla::AttributeSet local;
        for (const Attribute& a : attributes) {
            if (const auto found = localAttribute(cls, a)) local.insert(*found);
        }
        return local;
    }

private:
    // The handle kept for key, or the one find() gives, kept from then on.
    template <class Key, class Handle, class Find>
    static Handle kept(std::map<Key, Handle>& handles, const Key& key, Find find) {
        const auto found = handles.find(key);
        if (found != handles.end()) return found->second;
        const Handle handle = find();
        handles.emplace(key, handle);
        return handle;
    }

    template <class Lookup>
    static auto lookedUp(const std::string& what, Lookup lookup) -> decltype(lookup()) {
        try {
            return lookup();
        } catch (const typename Rti::Exception& e) {
            throw std::runtime_error("the RTI does not know " + what + " (" + Rti::describe(e) +
                                     ")");
        }
    }

    typename Rti::Ambassador& m_ambassador;
    const hla::FederationDescription& m_description;
    std::map<hla::ObjectClassHandle, ObjectClass> m_objectClasses;
    std::map<ObjectClass, hla::ObjectClassHandle> m_localObjectClasses;
    std::map<hla::InteractionClassHandle, InteractionClass> m_interactionClasses;
    std::map<InteractionClass, hla::InteractionClassHandle> m_localInteractionClasses;
    std::map<std::pair<hla::ObjectClassHandle, hla::AttributeHandle>, Attribute> m_attributes;
    std::map<std::pair<hla::InteractionClassHandle, hla::ParameterHandle>, Parameter> m_parameters;
};

}  // namespace links
