#include "variables/VariableLookup.h"

namespace variables {

cao::CaoVariables& openVariables(const cao::VariablesPtr& variables) {
    if (!variables) {
        throw cao::Error(QStringLiteral("No controller is open; open one first."), cao::code::Fail);
    }
    return *variables;
}

cao::VariablePtr lookUpVariable(const cao::VariablesPtr& variables, const QString& name) {
    cao::VariablePtr variable = openVariables(variables).Item(cao::Variant::fromString(name));
    if (!variable) {
        throw cao::Error(
            QStringLiteral("The engine gave no variable for the name \"%1\".").arg(name),
            cao::code::Fail);
    }
    return variable;
}

}  // namespace variables
