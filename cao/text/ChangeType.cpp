#include "cao/text/ChangeType.h"
#include "cao/Error.h"
#include "cao/text/OleDate.h"
#include "cao/text/TextToVariant.h"
#include "cao/text/VariantToText.h"

#include <cmath>
#include <limits>

namespace cao {

namespace {

// A numeric value as its source holds it, so integers and currency stay exact.
struct Number {
    enum Kind { Integer, Real, Currency } kind;
    int64_t integer = 0;  // Integer; Currency in units of 1/10000
    double real = 0;      // Real

    double asReal() const {
        if (kind == Real) return real;
        return kind == Currency ? double(integer) / 10000.0 : double(integer);
    }
};

Number numberOf(const Variant& value) {
    switch (value.type()) {
        case VT_BOOL:
            return {Number::Integer, value.boolValue() ? -1 : 0};
        case VT_UI1:
            return {Number::Integer, value.ui1()};
        case VT_I2:
            return {Number::Integer, value.i2()};
        case VT_I4:
            return {Number::Integer, value.i4()};
        case VT_CY:
            return {Number::Currency, value.currency()};
        case VT_R4:
            return {Number::Real, 0, value.r4()};
        case VT_R8:
            return {Number::Real, 0, value.r8()};
        case VT_DATE:
            return {Number::Real, 0, value.date()};
        default:
            throw Error::typeMismatch();  // VT_ERROR and the like are no numbers
    }
}

int64_t roundHalfEven(const Number& number) {
    if (number.kind == Number::Integer) return number.integer;
    if (number.kind == Number::Currency) {
        int64_t whole = number.integer / 10000;
        const int64_t rest = number.integer % 10000;  // same sign as the amount
        const int64_t step = rest < 0 ? -1 : 1;
        if (std::abs(rest) > 5000 || (std::abs(rest) == 5000 && whole % 2 != 0)) whole += step;
        return whole;
    }
    const double x = number.real;
    // Every 32-bit integer is exact in a double; anything this far out overflows all targets.
    if (!std::isfinite(x) || std::fabs(x) > 4e18) throw Error::overflow();
    const double below = std::floor(x);
    const double diff = x - below;  // exact
    const bool up = diff > 0.5 || (diff == 0.5 && std::fmod(below, 2.0) != 0.0);
    return static_cast<int64_t>(up ? below + 1.0 : below);
}

template <typename Int>
Int toInteger(const Number& number) {
    const int64_t value = roundHalfEven(number);
    if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max()) {
        throw Error::overflow();
    }
    return static_cast<Int>(value);
}

float toFloat(const Number& number) {
    const double value = number.asReal();
    // Halfway between FLT_MAX and the next power of two rounds to infinity.
    if (std::isfinite(value) && std::fabs(value) >= 0x1.ffffffp+127) throw Error::overflow();
    return static_cast<float>(value);
}

double toDate(const Number& number) {
    const double value = number.asReal();
    if (!isValidOleDate(value)) throw Error::overflow();
    return value;
}

bool isNonZero(const Number& number) {
    return number.kind == Number::Real ? number.real != 0.0 : number.integer != 0;
}

}  // namespace

Variant changeType(const Variant& value, VarType type, const QLocale& locale) {
    if (value.type() == type) return value;
    if (type == VT_BSTR) return Variant::fromString(variantToText(value, locale));
    if (value.isEmpty() || value.isNull() || value.isArray()) throw Error::typeMismatch();
    if (value.type() == VT_BSTR) return textToVariant(value.string(), type, locale);

    // True as a byte is all bits set, as a bit pattern would give it.
    if (value.type() == VT_BOOL && type == VT_UI1) {
        return Variant::fromUI1(value.boolValue() ? 255 : 0);
    }
    switch (type) {
        case VT_BOOL:
            return Variant::fromBool(isNonZero(numberOf(value)));
        case VT_UI1:
            return Variant::fromUI1(toInteger<uint8_t>(numberOf(value)));
        case VT_I2:
            return Variant::fromI2(toInteger<int16_t>(numberOf(value)));
        case VT_I4:
            return Variant::fromI4(toInteger<int32_t>(numberOf(value)));
        case VT_R4:
            return Variant::fromR4(toFloat(numberOf(value)));
        case VT_R8:
            return Variant::fromR8(numberOf(value).asReal());
        case VT_DATE:
            return Variant::fromDate(toDate(numberOf(value)));
        default:
            throw Error::typeMismatch();
    }
}

}  // namespace cao
