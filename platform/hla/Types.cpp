#include "platform/hla/Types.h"

#include <charconv>
#include <cmath>

namespace hla {

std::string toString(FederateHandle handle) {
    return "federate " + std::to_string(toUnderlying(handle));
}

std::string toString(ObjectInstanceHandle handle) {
    return "object instance " + std::to_string(toUnderlying(handle));
}

std::string formatTime(LogicalTime time) {
    if (std::isnan(time)) return "NaN";
    if (std::isinf(time)) return time > 0 ? "+infinity" : "-infinity";
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, time);
    return std::string(buffer, result.ptr);
}

}  // namespace hla
