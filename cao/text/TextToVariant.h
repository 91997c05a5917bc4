#pragma once

#include "cao/Variant.h"

#include <QLocale>
#include <QString>

namespace cao {

// Text to one of VT_BOOL, VT_UI1, VT_I2, VT_I4, VT_R4, VT_R8, VT_DATE and VT_BSTR under a
// locale; any other type throws "Type mismatch", a number outside the type's range "Overflow".
Variant textToVariant(const QString& text, VarType type, const QLocale& locale = QLocale::system());

}  // namespace cao
