#pragma once

// The handles of the federation description the provider reads and those of a 1.3 RTI, which
// numbers classes and members its own way: found by name once, then kept.

#include "platform/hla/FederationDescription.h"

#include <RTI.hh>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace links {

class Hla13Handles {
public:
    Hla13Handles(RTI::RTIambassador& ambassador, const hla::FederationDescription& description)
        : m_ambassador(ambassador), m_description(description) {}

    // Each throws std::runtime_error naming what the RTI does not know.
    RTI::ObjectClassHandle objectClass(hla::ObjectClassHandle cls);
    RTI::AttributeHandle attribute(hla::ObjectClassHandle cls, hla::AttributeHandle attribute);
    RTI::InteractionClassHandle interactionClass(hla::InteractionClassHandle cls);
    RTI::ParameterHandle parameter(hla::InteractionClassHandle cls, hla::ParameterHandle parameter);

    // Back from the RTI's handles to the description's: only for classes translated before.
    std::optional<hla::ObjectClassHandle> localObjectClass(RTI::ObjectClassHandle cls) const;
    std::optional<hla::InteractionClassHandle> localInteractionClass(
        RTI::InteractionClassHandle cls) const;
    std::optional<hla::AttributeHandle> localAttribute(hla::ObjectClassHandle cls,
                                                       RTI::AttributeHandle attribute);
    std::optional<hla::ParameterHandle> localParameter(hla::InteractionClassHandle cls,
                                                       RTI::ParameterHandle parameter);

private:
    RTI::RTIambassador& m_ambassador;
    const hla::FederationDescription& m_description;
    std::map<hla::ObjectClassHandle, RTI::ObjectClassHandle> m_objectClasses;
    std::map<RTI::ObjectClassHandle, hla::ObjectClassHandle> m_localObjectClasses;
    std::map<hla::InteractionClassHandle, RTI::InteractionClassHandle> m_interactionClasses;
    std::map<RTI::InteractionClassHandle, hla::InteractionClassHandle> m_localInteractionClasses;
    std::map<std::pair<hla::ObjectClassHandle, hla::AttributeHandle>, RTI::AttributeHandle>
        m_attributes;
    std::map<std::pair<hla::InteractionClassHandle, hla::ParameterHandle>, RTI::ParameterHandle>
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
                                                      hla::ObjectClassHandle cls,
                                                      const hla::AttributeSet& attributes);

}  // namespace links
