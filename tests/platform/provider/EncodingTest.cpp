#include "cao/Error.h"
#include "platform/provider/Encoding.h"

#include <gtest/gtest.h>

#include <cmath>

using cao::Variant;
using provider::decodeValue;
using provider::encodeValue;

TEST(HlaEncoding, WireBytesInBothByteOrders) {
    const struct {
        Variant value;
        hla::Bytes little;
    } cases[] = {
        {Variant::fromBool(true), {0xFF, 0xFF}},
        {Variant::fromBool(false), {0x00, 0x00}},
        {Variant::fromUI1(0xAB), {0xAB}},
        {Variant::fromI2(0x0102), {0x02, 0x01}},
        {Variant::fromI4(0x01020304), {0x04, 0x03, 0x02, 0x01}},
        {Variant::fromR4(1.0f), {0x00, 0x00, 0x80, 0x3F}},
        {Variant::fromR8(1.0), {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
        {Variant::fromDate(2.0), {0, 0, 0, 0, 0, 0, 0x00, 0x40}},
    };
    for (const auto& c : cases) {
        const auto type = static_cast<cao::VarType>(c.value.type());
        hla::Bytes big(c.little.rbegin(), c.little.rend());
        EXPECT_EQ(encodeValue(c.value, false), c.little) << cao::typeName(type).toStdString();
        EXPECT_EQ(encodeValue(c.value, true), big) << cao::typeName(type).toStdString();
        EXPECT_EQ(decodeValue(c.little, type, false), c.value);
        EXPECT_EQ(decodeValue(big, type, true), c.value);
    }
}

TEST(HlaEncoding, TextTravelsAsUtf8WithOneNul) {
    const hla::Bytes bytes = encodeValue(Variant::fromString(QString::fromUtf8("Grüß")), false);
    EXPECT_EQ(bytes, (hla::Bytes{'G', 'r', 0xC3, 0xBC, 0xC3, 0x9F, 0}));
    EXPECT_EQ(decodeValue(bytes, cao::VT_BSTR, true).string(), QString::fromUtf8("Grüß"));
    EXPECT_EQ(encodeValue(Variant::fromString(""), false), hla::Bytes{0});
}

TEST(HlaEncoding, PayloadsThatAreNoValueOfTheTypeAreRefused) {
    const struct {
        hla::Bytes bytes;
        cao::VarType type;
        const char* why;
    } cases[] = {
        {{1, 2, 3}, cao::VT_I4, "3 bytes"},
        {{}, cao::VT_UI1, "0 bytes"},
        {{'h', 'i'}, cao::VT_BSTR, "without the closing NUL"},
        {{'h', 0, 'i', 0}, cao::VT_BSTR, "position 1"},
        {{0xFF, 0xFE, 0}, cao::VT_BSTR, "not UTF-8"},
        {{0, 0, 0, 0, 0, 0, 0xF8, 0x7F}, cao::VT_DATE, "not a finite"},
    };
    for (const auto& c : cases) {
        try {
            decodeValue(c.bytes, c.type, false);
            ADD_FAILURE() << c.why;
        } catch (const cao::Error& e) {
            EXPECT_TRUE(e.description().contains(c.why)) << e.description().toStdString();
        }
    }
}

TEST(HlaEncoding, ATextWithANulCannotBeSent) {
    EXPECT_THROW(encodeValue(Variant::fromString(QString("a") + QChar(0) + "b"), false),
                 cao::Error);
}
