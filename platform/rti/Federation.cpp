#include "platform/rti/Federation.h"

#include "platform/hla/FomModules.h"

namespace rti {

Federation::Federation(std::string name, std::shared_ptr<const FederationDescription> description,
                       const Notifier& notifier)
    : m_name(std::move(name)),
      m_description(*description),
      m_current(std::move(description)),
      m_members(m_name, notifier) {}

Federation::~Federation() = default;

void Federation::join(FederateHandle federate, const std::string& name, const std::string& type,
                      LogicalTime initialTime, const FederationDescription* modules) {
    if (modules) {
        FederationDescription merged = m_description;
        hla::mergeModule(merged, *modules);
        hla::checkDataTypeReferences(merged);
        m_description = std::move(merged);
        m_current = std::make_shared<const FederationDescription>(m_description);
    }
    m_time.addFederate(federate, initialTime);
    Member& member = m_members.add(federate, name, type, m_current);
    m_syncPoints.joined(member);
    m_management.joined(member);
}

void Federation::resign(FederateHandle federate, ResignAction action) {
    m_members.requireMember(federate);
    if (action == ResignAction::NoAction) m_ownership.requireNothingOwned(federate);
    m_management.leaving(federate);
    if (action == ResignAction::DeleteObjectsAndReleaseAttributes) {
        m_routing.deleteDeletable(federate);
    }
    m_ownership.releaseAll(federate);
    m_routing.forget(federate);
    m_members.remove(federate);
    m_time.removeFederate(federate);
    m_syncPoints.left(federate);
}

std::optional<Callback> Federation::nextCallback(FederateHandle federate) {
    Member& member = m_members.requireMember(federate);
    while (auto callback = member.callbacks.pop()) {
        if (const auto* discover = std::get_if<cb::DiscoverObjectInstance>(&*callback)) {
            member.view.insert(discover->object);
        } else if (const auto* remove = std::get_if<cb::RemoveObjectInstance>(&*callback)) {
            if (member.view.erase(remove->object) == 0) continue;
        } else if (const auto* reflect = std::get_if<cb::ReflectAttributeValues>(&*callback)) {
            if (member.view.count(reflect->object) == 0) continue;
        } else if (const auto* grant = std::get_if<cb::TimeAdvanceGrant>(&*callback)) {
            m_time.grantDelivered(federate, grant->time);
            m_management.changed();
        }
        return callback;
    }
    return m_management.nextReflection(member);
}

std::size_t Federation::pendingCallbacks(FederateHandle federate) {
    const Member& member = m_members.requireMember(federate);
    return member.callbacks.size() + (m_management.hasNews(member) ? 1 : 0);
}

}  // namespace rti
