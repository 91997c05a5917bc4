#include "platform/provider/Federate.h"

#include "cao/Error.h"

#include <algorithm>
#include <cmath>

namespace provider {

Federate::Federate(std::unique_ptr<links::RunTimeLink> link, engine::ControllerContext& context,
                   std::string federationName, AdvancePolicy advancePolicy,
                   std::string federateName)
    : m_link(std::move(link)),
      m_context(context),
      m_federationName(std::move(federationName)),
      m_federateName(std::move(federateName)),
      m_declarations(*m_link),
      m_view(*m_link, m_federateName),
      m_subscriptions(*m_link),
      m_advancePolicy(advancePolicy) {
    m_lastGranted = logicalTime();
}

void Federate::raise(int32_t number, cao::Variant value, const QString& source,
                     std::optional<double> timestamp, std::function<void()> acknowledge) {
    if (!m_open) return;
    engine::MessageData message;
    message.number = number;
    message.value = std::move(value);
    message.time = cao::Variant::fromR8(timestamp ? *timestamp : messageTime());
    message.source = source;
    message.acknowledge = std::move(acknowledge);
    m_context.raise(std::move(message));
}

double Federate::messageTime() {
    try {
        return logicalTime();
    } catch (const std::exception&) {
        // A run-time out of reach has its own message; this one keeps the time last known.
        return m_lastGranted;
    }
}

std::optional<hla::LogicalTime> Federate::sendTime(hla::Order order) {
    if (order != hla::Order::Timestamp || !m_link->isTimeRegulating()) return std::nullopt;
    return m_link->queryFederateTime() + m_link->queryLookahead();
}

void Federate::advanceGranted(double time) {
    m_pendingAdvance.reset();
    m_lastGranted = time;
}

void Federate::pointSynchronized(const std::string& label) {
    std::erase(m_announcedPoints, label);
}

std::string Federate::latestAnnouncedPoint() const {
    return m_announcedPoints.empty() ? std::string() : m_announcedPoints.back();
}

RegisteredObject* Federate::registeredObject(const std::string& name) {
    const auto found = m_registered.find(name);
    return found == m_registered.end() ? nullptr : &found->second;
}

RegisteredObject& Federate::addRegisteredObject(const std::string& name, RegisteredObject object) {
    m_knownObjects[object.handle] = name;
    return m_registered.emplace(name, object).first->second;
}

void Federate::forgetRegisteredObject(const std::string& name) {
    const auto found = m_registered.find(name);
    if (found == m_registered.end()) return;
    m_knownObjects.erase(found->second.handle);
    m_registered.erase(found);
}

std::vector<std::string> Federate::registeredObjectNames() const {
    std::vector<std::string> names;
    for (const auto& entry : m_registered) names.push_back(entry.first);
    return names;
}

void Federate::objectInView(hla::ObjectInstanceHandle object, const std::string& name) {
    m_knownObjects[object] = name;
}

std::optional<std::string> Federate::objectName(hla::ObjectInstanceHandle object) const {
    const auto found = m_knownObjects.find(object);
    if (found == m_knownObjects.end()) return std::nullopt;
    return found->second;
}

void Federate::detach(InteractionVariable* variable) {
    std::erase(m_interactionVariables, variable);
}

void Federate::detach(AttributeVariable* variable) {
    std::erase(m_attributeVariables, variable);
}

FederateRow Federate::ownState() {
    FederateRow row;
    row.name = m_federateName;
    row.regulating = m_link->isTimeRegulating();
    row.constrained = m_constrained;
    row.advancing = m_pendingAdvance.has_value();
    row.time = m_link->queryFederateTime();
    row.lookahead = m_link->queryLookahead();
    const double galt = m_link->queryLBTS();
    if (std::isfinite(galt)) row.galt = galt;
    row.reported = true;
    return row;
}

}  // namespace provider
