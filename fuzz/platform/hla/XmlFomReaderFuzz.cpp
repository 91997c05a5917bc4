// Feeds arbitrary bytes to the XML FOM module reader and merges what it reads after the MIM:
// reading must either give a description or throw FedError, merging must either succeed or
// throw Error, and neither may crash, hang or leak.

#include "platform/hla/Error.h"
#include "platform/hla/FedError.h"
#include "platform/hla/FomModules.h"
#include "platform/hla/XmlFomReader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    hla::FederationDescription module;
    try {
        module = hla::parseFomModule(std::string_view(reinterpret_cast<const char*>(data), size),
                                     "fuzz.xml");
    } catch (const hla::FedError&) {
        return 0;
    }
    // Every class must be reachable by its full name, in either form.
    for (std::size_t i = 0; i < module.objectClassCount(); ++i) {
        const auto handle = static_cast<hla::ObjectClassHandle>(i);
        const auto& cls = module.objectClass(handle);
        if (module.findObjectClass(cls.fullName) != handle ||
            module.findObjectClass(hla::name2010(cls.fullName)) != handle) {
            __builtin_trap();
        }
    }
    for (std::size_t i = 0; i < module.interactionClassCount(); ++i) {
        const auto handle = static_cast<hla::InteractionClassHandle>(i);
        if (module.findInteractionClass(module.interactionClass(handle).fullName) != handle) {
            __builtin_trap();
        }
    }
    // Types resting on one another in circles must end, not recurse without end.
    for (const hla::DataType* type : module.dataTypes.all()) {
        module.dataTypes.basicOf(type->name);
        module.dataTypes.octetBoundary(type->name);
    }
    hla::FederationDescription description = hla::standardMim();
    const auto before = description.objectClassCount();
    try {
        hla::mergeModules(description, {module});
    } catch (const hla::Error&) {
        // A failed merge leaves the description as it was.
        if (description.objectClassCount() != before) __builtin_trap();
    }
    return 0;
}
