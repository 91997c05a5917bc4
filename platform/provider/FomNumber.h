#pragma once

// Numbers between variants and the integer and real representations of FOM data types, kept
// exact up to 64 bits either way: integers never pass through a double on their way.

#include "cao/Variant.h"
#include "platform/hla/DataTypes.h"
#include "platform/hla/DataValue.h"

#include <QLocale>
#include <QString>

#include <cstdint>

namespace provider {

// An integer from -(2^64 - 1) to 2^64 - 1: every value of a signed or unsigned 64-bit
// representation. Zero is never negative.
struct ExactInteger {
    bool negative = false;
    std::uint64_t magnitude = 0;

    static ExactInteger fromSigned(std::int64_t value);
    static ExactInteger fromUnsigned(std::uint64_t value);

    bool isZero() const { return magnitude == 0; }
    bool within(std::int64_t min, std::int64_t max) const;
    std::int64_t toInt64() const;  // when within the range of int64
    double toDouble() const;       // the nearest double
    float toFloat() const;         // the nearest float
    QString toText() const;        // exact decimal

    // Whether a basic integer representation holds it, and as that representation's value.
    bool fits(const hla::DataType& basic) const;
    hla::DataValue toData(const hla::DataType& basic) const;
};

// A real rounded half to even; "Overflow" when not finite or beyond 64 bits.
ExactInteger roundedInteger(double value);

// A number variant (BOOL as -1 or 0, integers, reals rounded half to even, DATE its day
// number) as an integer; text and anything else throw "Type mismatch".
ExactInteger integerOfNumber(const cao::Variant& value);

// A variant of the eight types as a value of the basic integer representation `basic`: as
// integerOfNumber, except that text is read under the locale as variants read it (an &H or
// &O pattern that fits the representation's width taken as its bits) and that true is all
// bits set in an unsigned representation, as it is for VT_UI1. Not range checked.
ExactInteger integerFor(const cao::Variant& value, const hla::DataType& basic,
                        const QLocale& locale);

// A variant of the eight types as a real of 4 or 8 octets: BOOL -1 or 0, DATE its day
// number, text read under the locale; "Overflow" beyond a float's range for 4 octets.
double realFor(const cao::Variant& value, int size, const QLocale& locale);

}  // namespace provider
