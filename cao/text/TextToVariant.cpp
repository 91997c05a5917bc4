#include "cao/text/TextToVariant.h"
#include "cao/Error.h"
#include "cao/text/BoolText.h"
#include "cao/text/DateParse.h"
#include "cao/text/NumberText.h"

#include <limits>

namespace cao {

namespace {

template <typename Int>
Int textToInteger(const QString& text, const QLocale& locale) {
    using Limits = std::numeric_limits<Int>;
    return static_cast<Int>(
        numberToInteger(parseNumberText(text, locale), Limits::min(), Limits::max(),
                        unsigned(Limits::digits) + (Limits::is_signed ? 1 : 0)));
}

bool textToBool(const QString& text, const QLocale& locale) {
    const int word = boolFromWord(text);
    if (word >= 0) return word == 1;
    return !numberIsZero(parseNumberText(text, locale));
}

}  // namespace

Variant textToVariant(const QString& text, VarType type, const QLocale& locale) {
    switch (type) {
        case VT_BOOL:
            return Variant::fromBool(textToBool(text, locale));
        case VT_UI1:
            return Variant::fromUI1(textToInteger<uint8_t>(text, locale));
        case VT_I2:
            return Variant::fromI2(textToInteger<int16_t>(text, locale));
        case VT_I4:
            return Variant::fromI4(textToInteger<int32_t>(text, locale));
        case VT_R4:
            return Variant::fromR4(numberToFloat(parseNumberText(text, locale)));
        case VT_R8:
            return Variant::fromR8(numberToDouble(parseNumberText(text, locale)));
        case VT_DATE:
            return Variant::fromDate(parseOleDate(text, locale));
        case VT_BSTR:
            return Variant::fromString(text);
        default:
            throw Error::typeMismatch();
    }
}

}  // namespace cao
