#pragma once

#include "cao/Variant.h"

#include <QLocale>
#include <QString>

#include <cstdint>

namespace variables {

// Converts text to the value of the type-list row typeIndex (cao/TypeRows.h); any other index gives
// the empty value. Throws cao::Error "Type mismatch" or "Overflow".
cao::Variant StrToTypedVar(const QString& text, int16_t typeIndex);
// The same under a given locale; the form above uses the user's.
cao::Variant StrToTypedVar(const QString& text, int16_t typeIndex, const QLocale& locale);

}  // namespace variables
