#include "platform/provider/SubscriptionView.h"

#include "platform/hla/MomEncoding.h"

namespace provider {

namespace mom = hla::mom;

bool SubscriptionView::declare() {
    if (m_classes) return true;
    const hla::FederationDescription& fom = m_link.description();
    const auto request = fom.findInteractionClass(mom::kRequestSubscriptions);
    const auto objectReport = fom.findInteractionClass(mom::kReportObjectClassSubscription);
    const auto interactionReport = fom.findInteractionClass(mom::kReportInteractionSubscription);
    if (!request || !objectReport || !interactionReport) return false;
    const auto p = [&](hla::InteractionClassHandle cls, const char* name) {
        return fom.findParameter(cls, name);
    };
    const auto requestFederate = p(*request, mom::kFederateParameter);
    const auto objectFederate = p(*objectReport, mom::kFederateParameter);
    const auto count = p(*objectReport, mom::kNumberOfClasses);
    const auto objectClass = p(*objectReport, mom::kObjectClass);
    const auto attributes = p(*objectReport, mom::kAttributeList);
    const auto interactionFederate = p(*interactionReport, mom::kFederateParameter);
    const auto interactionList = p(*interactionReport, mom::kInteractionClassList);
    if (!requestFederate || !objectFederate || !count || !objectClass || !attributes ||
        !interactionFederate || !interactionList) {
        return false;
    }
    try {
        m_link.subscribeInteractionClass(*objectReport);
        m_link.subscribeInteractionClass(*interactionReport);
        m_link.publishInteractionClass(*request);
    } catch (const std::exception&) {
        return false;  // a run-time that refuses its own reports tells nobody's subscriptions
    }
    m_classes = Classes{
        *request, *objectReport, *interactionReport, *requestFederate,     *objectFederate,
        *count,   *objectClass,  *attributes,        *interactionFederate, *interactionList};
    return true;
}

bool SubscriptionView::ask(const std::vector<hla::Bytes>& federates) {
    if (!declare()) return false;
    try {
        for (const hla::Bytes& federate : federates) {
            m_federates[federate] = Subscribed{};
            m_link.sendInteraction(
                m_classes->request,
                {{m_classes->requestFederate, mom::encodeHandleOctets(federate)}}, std::nullopt);
        }
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

bool SubscriptionView::received(hla::InteractionClassHandle cls,
                                const hla::ParameterValues& values) {
    if (!m_classes || (cls != m_classes->objectReport && cls != m_classes->interactionReport)) {
        return false;
    }
    const bool objects = cls == m_classes->objectReport;
    const auto value = [&](hla::ParameterHandle parameter) -> const hla::Bytes* {
        const auto it = values.find(parameter);
        return it == values.end() ? nullptr : &it->second;
    };
    // A report that does not decode, or of a federate not asked about, is passed over: the
    // run-time is not ours to trust.
    const hla::Bytes* federate =
        value(objects ? m_classes->objectFederate : m_classes->interactionFederate);
    const auto octets = federate ? mom::decodeHandle(*federate) : std::nullopt;
    const auto it = octets ? m_federates.find(*octets) : m_federates.end();
    if (it == m_federates.end()) return true;
    Subscribed& subscribed = it->second;
    if (!objects) {
        const hla::Bytes* list = value(m_classes->interactionList);
        const auto classes = list ? mom::decodeInteractionSubscriptions(*list) : std::nullopt;
        if (!classes) return true;
        for (const auto& [c, active] : *classes) subscribed.interactionClasses.insert(c);
        subscribed.interactionsReported = true;
        return true;
    }
    const hla::Bytes* count = value(m_classes->count);
    if (const auto n = count ? mom::decodeInteger(*count) : std::nullopt; n && *n >= 0) {
        subscribed.objectReports = *n;
    }
    const hla::Bytes* objectClass = value(m_classes->objectClass);
    const hla::Bytes* attributes = value(m_classes->attributes);
    const auto classOctets = objectClass ? mom::decodeHandle(*objectClass) : std::nullopt;
    const auto list = attributes ? mom::decodeHandleList(*attributes) : std::nullopt;
    if (classOctets && list) {
        subscribed.objectClasses[*classOctets].insert(list->begin(), list->end());
    }
    return true;
}

}  // namespace provider
