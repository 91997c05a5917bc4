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

std::unique_ptr<RTI::AttributeHandleSet> Hla13Handles::attributes(
    hla::ObjectClassHandle cls, const hla::AttributeSet& attributes) {
    std::unique_ptr<RTI::AttributeHandleSet> set(
        RTI::AttributeHandleSetFactory::create(static_cast<RTI::ULong>(attributes.size())));
    for (hla::AttributeHandle a : attributes) set->add(attribute(cls, a));
    return set;
}

}  // namespace links
