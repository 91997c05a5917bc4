#pragma once

#include "ui_frmMain.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QString>
#include <QWidget>

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

// A per-control text Tag; empty until set.
void setTag(QWidget* control, const QString& tag);
QString tag(const QWidget* control);

// true: the system window-background colour; false: the button-face colour. The colour holds
// whether the box is enabled or not.
void setMonitorBackground(QLineEdit* box, bool windowBackground);
// Whether the box shows the window-background colour (false: button face).
bool hasWindowBackground(const QLineEdit* box);

// 0 unchecked, 1 checked, 2 partially checked.
int checkValue(const QCheckBox* box);

// Whether row `row` carries a tick. Throws cao::Error for a row the list does not have.
bool isRowTicked(const QListWidget* list, int row);

}  // namespace ui
