#include "VariablesFixture.h"

using cao::Variant;
using cao::testing::ThrowError;
using ::testing::_;
using ::testing::Eq;

namespace {
const std::vector<bool> kWithVariables{false, true, true, true, true, true};
}

TEST_F(VariablesTest, EachRegistrationIsAppendedAndSelected) {
    registerNames({"b", "a"});
    form().cmbVar->setCurrentIndex(0);
    registerNames({"c"});
    EXPECT_EQ(registeredNames(), (QStringList{"b", "a", "c"})) << "the list is not sorted";
    EXPECT_EQ(form().cmbVar->currentIndex(), 2);
    EXPECT_EQ(buttonStates(), kWithVariables);
    EXPECT_TRUE(messages.shown.isEmpty()) << shown().toStdString();
}

TEST_F(VariablesTest, TheNameIsSentAndListedVerbatimEvenWhenEmpty) {
    for (const QString& name : {QString(" Chat.Msg#int "), QString()}) {
        EXPECT_CALL(*world.variables, Add(Eq(name), Eq("Option=0")));
        registerNames({name});
        EXPECT_EQ(form().cmbVar->currentText(), name);
        EXPECT_EQ(form().cmbVar->currentIndex(), form().cmbVar->count() - 1);
    }
    EXPECT_EQ(registeredNames(), (QStringList{" Chat.Msg#int ", ""}));
}

TEST_F(VariablesTest, TheListedNameIsTheTextAfterTheEngineAccepted) {
    // The name is read again after Add; a change made meanwhile is what gets listed.
    ON_CALL(*world.variables, Add(_, _)).WillByDefault([this](const QString&, const QString&) {
        form().cmbVarNames->setEditText("changed");
        return cao::VariablePtr();
    });
    EXPECT_CALL(*world.variables, Add(Eq("typed"), _));
    registerNames({"typed"});
    EXPECT_EQ(registeredNames(), QStringList{"changed"});
}

TEST_F(VariablesTest, ARefusedAddShowsTheEngineTextAndChangesNothing) {
    registerNames({"x", "y"});
    form().cmbVar->setCurrentIndex(0);
    form().cmdGet->setEnabled(false);  // only UpdateControlStates would enable it again
    tick({2});
    ON_CALL(*world.variables, Add(_, _)).WillByDefault(ThrowError("Name \"x\" is already in use"));
    registerNames({"x"});
    EXPECT_EQ(messages.shown, QStringList{"Name \"x\" is already in use"});
    EXPECT_EQ(registeredNames(), (QStringList{"x", "y"}));
    EXPECT_EQ(form().cmbVar->currentIndex(), 0);
    EXPECT_FALSE(form().cmdGet->isEnabled()) << "UpdateControlStates ran after a failure";
    EXPECT_EQ(form().cmbVarNames->currentText(), "x");
    EXPECT_EQ(form().lstVarOpt->item(2)->checkState(), Qt::Checked);
}

TEST_F(VariablesTest, OfTwoEqualNamesRemoveTakesTheSelectedRow) {
    registerNames({"dup", "x", "dup"});
    struct Case {
        int selected;
        QStringList left;
    };
    for (const Case& c : {Case{2, {"dup", "x"}}, Case{0, {"x"}}}) {
        form().cmbVar->setCurrentIndex(c.selected);
        EXPECT_CALL(*world.variables, Remove(Eq(Variant::fromString("dup"))));
        form().cmdRelease->click();
        ::testing::Mock::VerifyAndClearExpectations(world.variables.get());
        EXPECT_EQ(registeredNames(), c.left);
    }
    EXPECT_TRUE(messages.shown.isEmpty()) << shown().toStdString();
}

TEST_F(VariablesTest, RemovingTheLastRowDisablesTheVariableButtons) {
    registerNames({"x"});
    form().cmdRelease->click();
    EXPECT_TRUE(registeredNames().isEmpty());
    EXPECT_EQ(buttonStates(), kOpenButtons);
}

TEST_F(VariablesTest, ARefusedRemoveKeepsTheRowSelected) {
    registerNames({"a", "b"});
    form().cmbVar->setCurrentIndex(0);
    form().cmdGet->setEnabled(false);
    ON_CALL(*world.variables, Remove(_)).WillByDefault(ThrowError("Variable \"a\" is in use"));
    form().cmdRelease->click();
    EXPECT_EQ(messages.shown, QStringList{"Variable \"a\" is in use"});
    EXPECT_EQ(registeredNames(), (QStringList{"a", "b"}));
    EXPECT_EQ(form().cmbVar->currentIndex(), 0);
    EXPECT_FALSE(form().cmdGet->isEnabled()) << "UpdateControlStates ran after a failure";
}

TEST_F(VariablesTest, RemoveWithNothingSelectedSendsTheEmptyName) {
    struct Case {
        const char* what;
        bool engineRefuses;
        QString shown;
    };
    const std::vector<Case> cases{
        {"engine refuses", true, "No variable named \"\""},
        {"engine accepts", false,
         "No registered variable is selected, so no row was removed from the list; select one "
         "and try again."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.shown.clear();
        form().cmbVar->clear();
        registerNames({"a"});
        form().cmbVar->setCurrentIndex(-1);
        form().cmdGet->setEnabled(false);
        auto& remove = EXPECT_CALL(*world.variables, Remove(Eq(Variant::fromString(""))));
        if (c.engineRefuses) remove.WillOnce(ThrowError(c.shown));
        form().cmdRelease->click();
        ::testing::Mock::VerifyAndClearExpectations(world.variables.get());
        EXPECT_EQ(messages.shown, QStringList{c.shown});
        EXPECT_EQ(registeredNames(), QStringList{"a"});
        EXPECT_FALSE(form().cmdGet->isEnabled()) << "UpdateControlStates ran after a failure";
    }
}

TEST_F(VariablesTest, AMonitorBoxIsLiveExactlyWhileARowEqualsItsTag) {
    struct Case {
        const char* what;
        QStringList names;
        std::vector<bool> boxes;
    };
    const std::vector<Case> cases{
        {"exact", {"@LBTS"}, {false, false, true, false}},
        {"lower case", {"@lbts"}, kNoMonitor},
        {"trailing blank", {"@LBTS "}, kNoMonitor},
        {"leading blank", {" @LBTS"}, kNoMonitor},
        {"two boxes", {"@CURRENT_TIME", "x", "@NEXTEVENT_TIME"}, {true, false, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        form().cmbVar->clear();
        registerNames(c.names);
        EXPECT_EQ(monitorStates(), c.boxes);
    }
}

TEST_F(VariablesTest, RemovingAMonitoredNameSwitchesItsBoxOffOnlyWithItsLastRow) {
    registerNames({"@LBTS", "@LBTS"});
    form().cmdRelease->click();
    EXPECT_EQ(monitorStates(), (std::vector<bool>{false, false, true, false}));
    form().cmdRelease->click();
    EXPECT_EQ(monitorStates(), kNoMonitor);
}
