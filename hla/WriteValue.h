#pragma once

#include "cao/Variant.h"

#include <QString>

namespace hla {

// The value a write of variable `name` sends, converted to the variable's data type. Throws
// cao::Error when the class is not published (option 32) or the value does not convert
// ("Type mismatch", "Overflow").
cao::Variant valueForWrite(const QString& name, bool published, const cao::Variant& value,
                           cao::VarType type);

}  // namespace hla
