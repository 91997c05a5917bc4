#include "variables/TypedValues.h"

#include "cao/Error.h"
#include "support/CaoMocks.h"
#include "support/RecordingMessageBox.h"

#include <gtest/gtest.h>

#include <optional>

using cao::Variant;
using variables::StrToTypedVar;
using variables::VarTypeToIndex;

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

// The description of the error that f throws, or "no error".
template <typename F>
QString failureOf(F&& f) {
    try {
        f();
    } catch (const cao::Error& e) {
        return e.description();
    }
    return QStringLiteral("no error");
}

struct RowCase {
    int16_t row;
    QString valid;
    Variant expected;
    std::optional<QString> outOfRange;  // none for rows without a range to leave
    std::optional<QString> letters;     // none for the string row, which takes any text
};

const std::vector<RowCase>& rowCases() {
    static const std::vector<RowCase> cases{
        {0, "true", Variant::fromBool(true), std::nullopt, "yes"},
        {1, "255", Variant::fromUI1(255), "300", "abc"},
        {2, "-32768", Variant::fromI2(-32768), "32768", "abc"},
        {3, "42", Variant::fromI4(42), "2147483648", "abc"},
        {4, "1.5", Variant::fromR4(1.5f), "1E+39", "abc"},
        {5, "2.5", Variant::fromR8(2.5), "1E+309", "abc"},
        {6, "1900-01-01 12:00:00", Variant::fromDate(2.5), std::nullopt, "abc"},
        {7, " 42 abc ", Variant::fromString(" 42 abc "), std::nullopt, std::nullopt},
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
    const Variant value = StrToTypedVar("", 7, kEnglish);
    EXPECT_EQ(value.type(), cao::VT_BSTR);
    EXPECT_EQ(value.string(), "");
}

TEST(StrToTypedVar, AnIndexOutsideTheListGivesTheEmptyValueWithoutConverting) {
    for (int16_t index : {int16_t(-1), int16_t(8), int16_t(-32768), int16_t(32767)}) {
        SCOPED_TRACE(index);
        EXPECT_TRUE(StrToTypedVar("not a number", index, kEnglish).isEmpty());
    }
}

TEST(StrToTypedVar, FollowsTheLocaleDecimalSeparator) {
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(StrToTypedVar("2,5", 5, german), Variant::fromR8(2.5));
    EXPECT_EQ(StrToTypedVar("2,5", 5, kEnglish), Variant::fromR8(25.0))
        << "comma groups in English";
}

TEST(VarTypeToIndex, MapsEachListedTypeToItsRowWithoutABox) {
    RecordingMessageBox box;
    for (const RowCase& c : rowCases()) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(VarTypeToIndex(c.expected, box), c.row);
    }
    EXPECT_TRUE(box.shown.isEmpty());
}

TEST(VarTypeToIndex, AnyOtherTypeShowsUnknownDataTypeAndGivesRowZero) {
    const std::vector<std::pair<const char*, Variant>> cases{
        {"empty", Variant()},
        {"null", Variant::null()},
        {"currency", Variant::fromCurrency(10000)},
        {"error", Variant::fromError(5)},
        {"byte array", Variant::fromArray(cao::VT_UI1, {Variant::fromUI1(1)})},
        {"string array", Variant::fromArray(cao::VT_BSTR, {})},
    };
    for (const auto& [what, value] : cases) {
        SCOPED_TRACE(what);
        RecordingMessageBox box;
        EXPECT_EQ(VarTypeToIndex(value, box), 0);
        EXPECT_EQ(box.shown, QStringList{"Unknown Data Type"});
    }
}
