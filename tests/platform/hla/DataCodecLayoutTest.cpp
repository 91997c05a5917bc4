// Every representation against its octets written out by hand, both ways.

#include "platform/hla/DataCodec.h"
#include "support/FomTypes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

using hla::Bytes;
using hla::DataType;
using hla::DataValue;
using namespace fomtypes;

struct Layout {
    const char* type;
    DataValue value;
    Bytes bytes;
};

void expectLayout(const hla::DataTypes& types, const Layout& c) {
    SCOPED_TRACE(c.type);
    EXPECT_EQ(hla::encode(types, c.type, c.value), c.bytes);
    EXPECT_EQ(hla::decode(types, c.type, c.bytes), c.value);
}

DataValue text(const std::u16string& s) {
    return DataValue::ofText(s);
}

TEST(DataCodecLayout, PredefinedTypesTravelInTheirDeclaredOctets) {
    const hla::DataTypes types;
    const Layout cases[] = {
        {"HLAinteger16BE", DataValue::ofSigned(-2), {0xFF, 0xFE}},
        {"HLAinteger16LE", DataValue::ofSigned(0x0102), {0x02, 0x01}},
        {"HLAinteger32BE", DataValue::ofSigned(0x01020304), {0x01, 0x02, 0x03, 0x04}},
        {"HLAinteger32LE", DataValue::ofSigned(0x01020304), {0x04, 0x03, 0x02, 0x01}},
        {"HLAinteger32LE", DataValue::ofSigned(-2), {0xFE, 0xFF, 0xFF, 0xFF}},
        {"HLAinteger64BE",
         DataValue::ofSigned(0x0102030405060708),
         {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}},
        {"HLAinteger64BE",
         DataValue::ofSigned(std::numeric_limits<std::int64_t>::min()),
         {0x80, 0, 0, 0, 0, 0, 0, 0}},
        {"HLAinteger64LE",
         DataValue::ofSigned(0x0102030405060708),
         {0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01}},
        {"HLAfloat32BE", DataValue::ofReal(1.5, true), {0x3F, 0xC0, 0x00, 0x00}},
        {"HLAfloat32LE", DataValue::ofReal(-2.0, true), {0x00, 0x00, 0x00, 0xC0}},
        {"HLAfloat64BE", DataValue::ofReal(1.5), {0x3F, 0xF8, 0, 0, 0, 0, 0, 0}},
        {"HLAfloat64LE", DataValue::ofReal(1.5), {0, 0, 0, 0, 0, 0, 0xF8, 0x3F}},
        {"HLAoctet", DataValue::ofUnsigned(0xAB), {0xAB}},
        {"HLAoctetPairBE", DataValue::ofUnsigned(0x1234), {0x12, 0x34}},
        {"HLAoctetPairLE", DataValue::ofUnsigned(0x1234), {0x34, 0x12}},
        {"HLAbyte", DataValue::ofUnsigned(200), {0xC8}},
        {"HLAboolean", DataValue::ofEnumerator("HLAtrue", 1), {0x00, 0x00, 0x00, 0x01}},
        {"HLAboolean", DataValue::ofEnumerator("HLAfalse", 0), {0x00, 0x00, 0x00, 0x00}},
        {"HLAASCIIchar", text(u"a"), {0x61}},
        {"HLAunicodeChar", text(u"\u00E9"), {0x00, 0xE9}},
        {"HLAASCIIstring", text(u"ab"), {0x00, 0x00, 0x00, 0x02, 0x61, 0x62}},
        {"HLAASCIIstring", text(u""), {0x00, 0x00, 0x00, 0x00}},
        {"HLAunicodeString", text(u"h\u00E9"), {0x00, 0x00, 0x00, 0x02, 0x00, 0x68, 0x00, 0xE9}},
        {"HLAopaqueData",
         DataValue::ofArray({DataValue::ofUnsigned(1), DataValue::ofUnsigned(2)}),
         {0x00, 0x00, 0x00, 0x02, 0x01, 0x02}},
        {"HLAtoken", DataValue::ofArray({}), {}},
    };
    for (const Layout& c : cases) expectLayout(types, c);
}

// A description's own types, with the padding the boundaries call for.
class DeclaredLayout : public ::testing::Test {
protected:
    DeclaredLayout() {
        using N = DataType::Number;
        types.add(simple("Meters", "HLAfloat64LE"));
        types.add(basic("UnsignedInteger64BE", 8, N::UnsignedInteger, hla::Endian::Big));
        types.add(enumerated("Color", "HLAinteger16LE", {{"Red", 1}, {"Green", 2}}));
        types.add(record("OctetThenInt", {{"a", "HLAoctet"}, {"b", "HLAinteger32BE"}}));
        types.add(record("IntThenOctet", {{"b", "HLAinteger32BE"}, {"a", "HLAoctet"}}));
        types.add(record("Inner", {{"tag", "HLAoctet"}, {"value", "HLAfloat64BE"}}));
        types.add(record("Outer", {{"flag", "HLAoctet"}, {"inner", "Inner"}}));
        types.add(variableArray("Samples", "HLAfloat64BE"));
        types.add(variableArray("Pairs", "IntThenOctet"));
        types.add(fixedArray("Triple", "HLAinteger16BE", 3));
        types.add(fixedArray("Name4", "HLAASCIIchar", 4));
        types.add(enumerated("ShapeKind", "HLAoctet", {{"Circle", 1}, {"Square", 2}, {"Dot", 3}}));
        types.add(variant("Shape", "kind", "ShapeKind",
                          {{{"Circle"}, "radius", "HLAfloat64BE"},
                           {{"Square"}, "side", "HLAinteger16BE"},
                           {{"HLAother"}, "", ""}}));
    }

    hla::DataTypes types;
};

TEST_F(DeclaredLayout, SimpleAndEnumeratedTypesTravelAsTheirRepresentation) {
    const Layout cases[] = {
        {"Meters", DataValue::ofReal(1.5), {0, 0, 0, 0, 0, 0, 0xF8, 0x3F}},
        {"UnsignedInteger64BE",
         DataValue::ofUnsigned(std::numeric_limits<std::uint64_t>::max()),
         {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"Color", DataValue::ofEnumerator("Green", 2), {0x02, 0x00}},
    };
    for (const Layout& c : cases) expectLayout(types, c);
}

TEST_F(DeclaredLayout, RecordFieldsStartOnTheirBoundaryAndNothingFollowsTheLast) {
    const Layout cases[] = {
        // 1 octet, 3 padding, 4.
        {"OctetThenInt",
         DataValue::ofRecord({{"a", DataValue::ofUnsigned(1)}, {"b", DataValue::ofSigned(2)}}),
         {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02}},
        {"IntThenOctet",
         DataValue::ofRecord({{"b", DataValue::ofSigned(2)}, {"a", DataValue::ofUnsigned(1)}}),
         {0x00, 0x00, 0x00, 0x02, 0x01}},
        // The inner record starts on its boundary (8), and its float on 8 again from there.
        {"Outer",
         DataValue::ofRecord({{"flag", DataValue::ofUnsigned(9)},
                              {"inner", DataValue::ofRecord({{"tag", DataValue::ofUnsigned(7)},
                                                             {"value", DataValue::ofReal(1.5)}})}}),
         {0x09, 0, 0, 0, 0, 0, 0, 0, 0x07, 0, 0, 0, 0, 0, 0, 0, 0x3F, 0xF8, 0, 0, 0, 0, 0, 0}},
    };
    for (const Layout& c : cases) expectLayout(types, c);
}

TEST_F(DeclaredLayout, ArrayElementsFollowTheCountPaddedToTheirBoundary) {
    const DataValue pair =
        DataValue::ofRecord({{"b", DataValue::ofSigned(1)}, {"a", DataValue::ofUnsigned(2)}});
    const Layout cases[] = {
        // Count, 4 padding, the elements.
        {"Samples",
         DataValue::ofArray({DataValue::ofReal(1.5), DataValue::ofReal(-2.0)}),
         {0, 0, 0, 2, 0, 0, 0, 0, 0x3F, 0xF8, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0}},
        {"Samples", DataValue::ofArray({}), {0, 0, 0, 0, 0, 0, 0, 0}},
        // Each element after the first starts on 4: the five octets of one, three padding.
        {"Pairs",
         DataValue::ofArray({pair, pair}),
         {0, 0, 0, 2, 0, 0, 0, 1, 2, 0, 0, 0, 0, 0, 0, 1, 2}},
        {"Triple",
         DataValue::ofArray(
             {DataValue::ofSigned(1), DataValue::ofSigned(-1), DataValue::ofSigned(3)}),
         {0x00, 0x01, 0xFF, 0xFF, 0x00, 0x03}},
        {"Name4", text(std::u16string(u"ab\0\0", 4)), {0x61, 0x62, 0x00, 0x00}},
    };
    for (const Layout& c : cases) expectLayout(types, c);
}

TEST_F(DeclaredLayout, AVariantRecordHoldsTheDiscriminantThenTheSelectedField) {
    const auto shape = [](const char* kind, std::int64_t value, const char* field,
                          const DataValue& held) {
        return DataValue::ofRecord({{"kind", DataValue::ofEnumerator(kind, value)}, {field, held}});
    };
    const Layout cases[] = {
        {"Shape",
         shape("Circle", 1, "radius", DataValue::ofReal(2.5)),
         {0x01, 0, 0, 0, 0, 0, 0, 0, 0x40, 0x04, 0, 0, 0, 0, 0, 0}},
        {"Shape", shape("Square", 2, "side", DataValue::ofSigned(3)), {0x02, 0x00, 0x00, 0x03}},
        // HLAother selects the alternative without a field.
        {"Shape", DataValue::ofRecord({{"kind", DataValue::ofEnumerator("Dot", 3)}}), {0x03}},
    };
    for (const Layout& c : cases) expectLayout(types, c);
}

TEST_F(DeclaredLayout, PaddingIsIgnoredWhenRead) {
    const DataValue value =
        DataValue::ofRecord({{"a", DataValue::ofUnsigned(1)}, {"b", DataValue::ofSigned(2)}});
    EXPECT_EQ(hla::decode(types, "OctetThenInt", {0x01, 0xAA, 0xBB, 0xCC, 0, 0, 0, 2}), value);
}

TEST_F(DeclaredLayout, ValuesAreWrittenByIndexWhenFieldsAndEnumeratorsAreUnnamed) {
    EXPECT_EQ(hla::encode(types, "Color", DataValue::ofSigned(2)), (Bytes{0x02, 0x00}));
    EXPECT_EQ(hla::encode(types, "HLAboolean", DataValue::ofEnumerator({}, 1)),
              (Bytes{0, 0, 0, 1}));
    EXPECT_EQ(hla::encode(types, "OctetThenInt",
                          DataValue::ofRecord(
                              {{"", DataValue::ofUnsigned(1)}, {"", DataValue::ofSigned(2)}})),
              (Bytes{1, 0, 0, 0, 0, 0, 0, 2}));
    EXPECT_EQ(hla::encode(types, "HLAASCIIstring", DataValue::ofArray({text(u"o"), text(u"k")})),
              (Bytes{0, 0, 0, 2, 'o', 'k'}));
}

}  // namespace
