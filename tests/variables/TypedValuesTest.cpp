#include "variables/TypedValues.h"

#include "cao/Error.h"
#include "cao/TypeRows.h"
#include "support/CaoMocks.h"
#include "support/FailureOf.h"

#include <gtest/gtest.h>

#include <optional>

using cao::Variant;
using variables::StrToTypedVar;

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

struct RowCase {
    int16_t row;
    QString valid;
    Variant expected;
    std::optional<QString> outOfRange;  // none for rows without a range to leave
    std::optional<QString> letters;     // none for the string row, which takes any text
};

const std::vector<RowCase>& rowCases() {
    static const std::vector<RowCase> cases{
        {cao::kBoolRow, "true", Variant::fromBool(true), std::nullopt, "yes"},
        {cao::kUI1Row, "255", Variant::fromUI1(255), "300", "abc"},
        {cao::kI2Row, "-32768", Variant::fromI2(-32768), "32768", "abc"},
        {cao::kI4Row, "42", Variant::fromI4(42), "2147483648", "abc"},
        {cao::kR4Row, "1.5", Variant::fromR4(1.5f), "1E+39", "abc"},
        {cao::kR8Row, "2.5", Variant::fromR8(2.5), "1E+309", "abc"},
        {cao::kDateRow, "1900-01-01 12:00:00", Variant::fromDate(2.5), std::nullopt, "abc"},
        {cao::kBstrRow, " 42 abc ", Variant::fromString(" 42 abc "), std::nullopt, std::nullopt},
    };
    return cases;
}

}  // namespace

TEST(StrToTypedVar, EachRowGivesItsTypeOrTheConversionError) {
    for (const RowCase& c : rowCases()) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(StrToTypedVar(c.valid, c.row, kEnglish), c.expected);
        if (c.outOfRange) {
            EXPECT_EQ(failureOf([&] { StrToTypedVar(*c.outOfRange, c.row, kEnglish); }),
                      "Overflow");
        }
        if (c.letters) {
            EXPECT_EQ(failureOf([&] { StrToTypedVar(*c.letters, c.row, kEnglish); }),
                      "Type mismatch");
        }
    }
}

TEST(StrToTypedVar, StringRowKeepsAnEmptyTextAsAnEmptyString) {
    const Variant value = StrToTypedVar("", cao::kBstrRow, kEnglish);
    EXPECT_EQ(value.type(), cao::VT_BSTR);
    EXPECT_EQ(value.string(), "");
}

TEST(StrToTypedVar, AnIndexOutsideTheListGivesTheEmptyValueWithoutConverting) {
    for (int16_t index : {int16_t(-1), cao::kTypeRowCount, int16_t(-32768), int16_t(32767)}) {
        SCOPED_TRACE(index);
        EXPECT_TRUE(StrToTypedVar("not a number", index, kEnglish).isEmpty());
    }
}

TEST(StrToTypedVar, FollowsTheLocaleDecimalSeparator) {
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(StrToTypedVar("2,5", cao::kR8Row, german), Variant::fromR8(2.5));
    EXPECT_EQ(StrToTypedVar("2,5", cao::kR8Row, kEnglish), Variant::fromR8(25.0))
        << "comma groups in English";
}
