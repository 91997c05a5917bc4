#include "VariablesFixture.h"

#include "cao/Error.h"
#include "variables/OptionMask.h"

using ::testing::_;
using ::testing::Eq;

namespace {

// A list of `rows` tickable rows with the given rows ticked.
std::unique_ptr<QListWidget> optionList(int rows, std::initializer_list<int> ticked) {
    auto list = std::make_unique<QListWidget>();
    for (int i = 0; i < rows; ++i) {
        auto* item = new QListWidgetItem(QString::number(i), list.get());
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    for (int row : ticked) list->item(row)->setCheckState(Qt::Checked);
    return list;
}

}  // namespace

TEST_F(VariablesTest, AddSendsTheOptionStringOfTheTickedRows) {
    struct Case {
        const char* what;
        std::vector<int> ticked;
        QString option;
    };
    const std::vector<Case> cases{
        {"none ticked", {}, "Option=0"},
        {"rows 0 and 2", {0, 2}, "Option=5"},
        {"all seven", {0, 1, 2, 3, 4, 5, 6}, "Option=127"},
        {"last row only", {6}, "Option=64"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int i = 0; i < form().lstVarOpt->count(); ++i)
            form().lstVarOpt->item(i)->setCheckState(Qt::Unchecked);
        tick(c.ticked);
        EXPECT_CALL(*world.variables, Add(Eq("@LBTS"), Eq(c.option)));
        registerNames({"@LBTS"});
        ::testing::Mock::VerifyAndClearExpectations(world.variables.get());
    }
    EXPECT_TRUE(messages.shown.isEmpty()) << shown().toStdString();
}

TEST(OptionMask, PartialTicksAndUntickableRowsDoNotCount) {
    auto list = optionList(3, {1});
    list->item(0)->setCheckState(Qt::PartiallyChecked);
    list->addItem("no check box");
    EXPECT_EQ(variables::optionMask(list.get()), 2);
}

TEST(OptionMask, UsesEveryBitUpToTheSignBit) {
    EXPECT_EQ(variables::optionMask(optionList(31, {30}).get()), 1 << 30);
    EXPECT_EQ(variables::optionMask(optionList(31, {0, 30}).get()), (1 << 30) + 1);
    EXPECT_EQ(variables::optionMask(optionList(40, {}).get()), 0);
}

TEST(OptionMask, ABitBeyondThe32BitRangeIsAnOverflow) {
    for (int row : {31, 32, 1100}) {
        SCOPED_TRACE(row);
        auto list = optionList(row + 1, {0, row});
        try {
            variables::optionMask(list.get());
            ADD_FAILURE() << "no overflow";
        } catch (const cao::Error& e) {
            EXPECT_EQ(e.code(), cao::code::Overflow);
            EXPECT_TRUE(e.description().contains(QString("row %1").arg(row)))
                << e.description().toStdString();
        }
    }
}

TEST(OptionMask, AListTooLongForA16BitRowIndexIsAnOverflow) {
    EXPECT_EQ(variables::optionMask(optionList(32767, {}).get()), 0);
    try {
        variables::optionMask(optionList(32768, {}).get());
        ADD_FAILURE() << "no overflow";
    } catch (const cao::Error& e) {
        EXPECT_EQ(e.code(), cao::code::Overflow);
    }
}

TEST_F(VariablesTest, AnOverflowingMaskIsShownAndNothingIsRegistered) {
    for (int i = form().lstVarOpt->count(); i < 32; ++i) {
        auto* item = new QListWidgetItem("extra", form().lstVarOpt);
        item->setCheckState(Qt::Unchecked);
    }
    tick({31});
    EXPECT_CALL(*world.variables, Add(_, _)).Times(0);
    registerNames({"@LBTS"});
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].contains("row 31")) << shown().toStdString();
    EXPECT_TRUE(registeredNames().isEmpty());
}
