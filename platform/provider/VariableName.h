#pragma once

#include "cao/Variant.h"

#include <QString>

#include <string>

namespace provider {

enum class VariableKind { System, Interaction, Attribute };

enum class SystemName { CurrentTime, AdvanceTime, Lookahead, Lbts, NextEventTime, SyncPoint };

// A variable name taken apart:
//   "@" and a system name
//   <InteractionPath>.<ParameterName>[#<DataType>]
//   <ClassPath>.<AttributeName>!<ObjectName>[#<DataType>]
struct VariableName {
    VariableKind kind = VariableKind::Interaction;
    SystemName system = SystemName::CurrentTime;
    std::string classPath;   // full class name from InteractionRoot or ObjectRoot
    std::string member;      // parameter or attribute
    std::string objectName;  // attributes only
    cao::VarType dataType = cao::VT_BSTR;
};

// Throws cao::Error naming the name, and the part of it that is wrong.
VariableName parseVariableName(const QString& name);

// The text of a system name, "@" included.
QString systemVariableText(SystemName name);

}  // namespace provider
