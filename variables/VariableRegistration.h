#pragma once

#include "cao/Cao.h"

#include <QString>

#include <functional>

class QComboBox;
class QListWidget;

namespace variables {

struct RegistrationControls {
    QComboBox* cmbVarNames = nullptr;
    QListWidget* lstVarOpt = nullptr;
    QComboBox* cmbVar = nullptr;
};

// Registering and removing variables (the Add and Remove buttons of the variable frames).
// Both throw on the first failing step and undo nothing.
class VariableRegistration {
public:
    VariableRegistration(RegistrationControls controls, const cao::VariablesPtr& variables,
                         std::function<void()> updateControlStates);

    void add();
    void remove();

private:
    RegistrationControls m_controls;
    const cao::VariablesPtr& m_caoVars;
    std::function<void()> m_updateControlStates;
};

}  // namespace variables
