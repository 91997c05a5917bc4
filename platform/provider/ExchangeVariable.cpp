#include "platform/provider/ExchangeVariable.h"

#include "cao/ProviderContract.h"
#include "platform/provider/Text.h"

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

ValueCoding ExchangeVariable::coding() const {
    // With a FOM data type the FOM gives the byte order, and option 4 has nothing to say.
    return {m_fomType, hasOption(cao::contract::option::BigEndian)};
}

void ExchangeVariable::write(const cao::Variant& value) {
    const hla::DataTypes& types = m_federate->description().dataTypes;
    const ValueCoding how = coding();
    const cao::Variant typed = valueForWrite(m_name, m_published, value, m_type, types, how);
    const hla::Bytes payload = payloadForWrite(m_name, typed, types, how);
    try {
        send(payload);
    } catch (...) {
        rethrowAsCaoError(QStringLiteral("Variable \"%1\" %2").arg(m_name, sendFailure()));
    }
    m_value = typed;
}

void ExchangeVariable::take(const hla::Bytes& payload, std::optional<hla::LogicalTime> timestamp,
                            int32_t number, bool silent) {
    if (!takeReceivedValue(*m_federate, m_name, payload, m_type, coding(), timestamp, m_value)) {
        return;
    }
    if (!silent) m_federate->raise(number, m_value, m_name, timestamp);
}

}  // namespace provider
