// Placeholder bodies until registration and value exchange land.
#include "variables/TypedValues.h"
#include "variables/ValueExchange.h"
#include "variables/VariableRegistration.h"

#include "cao/Error.h"

namespace variables {

cao::Variant StrToTypedVar(const QString&, int16_t) { throw cao::Error("Not implemented yet"); }
int16_t VarTypeToIndex(const cao::Variant&, ui::MessageBoxService&) { return 0; }
int32_t optionMask(const QListWidget*) { return 0; }
QString variableOptionString(int32_t mask) { return QStringLiteral("Option=%1").arg(mask); }

VariableRegistration::VariableRegistration(RegistrationControls controls,
                                           const cao::VariablesPtr& variables,
                                           std::function<void()> updateControlStates)
    : m_controls(controls), m_caoVars(variables), m_updateControlStates(std::move(updateControlStates)) {}
void VariableRegistration::add() { throw cao::Error("Not implemented yet"); }
void VariableRegistration::remove() { throw cao::Error("Not implemented yet"); }

ValueExchange::ValueExchange(ValueControls controls, const cao::VariablesPtr& variables,
                             ui::MessageBoxService& messageBox)
    : m_controls(controls), m_caoVars(variables), m_messageBox(messageBox) {}
void ValueExchange::put() { throw cao::Error("Not implemented yet"); }
void ValueExchange::get() { throw cao::Error("Not implemented yet"); }

}  // namespace variables
