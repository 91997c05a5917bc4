#pragma once

#include "platform/rti/Membership.h"
#include "platform/rti/SyncPointRegistry.h"

#include <string>

namespace rti {

// Synchronisation points of a federation execution: registration, announcement and the
// federation's synchronisation once every announced member has achieved a point.
class SyncPointService {
public:
    explicit SyncPointService(Membership& members) : m_members(members) {}

    void registerSynchronizationPoint(FederateHandle federate, const std::string& label,
                                      const std::string& tag);
    void synchronizationPointAchieved(FederateHandle federate, const std::string& label);

    // Announces every open point to a federate that has just joined.
    void joined(Member& member);
    // The federate has left: the points that waited only for it are synchronised.
    void left(FederateHandle federate);

    const SyncPointRegistry& points() const { return m_points; }

private:
    void synchronized(const SyncPointRegistry::Completed& point);

    Membership& m_members;
    SyncPointRegistry m_points;
};

}  // namespace rti
