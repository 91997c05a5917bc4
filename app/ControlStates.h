#pragma once

#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTimer;

namespace app {

// The controls whose enabled state follows from whether a controller is open and which
// variables are registered.
struct ControlStateTargets {
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdGetVar = nullptr;
    QPushButton* cmdRelease = nullptr;
    QPushButton* cmdPut = nullptr;
    QPushButton* cmdGet = nullptr;
    std::array<QLineEdit*, 4> txtTime{};
    QComboBox* cmbVar = nullptr;
    QTimer* Timer1 = nullptr;
};

// The one place that enables and disables controls at run time. A monitor box is live
// while a registered name equals its Tag exactly; the timer runs while a controller is open.
void applyControlStates(const ControlStateTargets& targets, bool controllerOpen);

}  // namespace app
