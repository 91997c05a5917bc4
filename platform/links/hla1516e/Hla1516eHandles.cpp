#include "platform/links/hla1516e/Hla1516eHandles.h"

#include <stdexcept>

namespace links {

rti1516e::AttributeHandleSet Hla1516eHandles::attributes(hla::ObjectClassHandle cls,
                                                         const hla::AttributeSet& attributes) {
    rti1516e::AttributeHandleSet set;
    for (hla::AttributeHandle a : attributes) set.insert(attribute(cls, a));
    return set;
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
