#pragma once

// The handles of the federation description the provider reads and those of a 2010 RTI,
// which are objects of its own: classes and members found by their 2010 names once, then
// kept (RtiHandles.h); object instances numbered as this federate first sees them.

#include "platform/hla/FederationDescription.h"
#include "platform/links/RtiHandles.h"
#include "platform/links/hla1516e/Hla1516eText.h"

#include <RTI/RTI1516.h>

#include <map>
#include <string>

namespace links {

// How a 2010 RTI looks handles up: by the 2010 names of classes and attributes.
struct Hla1516eLookup {
    using Ambassador = rti1516e::RTIambassador;
    using Exception = rti1516e::Exception;
    using ObjectClass = rti1516e::ObjectClassHandle;
    using Attribute = rti1516e::AttributeHandle;
    using InteractionClass = rti1516e::InteractionClassHandle;
    using Parameter = rti1516e::ParameterHandle;
    using Object = rti1516e::ObjectInstanceHandle;

    static std::string className(const std::string& fullName) { return hla::name2010(fullName); }
    static std::string attributeName(const std::string& name) { return hla::name2010(name); }
    static ObjectClass objectClass(Ambassador& rti, const std::string& name) {
        return rti.getObjectClassHandle(wide(name));
    }
    static Attribute attribute(Ambassador& rti, const ObjectClass& cls, const std::string& name) {
        return rti.getAttributeHandle(cls, wide(name));
    }
    static InteractionClass interactionClass(Ambassador& rti, const std::string& name) {
        return rti.getInteractionClassHandle(wide(name));
    }
    static Parameter parameter(Ambassador& rti, const InteractionClass& cls,
                               const std::string& name) {
        return rti.getParameterHandle(cls, wide(name));
    }
    static std::string describe(const Exception& e) { return links::describe(e); }
};

class Hla1516eHandles : public RtiHandles<Hla1516eLookup> {
public:
    using RtiHandles::RtiHandles;

    // Throws std::runtime_error naming what the RTI does not know.
    rti1516e::AttributeHandleSet attributes(hla::ObjectClassHandle cls,
                                            const hla::AttributeSet& attributes);

    // Object instances: numbered on first sight, the number kept while the federate runs.
    hla::ObjectInstanceHandle localObject(const rti1516e::ObjectInstanceHandle& object);
    // Throws std::runtime_error for a number this federate never gave out.
    rti1516e::ObjectInstanceHandle rtiObject(hla::ObjectInstanceHandle object) const;

private:
    std::map<rti1516e::ObjectInstanceHandle, hla::ObjectInstanceHandle> m_localObjects;
    std::map<hla::ObjectInstanceHandle, rti1516e::ObjectInstanceHandle> m_objects;
};

}  // namespace links
