#include "VariantTextTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace cao;
using namespace cao::test;

namespace {

struct Case {
    Variant from;
    VarType to;
    Variant expected;  // VT_EMPTY: must fail with `failure`
    const char* failure = "";
};

void check(std::initializer_list<Case> cases, const QLocale& locale) {
    for (const Case& c : cases) {
        SCOPED_TRACE(
            QStringLiteral("%1 to %2").arg(typeName(c.from.type()), typeName(c.to)).toStdString());
        if (c.expected.isEmpty()) {
            EXPECT_EQ(failureOf([&] { changeType(c.from, c.to, locale); }),
                      QString::fromUtf8(c.failure));
        } else {
            const Variant actual = changeType(c.from, c.to, locale);
            EXPECT_EQ(actual, c.expected) << describe(actual);
        }
    }
}

const char* const TM = "Type mismatch";
const char* const OV = "Overflow";

TEST(ChangeType, NumbersToNumbersRoundHalfToEvenAndCheckTheRange) {
    check(
        {
            {Variant::fromR8(2.5), VT_I4, Variant::fromI4(2)},
            {Variant::fromR8(3.5), VT_I2, Variant::fromI2(4)},
            {Variant::fromR8(-2.5), VT_I4, Variant::fromI4(-2)},
            {Variant::fromR8(-0.5), VT_UI1, Variant::fromUI1(0)},
            {Variant::fromR8(-0.6), VT_UI1, {}, OV},
            {Variant::fromR4(255.5f), VT_UI1, {}, OV},
            {Variant::fromR4(254.5f), VT_UI1, Variant::fromUI1(254)},
            {Variant::fromI4(256), VT_UI1, {}, OV},
            {Variant::fromI4(32768), VT_I2, {}, OV},
            {Variant::fromI4(-32768), VT_I2, Variant::fromI2(-32768)},
            {Variant::fromR8(2147483647.4), VT_I4, Variant::fromI4(2147483647)},
            {Variant::fromR8(2147483647.5), VT_I4, {}, OV},
            {Variant::fromR8(std::nan("")), VT_I4, {}, OV},
            {Variant::fromR8(1e300), VT_I2, {}, OV},
            {Variant::fromR8(1e300), VT_R4, {}, OV},
            {Variant::fromR8(-3.5e38), VT_R4, {}, OV},
            {Variant::fromR8(0.1), VT_R4, Variant::fromR4(0.1f)},
            {Variant::fromR8(std::numeric_limits<double>::infinity()), VT_R4,
             Variant::fromR4(std::numeric_limits<float>::infinity())},
            {Variant::fromI2(-7), VT_R8, Variant::fromR8(-7.0)},
            {Variant::fromUI1(200), VT_I2, Variant::fromI2(200)},
            {Variant::fromCurrency(25000), VT_I4, Variant::fromI4(2)},
            {Variant::fromCurrency(-35000), VT_I4, Variant::fromI4(-4)},
            {Variant::fromCurrency(-15001), VT_I2, Variant::fromI2(-2)},
            {Variant::fromCurrency(12345), VT_R8, Variant::fromR8(1.2345)},
        },
        enUS());
}

TEST(ChangeType, BooleansDatesAndText) {
    check(
        {
            {Variant::fromBool(true), VT_I2, Variant::fromI2(-1)},
            {Variant::fromBool(true), VT_R8, Variant::fromR8(-1.0)},
            {Variant::fromBool(false), VT_I4, Variant::fromI4(0)},
            {Variant::fromBool(true), VT_UI1, Variant::fromUI1(255)},
            {Variant::fromI4(0), VT_BOOL, Variant::fromBool(false)},
            {Variant::fromR8(0.25), VT_BOOL, Variant::fromBool(true)},
            {Variant::fromDate(2.5), VT_R8, Variant::fromR8(2.5)},
            {Variant::fromDate(2.5), VT_I4, Variant::fromI4(2)},
            {Variant::fromR8(-1.25), VT_DATE, Variant::fromDate(-1.25)},
            {Variant::fromR8(2958466.0), VT_DATE, {}, OV},
            {Variant::fromI4(-700000), VT_DATE, {}, OV},
            {Variant::fromString(QStringLiteral("300")), VT_UI1, {}, OV},
            {Variant::fromString(QStringLiteral("abc")), VT_I4, {}, TM},
            {Variant::fromString(QStringLiteral(" 2.5 ")), VT_I2, Variant::fromI2(2)},
            {Variant::fromString(QStringLiteral("TRUE")), VT_BOOL, Variant::fromBool(true)},
            {Variant::fromString(QStringLiteral("12:00")), VT_DATE, Variant::fromDate(0.5)},
            {Variant::fromR8(1.2e15), VT_BSTR, Variant::fromString(QStringLiteral("1.2E+15"))},
            {Variant::fromBool(false), VT_BSTR, Variant::fromString(QStringLiteral("False"))},
            {Variant::fromDate(3.34), VT_BSTR,
             Variant::fromString(QStringLiteral("1/2/1900 8:09:36 AM"))},
            {Variant::fromError(5), VT_BSTR, Variant::fromString(QStringLiteral("Error 5"))},
            {Variant::fromError(5), VT_I4, {}, TM},
        },
        enUS());
    check(
        {
            {Variant::fromString(QStringLiteral("2,5")), VT_R8, Variant::fromR8(2.5)},
            {Variant::fromR4(-0.75f), VT_BSTR, Variant::fromString(QStringLiteral("-0,75"))},
        },
        deDE());
}

TEST(ChangeType, SameTypeKeepsTheValueAndEmptyNullArraysAreRefused) {
    const Variant bytes = Variant::fromArray(VT_UI1, {Variant::fromUI1(1)});
    const Variant same[] = {Variant::fromR8(std::nan("")), Variant::fromString(QStringLiteral("x")),
                            Variant(), Variant::null(), bytes};
    for (const Variant& value : same) {
        const Variant result = changeType(value, static_cast<VarType>(value.type()), enUS());
        EXPECT_EQ(result.type(), value.type());
    }
    EXPECT_EQ(changeType(Variant(), VT_BSTR, enUS()), Variant::fromString(QString()));
    check(
        {
            {Variant(), VT_I4, {}, TM},
            {Variant(), VT_BOOL, {}, TM},
            {Variant::null(), VT_R8, {}, TM},
            {Variant::null(), VT_BSTR, {}, TM},
            {bytes, VT_I4, {}, TM},
            {bytes, VT_BSTR, {}, TM},
            {Variant::fromI4(1), VT_CY, {}, TM},
            {Variant::fromI4(1), VT_ERROR, {}, TM},
            {Variant::fromI4(1), VT_EMPTY, {}, TM},
        },
        enUS());
}

}  // namespace
