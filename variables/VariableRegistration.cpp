#include "variables/VariableRegistration.h"

#include "variables/OptionMask.h"

#include "variables/VariableLookup.h"

#include <QComboBox>

namespace variables {

namespace {

// QComboBox ignores an insertion it cannot make and a removal of a row it does not have, so
// both are checked here: the list must never disagree with the engine unnoticed.
void appendRow(QComboBox* list, const QString& name) {
    const int before = list->count();
    list->addItem(name);
    if (list->count() != before + 1) {
        throw cao::Error(QStringLiteral("\"%1\" was registered but could not be listed: the "
                                        "list of registered variables is full (%2 rows).")
                             .arg(name)
                             .arg(before),
                         cao::code::Fail);
    }
}

void selectRow(QComboBox* list, int row) {
    list->setCurrentIndex(row);
    if (list->currentIndex() != row) {
        throw cao::Error(
            QStringLiteral("Row %1 of the registered variables cannot be selected.").arg(row),
            cao::code::Fail);
    }
}

void removeRow(QComboBox* list, int row) {
    if (row < 0 || row >= list->count()) {
        throw cao::Error(QStringLiteral("No registered variable is selected, so no row was "
                                        "removed from the list; select one and try again."),
                         cao::code::InvalidArg);
    }
    list->removeItem(row);
}

}  // namespace

VariableRegistration::VariableRegistration(RegistrationControls controls,
                                           const cao::VariablesPtr& variables,
                                           std::function<void()> updateControlStates)
    : m_controls(controls),
      m_caoVars(variables),
      m_updateControlStates(std::move(updateControlStates)) {}

void VariableRegistration::add() {
    const QString option = variableOptionString(optionMask(m_controls.lstVarOpt));
    // The returned variable is not kept: later operations find it again by name.
    openVariables(m_caoVars).Add(m_controls.cmbVarNames->currentText(), option);
    appendRow(m_controls.cmbVar, m_controls.cmbVarNames->currentText());
    selectRow(m_controls.cmbVar, m_controls.cmbVar->count() - 1);
    m_updateControlStates();
}

void VariableRegistration::remove() {
    const QString name = m_controls.cmbVar->currentText();
    openVariables(m_caoVars).Remove(cao::Variant::fromString(name));
    // By position, so that of two rows with the same name only the selected one goes.
    removeRow(m_controls.cmbVar, m_controls.cmbVar->currentIndex());
    m_updateControlStates();
}

}  // namespace variables
