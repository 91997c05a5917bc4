#include "cao/Error.h"
#include "cao/Variant.h"

#include <gtest/gtest.h>

using namespace cao;

TEST(Variant, DefaultIsEmptyAndNullIsDistinct) {
    EXPECT_TRUE(Variant().isEmpty());
    EXPECT_EQ(Variant::null().type(), VT_NULL);
    EXPECT_NE(Variant(), Variant::null());
}

TEST(Variant, BoolTravelsAsMinusOneAndZero) {
    EXPECT_TRUE(Variant::fromBool(true).boolValue());
    EXPECT_FALSE(Variant::fromBool(false).boolValue());
    EXPECT_EQ(Variant::fromBool(true).type(), VT_BOOL);
}

TEST(Variant, TypedAccessOfAnotherTypeIsATypeMismatch) {
    try {
        (void)Variant::fromI4(42).i2();
        FAIL() << "expected a type mismatch";
    } catch (const Error& e) {
        EXPECT_EQ(e.description(), "Type mismatch");
        EXPECT_EQ(e.code(), code::TypeMismatch);
    }
    EXPECT_THROW((void)Variant::fromDate(2.5).r8(), Error);
    EXPECT_THROW((void)Variant().elements(), Error);
}

TEST(Variant, ArraysCarryTheirElementTypeAndRefuseMixedElements) {
    Variant bytes = Variant::fromArray(VT_UI1, {Variant::fromUI1(1), Variant::fromUI1(2)});
    EXPECT_TRUE(bytes.isArray());
    EXPECT_EQ(bytes.type(), VT_ARRAY | VT_UI1);
    EXPECT_EQ(bytes.elementType(), VT_UI1);
    EXPECT_EQ(bytes.elements().size(), 2u);
    EXPECT_EQ(typeName(bytes.type()), "VT_ARRAY|VT_UI1");
    EXPECT_THROW(Variant::fromArray(VT_UI1, {Variant::fromI4(1)}), Error);
    EXPECT_THROW(Variant::fromArray(VT_EMPTY, {}), Error);
}

TEST(Variant, EqualityComparesTypeAndPayload) {
    EXPECT_EQ(Variant::fromString("abc"), Variant::fromString("abc"));
    EXPECT_NE(Variant::fromR8(2.5), Variant::fromDate(2.5));
    EXPECT_NE(Variant::fromI2(1), Variant::fromI4(1));
}
