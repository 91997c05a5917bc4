#pragma once

#include "cao/Variant.h"

#include <QLocale>

namespace cao {

// A value as another of the eight types of the type list: text is read as by textToVariant,
// numbers are rounded half to even for integer types and range checked, true is -1, a date is
// its day number, and anything with a text form becomes VT_BSTR. A value of the target type
// comes back unchanged; empty, null and arrays throw "Type mismatch", except that empty
// becomes "".
Variant changeType(const Variant& value, VarType type, const QLocale& locale = QLocale::system());

}  // namespace cao
