#pragma once

#include "app/frmMain.h"
#include "support/MockWorld.h"
#include "support/RecordingMessageBox.h"
#include "ui/WidgetState.h"
#include "ui_frmMain.h"

#include <gtest/gtest.h>

// A loaded main window on its own mocked engine. The window is never shown unless a test
// does so.
struct LoadedWindow {
    LoadedWindow() : window(messages) { window.load(world.factory()); }

    cao::testing::MockWorld world;
    RecordingMessageBox messages;
    frmMain window;
};

class WindowTest : public ::testing::Test, protected LoadedWindow {
protected:
    Ui::frmMain& form() { return window.form(); }

    // Which of the six buttons are enabled, in the order open, close, add, remove, put, get.
    std::vector<bool> buttonStates() {
        auto& f = form();
        return {f.cmdOpen->isEnabled(),    f.cmdClose->isEnabled(), f.cmdGetVar->isEnabled(),
                f.cmdRelease->isEnabled(), f.cmdPut->isEnabled(),   f.cmdGet->isEnabled()};
    }
    std::vector<bool> monitorStates() {
        std::vector<bool> states;
        for (QLineEdit* box : boxes()) states.push_back(box->isEnabled());
        return states;
    }
    std::array<QLineEdit*, 4> boxes() {
        return {form().txtTime_0, form().txtTime_1, form().txtTime_2, form().txtTime_3};
    }

    void open() { form().cmdOpen->click(); }
};

inline const std::vector<bool> kClosedButtons{true, false, false, false, false, false};
inline const std::vector<bool> kOpenButtons{false, true, true, false, false, false};
inline const std::vector<bool> kNoMonitor{false, false, false, false};
