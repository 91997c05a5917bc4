#include "platform/provider/InteractionVariable.h"

#include "cao/Error.h"
#include "cao/ProviderContract.h"

namespace provider {

InteractionVariable::InteractionVariable(std::shared_ptr<Federate> federate, const QString& name,
                                         const VariableName& parsed, int32_t options)
    : ExchangeVariable(std::move(federate), name, parsed.dataType, options) {
    const hla::FederationDescription& fom = m_federate->description();
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
    setFomType(fom.parameter(m_parameter).dataType);
    declare([this] {
        if (!hasOption(cao::contract::option::NoPublish)) {
            m_federate->declarations().publish(m_class);
            m_published = true;
        }
        if (!hasOption(cao::contract::option::NoSubscribe)) {
            m_federate->declarations().subscribe(m_class);
            m_subscribed = true;
        }
    });
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

void InteractionVariable::send(const hla::Bytes& payload) {
    const auto time =
        m_federate->sendTime(m_federate->description().interactionClass(m_class).order);
    m_federate->link().sendInteraction(m_class, {{m_parameter, payload}}, time);
    m_federate->wrote(WrittenClass{m_class, {}, {}}, name());
}

void InteractionVariable::receive(hla::InteractionClassHandle received,
                                  const hla::ParameterValues& values,
                                  std::optional<hla::LogicalTime> timestamp) {
    if (!m_subscribed || !m_federate->description().isSubclassOf(received, m_class)) return;
    const auto carried = values.find(m_parameter);
    if (carried == values.end()) return;
    take(carried->second, timestamp, cao::contract::message::InteractionReceived,
         hasOption(cao::contract::option::NoMessage));
}

}  // namespace provider
