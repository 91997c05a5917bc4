#pragma once

#include "cao/Variant.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace cao {

// The rows of the value-type list, in order: the program's own code for a value type, written
// in the log and chosen for a write.
inline constexpr int16_t kBoolRow = 0;
inline constexpr int16_t kUI1Row = 1;
inline constexpr int16_t kI2Row = 2;
inline constexpr int16_t kI4Row = 3;
inline constexpr int16_t kR4Row = 4;
inline constexpr int16_t kR8Row = 5;
inline constexpr int16_t kDateRow = 6;
inline constexpr int16_t kBstrRow = 7;
inline constexpr int16_t kTypeRowCount = 8;

// The type of a row of the list; VT_EMPTY for a row outside it.
VarType typeOfRow(int16_t row);

// The type-list row of a value's type. For a type outside the list it reports
// "Unknown Data Type" and gives row 0.
int16_t VarTypeToIndex(const Variant& value, const std::function<void(const QString&)>& report);

}  // namespace cao
