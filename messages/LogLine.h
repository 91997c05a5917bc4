#pragma once

#include "cao/Variant.h"

#include <QString>

#include <cstdint>

namespace messages {

// The log's line for one message: "<number> : <value> (<type index>) : Time=<time>,
// Source=<source>". Throws cao::Error when the value or the time has no text form.
QString logLine(int32_t number, const cao::Variant& value, int16_t typeIndex,
                const cao::Variant& time, const QString& source);

}  // namespace messages
