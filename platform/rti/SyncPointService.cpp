#include "platform/rti/SyncPointService.h"

#include <vector>

namespace rti {

void SyncPointService::registerSynchronizationPoint(FederateHandle federate,
                                                    const std::string& label,
                                                    const std::string& tag) {
    Member& registrant = m_members.requireMember(federate);
    std::vector<FederateHandle> announced;
    for (const auto& entry : m_members.all()) announced.push_back(entry.first);
    if (auto reason = m_points.add(label, tag, announced)) {
        m_members.post(registrant, cb::SynchronizationPointRegistrationFailed{label, *reason});
        return;
    }
    m_members.post(registrant, cb::SynchronizationPointRegistrationSucceeded{label});
    for (auto& [handle, member] : m_members.all()) {
        m_members.post(*member, cb::AnnounceSynchronizationPoint{label, tag});
    }
}

void SyncPointService::synchronizationPointAchieved(FederateHandle federate,
                                                    const std::string& label) {
    m_members.requireMember(federate);
    if (auto done = m_points.achieve(federate, label)) synchronized(*done);
}

void SyncPointService::joined(Member& member) {
    for (auto& [label, tag] : m_points.join(member.handle)) {
        m_members.post(member, cb::AnnounceSynchronizationPoint{label, tag});
    }
}

void SyncPointService::left(FederateHandle federate) {
    for (const auto& done : m_points.leave(federate)) synchronized(done);
}

void SyncPointService::synchronized(const SyncPointRegistry::Completed& point) {
    for (FederateHandle member : point.members) {
        m_members.post(m_members.requireMember(member), cb::FederationSynchronized{point.label});
    }
}

}  // namespace rti
