#pragma once

#include "platform/rti/ManagementObjects.h"
#include "platform/rti/Membership.h"
#include "platform/rti/ObjectRouting.h"
#include "platform/rti/SyncPointService.h"
#include "platform/rti/TimeCoordinator.h"
#include "platform/rti/Vocabulary.h"

#include <optional>
#include <string>

namespace rti {

// The Management Object Model's request and report interactions: a federate sends a request,
// and the run-time answers with reports to every subscriber of them, in receive order. A
// description without the MIM's classes has none, and a request it lacks is not served.
class ManagementReports {
public:
    ManagementReports(const FederationDescription& description, Membership& members,
                      ObjectRouting& routing, TimeCoordinator& time,
                      const SyncPointService& syncPoints, ManagementObjects& objects);

    // A federate sent an interaction: one of the requests served is answered.
    void interactionSent(InteractionClassHandle cls, const ParameterValues& values);
    // The federate is lost, not resigning of its own accord: HLAreportFederateLost goes to the
    // subscribers, naming it, its logical time and the fault.
    void federateLost(FederateHandle federate, const std::string& fault);

private:
    void reportSyncPoints();
    void reportSyncPointStatus(const ParameterValues& request);
    // HLArequestPublications and HLArequestSubscriptions of the federate the request names.
    void reportDeclarations(InteractionClassHandle request, const ParameterValues& values,
                            bool subscriptions);
    void reportObjectClasses(const Member& member, const Bytes& federate, bool subscriptions);
    void reportInteractionClasses(const Member& member, const Bytes& federate, bool subscriptions);
    void reportException(InteractionClassHandle request, const Bytes& federate,
                         const std::string& exception);
    // The joined federate the request names by its HLAfederate parameter; none after the
    // request has been answered with a MOM exception saying why.
    const Member* namedFederate(InteractionClassHandle request, const ParameterValues& values);
    void setTiming(InteractionClassHandle request, const ParameterValues& values);

    std::optional<InteractionClassHandle> interaction(const char* name) const;
    // Adds the parameter's value when the class has the parameter.
    void put(ParameterValues& into, InteractionClassHandle cls, const char* parameter,
             Bytes value) const;

    const FederationDescription& m_description;
    Membership& m_members;
    ObjectRouting& m_routing;
    TimeCoordinator& m_time;
    const SyncPointService& m_syncPoints;
    ManagementObjects& m_objects;
};

}  // namespace rti
