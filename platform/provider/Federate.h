#pragma once

#include "cao/Variant.h"
#include "platform/engine/Provider.h"
#include "platform/links/RunTimeLink.h"
#include "platform/provider/Declarations.h"
#include "platform/provider/FederationView.h"
#include "platform/provider/OptionString.h"
#include "platform/provider/SubscriptionView.h"
#include "platform/provider/WrittenClass.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace provider {

class InteractionVariable;
class AttributeVariable;

// An object instance this federate registered for variables with option 2.
struct RegisteredObject {
    hla::ObjectInstanceHandle handle;
    hla::ObjectClassHandle objectClass;
    int users = 0;        // variables that registered it
    int orphanUsers = 0;  // of those, with option 16: release it unowned instead of deleting
};

// The joined federate of one controller, shared by the controller, its variables and the
// callbacks: its run-time and the state the provider keeps beside it.
class Federate {
public:
    Federate(std::unique_ptr<links::RunTimeLink> link, engine::ControllerContext& context,
             std::string federationName, AdvancePolicy advancePolicy,
             std::string federateName = {});

    links::RunTimeLink& link() { return *m_link; }
    const std::string& federationName() const { return m_federationName; }
    const hla::FederationDescription& description() const { return m_link->description(); }
    Declarations& declarations() { return m_declarations; }
    const std::string& federateName() const { return m_federateName; }
    // The other federates, as the run-time's management objects report them.
    FederationView& view() { return m_view; }
    // What the other federates subscribe, asked of the run-time when a write goes unheard.
    SubscriptionView& subscriptions() { return m_subscriptions; }
    // This federate's state as it knows it itself.
    FederateRow ownState();
    bool isConstrained() const { return m_constrained; }
    void setConstrained(bool constrained) { m_constrained = constrained; }

    bool isOpen() const { return m_open; }
    void markClosed() { m_open = false; }

    // Queues a message; its Time is timestamp when given, else the logical time.
    void raise(int32_t number, cao::Variant value, const QString& source,
               std::optional<double> timestamp = std::nullopt,
               std::function<void()> acknowledge = {});

    double logicalTime() { return m_link->queryFederateTime(); }
    // The timestamp a message of this order carries: logical time plus lookahead when it is
    // timestamp-ordered and this federate regulates; otherwise none (receive order).
    std::optional<hla::LogicalTime> sendTime(hla::Order order);

    // Time advance: the policy of the option string, the pending request, the last grant.
    AdvancePolicy advancePolicy() const { return m_advancePolicy; }
    const std::optional<double>& pendingAdvance() const { return m_pendingAdvance; }
    double lastGranted() const { return m_lastGranted; }
    void advanceRequested(double time) { m_pendingAdvance = time; }
    void timeReached(double time) { m_lastGranted = time; }
    void advanceGranted(double time);

    // Synchronisation points announced and not yet synchronised.
    void pointAnnounced(const std::string& label) { m_announcedPoints.push_back(label); }
    void pointSynchronized(const std::string& label);
    std::string latestAnnouncedPoint() const;
    const std::vector<std::string>& announcedPoints() const { return m_announcedPoints; }

    // The classes this federate has written, each with its first write.
    void wrote(const WrittenClass& what, const QString& variable) {
        m_writes.try_emplace(what, FirstWrite{std::chrono::steady_clock::now(), variable});
    }
    const std::map<WrittenClass, FirstWrite>& writes() const { return m_writes; }
    // The reports of writes nobody hears, which stand for as long as the federate runs.
    void unheard(const QString& report) { m_unheard.push_back(report); }
    const std::vector<QString>& unheardWrites() const { return m_unheard; }

    // Objects this federate registered, by name, and the names of those in view.
    RegisteredObject* registeredObject(const std::string& name);
    RegisteredObject& addRegisteredObject(const std::string& name, RegisteredObject object);
    void forgetRegisteredObject(const std::string& name);
    std::vector<std::string> registeredObjectNames() const;
    void objectInView(hla::ObjectInstanceHandle object, const std::string& name);
    void objectOutOfView(hla::ObjectInstanceHandle object) { m_knownObjects.erase(object); }
    std::optional<std::string> objectName(hla::ObjectInstanceHandle object) const;

    // The variables that receive; copies, since a message handler may remove one later.
    void attach(InteractionVariable* variable) { m_interactionVariables.push_back(variable); }
    void attach(AttributeVariable* variable) { m_attributeVariables.push_back(variable); }
    void detach(InteractionVariable* variable);
    void detach(AttributeVariable* variable);
    std::vector<InteractionVariable*> interactionVariables() const {
        return m_interactionVariables;
    }
    std::vector<AttributeVariable*> attributeVariables() const { return m_attributeVariables; }

private:
    double messageTime();

    std::unique_ptr<links::RunTimeLink> m_link;
    engine::ControllerContext& m_context;
    std::string m_federationName;
    std::string m_federateName;
    Declarations m_declarations;
    FederationView m_view;
    SubscriptionView m_subscriptions;
    std::map<WrittenClass, FirstWrite> m_writes;
    std::vector<QString> m_unheard;
    bool m_constrained = false;
    bool m_open = true;

    AdvancePolicy m_advancePolicy;
    std::optional<double> m_pendingAdvance;
    double m_lastGranted = 0;
    std::vector<std::string> m_announcedPoints;  // oldest first
    std::map<std::string, RegisteredObject> m_registered;
    std::map<hla::ObjectInstanceHandle, std::string> m_knownObjects;
    std::vector<InteractionVariable*> m_interactionVariables;
    std::vector<AttributeVariable*> m_attributeVariables;
};

}  // namespace provider
