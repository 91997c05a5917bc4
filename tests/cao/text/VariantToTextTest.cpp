#include "VariantTextTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace cao;
using namespace cao::test;

namespace {

struct Case {
    Variant value;
    const char* en;
    const char* de;
};

TEST(VariantToText, EachTypeUnderEnglishAndGermanLocales) {
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {Variant(), "", ""},
        {Variant::fromI2(-42), "-42", "-42"},
        {Variant::fromI2(-32768), "-32768", "-32768"},
        {Variant::fromI4(std::numeric_limits<int32_t>::min()), "-2147483648", "-2147483648"},
        {Variant::fromUI1(255), "255", "255"},
        {Variant::fromI4(1234567), "1234567", "1234567"},  // no grouping
        {Variant::fromR8(2.5), "2.5", "2,5"},
        {Variant::fromR8(-1234.5678), "-1234.5678", "-1234,5678"},
        {Variant::fromR8(0.1 + 0.2), "0.3", "0,3"},  // 15 digits hide the binary error
        {Variant::fromR8(1.0 / 3), "0.333333333333333", "0,333333333333333"},
        {Variant::fromR8(2.0 / 3), "0.666666666666667", "0,666666666666667"},
        {Variant::fromR8(-0.0), "0", "0"},
        {Variant::fromR8(inf), "INF", "INF"},
        {Variant::fromR8(-inf), "-INF", "-INF"},
        {Variant::fromR8(std::nan("")), "NaN", "NaN"},
        {Variant::fromR4(0.1f), "0.1", "0,1"},
        {Variant::fromR4(1.0f / 3), "0.3333333", "0,3333333"},
        {Variant::fromR4(-0.0f), "0", "0"},
        {Variant::fromR4(std::numeric_limits<float>::max()), "3.402823E+38", "3,402823E+38"},
        {Variant::fromBool(true), "True", "True"},
        {Variant::fromBool(false), "False", "False"},
        {Variant::fromString(QStringLiteral(" as is, 1.5 ")), " as is, 1.5 ", " as is, 1.5 "},
        {Variant::fromCurrency(12345678), "1234.5678", "1234,5678"},
        {Variant::fromCurrency(-15000), "-1.5", "-1,5"},
        {Variant::fromCurrency(70000), "7", "7"},
        {Variant::fromCurrency(std::numeric_limits<int64_t>::min()), "-922337203685477.5808",
         "-922337203685477,5808"},
        {Variant::fromError(448), "Error 448", "Error 448"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.en);
        EXPECT_EQ(variantToText(c.value, enUS()), QString::fromUtf8(c.en));
        EXPECT_EQ(variantToText(c.value, deDE()), QString::fromUtf8(c.de));
    }
}

TEST(VariantToText, ScientificOnlyWhereFixedNeedsMoreThanTheSignificantDigits) {
    const struct {
        double value;
        const char* r8;
    } doubles[] = {
        {999999999999999.0, "999999999999999"},
        {1e15, "1E+15"},
        {1.2e15, "1.2E+15"},
        {-1.2e15, "-1.2E+15"},
        {999999999999999.9, "1E+15"},  // rounding carries into a new digit
        {123456789012345.6, "123456789012346"},
        {0.000056789, "0.000056789"},
        {5.6789e-12, "5.6789E-12"},
        {0.00000000000001, "0.00000000000001"},
        {1.5e-15, "1.5E-15"},
        {1e300, "1E+300"},
        {-2.5e-300, "-2.5E-300"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
    };
    for (const auto& c : doubles) {
        SCOPED_TRACE(c.r8);
        EXPECT_EQ(variantToText(Variant::fromR8(c.value), enUS()), QString::fromUtf8(c.r8));
    }
    const struct {
        float value;
        const char* r4;
    } floats[] = {
        {9999999.0f, "9999999"},     {1e7f, "1E+07"},
        {1.2e7f, "1.2E+07"},         {0.0012345f, "0.0012345"},
        {0.00012345f, "1.2345E-04"}, {1.5e-7f, "1.5E-07"},
        {123456.78f, "123456.8"},    {16777216.0f, "1.677722E+07"},
        {-3.5e-30f, "-3.5E-30"},
    };
    for (const auto& c : floats) {
        SCOPED_TRACE(c.r4);
        EXPECT_EQ(variantToText(Variant::fromR4(c.value), enUS()), QString::fromUtf8(c.r4));
    }
    EXPECT_EQ(variantToText(Variant::fromR8(1.2e15), deDE()), "1,2E+15");
}

// Exact ties at the last shown digit round away from zero; each value is an integer times a
// power of two, so it is exactly the decimal written beside it.
TEST(VariantToText, ExactTiesRoundAwayFromZeroInBothSigns) {
    const struct {
        int64_t mantissa;
        int exponent;
        const char* r8;  // the exact value, then its text
    } doubles[] = {
        {200000000000005, -1, "100000000000003"},       // 100000000000002.5
        {1975308624193, -4, "123456789012.063"},        // 123456789012.0625
        {(1 << 15) + 1, -15, "1.00003051757813"},       // 1.000030517578125
        {3 * (1 << 15) - 1, -15, "2.99996948242188"},   // 2.999969482421875
        {1999999999999999, -1, "1E+15"},                // 999999999999999.5
        {5000000000000025, 1, "1.00000000000001E+16"},  // 10000000000000050
    };
    for (const auto& c : doubles) {
        SCOPED_TRACE(c.r8);
        const double value = std::ldexp(static_cast<double>(c.mantissa), c.exponent);
        ASSERT_EQ(static_cast<int64_t>(std::ldexp(value, -c.exponent)), c.mantissa);
        const QString text = QString::fromUtf8(c.r8);
        EXPECT_EQ(variantToText(Variant::fromR8(value), enUS()), text);
        EXPECT_EQ(variantToText(Variant::fromR8(-value), enUS()), QLatin1Char('-') + text);
    }
    const struct {
        int32_t mantissa;
        int exponent;
        const char* r4;
    } floats[] = {
        {2469125, -1, "1234563"},    // 1234562.5
        {129, -7, "1.007813"},       // 1.0078125
        {25, -2, "6.25"},            // short enough to show whole
        {(1 << 23) + 1, -23, "1"},   // 1.00000011920928955078125 is no tie
        {1638403, -14, "100.0002"},  // 100.00018310546875 is none either
    };
    for (const auto& c : floats) {
        SCOPED_TRACE(c.r4);
        const float value = std::ldexp(static_cast<float>(c.mantissa), c.exponent);
        ASSERT_EQ(static_cast<int32_t>(std::ldexp(value, -c.exponent)), c.mantissa);
        const QString text = QString::fromUtf8(c.r4);
        EXPECT_EQ(variantToText(Variant::fromR4(value), enUS()), text);
        EXPECT_EQ(variantToText(Variant::fromR4(-value), enUS()), QLatin1Char('-') + text);
    }
}

// The text a double reads as can look like a tie while its exact value lies below one.
TEST(VariantToText, ValuesJustBelowATieRoundDown) {
    const struct {
        double value;
        const char* r8;
    } cases[] = {
        {0.3000000000000005, "0.3"},              // exactly 0.30000000000000048849...
        {2.000000000000025, "2.00000000000002"},  // exactly 2.00000000000002486899...
        {std::nextafter(100000000000002.5, 0.0), "100000000000002"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.r8);
        EXPECT_EQ(variantToText(Variant::fromR8(c.value), enUS()), QString::fromUtf8(c.r8));
    }
    EXPECT_EQ(variantToText(Variant::fromR4(std::nextafter(1234562.5f, 0.0f)), enUS()), "1234562");
}

TEST(VariantToText, NullAndArraysHaveNoTextForm) {
    const Variant noText[] = {
        Variant::null(),
        Variant::fromArray(VT_UI1, {Variant::fromUI1(1)}),
        Variant::fromArray(VT_BSTR, {}),
    };
    for (const Variant& value : noText) {
        EXPECT_EQ(failureOf([&] { variantToText(value, enUS()); }), kMismatch);
    }
}

}  // namespace
