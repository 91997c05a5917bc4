#include "platform/provider/FomReceive.h"

#include "cao/Error.h"
#include "cao/text/ChangeType.h"
#include "cao/text/OleDate.h"
#include "platform/hla/DataLayout.h"
#include "platform/provider/FomNumber.h"
#include "platform/provider/Text.h"

#include <limits>

namespace provider {

namespace {

template <typename Int>
Int checked(const ExactInteger& number) {
    if (!number.within(std::numeric_limits<Int>::min(), std::numeric_limits<Int>::max())) {
        throw cao::Error::overflow();
    }
    return static_cast<Int>(number.toInt64());
}

// An integer of up to 64 bits as the variable's type, without passing through a narrower
// variant on the way.
cao::Variant integerVariant(const ExactInteger& number, cao::VarType target) {
    switch (target) {
        case cao::VT_BOOL:
            return cao::Variant::fromBool(!number.isZero());
        case cao::VT_UI1:
            return cao::Variant::fromUI1(checked<std::uint8_t>(number));
        case cao::VT_I2:
            return cao::Variant::fromI2(checked<std::int16_t>(number));
        case cao::VT_I4:
            return cao::Variant::fromI4(checked<std::int32_t>(number));
        case cao::VT_R4:
            return cao::Variant::fromR4(number.toFloat());
        case cao::VT_R8:
            return cao::Variant::fromR8(number.toDouble());
        case cao::VT_DATE:
            if (!cao::isValidOleDate(number.toDouble())) throw cao::Error::overflow();
            return cao::Variant::fromDate(number.toDouble());
        case cao::VT_BSTR:
            return cao::Variant::fromString(number.toText());
        default:
            throw cao::Error::typeMismatch();
    }
}

// A fixed array of characters carries a shorter text followed by NULs.
QString withoutTrailingNuls(const hla::DataTypes& types, std::string_view type, QString text) {
    const hla::DataType* found = types.find(type);
    if (!found || found->kind != hla::DataType::Kind::Array || found->variableEncoding) return text;
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).unicode() == 0) --end;
    text.truncate(end);
    return text;
}

}  // namespace

cao::Variant fomVariant(const hla::DataTypes& types, std::string_view type,
                        const hla::DataValue& value, cao::VarType target, const QLocale& locale) {
    switch (value.kind) {
        case hla::DataValue::Kind::Signed:
            return integerVariant(ExactInteger::fromSigned(value.integer), target);
        case hla::DataValue::Kind::Unsigned:
            return integerVariant(ExactInteger::fromUnsigned(value.natural), target);
        case hla::DataValue::Kind::Real: {
            const cao::Variant natural = value.single
                                             ? cao::Variant::fromR4(static_cast<float>(value.real))
                                             : cao::Variant::fromR8(value.real);
            return cao::changeType(natural, target, locale);
        }
        case hla::DataValue::Kind::Text: {
            const QString text =
                withoutTrailingNuls(types, type, QString::fromStdU16String(value.text));
            return cao::changeType(cao::Variant::fromString(text), target, locale);
        }
        case hla::DataValue::Kind::Enumerator:
            if (type == hla::kBoolean) {
                return cao::changeType(cao::Variant::fromBool(value.integer != 0), target, locale);
            }
            if (target == cao::VT_BSTR) return cao::Variant::fromString(text(value.name));
            return integerVariant(ExactInteger::fromSigned(value.integer), target);
        case hla::DataValue::Kind::Array:
        case hla::DataValue::Kind::Record:
            break;
    }
    const QString readable = QString::fromStdU16String(hla::readableText(value));
    return cao::changeType(cao::Variant::fromString(readable), target, locale);
}

}  // namespace provider
