#pragma once

#include "cao/Variant.h"

#include <QLocale>
#include <QString>

namespace cao {

// Conversions between variants and text under a locale, as engineers know them from OLE
// Automation. Every failure throws cao::Error whose description is exactly "Type mismatch"
// (no value of the type, or no text form) or "Overflow" (outside the type's range).
//
// The locale supplies separators, month and day names and the AM/PM words. It has no words
// for true and false, so "True" and "False" are written in every locale and read in any
// letter case. Digits are ASCII and a negative number is written with "-".

// The text form of a value: empty for VT_EMPTY; VT_NULL and arrays throw "Type mismatch".
QString variantToText(const Variant& value, const QLocale& locale = QLocale::system());

// Text to one of VT_BOOL, VT_UI1, VT_I2, VT_I4, VT_R4, VT_R8, VT_DATE and VT_BSTR; any other
// type throws "Type mismatch".
Variant textToVariant(const QString& text, VarType type, const QLocale& locale = QLocale::system());

// A value as another of those eight types: text is read as by textToVariant, numbers are
// rounded half to even for integer types and range checked, true is -1, a date is its day
// number, and anything with a text form becomes VT_BSTR. A value of the target type comes
// back unchanged; empty, null and arrays throw "Type mismatch", except that empty becomes "".
Variant changeType(const Variant& value, VarType type, const QLocale& locale = QLocale::system());

}  // namespace cao
