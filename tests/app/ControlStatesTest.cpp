#include "WindowFixture.h"

#include "app/ControlStates.h"

#include <QTimer>

namespace {

class ControlStates : public WindowTest {
protected:
    app::ControlStateTargets targets() {
        auto& f = form();
        return {f.cmdOpen, f.cmdClose, f.cmdGetVar, f.cmdRelease,   f.cmdPut,
                f.cmdGet,  boxes(),    f.cmbVar,    &window.timer()};
    }
    std::vector<bool> backgrounds() {
        std::vector<bool> result;
        for (QLineEdit* box : boxes()) result.push_back(ui::hasWindowBackground(box));
        return result;
    }
    void apply(bool open, const QStringList& names) {
        form().cmbVar->clear();
        form().cmbVar->addItems(names);
        app::applyControlStates(targets(), open);
    }
};

}  // namespace

TEST_F(ControlStates, MonitorBoxesFollowExactTagMatchesOnly) {
    struct Case {
        const char* what;
        bool open;
        QStringList names;
        std::vector<bool> buttons;
        std::vector<bool> boxes;
    };
    const std::vector<bool> withVariables{false, true, true, true, true, true};
    const std::vector<Case> cases{
        {"open, nothing registered", true, {}, kOpenButtons, kNoMonitor},
        {"@LBTS only", true, {"@LBTS"}, withVariables, {false, false, true, false}},
        {"lower case", true, {"@lbts"}, withVariables, kNoMonitor},
        {"trailing blank", true, {"@LBTS "}, withVariables, kNoMonitor},
        {"all four",
         true,
         {"@NEXTEVENT_TIME", "@LBTS", "@LOOKAHEAD", "@CURRENT_TIME"},
         withVariables,
         {true, true, true, true}},
        {"twice the same",
         true,
         {"@LBTS", "x", "@LBTS"},
         withVariables,
         {false, false, true, false}},
        {"closed with a stale name",
         false,
         {"@CURRENT_TIME"},
         {true, false, false, false, false, false},
         {true, false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        apply(c.open, c.names);
        EXPECT_EQ(buttonStates(), c.buttons);
        EXPECT_EQ(monitorStates(), c.boxes);
        EXPECT_EQ(backgrounds(), c.boxes) << "background must follow the enabled state";
        EXPECT_EQ(window.timer().isActive(), c.open);
    }
}

TEST_F(ControlStates, RemovingTheLastVariableKeepsTheTimerRunning) {
    apply(true, {"@LBTS"});
    apply(true, {});
    EXPECT_EQ(monitorStates(), kNoMonitor);
    EXPECT_EQ(buttonStates(), kOpenButtons);
    EXPECT_TRUE(window.timer().isActive());
}

TEST_F(ControlStates, ADisabledBoxKeepsItsText) {
    apply(true, {"@LBTS"});
    form().txtTime_2->setText("7.25");
    apply(true, {});
    EXPECT_EQ(form().txtTime_2->text(), "7.25");
}
