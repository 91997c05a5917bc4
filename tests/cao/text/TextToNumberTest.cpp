#include "VariantTextTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using namespace cao;
using namespace cao::test;

namespace {

struct Case {
    const char* text;
    Variant expected;  // VT_EMPTY: the conversion must fail with `failure`
    const char* failure = "";
};

template <std::size_t N>
void check(const Case (&cases)[N], VarType type, const QLocale& locale) {
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        SCOPED_TRACE(QStringLiteral("'%1' as %2").arg(text, typeName(type)).toStdString());
        if (c.expected.isEmpty()) {
            EXPECT_EQ(failureOf([&] { textToVariant(text, type, locale); }),
                      QString::fromUtf8(c.failure));
        } else {
            const Variant actual = textToVariant(text, type, locale);
            EXPECT_EQ(actual, c.expected) << describe(actual);
        }
    }
}

const char* const TM = "Type mismatch";
const char* const OV = "Overflow";

TEST(TextToNumber, ByteBoundariesRoundingAndPatterns) {
    const Case cases[] = {
        {"0", Variant::fromUI1(0)},
        {"255", Variant::fromUI1(255)},
        {"256", {}, OV},
        {"300", {}, OV},
        {"-1", {}, OV},
        {"254.5", Variant::fromUI1(254)},
        {"255.5", {}, OV},
        {"-0.5", Variant::fromUI1(0)},
        {"-0.6", {}, OV},
        {"&HFF", Variant::fromUI1(255)},
        {"&H100", {}, OV},
        {"&O377", Variant::fromUI1(255)},
        {"1E+400", {}, OV},
        {"0.0000001", Variant::fromUI1(0)},
    };
    check(cases, VT_UI1, enUS());
}

TEST(TextToNumber, Int16BoundariesRoundingBlanksSignsAndPatterns) {
    const Case cases[] = {
        {"32767", Variant::fromI2(32767)},
        {"-32767", Variant::fromI2(-32767)},
        {"-32768", Variant::fromI2(-32768)},
        {"32768", {}, OV},
        {"-32769", {}, OV},
        {"0.5", Variant::fromI2(0)},
        {"1.5", Variant::fromI2(2)},
        {"2.5", Variant::fromI2(2)},
        {"3.5", Variant::fromI2(4)},
        {"-0.5", Variant::fromI2(0)},
        {"-0.6", Variant::fromI2(-1)},
        {"-2.5", Variant::fromI2(-2)},
        {"2.5000000000000000001", Variant::fromI2(3)},  // rounded on the digits as written
        {"32767.5", {}, OV},
        {"32766.5", Variant::fromI2(32766)},
        {"  12  ", Variant::fromI2(12)},
        {"\t+7\n", Variant::fromI2(7)},
        {"1,234", Variant::fromI2(1234)},
        {"1,2,3", Variant::fromI2(123)},
        {",123", {}, TM},
        {"1.5e1", Variant::fromI2(15)},
        {"25E-1", Variant::fromI2(2)},
        {"&HFFFF", Variant::fromI2(-1)},
        {"&H8000", Variant::fromI2(-32768)},
        {"&h7fff", Variant::fromI2(32767)},
        {"&H10000", {}, OV},
        {"&O177777", Variant::fromI2(-1)},
        {"&O8", {}, TM},
        {"&HG", {}, TM},
        {"&H", {}, TM},
        {"&X1", {}, TM},
        {"", {}, TM},
        {"   ", {}, TM},
        {"abc", {}, TM},
        {"12abc", {}, TM},
        {"1 2", {}, TM},
        {"--1", {}, TM},
        {"+", {}, TM},
        {".", {}, TM},
        {"1e", {}, TM},
        {"1e+", {}, TM},
        {"1.2.3", {}, TM},
        {"1e99999999999999999999", {}, OV},
        {"1e-99999999999999999999", Variant::fromI2(0)},
    };
    check(cases, VT_I2, enUS());
}

TEST(TextToNumber, Int32Boundaries) {
    const Case cases[] = {
        {"2147483647", Variant::fromI4(2147483647)},
        {"-2147483648", Variant::fromI4(std::numeric_limits<int32_t>::min())},
        {"2147483648", {}, OV},
        {"-2147483649", {}, OV},
        {"2147483646.5", Variant::fromI4(2147483646)},
        {"2147483647.5", {}, OV},
        {"99999999999999999999999", {}, OV},
        {"&HFFFFFFFF", Variant::fromI4(-1)},
        {"&H7FFFFFFF", Variant::fromI4(2147483647)},
        {"&H100000000", {}, OV},
        {"&HFFFFFFFFFFFFFFFFF", {}, OV},
        {"1,000,000", Variant::fromI4(1000000)},
        {"00042", Variant::fromI4(42)},
        {"-0", Variant::fromI4(0)},
    };
    check(cases, VT_I4, enUS());
}

TEST(TextToNumber, RealsAndTheirRanges) {
    const Case doubles[] = {
        {"1.5", Variant::fromR8(1.5)},
        {"-.25", Variant::fromR8(-0.25)},
        {"5.", Variant::fromR8(5.0)},
        {"1E+15", Variant::fromR8(1e15)},
        {"5.6789E-12", Variant::fromR8(5.6789e-12)},
        {"1,234.5", Variant::fromR8(1234.5)},
        {"1.7976931348623157E+308", Variant::fromR8(std::numeric_limits<double>::max())},
        {"1.8E+308", {}, OV},
        {"-1E+309", {}, OV},
        {"1E-400", Variant::fromR8(0.0)},
        {"&HFFFFFFFF", Variant::fromR8(-1.0)},
        {"1,5", Variant::fromR8(15.0)},  // a group separator in English
        {"INF", {}, TM},
        {"NaN", {}, TM},
        {"0x10", {}, TM},
    };
    check(doubles, VT_R8, enUS());
    const Case floats[] = {
        {"1.5", Variant::fromR4(1.5f)},
        {"3.402823E+38", Variant::fromR4(3.402823e38f)},
        {"3.4028235E+38", Variant::fromR4(std::numeric_limits<float>::max())},
        {"3.5E+38", {}, OV},
        {"1E+39", {}, OV},
        {"-1E+39", {}, OV},
        {"1E-50", Variant::fromR4(0.0f)},
        {"0.1", Variant::fromR4(0.1f)},
        {"x", {}, TM},
    };
    check(floats, VT_R4, enUS());
}

TEST(TextToNumber, GermanLocaleUsesTheDecimalComma) {
    const Case doubles[] = {
        {"2,5", Variant::fromR8(2.5)},        {"-1.234,5", Variant::fromR8(-1234.5)},
        {"1,2E+15", Variant::fromR8(1.2e15)}, {"1,2,3", {}, TM},
        {"2.5", Variant::fromR8(25.0)},  // a group separator in German
    };
    check(doubles, VT_R8, deDE());
    const Case shorts[] = {
        {"2,5", Variant::fromI2(2)},
        {"3,5", Variant::fromI2(4)},
        {"32.767", Variant::fromI2(32767)},
        {"32.768", {}, OV},
    };
    check(shorts, VT_I2, deDE());
}

TEST(TextToNumber, BooleansFromWordsAndNumbers) {
    const Case cases[] = {
        {"True", Variant::fromBool(true)},
        {"tRUE", Variant::fromBool(true)},
        {" false ", Variant::fromBool(false)},
        {"FALSE", Variant::fromBool(false)},
        {"0", Variant::fromBool(false)},
        {"-1", Variant::fromBool(true)},
        {"0.0", Variant::fromBool(false)},
        {"0.001", Variant::fromBool(true)},
        {"&H0", Variant::fromBool(false)},
        {"1E+400", Variant::fromBool(true)},
        {"Yes", {}, TM},
        {"On", {}, TM},
        {"", {}, TM},
        {"Truth", {}, TM},
    };
    check(cases, VT_BOOL, enUS());
    EXPECT_EQ(textToVariant(QStringLiteral("true"), VT_BOOL, deDE()), Variant::fromBool(true));
    EXPECT_EQ(textToVariant(QStringLiteral("0,5"), VT_BOOL, deDE()), Variant::fromBool(true));
}

TEST(TextToNumber, StringsStayUnchangedAndOtherTypesAreRefused) {
    for (const char* text : {"", "  padded  ", "Text1", "1.5"}) {
        EXPECT_EQ(textToVariant(QString::fromUtf8(text), VT_BSTR, enUS()),
                  Variant::fromString(QString::fromUtf8(text)));
    }
    for (VarType type : {VT_EMPTY, VT_NULL, VT_CY, VT_ERROR, VT_ARRAY}) {
        EXPECT_EQ(failureOf([&] { textToVariant(QStringLiteral("1"), type, enUS()); }), kMismatch);
    }
}

}  // namespace
