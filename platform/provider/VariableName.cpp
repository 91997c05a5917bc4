#include "platform/provider/VariableName.h"

#include "cao/Error.h"
#include "cao/ProviderContract.h"
#include "platform/provider/Text.h"

#include <array>
#include <utility>

namespace provider {

namespace {

constexpr std::array<std::pair<cao::VarType, const char*>, 8> kDataTypes = {{
    {cao::VT_BOOL, "BOOL"},
    {cao::VT_UI1, "UI1"},
    {cao::VT_I2, "I2"},
    {cao::VT_I4, "I4"},
    {cao::VT_R4, "R4"},
    {cao::VT_R8, "R8"},
    {cao::VT_DATE, "DATE"},
    {cao::VT_BSTR, "BSTR"},
}};

[[noreturn]] void failForm(const QString& name) {
    throw invalid(QStringLiteral("The variable name \"%1\" is not valid: expected "
                                 "<InteractionPath>.<ParameterName>[#<DataType>], "
                                 "<ClassPath>.<AttributeName>!<ObjectName>[#<DataType>] or a "
                                 "system variable beginning with \"@\"")
                      .arg(name));
}

cao::VarType dataType(const QString& name, const QString& type) {
    for (const auto& [value, text] : kDataTypes) {
        if (type.compare(QLatin1String(text), Qt::CaseInsensitive) == 0) return value;
    }
    throw invalid(QStringLiteral("The data type \"%1\" of variable \"%2\" is unknown; use BOOL, "
                                 "UI1, I2, I4, R4, R8, DATE or BSTR")
                      .arg(type, name));
}

}  // namespace

VariableName parseVariableName(const QString& name) {
    VariableName parsed;
    if (name.startsWith(QLatin1Char(cao::contract::variable::kSystemPrefix))) {
        parsed.kind = VariableKind::System;
        parsed.system = name;
        return parsed;
    }
    QString path = name;
    const qsizetype hash = name.lastIndexOf(QLatin1Char('#'));
    if (hash >= 0) {
        parsed.dataType = dataType(name, name.mid(hash + 1));
        path = name.left(hash);
    }
    const qsizetype bang = path.indexOf(QLatin1Char('!'));
    if (bang >= 0) {
        parsed.kind = VariableKind::Attribute;
        parsed.objectName = path.mid(bang + 1).toStdString();
        if (parsed.objectName.empty()) {
            throw invalid(QStringLiteral("The variable name \"%1\" names no object after \"!\"; "
                                         "expected <ClassPath>.<AttributeName>!<ObjectName>")
                              .arg(name));
        }
        path = path.left(bang);
    }
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == path.size() - 1) failForm(name);
    parsed.classPath = path.left(dot).toStdString();
    parsed.member = path.mid(dot + 1).toStdString();
    return parsed;
}

}  // namespace provider
