#pragma once

#include "cao/Variant.h"
#include "platform/hla/Types.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace provider {

class Federate;

// The value a write of variable `name` sends, converted to the variable's data type. Throws
// cao::Error when the class is not published (option 32) or the value does not convert
// ("Type mismatch", "Overflow").
cao::Variant valueForWrite(const QString& name, bool published, const cao::Variant& value,
                           cao::VarType type);

// Decodes a payload received for variable `name` into `value`. A payload that is no value of
// the type raises message -1 describing why, leaves `value` as it was and gives false.
bool takeReceivedValue(Federate& federate, const QString& name, const hla::Bytes& payload,
                       cao::VarType type, int32_t options,
                       std::optional<hla::LogicalTime> timestamp, cao::Variant& value);

}  // namespace provider
