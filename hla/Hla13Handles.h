#pragma once

// The handles of the federation description the provider reads and those of a 1.3 RTI, which
// numbers classes and members its own way: found by name once, then kept.

#include "rti/FederationDescription.h"

#include <RTI.hh>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace hla {

class Hla13Handles {
public:
    Hla13Handles(RTI::RTIambassador& ambassador, const rti::FederationDescription& description)
        : m_ambassador(ambassador), m_description(description) {}

    // Each throws std::runtime_error naming what the RTI does not know.
    RTI::ObjectClassHandle objectClass(rti::ObjectClassHandle cls);
    RTI::AttributeHandle attribute(rti::ObjectClassHandle cls, rti::AttributeHandle attribute);
    RTI::InteractionClassHandle interactionClass(rti::InteractionClassHandle cls);
    RTI::ParameterHandle parameter(rti::InteractionClassHandle cls, rti::ParameterHandle parameter);

    // Back from the RTI's handles to the description's: only for classes translated before.
    std::optional<rti::ObjectClassHandle> localObjectClass(RTI::ObjectClassHandle cls) const;
    std::optional<rti::InteractionClassHandle> localInteractionClass(
        RTI::InteractionClassHandle cls) const;
    std::optional<rti::AttributeHandle> localAttribute(rti::ObjectClassHandle cls,
                                                       RTI::AttributeHandle attribute);
    std::optional<rti::ParameterHandle> localParameter(rti::InteractionClassHandle cls,
                                                       RTI::ParameterHandle parameter);

private:
    RTI::RTIambassador& m_ambassador;
    const rti::FederationDescription& m_description;
    std::map<rti::ObjectClassHandle, RTI::ObjectClassHandle> m_objectClasses;
    std::map<RTI::ObjectClassHandle, rti::ObjectClassHandle> m_localObjectClasses;
    std::map<rti::InteractionClassHandle, RTI::InteractionClassHandle> m_interactionClasses;
    std::map<RTI::InteractionClassHandle, rti::InteractionClassHandle> m_localInteractionClasses;
    std::map<std::pair<rti::ObjectClassHandle, rti::AttributeHandle>, RTI::AttributeHandle>
        m_attributes;
    std::map<std::pair<rti::InteractionClassHandle, rti::ParameterHandle>, RTI::ParameterHandle>
        m_parameters;
};

inline constexpr const char* kHla13RunTimeName = "HLA 1.3 run-time";

// The text of a 1.3 exception: "<name>: <reason>".
std::string describe(const RTI::Exception& e);
// From inside a handler of RTI::Exception: rethrows it as std::runtime_error "<what>: <text>".
[[noreturn]] void rethrowRti(const std::string& what);
// The same, but an internal error, the only way a 1.3 RTI has to say that it lacks a
// service, becomes NotSupported.
[[noreturn]] void rethrowUnsupported(const std::string& what);

std::unique_ptr<RTI::AttributeHandleSet> attributeSet(Hla13Handles& handles,
                                                      rti::ObjectClassHandle cls,
                                                      const rti::AttributeSet& attributes);

}  // namespace hla
