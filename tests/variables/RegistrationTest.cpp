#include "VariablesFixture.h"

#include "support/FailureOf.h"
#include "variables/VariableRegistration.h"

using cao::Variant;
using cao::testing::ThrowError;
using ::testing::_;
using ::testing::Eq;

namespace {

const std::vector<bool> kWithVariables{false, true, true, true, true, true};

// The registration handlers on the controls alone; `updates` counts the control-state updates
// they ask the window for.
class RegistrationHandlers : public FormControlsTest {
protected:
    RegistrationHandlers() {
        registration = std::make_unique<variables::VariableRegistration>(
            variables::RegistrationControls{form.cmbVarNames, form.lstVarOpt, form.cmbVar},
            caoVariables, [this] { ++updates; });
    }

    // Registers `name` as typed in the name field: the failure's description, or "no error".
    QString add(const QString& name) {
        form.cmbVarNames->setEditText(name);
        return failureOf([&] { registration->add(); });
    }
    QString remove() {
        return failureOf([&] { registration->remove(); });
    }

    int updates = 0;
    std::unique_ptr<variables::VariableRegistration> registration;
};

}  // namespace

TEST_F(VariablesTest, EachRegistrationIsAppendedAndSelected) {
    registerNames({"b", "a"});
    form().cmbVar->setCurrentIndex(0);
    registerNames({"c"});
    EXPECT_EQ(registeredNames(), (QStringList{"b", "a", "c"})) << "the list is not sorted";
    EXPECT_EQ(form().cmbVar->currentIndex(), 2);
    EXPECT_EQ(buttonStates(), kWithVariables);
    EXPECT_TRUE(messages.shown.isEmpty()) << shown().toStdString();
}

TEST_F(VariablesTest, RemovingTheLastRowDisablesTheVariableButtons) {
    registerNames({"x"});
    form().cmdRelease->click();
    EXPECT_TRUE(registeredNames().isEmpty());
    EXPECT_EQ(buttonStates(), kOpenButtons);
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

TEST_F(RegistrationHandlers, TheNameIsSentAndListedVerbatimEvenWhenEmpty) {
    for (const QString& name : {QString(" Chat.Msg#int "), QString()}) {
        EXPECT_CALL(*mockVariables, Add(Eq(name), Eq("Option=0")));
        EXPECT_EQ(add(name), "no error");
        EXPECT_EQ(form.cmbVar->currentText(), name);
        EXPECT_EQ(form.cmbVar->currentIndex(), form.cmbVar->count() - 1);
    }
    EXPECT_EQ(listedNames(), (QStringList{" Chat.Msg#int ", ""}));
    EXPECT_EQ(updates, 2);
}

TEST_F(RegistrationHandlers, TheListedNameIsTheTextAfterTheEngineAccepted) {
    // The name is read again after Add; a change made meanwhile is what gets listed.
    ON_CALL(*mockVariables, Add(_, _)).WillByDefault([this](const QString&, const QString&) {
        form.cmbVarNames->setEditText("changed");
        return cao::VariablePtr();
    });
    EXPECT_CALL(*mockVariables, Add(Eq("typed"), _));
    EXPECT_EQ(add("typed"), "no error");
    EXPECT_EQ(listedNames(), QStringList{"changed"});
}

TEST_F(RegistrationHandlers, ARefusedAddFailsWithTheEngineTextAndChangesNothing) {
    form.cmbVar->addItems({"x", "y"});
    form.cmbVar->setCurrentIndex(0);
    form.lstVarOpt->item(2)->setCheckState(Qt::Checked);
    ON_CALL(*mockVariables, Add(_, _)).WillByDefault(ThrowError("Name \"x\" is already in use"));
    EXPECT_EQ(add("x"), "Name \"x\" is already in use");
    EXPECT_EQ(listedNames(), (QStringList{"x", "y"}));
    EXPECT_EQ(form.cmbVar->currentIndex(), 0);
    EXPECT_EQ(updates, 0) << "the control states were updated after a failure";
    EXPECT_EQ(form.cmbVarNames->currentText(), "x");
    EXPECT_EQ(form.lstVarOpt->item(2)->checkState(), Qt::Checked);
}

TEST_F(RegistrationHandlers, OfTwoEqualNamesRemoveTakesTheSelectedRow) {
    form.cmbVar->addItems({"dup", "x", "dup"});
    struct Case {
        int selected;
        QStringList left;
    };
    for (const Case& c : {Case{2, {"dup", "x"}}, Case{0, {"x"}}}) {
        form.cmbVar->setCurrentIndex(c.selected);
        EXPECT_CALL(*mockVariables, Remove(Eq(Variant::fromString("dup"))));
        EXPECT_EQ(remove(), "no error");
        ::testing::Mock::VerifyAndClearExpectations(mockVariables.get());
        EXPECT_EQ(listedNames(), c.left);
    }
}

TEST_F(RegistrationHandlers, ARefusedRemoveKeepsTheRowSelected) {
    form.cmbVar->addItems({"a", "b"});
    form.cmbVar->setCurrentIndex(0);
    ON_CALL(*mockVariables, Remove(_)).WillByDefault(ThrowError("Variable \"a\" is in use"));
    EXPECT_EQ(remove(), "Variable \"a\" is in use");
    EXPECT_EQ(listedNames(), (QStringList{"a", "b"}));
    EXPECT_EQ(form.cmbVar->currentIndex(), 0);
    EXPECT_EQ(updates, 0) << "the control states were updated after a failure";
}

TEST_F(RegistrationHandlers, RemoveWithNothingSelectedSendsTheEmptyName) {
    struct Case {
        const char* what;
        bool engineRefuses;
        QString failure;
    };
    const std::vector<Case> cases{
        {"engine refuses", true, "No variable named \"\""},
        {"engine accepts", false,
         "No registered variable is selected, so no row was removed from the list; select one "
         "and try again."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        form.cmbVar->clear();
        form.cmbVar->addItem("a");
        form.cmbVar->setCurrentIndex(-1);
        auto& remove = EXPECT_CALL(*mockVariables, Remove(Eq(Variant::fromString(""))));
        if (c.engineRefuses) remove.WillOnce(ThrowError(c.failure));
        EXPECT_EQ(this->remove(), c.failure);
        ::testing::Mock::VerifyAndClearExpectations(mockVariables.get());
        EXPECT_EQ(listedNames(), QStringList{"a"});
        EXPECT_EQ(updates, 0) << "the control states were updated after a failure";
    }
}
