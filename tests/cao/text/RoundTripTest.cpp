#include "VariantTextTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

using namespace cao;
using namespace cao::test;

namespace {

// Whether the value lies exactly halfway between two 15-digit decimals: its exact expansion,
// which printf gives in full, ends in a 5 at the 16th significant digit.
bool isFifteenDigitTie(double value) {
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, "%.800e", std::fabs(value));
    const std::string digits = std::string(1, buffer[0]) + (buffer + 2);
    const std::string tail = digits.substr(16, digits.find('e') - 16);
    return digits[15] == '5' && tail.find_first_not_of('0') == std::string::npos;
}

// The value rounded to 15 significant digits, the most its text can carry, ties away from
// zero. printf rounds ties to even, so a tie is first nudged by one ulp away from zero.
double roundedTo15Digits(double value) {
    if (isFifteenDigitTie(value)) value = std::nextafter(value, value * 2);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    return std::strtod(buffer, nullptr);
}

TEST(RoundTrip, RandomDoublesSurviveTextToFifteenDigits) {
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-300, 300);
    for (int i = 0; i < 20000; ++i) {
        double value = 0;
        if (i % 2 == 0) {
            value = mantissa(random) * std::pow(10.0, exponent(random));
        } else {
            // Any finite bit pattern, denormals included.
            const uint64_t bits = random();
            std::memcpy(&value, &bits, sizeof value);
            if (!std::isfinite(value)) continue;
        }
        const QLocale& locale = i % 3 == 0 ? deDE() : enUS();
        const QString text = variantToText(Variant::fromR8(value), locale);
        const double back = textToVariant(text, VT_R8, locale).r8();
        ASSERT_EQ(back, roundedTo15Digits(value)) << text.toStdString();
        ASSERT_EQ(variantToText(Variant::fromR8(back), locale), text);
    }
}

TEST(RoundTrip, RandomSinglesSurviveTextToSevenDigits) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> mantissa(-10.0f, 10.0f);
    std::uniform_int_distribution<int> exponent(-30, 30);
    for (int i = 0; i < 20000; ++i) {
        const float value = mantissa(random) * std::pow(10.0f, float(exponent(random)));
        if (!std::isfinite(value)) continue;
        const QString text = variantToText(Variant::fromR4(value), enUS());
        const float back = textToVariant(text, VT_R4, enUS()).r4();
        ASSERT_EQ(variantToText(Variant::fromR4(back), enUS()), text);
        ASSERT_LE(std::fabs(back - value), std::fabs(value) * 1e-6f) << text.toStdString();
    }
}

}  // namespace
