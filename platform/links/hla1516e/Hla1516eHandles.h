#pragma once

// The handles of the federation description the provider reads and those of a 2010 RTI,
// which are objects of its own: classes and members found by their 2010 names once, then
// kept; object instances numbered as this federate first sees them.

#include "platform/hla/FederationDescription.h"

#include <RTI/RTI1516.h>

#include <map>
#include <optional>
#include <utility>

namespace links {

class Hla1516eHandles {
public:
    Hla1516eHandles(rti1516e::RTIambassador& ambassador,
                    const hla::FederationDescription& description)
        : m_ambassador(ambassador), m_description(description) {}

    // Each throws std::runtime_error naming what the RTI does not know.
    rti1516e::ObjectClassHandle objectClass(hla::ObjectClassHandle cls);
    rti1516e::AttributeHandle attribute(hla::ObjectClassHandle cls, hla::AttributeHandle attribute);
    rti1516e::InteractionClassHandle interactionClass(hla::InteractionClassHandle cls);
    rti1516e::ParameterHandle parameter(hla::InteractionClassHandle cls,
                                        hla::ParameterHandle parameter);
    rti1516e::AttributeHandleSet attributes(hla::ObjectClassHandle cls,
                                            const hla::AttributeSet& attributes);

    // Back from the RTI's handles to the description's: only for classes translated before.
    std::optional<hla::ObjectClassHandle> localObjectClass(
        const rti1516e::ObjectClassHandle& cls) const;
    std::optional<hla::InteractionClassHandle> localInteractionClass(
        const rti1516e::InteractionClassHandle& cls) const;
    std::optional<hla::AttributeHandle> localAttribute(hla::ObjectClassHandle cls,
                                                       const rti1516e::AttributeHandle& attribute);
    std::optional<hla::ParameterHandle> localParameter(hla::InteractionClassHandle cls,
                                                       const rti1516e::ParameterHandle& parameter);
    hla::AttributeSet localAttributes(hla::ObjectClassHandle cls,
                                      const rti1516e::AttributeHandleSet& attributes);

    // Object instances: numbered on first sight, the number kept while the federate runs.
    hla::ObjectInstanceHandle localObject(const rti1516e::ObjectInstanceHandle& object);
    // Throws std::runtime_error for a number this federate never gave out.
    rti1516e::ObjectInstanceHandle rtiObject(hla::ObjectInstanceHandle object) const;

private:
    rti1516e::RTIambassador& m_ambassador;
    const hla::FederationDescription& m_description;
    std::map<hla::ObjectClassHandle, rti1516e::ObjectClassHandle> m_objectClasses;
    std::map<rti1516e::ObjectClassHandle, hla::ObjectClassHandle> m_localObjectClasses;
    std::map<hla::InteractionClassHandle, rti1516e::InteractionClassHandle> m_interactionClasses;
    std::map<rti1516e::InteractionClassHandle, hla::InteractionClassHandle>
        m_localInteractionClasses;
    std::map<std::pair<hla::ObjectClassHandle, hla::AttributeHandle>, rti1516e::AttributeHandle>
        m_attributes;
    std::map<std::pair<hla::InteractionClassHandle, hla::ParameterHandle>,
             rti1516e::ParameterHandle>
        m_parameters;
    std::map<rti1516e::ObjectInstanceHandle, hla::ObjectInstanceHandle> m_localObjects;
    std::map<hla::ObjectInstanceHandle, rti1516e::ObjectInstanceHandle> m_objects;
};

}  // namespace links
