#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>
#include <string>

namespace cao {

// A number read from text, kept as decimal digits so that rounding to an integer works on the
// digits as written, not on a binary approximation.
struct NumberText {
    bool negative = false;
    bool isPattern = false;  // &H or &O: a bit pattern, in `pattern`
    uint64_t pattern = 0;
    std::string digits;    // significant digits, no leading or trailing zeros; empty for 0
    int64_t pointPos = 0;  // value = 0.digits × 10^pointPos
};

// Reads a whole text: blanks around it, a sign, the locale's group separators after the first
// digit and its decimal separator, an exponent with e or E, or an &H / &O pattern.
// Throws cao::Error "Type mismatch" for anything else, "Overflow" for a pattern over 64 bits.
NumberText parseNumberText(const QString& text, const QLocale& locale);

// Rounded half to even; throws "Overflow" outside [min, max]. A pattern that fits `bits` bits is
// taken as the bits of the type (two's complement when min < 0).
int64_t numberToInteger(const NumberText& number, int64_t min, int64_t max, unsigned bits);

// Nearest real; "Overflow" beyond the type's range, underflow gives zero. A pattern is read as
// 32 bits, as for a 32-bit integer.
double numberToDouble(const NumberText& number);
float numberToFloat(const NumberText& number);

bool numberIsZero(const NumberText& number) noexcept;

}  // namespace cao
