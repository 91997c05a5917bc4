#include "variables/TypedValues.h"

#include "cao/TypeRows.h"
#include "cao/text/TextToVariant.h"

namespace variables {

cao::Variant StrToTypedVar(const QString& text, int16_t typeIndex) {
    return StrToTypedVar(text, typeIndex, QLocale::system());
}

cao::Variant StrToTypedVar(const QString& text, int16_t typeIndex, const QLocale& locale) {
    const cao::VarType type = cao::typeOfRow(typeIndex);
    if (type == cao::VT_EMPTY) return {};
    return cao::textToVariant(text, type, locale);
}

}  // namespace variables
