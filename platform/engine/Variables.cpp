#include "platform/engine/Variables.h"

#include "platform/engine/Variable.h"

#include <algorithm>

namespace engine {

namespace {

QString nameFromIndex(const cao::Variant& index) {
    if (index.type() != cao::VT_BSTR) {
        throw cao::Error(QStringLiteral("A variable is found by its name, not by a %1")
                             .arg(cao::typeName(index.type())),
                         cao::code::InvalidArg);
    }
    return index.string();
}

cao::Error notRegistered(const QString& name) {
    return cao::Error(QStringLiteral("Variable \"%1\" is not registered").arg(name),
                      cao::code::InvalidArg);
}

}  // namespace

int32_t parseVariableOption(const QString& option) {
    static const QString key = QStringLiteral("Option=");
    bool ok = false;
    int32_t mask = 0;
    if (option.startsWith(key, Qt::CaseInsensitive)) {
        const QString digits = option.mid(key.size());
        bool allDigits = !digits.isEmpty() && std::all_of(digits.begin(), digits.end(),
                                                          [](QChar c) { return c.isDigit(); });
        if (allDigits) mask = digits.toInt(&ok);
    }
    if (!ok) {
        throw cao::Error(QStringLiteral("The variable option \"%1\" is not valid: expected "
                                        "\"Option=\" followed by a decimal mask")
                             .arg(option),
                         cao::code::InvalidArg);
    }
    return mask;
}

cao::VariablePtr Variables::Add(const QString& name, const QString& option) {
    m_state->requireOpen();
    const int32_t mask = parseVariableOption(option);
    if (m_state->variables.count(name) != 0) {
        throw cao::Error(QStringLiteral("Variable \"%1\" is already registered").arg(name),
                         cao::code::InvalidArg);
    }
    std::shared_ptr<ProviderVariable> made = m_state->provider->addVariable(name, mask);
    m_state->variables.emplace(name, made);
    return std::make_shared<Variable>(m_state, name, made);
}

cao::VariablePtr Variables::Item(const cao::Variant& index) {
    m_state->requireOpen();
    const QString name = nameFromIndex(index);
    auto it = m_state->variables.find(name);
    if (it == m_state->variables.end()) throw notRegistered(name);
    return std::make_shared<Variable>(m_state, name, it->second);
}

void Variables::Remove(const cao::Variant& index) {
    m_state->requireOpen();
    const QString name = nameFromIndex(index);
    auto it = m_state->variables.find(name);
    if (it == m_state->variables.end()) throw notRegistered(name);
    it->second->release();  // a refusal leaves the variable registered
    m_state->variables.erase(it);
}

int32_t Variables::Count() {
    m_state->requireOpen();
    return static_cast<int32_t>(m_state->variables.size());
}

}  // namespace engine
