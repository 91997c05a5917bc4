#include "cao/TypeRows.h"

#include <QStringList>

#include <gtest/gtest.h>

using cao::Variant;

namespace {

struct Reported {
    QStringList texts;
    std::function<void(const QString&)> sink() {
        return [this](const QString& text) { texts << text; };
    }
};

}  // namespace

TEST(TypeRows, EachListedTypeHasItsRowAndNothingIsReported) {
    const std::vector<std::pair<int16_t, Variant>> cases{
        {cao::kBoolRow, Variant::fromBool(false)}, {cao::kUI1Row, Variant::fromUI1(1)},
        {cao::kI2Row, Variant::fromI2(-2)},        {cao::kI4Row, Variant::fromI4(4)},
        {cao::kR4Row, Variant::fromR4(0.5f)},      {cao::kR8Row, Variant::fromR8(0.25)},
        {cao::kDateRow, Variant::fromDate(2.5)},   {cao::kBstrRow, Variant::fromString("")},
    };
    Reported reported;
    for (const auto& [row, value] : cases) {
        SCOPED_TRACE(row);
        EXPECT_EQ(cao::VarTypeToIndex(value, reported.sink()), row);
        EXPECT_EQ(cao::typeOfRow(row), value.type());
    }
    EXPECT_TRUE(reported.texts.isEmpty());
}

TEST(TypeRows, AnyOtherTypeReportsUnknownDataTypeAndGivesRowZero) {
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
        Reported reported;
        EXPECT_EQ(cao::VarTypeToIndex(value, reported.sink()), cao::kBoolRow);
        EXPECT_EQ(reported.texts, QStringList{"Unknown Data Type"});
    }
}

TEST(TypeRows, ARowOutsideTheListHasNoType) {
    for (int16_t row : {int16_t(-1), cao::kTypeRowCount, int16_t(-32768), int16_t(32767)}) {
        SCOPED_TRACE(row);
        EXPECT_EQ(cao::typeOfRow(row), cao::VT_EMPTY);
    }
}
