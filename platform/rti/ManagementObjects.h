#pragma once

#include "platform/rti/Membership.h"
#include "platform/rti/ObjectRegistry.h"
#include "platform/rti/ObjectRouting.h"
#include "platform/rti/TimeCoordinator.h"
#include "platform/rti/Vocabulary.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace rti {

// The federation's Management Object Model: one HLAmanager.HLAfederation object and one
// HLAmanager.HLAfederate object per joined federate, registered by the run-time and discovered
// like any other object. A description without the MIM's classes has none.
//
// Values are worked out when a subscriber's other callbacks have all been handed over, and
// only what changed since it was last told goes to it: a burst of grants costs a watcher one
// reflection, and a federation nobody watches costs nothing beyond a counter.
class ManagementObjects {
public:
    ManagementObjects(const std::string& federationName, const FederationDescription& description,
                      Membership& members, ObjectRegistry& objects, ObjectRouting& routing,
                      TimeCoordinator& time);

    void joined(Member& member);
    void leaving(FederateHandle federate);
    // Some federate's time state changed: watchers are told at their next callbacks.
    void changed();

    // The federate asked for these attributes of a management object: it is told them again.
    void updateRequested(FederateHandle federate, ObjectInstanceHandle object,
                         const AttributeSet& attributes);

    // Every period, each watcher is told all the federate's values afresh; 0 stops it.
    void setReportPeriod(FederateHandle federate, std::chrono::seconds period);
    // Updates the objects whose period has come; when the next one comes, if any does.
    void tick(std::chrono::steady_clock::time_point now);
    std::optional<std::chrono::steady_clock::time_point> nextTick() const;

    // The next reflection of what the member has not been told, if any.
    std::optional<Callback> nextReflection(Member& member);
    bool hasNews(const Member& member) const;

private:
    struct FederateRecord {
        ObjectInstanceHandle object;
        std::int32_t timeState = 0;
        std::chrono::steady_clock::time_point since;
        AttributeValues fixed;  // what stays as it was at the join, encoded once
        std::chrono::seconds period{0};
        std::chrono::steady_clock::time_point nextReport;
    };
    struct Watcher {
        std::map<ObjectInstanceHandle, AttributeValues> told;
        std::uint64_t seen = 0;
        bool woken = false;
    };

    void registerFederation();
    void wake(FederateHandle federate, Watcher& watcher);
    AttributeValues fixedValues(const Member& member) const;
    AttributeValues federateValues(const Member& member, FederateRecord& record) const;
    AttributeValues federationValues() const;
    const AttributeValues* currentValues(ObjectInstanceHandle object);
    void put(AttributeValues& into, ObjectClassHandle cls, const char* attribute,
             Bytes value) const;

    const std::string& m_federationName;
    const FederationDescription& m_description;
    Membership& m_members;
    ObjectRegistry& m_objects;
    ObjectRouting& m_routing;
    TimeCoordinator& m_time;
    std::optional<ObjectClassHandle> m_federationClass;
    std::optional<ObjectClassHandle> m_federateClass;
    std::optional<ObjectInstanceHandle> m_federationObject;
    std::map<FederateHandle, FederateRecord> m_federates;
    std::map<FederateHandle, Watcher> m_watchers;
    std::uint64_t m_generation = 1;
    std::map<ObjectInstanceHandle, AttributeValues> m_cache;
    std::uint64_t m_cacheGeneration = 0;
};

}  // namespace rti
