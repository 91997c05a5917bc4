#pragma once

#include "platform/rti/DeclarationService.h"
#include "platform/rti/ManagementObjects.h"
#include "platform/rti/ManagementReports.h"
#include "platform/rti/Membership.h"
#include "platform/rti/ObjectRegistry.h"
#include "platform/rti/ObjectRouting.h"
#include "platform/rti/OwnershipService.h"
#include "platform/rti/SyncPointService.h"
#include "platform/rti/TimeCoordinator.h"
#include "platform/rti/Vocabulary.h"

#include <memory>
#include <optional>
#include <string>
#include <type_traits>

namespace rti {

// One federation execution: its members and the services they use, one object each. Joining
// and resigning involve them all and are done here. Services throw Error; callbacks go to
// the receivers' queues.
class Federation {
public:
    using Notifier = Membership::Notifier;

    Federation(std::string name, std::shared_ptr<const FederationDescription> description,
               const Notifier& notifier);
    ~Federation();
    Federation(const Federation&) = delete;
    Federation& operator=(const Federation&) = delete;

    const std::string& name() const { return m_name; }
    // The description as it stands now: the creator's, with the modules of every federate
    // that joined since merged in.
    const std::shared_ptr<const FederationDescription>& description() const { return m_current; }
    bool hasMembers() const { return !m_members.empty(); }
    std::size_t memberCount() const { return m_members.size(); }

    // modules: the joining federate's own description, merged into the standing one first;
    // a conflict throws Error (InconsistentFdd) and leaves the federation as it was.
    void join(FederateHandle federate, const std::string& name, const std::string& type,
              LogicalTime initialTime, const FederationDescription* modules = nullptr);
    void resign(FederateHandle federate, ResignAction action);

    // A federate's time state or declarations changed: the management objects follow.
    void managementChanged() { m_management.changed(); }
    void managementInteraction(InteractionClassHandle cls, const ParameterValues& values) {
        m_reports.interactionSent(cls, values);
    }
    // Request attribute value update: the owners are asked, the run-time's own objects
    // reflected afresh.
    void requestInstanceUpdate(FederateHandle federate, ObjectInstanceHandle object,
                               const AttributeSet& attributes, const std::string& tag) {
        const AttributeSet own =
            m_routing.requestAttributeValueUpdate(federate, object, attributes, tag);
        m_management.updateRequested(federate, object, own);
    }
    void requestClassUpdate(FederateHandle federate, ObjectClassHandle cls,
                            const AttributeSet& attributes, const std::string& tag) {
        for (const auto& [object, own] :
             m_routing.requestAttributeValueUpdate(federate, cls, attributes, tag)) {
            m_management.updateRequested(federate, object, own);
        }
    }
    // The management objects' periodic updates.
    void tick(std::chrono::steady_clock::time_point now) { m_management.tick(now); }
    std::optional<std::chrono::steady_clock::time_point> nextTick() const {
        return m_management.nextTick();
    }
    void federateLost(FederateHandle federate, const std::string& fault) {
        m_reports.federateLost(federate, fault);
    }

    // The federate's next callback. A reflection of an instance the federate has been told
    // is removed (a timestamp-order update overtaken by the removal) is dropped here.
    std::optional<Callback> nextCallback(FederateHandle federate);
    std::size_t pendingCallbacks(FederateHandle federate);

    // The object that provides Service: the federation itself or one of its services.
    template <typename Service>
    Service& service();

private:
    std::string m_name;
    // What the services use, grown in place as federates join, so their references hold; merging
    // only appends, so no handle ever changes.
    FederationDescription m_description;
    std::shared_ptr<const FederationDescription> m_current;  // a copy of it, for federates
    Membership m_members;
    TimeCoordinator m_time{m_members};
    ObjectRegistry m_objects;
    SyncPointService m_syncPoints{m_members};
    OwnershipService m_ownership{m_description, m_members, m_objects};
    ObjectRouting m_routing{m_description, m_members, m_objects, m_time, m_ownership};
    DeclarationService m_declarations{m_description, m_members, m_ownership, m_routing};
    ManagementObjects m_management{m_name, m_description, m_members, m_objects, m_routing, m_time};
    ManagementReports m_reports{m_description, m_members,    m_routing,
                                m_time,        m_syncPoints, m_management};
};

template <typename Service>
Service& Federation::service() {
    if constexpr (std::is_same_v<Service, Federation>) {
        return *this;
    } else if constexpr (std::is_same_v<Service, SyncPointService>) {
        return m_syncPoints;
    } else if constexpr (std::is_same_v<Service, DeclarationService>) {
        return m_declarations;
    } else if constexpr (std::is_same_v<Service, ObjectRouting>) {
        return m_routing;
    } else if constexpr (std::is_same_v<Service, OwnershipService>) {
        return m_ownership;
    } else {
        static_assert(std::is_same_v<Service, TimeCoordinator>, "not a service of a federation");
        return m_time;
    }
}

}  // namespace rti
