#pragma once

#include <QString>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QWidget;

namespace ui {

// What the program reads and sets on single controls, apart from the form.

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
