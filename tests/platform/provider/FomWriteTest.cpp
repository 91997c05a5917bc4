// Writing: each of the eight variable types into each kind of FOM data type, as
// docs/encoding.md lays it out.

#include "FomTestSupport.h"
#include "platform/hla/DataCodec.h"
#include "platform/provider/FomWrite.h"
#include "platform/provider/VariableValue.h"
#include "support/FailureOf.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

using cao::Variant;
using hla::DataValue;
using namespace fomtest;

DataValue S(std::int64_t v) {
    return DataValue::ofSigned(v);
}
DataValue U(std::uint64_t v) {
    return DataValue::ofUnsigned(v);
}
DataValue R(double v) {
    return DataValue::ofReal(v);
}
DataValue F(float v) {
    return DataValue::ofReal(v, true);
}
DataValue T(std::u16string v) {
    return DataValue::ofText(std::move(v));
}
DataValue E(const char* name, std::int64_t v) {
    return DataValue::ofEnumerator(name, v);
}
Variant B(bool v) {
    return Variant::fromBool(v);
}

struct Cell {
    const char* parameter;
    Variant value;
    DataValue sent;  // what travels, when error is null
    const char* error = nullptr;
};

Cell fails(const char* parameter, Variant value, const char* error) {
    return {parameter, std::move(value), {}, error};
}

class FomWrite : public ::testing::Test {
protected:
    void check(const std::vector<Cell>& cells, const QLocale& locale = kEnglish) const {
        for (const Cell& c : cells) {
            const std::string type = codingOf(fom, c.parameter).fomType;
            SCOPED_TRACE(type + " <- " + describe(c.value));
            if (c.error) {
                EXPECT_EQ(
                    failureOf([&] { provider::fomValue(fom.dataTypes, type, c.value, locale); }),
                    QString::fromLatin1(c.error));
                continue;
            }
            const DataValue sent = provider::fomValue(fom.dataTypes, type, c.value, locale);
            EXPECT_EQ(sent, c.sent);
            EXPECT_EQ(hla::decode(fom.dataTypes, type, hla::encode(fom.dataTypes, type, sent)),
                      sent);
        }
    }

    const hla::FederationDescription fom = probeDescription();
};

TEST_F(FomWrite, BooleanTakesTrueAsHlaTrueAndAnyNonzeroNumber) {
    check({
        {"Flag", B(true), E("HLAtrue", 1)},
        {"Flag", B(false), E("HLAfalse", 0)},
        {"Flag", Variant::fromUI1(200), E("HLAtrue", 1)},
        {"Flag", Variant::fromI2(0), E("HLAfalse", 0)},
        {"Flag", Variant::fromI4(-5), E("HLAtrue", 1)},
        {"Flag", Variant::fromR4(0.5f), E("HLAtrue", 1)},
        {"Flag", Variant::fromR8(0), E("HLAfalse", 0)},
        {"Flag", Variant::fromDate(2.5), E("HLAtrue", 1)},
        {"Flag", Str(u"True"), E("HLAtrue", 1)},
        {"Flag", Str(u"false"), E("HLAfalse", 0)},
        {"Flag", Str(u" HLAtrue "), E("HLAtrue", 1)},
        {"Flag", Str(u"0"), E("HLAfalse", 0)},
        fails("Flag", Str(u"Yes"), kTypeMismatch),
    });
}

TEST_F(FomWrite, OctetsAreUnsignedAndTrueSetsEveryBit) {
    check({
        {"Octet", B(true), U(255)},
        {"Octet", B(false), U(0)},
        {"Octet", Variant::fromUI1(200), U(200)},
        {"Octet", Variant::fromI2(255), U(255)},
        fails("Octet", Variant::fromI2(-1), kOverflow),
        fails("Octet", Variant::fromI4(256), kOverflow),
        {"Octet", Variant::fromR4(2.5f), U(2)},
        {"Octet", Variant::fromR8(3.5), U(4)},
        {"Octet", Variant::fromR8(-0.5), U(0)},
        fails("Octet", Variant::fromR8(-0.6), kOverflow),
        {"Octet", Variant::fromDate(2.5), U(2)},
        {"Octet", Str(u"&HFF"), U(255)},
        fails("Octet", Str(u"256"), kOverflow),
        fails("Octet", Str(u"x"), kTypeMismatch),
        fails("Octet", Str(u""), kTypeMismatch),
        {"Byte", Variant::fromI4(17), U(17)},
        {"Byte", B(true), U(255)},
        fails("Byte", Variant::fromR8(255.5), kOverflow),
    });
}

TEST_F(FomWrite, SixteenAndThirtyTwoBitIntegersAreRangeChecked) {
    check({
        {"Short", B(true), S(-1)},
        {"Short", Variant::fromUI1(200), S(200)},
        {"Short", Variant::fromI2(-300), S(-300)},
        fails("Short", Variant::fromI4(70000), kOverflow),
        {"Short", Variant::fromI4(-32768), S(-32768)},
        {"Short", Variant::fromR4(2.5f), S(2)},
        fails("Short", Variant::fromR8(32767.5), kOverflow),
        {"Short", Variant::fromDate(2.5), S(2)},
        {"Short", Str(u"&HFFFF"), S(-1)},
        {"Short", Str(u"1,234"), S(1234)},
        {"Short", Str(u"2.5"), S(2)},
        fails("Short", Str(u"32768"), kOverflow),
        {"ShortLE", Variant::fromI2(-300), S(-300)},
        fails("ShortLE", Str(u"-32769"), kOverflow),
        {"Count", Variant::fromI4(5), S(5)},
        fails("Count", Variant::fromI4(70000), kOverflow),
        {"Int", B(false), S(0)},
        {"Int", Variant::fromUI1(255), S(255)},
        {"Int", Variant::fromI4(70000), S(70000)},
        fails("Int", Variant::fromR4(1e10f), kOverflow),
        fails("Int", Variant::fromR8(2147483648.0), kOverflow),
        {"Int", Variant::fromDate(40000), S(40000)},
        {"Int", Str(u"-2147483648"), S(-2147483647 - 1)},
        {"IntLE", Variant::fromI4(-1), S(-1)},
        {"IntLE", Str(u"&HFFFFFFFF"), S(-1)},
    });
}

TEST_F(FomWrite, SixtyFourBitIntegersAreExact) {
    check({
        {"Long", Str(u"9223372036854775807"), S(kInt64Max)},
        fails("Long", Str(u"9223372036854775808"), kOverflow),
        {"Long", Str(u"-9223372036854775808"), S(kInt64Min)},
        {"Long", Str(u"&HFFFFFFFFFFFFFFFF"), S(-1)},
        {"Long", Str(u"1.5e18"), S(1500000000000000000)},
        fails("Long", Str(u"1e19"), kOverflow),
        fails("Long", Variant::fromR8(1e19), kOverflow),
        {"Long", Variant::fromR8(9.2e18), S(9200000000000000000)},
        fails("Long", Variant::fromR8(-9.3e18), kOverflow),
        {"Long", B(true), S(-1)},
        {"Long", Variant::fromUI1(255), S(255)},
        {"Long", Variant::fromI2(-300), S(-300)},
        {"Long", Variant::fromI4(-5), S(-5)},
        {"Long", Variant::fromR4(2.5f), S(2)},
        {"Long", Variant::fromDate(2.5), S(2)},
        {"LongLE", Str(u"123456789012345678"), S(123456789012345678)},
        {"Unsigned", Str(u"18446744073709551615"), U(kUInt64Max)},
        {"Unsigned", Str(u"&HFFFFFFFFFFFFFFFF"), U(kUInt64Max)},
        fails("Unsigned", Str(u"18446744073709551616"), kOverflow),
        fails("Unsigned", Str(u"-1"), kOverflow),
        {"Unsigned", B(true), U(kUInt64Max)},
        fails("Unsigned", Variant::fromI4(-1), kOverflow),
        {"Unsigned", Variant::fromR8(1e19), U(10000000000000000000u)},
        fails("Unsigned", Variant::fromR8(2e19), kOverflow),
    });
}

TEST_F(FomWrite, RealsTakeNumbersDatesAndText) {
    check({
        {"Float", B(true), F(-1)},
        {"Float", Variant::fromUI1(200), F(200)},
        {"Float", Variant::fromI2(-300), F(-300)},
        {"Float", Variant::fromI4(16777217), F(16777216)},
        {"Float", Variant::fromR4(2.5f), F(2.5f)},
        {"Float", Variant::fromR8(0.1), F(0.1f)},
        fails("Float", Variant::fromR8(1e39), kOverflow),
        {"Float", Variant::fromDate(2.5), F(2.5f)},
        {"Float", Str(u"2.5"), F(2.5f)},
        fails("Float", Str(u"1E+39"), kOverflow),
        fails("Float", Str(u"x"), kTypeMismatch),
        {"FloatLE", Variant::fromI4(-7), F(-7)},
        {"Double", B(true), R(-1)},
        {"Double", Variant::fromUI1(200), R(200)},
        {"Double", Variant::fromI2(-300), R(-300)},
        {"Double", Variant::fromI4(70000), R(70000)},
        {"Double", Variant::fromR4(0.1f), R(static_cast<double>(0.1f))},
        {"Double", Variant::fromR8(1e300), R(1e300)},
        {"Double", Variant::fromDate(2.5), R(2.5)},
        {"Double", Str(u"9223372036854775807"), R(9223372036854775807.0)},
        fails("Double", Str(u"x"), kTypeMismatch),
        {"DoubleLE", Str(u"-1.5E-3"), R(-0.0015)},
        {"Distance", Variant::fromR8(2.5), R(2.5)},
        {"Distance", Variant::fromI4(3), R(3)},
        fails("Distance", Str(u"x"), kTypeMismatch),
    });
}

TEST_F(FomWrite, CharactersTakeOneCharacterOrItsCode) {
    check({
        {"Ascii", Str(u"a"), T(u"a")},
        fails("Ascii", Str(u"ab"), kTypeMismatch),
        fails("Ascii", Str(u""), kTypeMismatch),
        fails("Ascii", Str(u"\u00E9"), kTypeMismatch),
        {"Ascii", Variant::fromUI1(65), T(u"A")},
        fails("Ascii", Variant::fromI2(128), kOverflow),
        fails("Ascii", Variant::fromI4(-1), kOverflow),
        {"Ascii", Variant::fromR4(97.0f), T(u"a")},
        {"Ascii", Variant::fromR8(65.4), T(u"A")},
        {"Ascii", Variant::fromDate(66), T(u"B")},
        fails("Ascii", B(true), kOverflow),
        {"Ascii", B(false), T(std::u16string(1, u'\0'))},
        {"Unicode", Str(u"\u00E9"), T(u"\u00E9")},
        {"Unicode", Variant::fromI4(0x20AC), T(u"\u20AC")},
        {"Unicode", Variant::fromUI1(233), T(u"\u00E9")},
        {"Unicode", Variant::fromR8(233.0), T(u"\u00E9")},
        fails("Unicode", Variant::fromI4(65536), kOverflow),
        fails("Unicode", Variant::fromI2(-1), kOverflow),
        fails("Unicode", Str(u"ab"), kTypeMismatch),
        fails("Unicode", Str(u"\U0001F600"), kTypeMismatch),
        fails("Unicode", B(true), kOverflow),
    });
}

TEST_F(FomWrite, StringsTakeAnyValuesText) {
    check({
        {"Name", Str(u"ab"), T(u"ab")},
        {"Name", Str(u""), T(u"")},
        fails("Name", Str(u"caf\u00E9"), kTypeMismatch),
        {"Name", B(true), T(u"True")},
        {"Name", Variant::fromUI1(7), T(u"7")},
        {"Name", Variant::fromI2(-300), T(u"-300")},
        {"Name", Variant::fromI4(70000), T(u"70000")},
        {"Name", Variant::fromR4(0.1f), T(u"0.1")},
        {"Name", Variant::fromR8(2.5), T(u"2.5")},
        {"Name", Variant::fromDate(2.5), T(u"1/1/1900 12:00:00 PM")},
        {"Text", Str(u"h\u00E9\u20AC"), T(u"h\u00E9\u20AC")},
        {"Text", B(false), T(u"False")},
        {"Text", Variant::fromI2(-300), T(u"-300")},
        {"Code", Str(u"ab"), T(std::u16string(u"ab\0\0", 4))},
        {"Code", Str(u"abcd"), T(u"abcd")},
        {"Code", Variant::fromI4(12), T(std::u16string(u"12\0\0", 4))},
        fails("Code", Str(u"abcde"), kOverflow),
        fails("Code", Str(u"\u00E9"), kTypeMismatch),
    });
}

TEST_F(FomWrite, TextFollowsTheLocaleBothWays) {
    check(
        {
            {"Text", Variant::fromR8(2.5), T(u"2,5")},
            {"Double", Str(u"2,5"), R(2.5)},
            {"Int", Str(u"1.234"), S(1234)},
        },
        kGerman);
}

TEST_F(FomWrite, EnumeratedTypesTakeAnEnumeratorsNameOrValue) {
    check({
        {"Colour", Str(u"Green"), E("Green", 2)},
        {"Colour", Str(u"green"), E("Green", 2)},
        {"Colour", Str(u" 3 "), E("Blue", 3)},
        fails("Colour", Str(u"Purple"), kTypeMismatch),
        fails("Colour", Str(u"7"), kTypeMismatch),
        fails("Colour", Str(u"1e30"), kTypeMismatch),
        {"Colour", Variant::fromUI1(2), E("Green", 2)},
        {"Colour", Variant::fromI2(3), E("Blue", 3)},
        {"Colour", Variant::fromI4(1), E("Red", 1)},
        fails("Colour", Variant::fromI4(7), kTypeMismatch),
        {"Colour", Variant::fromR4(1.0f), E("Red", 1)},
        {"Colour", Variant::fromR8(2.6), E("Blue", 3)},
        {"Colour", Variant::fromDate(1.0), E("Red", 1)},
        fails("Colour", B(true), kTypeMismatch),
    });
}

TEST_F(FomWrite, TypesWithoutAVariantOfTheirOwnAreRefusedByName) {
    const struct {
        const char* parameter;
        const char* description;
    } cases[] = {
        {"Where",
         "Variable \"V\" has the data type \"Position\", a fixed record, which cannot be "
         "written"},
        {"Shape",
         "Variable \"V\" has the data type \"Shape\", a variant record, which cannot be "
         "written"},
        {"Track",
         "Variable \"V\" has the data type \"Track\", a variable array of "
         "\"HLAfloat64BE\", which cannot be written"},
        {"Blob",
         "Variable \"V\" has the data type \"HLAopaqueData\", a variable array of "
         "\"HLAbyte\", which cannot be written"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(failureOf([&] {
                      provider::valueForWrite("V", true, Variant::fromI4(1), cao::VT_I4,
                                              fom.dataTypes, codingOf(fom, c.parameter));
                  }),
                  QString::fromLatin1(c.description));
    }
}

TEST(FomWriteRefusal, AnUndefinedTypeIsNamedAndNoPublishingComesFirst) {
    hla::FederationDescription fom;
    const provider::ValueCoding coding{"Nope", false};
    EXPECT_EQ(failureOf([&] {
                  provider::valueForWrite("V", true, Variant::fromI4(1), cao::VT_I4, fom.dataTypes,
                                          coding);
              }),
              "Variable \"V\" cannot be written: data type \"Nope\" is not defined");
    EXPECT_TRUE(failureOf([&] {
                    provider::valueForWrite("V", false, Variant::fromI4(1), cao::VT_I4,
                                            fom.dataTypes, coding);
                }).contains("option 32"));
}

TEST_F(FomWrite, TheFomTypeDecidesTheOctetsAndOptionFourOnlyTheUntypedOnes) {
    const auto payload = [&](const char* parameter, const Variant& typed, bool bigEndian) {
        return provider::payloadForWrite("V", typed, fom.dataTypes,
                                         codingOf(fom, parameter, bigEndian));
    };
    EXPECT_EQ(payload("IntLE", Variant::fromI4(1), true), (hla::Bytes{1, 0, 0, 0}));
    EXPECT_EQ(payload("Int", Variant::fromI4(1), false), (hla::Bytes{0, 0, 0, 1}));
    EXPECT_EQ(payload("Flag", B(true), false), (hla::Bytes{0, 0, 0, 1}));
    EXPECT_EQ(payload("Untyped", B(true), false), (hla::Bytes{0xFF, 0xFF}));
    EXPECT_EQ(payload("Untyped", Variant::fromI4(1), true), (hla::Bytes{0, 0, 0, 1}));
    EXPECT_EQ(payload("Untyped", Variant::fromI4(1), false), (hla::Bytes{1, 0, 0, 0}));
    EXPECT_EQ(failureOf([&] { payload("Short", Variant::fromI4(70000), false); }), kOverflow);
    EXPECT_EQ(failureOf([&] { payload("Ascii", Str(u"ab"), false); }), kTypeMismatch);
}

}  // namespace
