#pragma once

#include "ui_frmMain.h"

#include <QLabel>
#include <QLineEdit>

#include <array>

namespace ui {

// The main window's controls as the logic addresses them: the form's own pointers plus the
// two control arrays, whose members the form can only hold under numbered names.
struct FormControls {
    // Call right after form.setupUi(): it finishes the initial state that the form file
    // cannot express (no row chosen in the editable name list, the monitor boxes' background,
    // the icon in all its sizes).
    explicit FormControls(Ui::frmMain& form);

    Ui::frmMain& form;
    std::array<QLineEdit*, 4> txtTime;
    std::array<QLabel*, 15> lblHLA;
};

}  // namespace ui
