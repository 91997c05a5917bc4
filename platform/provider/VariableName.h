#pragma once

#include "cao/Variant.h"

#include <QString>

#include <string>

namespace provider {

enum class VariableKind { System, Interaction, Attribute };

// A variable name taken apart:
//   "@" and a system name
//   <InteractionPath>.<ParameterName>[#<DataType>]
//   <ClassPath>.<AttributeName>!<ObjectName>[#<DataType>]
struct VariableName {
    VariableKind kind = VariableKind::Interaction;
    QString system;          // system variables only: the whole name, "@" included
    std::string classPath;   // full class name from InteractionRoot or ObjectRoot
    std::string member;      // parameter or attribute
    std::string objectName;  // attributes only
    cao::VarType dataType = cao::VT_BSTR;
};

// Throws cao::Error naming the name, and the part of it that is wrong. A system variable's
// name is only told apart here; whether the provider has it is the system variables' table's
// to say.
VariableName parseVariableName(const QString& name);

}  // namespace provider
