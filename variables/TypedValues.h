#pragma once

#include "cao/Variant.h"

#include <QLocale>
#include <QString>

#include <cstdint>

namespace ui {
class MessageBoxService;
}

namespace variables {

// The rows of the value-type list, in order: the program's own code for a value type.
inline constexpr int16_t kTypeIndexCount = 8;

// Converts text to the value of the type-list row typeIndex; any other index gives the
// empty value. Throws cao::Error "Type mismatch" or "Overflow".
cao::Variant StrToTypedVar(const QString& text, int16_t typeIndex);
// The same under a given locale; the form above uses the user's.
cao::Variant StrToTypedVar(const QString& text, int16_t typeIndex, const QLocale& locale);

// The type-list row of a value's type. For a type outside the list it shows
// "Unknown Data Type" and gives 0.
int16_t VarTypeToIndex(const cao::Variant& value, ui::MessageBoxService& messageBox);

}  // namespace variables
