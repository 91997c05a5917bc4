#include "platform/provider/FomNumber.h"

#include "cao/Error.h"
#include "cao/text/NumberText.h"

#include <bit>
#include <cmath>
#include <limits>

namespace provider {

namespace {

constexpr int kBitsPerOctet = 8;
constexpr int kSingleRealOctets = 4;
constexpr int kLongestWidth = 64;
// 2^64: the first real no 64-bit integer holds.
constexpr double kBeyond64Bits = 0x1p64;
// Halfway between the largest float and the next power of two.
constexpr double kFloatOverflow = 0x1.ffffffp+127;
// 10^20 is beyond 2^64, so no integer holds a number with more digits before the point.
constexpr std::int64_t kMostIntegerDigits = 20;
constexpr std::uint64_t kBase = 10;

// Rounds half to even on the digits as written; "Overflow" beyond 2^64 - 1.
ExactInteger integerOfDigits(const cao::NumberText& number) {
    const std::string& digits = number.digits;
    if (digits.empty()) return {};
    if (number.pointPos > kMostIntegerDigits) throw cao::Error::overflow();
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t magnitude = 0;
    for (std::int64_t i = 0; i < number.pointPos; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const auto digit = static_cast<std::uint64_t>(at < digits.size() ? digits[at] - '0' : 0);
        if (magnitude > (kMax - digit) / kBase) throw cao::Error::overflow();
        magnitude = magnitude * kBase + digit;
    }
    if (number.pointPos >= 0 && static_cast<std::size_t>(number.pointPos) < digits.size()) {
        const auto at = static_cast<std::size_t>(number.pointPos);
        const char next = digits[at];
        const bool more = digits.size() > at + 1;
        if (next > '5' || (next == '5' && (more || magnitude % 2 == 1))) {
            if (magnitude == kMax) throw cao::Error::overflow();
            ++magnitude;
        }
    }
    return {number.negative && magnitude != 0, magnitude};
}

std::uint64_t unsignedMax(const hla::DataType& basic) {
    const int width = kBitsPerOctet * basic.size;
    return width >= kLongestWidth ? std::numeric_limits<std::uint64_t>::max()
                                  : (std::uint64_t{1} << width) - 1;
}

bool isSigned(const hla::DataType& basic) {
    return basic.number == hla::DataType::Number::SignedInteger;
}

ExactInteger integerOfText(const QString& text, const hla::DataType& basic, const QLocale& locale) {
    const cao::NumberText number = cao::parseNumberText(text, locale);
    if (!number.isPattern) return integerOfDigits(number);
    // A pattern that fits the width is the representation's bits.
    const int width = kBitsPerOctet * basic.size;
    if (width < kLongestWidth) {
        const std::int64_t max =
            static_cast<std::int64_t>(unsignedMax(basic) >> (isSigned(basic) ? 1 : 0));
        const std::int64_t min = isSigned(basic) ? -max - 1 : 0;
        return ExactInteger::fromSigned(
            cao::numberToInteger(number, min, max, static_cast<unsigned>(width)));
    }
    if (isSigned(basic))
        return ExactInteger::fromSigned(std::bit_cast<std::int64_t>(number.pattern));
    return ExactInteger::fromUnsigned(number.pattern);
}

}  // namespace

ExactInteger ExactInteger::fromSigned(std::int64_t value) {
    if (value >= 0) return {false, static_cast<std::uint64_t>(value)};
    return {true, std::uint64_t{0} - static_cast<std::uint64_t>(value)};
}

ExactInteger ExactInteger::fromUnsigned(std::uint64_t value) {
    return {false, value};
}

bool ExactInteger::within(std::int64_t min, std::int64_t max) const {
    if (negative) return min < 0 && magnitude <= std::uint64_t{0} - static_cast<std::uint64_t>(min);
    return max >= 0 && magnitude <= static_cast<std::uint64_t>(max);
}

std::int64_t ExactInteger::toInt64() const {
    return negative ? static_cast<std::int64_t>(std::uint64_t{0} - magnitude)
                    : static_cast<std::int64_t>(magnitude);
}

double ExactInteger::toDouble() const {
    const auto value = static_cast<double>(magnitude);
    return negative ? -value : value;
}

float ExactInteger::toFloat() const {
    const auto value = static_cast<float>(magnitude);
    return negative ? -value : value;
}

QString ExactInteger::toText() const {
    return (negative ? QStringLiteral("-") : QString()) + QString::number(magnitude);
}

bool ExactInteger::fits(const hla::DataType& basic) const {
    const std::uint64_t max = unsignedMax(basic);
    if (!isSigned(basic)) return !negative && magnitude <= max;
    const std::uint64_t positiveMax = max >> 1;
    return negative ? magnitude <= positiveMax + 1 : magnitude <= positiveMax;
}

hla::DataValue ExactInteger::toData(const hla::DataType& basic) const {
    if (isSigned(basic)) return hla::DataValue::ofSigned(toInt64());
    return hla::DataValue::ofUnsigned(magnitude);
}

ExactInteger roundedInteger(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= kBeyond64Bits) throw cao::Error::overflow();
    const double below = std::floor(value);
    const double diff = value - below;  // exact
    const bool up = diff > 0.5 || (diff == 0.5 && std::fmod(below, 2.0) != 0.0);
    const double rounded = up ? below + 1.0 : below;
    if (std::fabs(rounded) >= kBeyond64Bits) throw cao::Error::overflow();
    return {rounded < 0, static_cast<std::uint64_t>(std::fabs(rounded))};
}

ExactInteger integerOfNumber(const cao::Variant& value) {
    switch (value.type()) {
        case cao::VT_BOOL:
            return ExactInteger::fromSigned(value.boolValue() ? -1 : 0);
        case cao::VT_UI1:
            return ExactInteger::fromUnsigned(value.ui1());
        case cao::VT_I2:
            return ExactInteger::fromSigned(value.i2());
        case cao::VT_I4:
            return ExactInteger::fromSigned(value.i4());
        case cao::VT_R4:
            return roundedInteger(value.r4());
        case cao::VT_R8:
            return roundedInteger(value.r8());
        case cao::VT_DATE:
            return roundedInteger(value.date());
        default:
            throw cao::Error::typeMismatch();
    }
}

ExactInteger integerFor(const cao::Variant& value, const hla::DataType& basic,
                        const QLocale& locale) {
    if (value.type() == cao::VT_BSTR) return integerOfText(value.string(), basic, locale);
    if (value.type() == cao::VT_BOOL && value.boolValue() && !isSigned(basic)) {
        return ExactInteger::fromUnsigned(unsignedMax(basic));
    }
    return integerOfNumber(value);
}

double realFor(const cao::Variant& value, int size, const QLocale& locale) {
    const bool single = size == kSingleRealOctets;
    double real = 0;
    switch (value.type()) {
        case cao::VT_BSTR: {
            const cao::NumberText number = cao::parseNumberText(value.string(), locale);
            return single ? cao::numberToFloat(number) : cao::numberToDouble(number);
        }
        case cao::VT_R4:
            return value.r4();
        case cao::VT_R8:
            real = value.r8();
            break;
        case cao::VT_DATE:
            real = value.date();
            break;
        default:
            real = integerOfNumber(value).toDouble();
            break;
    }
    if (single && std::isfinite(real) && std::fabs(real) >= kFloatOverflow) {
        throw cao::Error::overflow();
    }
    return real;
}

}  // namespace provider
