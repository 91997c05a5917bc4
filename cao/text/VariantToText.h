#pragma once

#include "cao/Variant.h"

#include <QLocale>
#include <QString>

namespace cao {

// Conversions between variants and text under a locale follow what engineers know from OLE
// Automation. Every failure throws cao::Error whose description is exactly "Type mismatch"
// (no value of the type, or no text form) or "Overflow" (outside the type's range).
//
// The locale supplies separators, month and day names and the AM/PM words. It has no words
// for true and false, so "True" and "False" are written in every locale and read in any
// letter case. Digits are ASCII and a negative number is written with "-".

// The text form of a value: empty for VT_EMPTY; VT_NULL and arrays throw "Type mismatch".
QString variantToText(const Variant& value, const QLocale& locale = QLocale::system());

}  // namespace cao
