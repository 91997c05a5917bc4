// Feeds arbitrary bytes to the FED reader: it must either give a description or throw
// FedError, and never crash, hang or leak.

#include "platform/hla/FedError.h"
#include "platform/hla/FedReader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto description =
            hla::parseFed(std::string_view(reinterpret_cast<const char*>(data), size));
        // Every class must be reachable by its full name.
        for (std::size_t i = 0; i < description.objectClassCount(); ++i) {
            const auto& cls = description.objectClass(static_cast<hla::ObjectClassHandle>(i));
            if (description.findObjectClass(cls.fullName) !=
                static_cast<hla::ObjectClassHandle>(i)) {
                __builtin_trap();
            }
        }
    } catch (const hla::FedError&) {
    }
    return 0;
}
