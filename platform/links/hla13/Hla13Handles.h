#pragma once

// The handles of the federation description the provider reads and those of a 1.3 RTI, which
// numbers classes and members its own way (RtiHandles.h); its object numbers are the
// description's.

#include "platform/hla/FederationDescription.h"
#include "platform/links/RtiHandles.h"

#include <RTI.hh>

#include <memory>
#include <string>

namespace links {

inline constexpr const char* kHla13RunTimeName = "HLA 1.3 run-time";

// The text of a 1.3 exception: "<name>: <reason>".
std::string describe(const RTI::Exception& e);
// From inside a handler of RTI::Exception: rethrows it as std::runtime_error "<what>: <text>".
[[noreturn]] void rethrowRti(const std::string& what);
// The same, but an internal error, the only way a 1.3 RTI has to say that it lacks a
// service, becomes NotSupported.
[[noreturn]] void rethrowUnsupported(const std::string& what);

// How a 1.3 RTI looks handles up: by the names the description has.
struct Hla13Lookup {
    using Ambassador = RTI::RTIambassador;
    using Exception = RTI::Exception;
    using ObjectClass = RTI::ObjectClassHandle;
    using Attribute = RTI::AttributeHandle;
    using InteractionClass = RTI::InteractionClassHandle;
    using Parameter = RTI::ParameterHandle;
    using Object = RTI::ObjectHandle;

    static std::string className(const std::string& fullName) { return fullName; }
    static std::string attributeName(const std::string& name) { return name; }
    static ObjectClass objectClass(Ambassador& rti, const std::string& name) {
        return rti.getObjectClassHandle(name.c_str());
    }
    static Attribute attribute(Ambassador& rti, ObjectClass cls, const std::string& name) {
        return rti.getAttributeHandle(name.c_str(), cls);
    }
    static InteractionClass interactionClass(Ambassador& rti, const std::string& name) {
        return rti.getInteractionClassHandle(name.c_str());
    }
    static Parameter parameter(Ambassador& rti, InteractionClass cls, const std::string& name) {
        return rti.getParameterHandle(name.c_str(), cls);
    }
    static std::string describe(const Exception& e) { return links::describe(e); }
};

class Hla13Handles : public RtiHandles<Hla13Lookup> {
public:
    using RtiHandles::RtiHandles;

    // Throws std::runtime_error naming what the RTI does not know.
    std::unique_ptr<RTI::AttributeHandleSet> attributes(hla::ObjectClassHandle cls,
                                                        const hla::AttributeSet& attributes);

    hla::ObjectInstanceHandle localObject(RTI::ObjectHandle object) const {
        return static_cast<hla::ObjectInstanceHandle>(object);
    }
    RTI::ObjectHandle rtiObject(hla::ObjectInstanceHandle object) const {
        return static_cast<RTI::ObjectHandle>(hla::toUnderlying(object));
    }
};

}  // namespace links
