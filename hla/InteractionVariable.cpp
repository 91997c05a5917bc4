#include "hla/InteractionVariable.h"

#include "cao/Error.h"
#include "cao/VariantText.h"
#include "hla/Encoding.h"
#include "hla/MessageNumber.h"
#include "hla/VariableOptions.h"
#include "hla/VariableValue.h"

#include <algorithm>

namespace hla {

InteractionVariable::InteractionVariable(std::shared_ptr<Federate> federate, const QString& name,
                                         const VariableName& parsed, int32_t options)
    : m_federate(std::move(federate)), m_name(name), m_type(parsed.dataType), m_options(options) {
    const rti::FederationDescription& fom = m_federate->description();
    const auto cls = fom.findInteractionClass(parsed.classPath);
    if (!cls) {
        throw cao::Error(QStringLiteral("The federation description has no interaction class "
                                        "\"%1\" (variable \"%2\")")
                             .arg(QString::fromStdString(parsed.classPath), name),
                         cao::code::InvalidArg);
    }
    const auto parameter = fom.findParameter(*cls, parsed.member);
    if (!parameter) {
        throw cao::Error(QStringLiteral("Interaction class \"%1\" has no parameter \"%2\" "
                                        "(variable \"%3\")")
                             .arg(QString::fromStdString(parsed.classPath),
                                  QString::fromStdString(parsed.member), name),
                         cao::code::InvalidArg);
    }
    m_class = *cls;
    m_parameter = *parameter;
    try {
        if (!hasOption(options, option::NoPublish)) {
            m_federate->declarations().publish(m_class);
            m_published = true;
        }
        if (!hasOption(options, option::NoSubscribe)) {
            m_federate->declarations().subscribe(m_class);
            m_subscribed = true;
        }
    } catch (...) {
        withdraw();
        rethrowAsCaoError(QStringLiteral("Variable \"%1\" could not be registered").arg(name));
    }
    m_federate->attach(this);
}

InteractionVariable::~InteractionVariable() {
    m_federate->detach(this);
}

void InteractionVariable::withdraw() {
    if (!m_federate->isOpen()) return;
    if (m_published) m_federate->declarations().unpublish(m_class);
    m_published = false;
    if (m_subscribed) m_federate->declarations().unsubscribe(m_class);
    m_subscribed = false;
}

void InteractionVariable::release() {
    try {
        withdraw();
    } catch (...) {
        rethrowAsCaoError(QStringLiteral("Variable \"%1\" could not be removed").arg(m_name));
    }
    m_federate->detach(this);
}

void InteractionVariable::write(const cao::Variant& value) {
    const cao::Variant typed = valueForWrite(m_name, m_published, value, m_type);
    const rti::Bytes bytes = encodeValue(typed, hasOption(m_options, option::BigEndian));
    try {
        const auto time =
            m_federate->sendTime(m_federate->description().interactionClass(m_class).order);
        m_federate->link().sendInteraction(m_class, {{m_parameter, bytes}}, time);
    } catch (...) {
        rethrowAsCaoError(QStringLiteral("Variable \"%1\" could not be sent").arg(m_name));
    }
    m_value = typed;
}

void InteractionVariable::receive(rti::InteractionClassHandle received,
                                  const rti::ParameterValues& values,
                                  std::optional<rti::LogicalTime> timestamp) {
    if (!m_subscribed || !m_federate->description().isSubclassOf(received, m_class)) return;
    const auto carried = values.find(m_parameter);
    if (carried == values.end()) return;
    if (!takeReceivedValue(*m_federate, m_name, carried->second, m_type, m_options, timestamp,
                           m_value)) {
        return;
    }
    if (!hasOption(m_options, option::NoMessage)) {
        m_federate->raise(message::InteractionReceived, m_value, m_name, timestamp);
    }
}

}  // namespace hla
