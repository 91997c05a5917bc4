// Receiving: each kind of FOM data type into each of the eight variable types, as
// docs/encoding.md lays it out, and what a receiver says about octets it cannot take.

#include "FomTestSupport.h"
#include "platform/hla/DataCodec.h"
#include "platform/provider/FomReceive.h"
#include "platform/provider/VariableValue.h"
#include "support/FailureOf.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

using cao::Variant;
using hla::DataValue;
using namespace fomtest;

// 2^63, the double nearest to the largest 64-bit integer.
constexpr double kTwoTo63 = 9223372036854775808.0;

struct Cell {
    const char* parameter;
    DataValue sent;
    cao::VarType target;
    Variant kept;  // when error is null
    const char* error = nullptr;
};

Cell fails(const char* parameter, DataValue sent, cao::VarType target, const char* error) {
    return {parameter, std::move(sent), target, {}, error};
}

class FomReceive : public ::testing::Test {
protected:
    void check(const std::vector<Cell>& cells, const QLocale& locale = kEnglish) const {
        for (const Cell& c : cells) {
            const std::string type = codingOf(fom, c.parameter).fomType;
            SCOPED_TRACE(type + " -> " + cao::typeName(c.target).toStdString());
            const hla::Bytes bytes = hla::encode(fom.dataTypes, type, c.sent);
            const DataValue decoded = hla::decode(fom.dataTypes, type, bytes);
            const auto convert = [&] {
                return provider::fomVariant(fom.dataTypes, type, decoded, c.target, locale);
            };
            if (c.error) {
                EXPECT_EQ(failureOf(convert), QString::fromLatin1(c.error));
                continue;
            }
            const Variant kept = convert();
            EXPECT_EQ(kept, c.kept) << describe(kept) << " instead of " << describe(c.kept);
        }
    }

    const hla::FederationDescription fom = probeDescription();
};

TEST_F(FomReceive, BooleanArrivesAsTrueMinusOne) {
    const DataValue yes = DataValue::ofEnumerator("HLAtrue", 1);
    check({
        {"Flag", yes, cao::VT_BOOL, Variant::fromBool(true)},
        {"Flag", yes, cao::VT_UI1, Variant::fromUI1(255)},
        {"Flag", yes, cao::VT_I2, Variant::fromI2(-1)},
        {"Flag", yes, cao::VT_I4, Variant::fromI4(-1)},
        {"Flag", yes, cao::VT_R4, Variant::fromR4(-1)},
        {"Flag", yes, cao::VT_R8, Variant::fromR8(-1)},
        {"Flag", yes, cao::VT_DATE, Variant::fromDate(-1)},
        {"Flag", yes, cao::VT_BSTR, Str(u"True")},
        {"Flag", DataValue::ofEnumerator("HLAfalse", 0), cao::VT_BSTR, Str(u"False")},
        {"Flag", DataValue::ofEnumerator("HLAfalse", 0), cao::VT_I4, Variant::fromI4(0)},
    });
}

TEST_F(FomReceive, SmallIntegersConvertAsTheirVariantsDo) {
    const DataValue octet = DataValue::ofUnsigned(200);
    const DataValue shortValue = DataValue::ofSigned(-300);
    check({
        {"Octet", octet, cao::VT_BOOL, Variant::fromBool(true)},
        {"Octet", octet, cao::VT_UI1, Variant::fromUI1(200)},
        {"Octet", octet, cao::VT_I2, Variant::fromI2(200)},
        {"Octet", octet, cao::VT_I4, Variant::fromI4(200)},
        {"Octet", octet, cao::VT_R4, Variant::fromR4(200)},
        {"Octet", octet, cao::VT_R8, Variant::fromR8(200)},
        {"Octet", octet, cao::VT_DATE, Variant::fromDate(200)},
        {"Octet", octet, cao::VT_BSTR, Str(u"200")},
        {"Octet", DataValue::ofUnsigned(0), cao::VT_BOOL, Variant::fromBool(false)},
        {"Byte", DataValue::ofUnsigned(7), cao::VT_BSTR, Str(u"7")},
        {"Short", shortValue, cao::VT_BOOL, Variant::fromBool(true)},
        fails("Short", shortValue, cao::VT_UI1, kOverflow),
        {"Short", shortValue, cao::VT_I2, Variant::fromI2(-300)},
        {"Short", shortValue, cao::VT_I4, Variant::fromI4(-300)},
        {"Short", shortValue, cao::VT_R4, Variant::fromR4(-300)},
        {"Short", shortValue, cao::VT_R8, Variant::fromR8(-300)},
        {"Short", shortValue, cao::VT_DATE, Variant::fromDate(-300)},
        {"Short", shortValue, cao::VT_BSTR, Str(u"-300")},
        {"ShortLE", DataValue::ofSigned(32767), cao::VT_I2, Variant::fromI2(32767)},
        {"Count", DataValue::ofSigned(5), cao::VT_I2, Variant::fromI2(5)},
        fails("Int", DataValue::ofSigned(70000), cao::VT_UI1, kOverflow),
        fails("Int", DataValue::ofSigned(70000), cao::VT_I2, kOverflow),
        {"Int", DataValue::ofSigned(70000), cao::VT_I4, Variant::fromI4(70000)},
        {"Int", DataValue::ofSigned(70000), cao::VT_R4, Variant::fromR4(70000)},
        {"Int", DataValue::ofSigned(70000), cao::VT_BSTR, Str(u"70000")},
        {"IntLE", DataValue::ofSigned(-1), cao::VT_BOOL, Variant::fromBool(true)},
        {"IntLE", DataValue::ofSigned(-1), cao::VT_I4, Variant::fromI4(-1)},
    });
}

TEST_F(FomReceive, SixtyFourBitIntegersAreRangeCheckedAgainstEachVariantType) {
    const DataValue max = DataValue::ofSigned(kInt64Max);
    check({
        {"Long", max, cao::VT_BOOL, Variant::fromBool(true)},
        fails("Long", max, cao::VT_UI1, kOverflow),
        fails("Long", max, cao::VT_I2, kOverflow),
        fails("Long", max, cao::VT_I4, kOverflow),
        {"Long", max, cao::VT_R4, Variant::fromR4(static_cast<float>(kTwoTo63))},
        {"Long", max, cao::VT_R8, Variant::fromR8(kTwoTo63)},
        fails("Long", max, cao::VT_DATE, kOverflow),
        {"Long", max, cao::VT_BSTR, Str(u"9223372036854775807")},
        {"Long", DataValue::ofSigned(kInt64Min), cao::VT_BSTR, Str(u"-9223372036854775808")},
        {"Long", DataValue::ofSigned(kInt64Min), cao::VT_R8, Variant::fromR8(-kTwoTo63)},
        {"Long", DataValue::ofSigned(2147483647), cao::VT_I4, Variant::fromI4(2147483647)},
        fails("Long", DataValue::ofSigned(2147483648), cao::VT_I4, kOverflow),
        {"Long", DataValue::ofSigned(-2147483648), cao::VT_I4, Variant::fromI4(-2147483647 - 1)},
        {"Long", DataValue::ofSigned(40000), cao::VT_DATE, Variant::fromDate(40000)},
        {"Long", DataValue::ofSigned(0), cao::VT_BOOL, Variant::fromBool(false)},
        {"LongLE", DataValue::ofSigned(123456789012345678), cao::VT_BSTR,
         Str(u"123456789012345678")},
        {"LongLE", DataValue::ofSigned(123456789012345678), cao::VT_R8,
         Variant::fromR8(123456789012345678.0)},
        {"Unsigned", DataValue::ofUnsigned(kUInt64Max), cao::VT_BSTR, Str(u"18446744073709551615")},
        {"Unsigned", DataValue::ofUnsigned(kUInt64Max), cao::VT_R8,
         Variant::fromR8(18446744073709551616.0)},
        {"Unsigned", DataValue::ofUnsigned(kUInt64Max), cao::VT_BOOL, Variant::fromBool(true)},
        fails("Unsigned", DataValue::ofUnsigned(kUInt64Max), cao::VT_I4, kOverflow),
    });
}

TEST_F(FomReceive, RealsArriveAsTheirOwnWidth) {
    const DataValue tenth = DataValue::ofReal(0.1f, true);
    const DataValue half = DataValue::ofReal(2.5);
    check({
        {"Float", tenth, cao::VT_BOOL, Variant::fromBool(true)},
        {"Float", tenth, cao::VT_UI1, Variant::fromUI1(0)},
        {"Float", tenth, cao::VT_I2, Variant::fromI2(0)},
        {"Float", tenth, cao::VT_I4, Variant::fromI4(0)},
        {"Float", tenth, cao::VT_R4, Variant::fromR4(0.1f)},
        {"Float", tenth, cao::VT_R8, Variant::fromR8(static_cast<double>(0.1f))},
        {"Float", tenth, cao::VT_DATE, Variant::fromDate(static_cast<double>(0.1f))},
        {"Float", tenth, cao::VT_BSTR, Str(u"0.1")},
        fails("Float", DataValue::ofReal(1e10f, true), cao::VT_I4, kOverflow),
        {"FloatLE", DataValue::ofReal(-7.0f, true), cao::VT_I4, Variant::fromI4(-7)},
        {"Double", half, cao::VT_BOOL, Variant::fromBool(true)},
        {"Double", half, cao::VT_UI1, Variant::fromUI1(2)},
        {"Double", half, cao::VT_I2, Variant::fromI2(2)},
        {"Double", half, cao::VT_I4, Variant::fromI4(2)},
        {"Double", half, cao::VT_R4, Variant::fromR4(2.5f)},
        {"Double", half, cao::VT_R8, Variant::fromR8(2.5)},
        {"Double", half, cao::VT_DATE, Variant::fromDate(2.5)},
        {"Double", half, cao::VT_BSTR, Str(u"2.5")},
        fails("Double", DataValue::ofReal(1e300), cao::VT_R4, kOverflow),
        {"Double", DataValue::ofReal(std::nan("")), cao::VT_BSTR, Str(u"NaN")},
        fails("Double", DataValue::ofReal(std::nan("")), cao::VT_I4, kOverflow),
        {"DoubleLE", DataValue::ofReal(-1.5), cao::VT_I4, Variant::fromI4(-2)},
        {"Distance", DataValue::ofReal(3.5), cao::VT_I4, Variant::fromI4(4)},
    });
}

TEST_F(FomReceive, CharactersAndStringsArriveAsText) {
    const DataValue number = DataValue::ofText(u"42");
    check({
        {"Ascii", DataValue::ofText(u"A"), cao::VT_BSTR, Str(u"A")},
        {"Ascii", DataValue::ofText(u"\u00E9"), cao::VT_BSTR, Str(u"\u00E9")},
        fails("Ascii", DataValue::ofText(u"A"), cao::VT_I4, kTypeMismatch),
        fails("Ascii", DataValue::ofText(u"A"), cao::VT_BOOL, kTypeMismatch),
        {"Ascii", DataValue::ofText(u"7"), cao::VT_UI1, Variant::fromUI1(7)},
        {"Unicode", DataValue::ofText(u"\u20AC"), cao::VT_BSTR, Str(u"\u20AC")},
        {"Name", number, cao::VT_BOOL, Variant::fromBool(true)},
        {"Name", number, cao::VT_UI1, Variant::fromUI1(42)},
        {"Name", number, cao::VT_I2, Variant::fromI2(42)},
        {"Name", number, cao::VT_I4, Variant::fromI4(42)},
        {"Name", number, cao::VT_R4, Variant::fromR4(42)},
        {"Name", number, cao::VT_R8, Variant::fromR8(42)},
        {"Name", number, cao::VT_BSTR, Str(u"42")},
        {"Name", DataValue::ofText(u"2013-05-14"), cao::VT_DATE, Variant::fromDate(41408)},
        fails("Name", DataValue::ofText(u"abc"), cao::VT_I4, kTypeMismatch),
        {"Text", DataValue::ofText(u"h\u00E9"), cao::VT_BSTR, Str(u"h\u00E9")},
        {"Text", DataValue::ofText(u"2.5"), cao::VT_R8, Variant::fromR8(2.5)},
        {"Code", DataValue::ofText(std::u16string(u"ab\0\0", 4)), cao::VT_BSTR, Str(u"ab")},
        {"Code", DataValue::ofText(std::u16string(u"12\0\0", 4)), cao::VT_I4, Variant::fromI4(12)},
    });
}

TEST_F(FomReceive, EnumeratorsArriveByNameAsTextAndByValueAsNumbers) {
    const DataValue green = DataValue::ofEnumerator("Green", 2);
    check({
        {"Colour", green, cao::VT_BOOL, Variant::fromBool(true)},
        {"Colour", green, cao::VT_UI1, Variant::fromUI1(2)},
        {"Colour", green, cao::VT_I2, Variant::fromI2(2)},
        {"Colour", green, cao::VT_I4, Variant::fromI4(2)},
        {"Colour", green, cao::VT_R4, Variant::fromR4(2)},
        {"Colour", green, cao::VT_R8, Variant::fromR8(2)},
        {"Colour", green, cao::VT_DATE, Variant::fromDate(2)},
        {"Colour", green, cao::VT_BSTR, Str(u"Green")},
    });
}

TEST_F(FomReceive, RecordsAndArraysArriveAsTheirReadableText) {
    const DataValue where =
        DataValue::ofRecord({{"x", DataValue::ofSigned(1)}, {"y", DataValue::ofReal(2.5)}});
    std::vector<Cell> cells = {
        {"Where", where, cao::VT_BSTR, Str(u"{x=1, y=2.5}")},
        {"Shape",
         DataValue::ofRecord(
             {{"kind", DataValue::ofEnumerator("Circle", 1)}, {"radius", DataValue::ofReal(2.5)}}),
         cao::VT_BSTR, Str(u"{kind=Circle, radius=2.5}")},
        {"Shape", DataValue::ofRecord({{"kind", DataValue::ofEnumerator("Dot", 2)}}), cao::VT_BSTR,
         Str(u"{kind=Dot}")},
        {"Track", DataValue::ofArray({DataValue::ofReal(1), DataValue::ofReal(2.5)}), cao::VT_BSTR,
         Str(u"[1, 2.5]")},
        {"Blob", DataValue::ofArray({DataValue::ofUnsigned(1), DataValue::ofUnsigned(2)}),
         cao::VT_BSTR, Str(u"[1, 2]")},
    };
    for (const cao::VarType other : {cao::VT_BOOL, cao::VT_UI1, cao::VT_I2, cao::VT_I4, cao::VT_R4,
                                     cao::VT_R8, cao::VT_DATE}) {
        cells.push_back(fails("Where", where, other, kTypeMismatch));
    }
    check(cells);
}

TEST_F(FomReceive, TextFollowsTheLocaleBothWays) {
    check(
        {
            {"Double", DataValue::ofReal(2.5), cao::VT_BSTR, Str(u"2,5")},
            {"Text", DataValue::ofText(u"2,5"), cao::VT_R8, Variant::fromR8(2.5)},
        },
        kGerman);
}

}  // namespace
