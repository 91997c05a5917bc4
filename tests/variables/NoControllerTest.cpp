#include "VariablesFixture.h"

#include "support/FailureOf.h"
#include "variables/ValueExchange.h"
#include "variables/VariableRegistration.h"

using ::testing::_;
using ::testing::Return;

namespace {

class NoController : public WindowTest {};

}  // namespace

// The buttons are disabled while no controller is open; called anyway, the handlers must
// report it rather than reach for a collection that is not there.
TEST_F(NoController, EveryOperationFailsWithADescription) {
    const cao::VariablesPtr none;
    bool updated = false;
    variables::VariableRegistration registration(
        {form().cmbVarNames, form().lstVarOpt, form().cmbVar}, none, [&] { updated = true; });
    variables::ValueExchange values({form().cmbVar, form().txtPut, form().cmbPutType}, none,
                                    messages);
    form().cmbVar->addItem("x");
    const QString expected = "No controller is open; open one first.";
    EXPECT_EQ(failureOf([&] { registration.add(); }), expected);
    EXPECT_EQ(failureOf([&] { registration.remove(); }), expected);
    EXPECT_EQ(failureOf([&] { values.put(); }), expected);
    EXPECT_EQ(failureOf([&] { values.get(); }), expected);
    EXPECT_FALSE(updated);
    EXPECT_EQ(form().cmbVar->count(), 1);
}

TEST_F(VariablesTest, AnEngineThatGivesNoVariableIsReported) {
    ON_CALL(*world.variables, Item(_)).WillByDefault(Return(cao::VariablePtr()));
    registerNames({"Chat.Msg"});
    form().cmdPut->click();
    form().cmdGet->click();
    const QString expected = "The engine gave no variable for the name \"Chat.Msg\".";
    EXPECT_EQ(messages.shown, (QStringList{expected, expected}));
}
