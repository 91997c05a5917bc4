#include "platform/provider/ExchangeVariable.h"

#include "cao/ProviderContract.h"
#include "platform/provider/Encoding.h"
#include "platform/provider/Text.h"
#include "platform/provider/VariableValue.h"

namespace provider {

ExchangeVariable::ExchangeVariable(std::shared_ptr<Federate> federate, const QString& name,
                                   cao::VarType type, int32_t options)
    : m_federate(std::move(federate)), m_name(name), m_type(type), m_options(options) {}

void ExchangeVariable::declare(const std::function<void()>& steps) {
    try {
        steps();
    } catch (...) {
        try {
            withdraw();
        } catch (const std::exception&) {
            // The refusal that stopped the registration is the one to report.
        }
        rethrowAsCaoError(QStringLiteral("Variable \"%1\" could not be registered").arg(m_name));
    }
}

void ExchangeVariable::release() {
    try {
        withdraw();
    } catch (...) {
        rethrowAsCaoError(QStringLiteral("Variable \"%1\" could not be removed").arg(m_name));
    }
    detach();
}

void ExchangeVariable::write(const cao::Variant& value) {
    const cao::Variant typed = valueForWrite(m_name, m_published, value, m_type);
    const hla::Bytes payload = encodeValue(typed, hasOption(cao::contract::option::BigEndian));
    try {
        send(payload);
    } catch (...) {
        rethrowAsCaoError(QStringLiteral("Variable \"%1\" %2").arg(m_name, sendFailure()));
    }
    m_value = typed;
}

void ExchangeVariable::take(const hla::Bytes& payload, std::optional<hla::LogicalTime> timestamp,
                            int32_t number, bool silent) {
    if (!takeReceivedValue(*m_federate, m_name, payload, m_type, m_options, timestamp, m_value)) {
        return;
    }
    if (!silent) m_federate->raise(number, m_value, m_name, timestamp);
}

}  // namespace provider
