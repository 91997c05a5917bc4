#pragma once

#include "cao/Cao.h"

#include <QString>

namespace variables {

// The open controller's variable collection; throws cao::Error when no controller is open.
cao::CaoVariables& openVariables(const cao::VariablesPtr& variables);

// The variable of that name, looked up in the collection by its name as VT_BSTR; throws
// cao::Error when the engine fails or gives no variable.
cao::VariablePtr lookUpVariable(const cao::VariablesPtr& variables, const QString& name);

}  // namespace variables
