// Octets that are no value of their type, values that are none of theirs, and the readable
// text of what was decoded.

#include "platform/hla/DataCodec.h"
#include "support/FomTypes.h"

#include <gtest/gtest.h>

#include <QString>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace {

using hla::Bytes;
using hla::DataType;
using hla::DataValue;
using namespace fomtypes;

class DataCodecRefusal : public ::testing::Test {
protected:
    DataCodecRefusal() {
        types.add(variableArray("Samples", "HLAfloat64BE"));
        types.add(variableArray("Tokens", "HLAtoken"));
        types.add(fixedArray("Triple", "HLAinteger16BE", 3));
        types.add(record("Pair", {{"a", "HLAoctet"}, {"b", "HLAinteger32BE"}}));
        types.add(variableArray("Pairs", "Pair"));
        types.add(enumerated("Kind", "HLAoctet", {{"One", 1}, {"Two", 2}}));
        types.add(variant("Choice", "kind", "Kind", {{{"One"}, "x", "HLAoctet"}}));
        types.add(basic("Odd3", 3, DataType::Number::SignedInteger, hla::Endian::Big));
        // A tree: its boundary rests on itself.
        types.add(record("Node", {{"children", "Nodes"}}));
        types.add(variableArray("Nodes", "Node"));
        // A chain deeper than any value may nest.
        types.add(record("Level0", {{"v", "HLAoctet"}}));
        for (int i = 1; i <= hla::kMaxDataNesting + 1; ++i) {
            types.add(
                record("Level" + std::to_string(i), {{"next", "Level" + std::to_string(i - 1)}}));
        }
    }

    std::string decodeFailure(const char* type, const Bytes& bytes) const {
        try {
            hla::decode(types, type, bytes);
        } catch (const hla::DataError& e) {
            return e.what();
        }
        return "no error";
    }

    std::string encodeFailure(const char* type, const DataValue& value) const {
        try {
            hla::encode(types, type, value);
        } catch (const hla::DataError& e) {
            return e.what();
        }
        return "no error";
    }

    hla::DataTypes types;
};

TEST_F(DataCodecRefusal, OctetsThatAreNoValueSayWhy) {
    const struct {
        const char* type;
        Bytes bytes;
        const char* why;
    } cases[] = {
        {"HLAinteger32BE", {1, 2, 3}, "3 octets, where a value of \"HLAinteger32BE\" takes 4"},
        {"HLAinteger64BE", {1, 2, 3, 4}, "4 octets, where a value of \"HLAinteger64BE\" takes 8"},
        {"Triple", {0, 1, 0, 2}, "4 octets, where a value of \"Triple\" takes 6"},
        {"HLAASCIIstring", {0, 0, 0, 9, 'a', 'b'}, "holds 9 elements, more than the 2 octets"},
        {"HLAunicodeString", {0, 0, 0, 2, 0, 'h', 0}, "holds 2 elements, more than the 3 octets"},
        {"HLAASCIIstring", {0, 0}, "the octets end at octet 2 inside the element count"},
        {"HLAASCIIstring",
         {0xFF, 0xFF, 0xFF, 0xFF},
         "element count -1 of \"HLAASCIIstring\" is "
         "negative"},
        {"HLAASCIIstring",
         {0, 0, 0, 1, 'a', 'b'},
         "1 octet follow the value of "
         "\"HLAASCIIstring\", which ends at octet 5"},
        {"Samples", {0, 0, 0, 1, 0, 0}, "inside the padding before a value of \"HLAfloat64BE\""},
        {"Pairs", {0, 0, 0, 2, 1, 0, 0, 0, 0, 0, 0, 2, 1}, "holds 2 elements, more than the 9"},
        {"Pairs",
         {0, 0, 0, 1, 1, 0, 0, 0, 0},
         "the octets end at octet 9 inside a value of "
         "\"HLAinteger32BE\", which takes 4 octets from "
         "octet 8"},
        {"Pairs", {0, 0, 0, 1, 1, 0}, "holds 1 element, more than the 2 octets"},
        {"HLAboolean", {0, 0, 0, 2}, "the value 2 is none of the enumerators of \"HLAboolean\""},
        {"Kind", {7}, "the value 7 is none of the enumerators of \"Kind\""},
        {"Choice", {2}, "the discriminant Two of \"Choice\" selects none of its alternatives"},
        {"Unknown", {1}, "data type \"Unknown\" is not defined"},
        {"Odd3", {1, 2, 3}, "\"Odd3\" takes 3 octets; integers take 1, 2, 4 or 8"},
        {"Node", {0, 0, 0, 0}, "boundary of data type \"Nodes\" cannot be worked out"},
    };
    for (const auto& c : cases) {
        EXPECT_NE(decodeFailure(c.type, c.bytes).find(c.why), std::string::npos)
            << c.type << ": " << decodeFailure(c.type, c.bytes);
    }
}

TEST_F(DataCodecRefusal, HostileCountsAreRefusedBeforeAnythingIsBuilt) {
    EXPECT_NE(decodeFailure("HLAopaqueData", {0x7F, 0xFF, 0xFF, 0xFF}).find("holds 2147483647"),
              std::string::npos);
    EXPECT_NE(decodeFailure("Samples", {0x7F, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}).find("holds"),
              std::string::npos);
    // Elements that take no octets at all are bounded by number instead.
    const auto count = [](std::size_t n) {
        return Bytes{std::uint8_t(n >> 24), std::uint8_t(n >> 16), std::uint8_t(n >> 8),
                     std::uint8_t(n)};
    };
    const std::string bound = "more than " + std::to_string(hla::kMaxDataValues);
    EXPECT_NE(decodeFailure("Tokens", {0x7F, 0xFF, 0xFF, 0xFF}).find(bound), std::string::npos);
    EXPECT_NE(decodeFailure("Tokens", count(hla::kMaxDataValues + 1)).find(bound),
              std::string::npos);
    EXPECT_EQ(decodeFailure("Tokens", count(hla::kMaxDataValues)), "no error");
}

TEST_F(DataCodecRefusal, NestingIsBounded) {
    const std::string deepest = "Level" + std::to_string(hla::kMaxDataNesting + 1);
    EXPECT_NE(decodeFailure(deepest.c_str(), {1}).find("deeper than 32"), std::string::npos);
    EXPECT_NE(decodeFailure("Level32", {1}), "no error");
    EXPECT_EQ(decodeFailure("Level31", {1}), "no error");
}

TEST_F(DataCodecRefusal, ValuesThatAreNoneOfTheTypeSayWhy) {
    const DataValue pair =
        DataValue::ofRecord({{"a", DataValue::ofUnsigned(1)}, {"b", DataValue::ofSigned(2)}});
    const struct {
        const char* type;
        DataValue value;
        const char* why;
    } cases[] = {
        {"HLAinteger16BE", DataValue::ofSigned(70000),
         "70000 is outside the range of \"HLAinteger16BE\""},
        {"HLAoctet", DataValue::ofSigned(-1), "-1 is outside the range of \"HLAoctet\""},
        {"HLAinteger64BE", DataValue::ofUnsigned(std::uint64_t{1} << 63),
         "9223372036854775808 is outside"},
        {"HLAfloat32BE", DataValue::ofReal(1e39), "1e+39 is beyond the range of"},
        {"HLAinteger32BE", DataValue::ofReal(1.0), "takes an integer, not a real"},
        {"HLAinteger32BE", DataValue::ofText(u"1"), "takes an integer, not text"},
        {"HLAASCIIchar", DataValue::ofText(u"ab"), "\"HLAASCIIchar\" takes one character"},
        {"HLAASCIIchar", DataValue::ofText(u"\u20AC"), "the character U+20AC does not fit"},
        {"HLAASCIIstring", DataValue::ofText(u"\u20AC"), "the character U+20AC does not fit"},
        {"Triple", DataValue::ofArray({DataValue::ofSigned(1)}), "holds 3 elements, not 1"},
        {"Kind", DataValue::ofEnumerator("Three", 3), "Three is none of the enumerators"},
        {"Kind", DataValue::ofSigned(9), "9 is none of the enumerators"},
        {"Pair", DataValue::ofRecord({{"a", DataValue::ofUnsigned(1)}}), "has 2 fields, not 1"},
        {"Pair",
         DataValue::ofRecord({{"b", DataValue::ofSigned(2)}, {"a", DataValue::ofUnsigned(1)}}),
         "field 1 of \"Pair\" is \"a\", not \"b\""},
        {"Pairs", pair, "takes an array, not a record"},
        {"Choice", DataValue::ofRecord({{"kind", DataValue::ofEnumerator("One", 1)}}),
         "holds the field \"x\", which was not given"},
        {"Unknown", DataValue::ofSigned(1), "data type \"Unknown\" is not defined"},
    };
    for (const auto& c : cases) {
        EXPECT_NE(encodeFailure(c.type, c.value).find(c.why), std::string::npos)
            << c.type << ": " << encodeFailure(c.type, c.value);
    }
}

TEST(DataValueText, ReadsTheSameInEveryLocale) {
    const DataValue record = DataValue::ofRecord(
        {{"x", DataValue::ofSigned(1)},
         {"y", DataValue::ofReal(2.5)},
         {"name", DataValue::ofText(u"a \"b\" \\")},
         {"tags", DataValue::ofArray({DataValue::ofText(u"t"), DataValue::ofUnsigned(3)})},
         {"on", DataValue::ofEnumerator("HLAtrue", 1)},
         {"inner", DataValue::ofRecord({})}});
    const struct {
        DataValue value;
        std::u16string text;
    } cases[] = {
        {record, u"{x=1, y=2.5, name=\"a \\\"b\\\" \\\\\", tags=[\"t\", 3], on=HLAtrue, inner={}}"},
        {DataValue::ofArray({DataValue::ofSigned(1), DataValue::ofSigned(2)}), u"[1, 2]"},
        {DataValue::ofArray({}), u"[]"},
        {DataValue::ofText(u"as \"it\" is"), u"as \"it\" is"},
        {DataValue::ofReal(0.1, true), u"0.1"},
        {DataValue::ofReal(0.1), u"0.1"},
        {DataValue::ofReal(1e19), u"1e+19"},
        {DataValue::ofReal(-0.0), u"0"},
        {DataValue::ofReal(std::numeric_limits<double>::infinity()), u"INF"},
        {DataValue::ofReal(-std::numeric_limits<double>::infinity()), u"-INF"},
        {DataValue::ofReal(std::nan("")), u"NaN"},
        {DataValue::ofSigned(std::numeric_limits<std::int64_t>::min()), u"-9223372036854775808"},
        {DataValue::ofUnsigned(std::numeric_limits<std::uint64_t>::max()), u"18446744073709551615"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QString::fromStdU16String(hla::readableText(c.value)),
                  QString::fromStdU16String(c.text));
    }
}

}  // namespace
