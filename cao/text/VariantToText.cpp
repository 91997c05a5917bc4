#include "cao/text/VariantToText.h"
#include "cao/Error.h"
#include "cao/text/BoolText.h"
#include "cao/text/DateFormat.h"
#include "cao/text/RealText.h"

namespace cao {

QString variantToText(const Variant& value, const QLocale& locale) {
    if (value.isArray()) throw Error::typeMismatch();
    switch (value.type()) {
        case VT_EMPTY:
            return QString();
        case VT_UI1:
            return QString::number(value.ui1());
        case VT_I2:
            return QString::number(value.i2());
        case VT_I4:
            return QString::number(value.i4());
        case VT_R4:
            return formatFloat(value.r4(), locale);
        case VT_R8:
            return formatDouble(value.r8(), locale);
        case VT_CY:
            return formatCurrency(value.currency(), locale);
        case VT_DATE:
            return formatOleDate(value.date(), locale);
        case VT_BSTR:
            return value.string();
        case VT_ERROR:
            return QStringLiteral("Error %1").arg(value.errorCode());
        case VT_BOOL:
            return boolText(value.boolValue());
        default:
            throw Error::typeMismatch();  // VT_NULL has no text form
    }
}

}  // namespace cao
