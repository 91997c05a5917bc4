#pragma once

#include "cao/Variant.h"
#include "engine/Provider.h"
#include "hla/Declarations.h"
#include "hla/RunTimeHost.h"

#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace hla {

class InteractionVariable;
class AttributeVariable;

// An object instance this federate registered for variables with option 2.
struct RegisteredObject {
    rti::ObjectInstanceHandle handle;
    rti::ObjectClassHandle objectClass;
    int users = 0;        // variables that registered it
    int orphanUsers = 0;  // of those, with option 16: release it unowned instead of deleting
};

// The joined federate of one controller, shared by the controller, its variables and the
// callbacks: what they need of the run-time and the state the provider keeps beside it.
class Federate {
public:
    Federate(std::shared_ptr<RunTimeHost> host, rti::FederateHandle handle,
             engine::ControllerContext& context, std::string federationName, int timeAdvance);

    rti::RunTime& runTime() { return m_host->runTime(); }
    RunTimeHost& host() { return *m_host; }
    rti::FederateHandle handle() const { return m_handle; }
    const std::string& federationName() const { return m_federationName; }
    const rti::FederationDescription& description() const { return *m_description; }
    Declarations& declarations() { return m_declarations; }

    bool isOpen() const { return m_open; }
    void markClosed() { m_open = false; }

    // Queues a message; its Time is timestamp when given, else the logical time.
    void raise(int32_t number, cao::Variant value, const QString& source,
               std::optional<double> timestamp = std::nullopt,
               std::function<void()> acknowledge = {});

    double logicalTime() { return runTime().queryFederateTime(m_handle); }
    // The timestamp a message of this order carries: logical time plus lookahead when it is
    // timestamp-ordered and this federate regulates; otherwise none (receive order).
    std::optional<rti::LogicalTime> sendTime(rti::Order order);

    // Time advance: the policy of the option string, the pending request, the last grant.
    int timeAdvance = 0;
    std::optional<double> pendingAdvance;
    double lastGranted = 0;

    // Synchronisation points announced and not yet synchronised, oldest first.
    std::vector<std::string> announcedPoints;

    std::map<std::string, RegisteredObject> registered;             // by object name
    std::map<rti::ObjectInstanceHandle, std::string> knownObjects;  // names of those in view

    std::vector<InteractionVariable*> interactionVariables;
    std::vector<AttributeVariable*> attributeVariables;

private:
    std::shared_ptr<RunTimeHost> m_host;
    rti::FederateHandle m_handle;
    engine::ControllerContext& m_context;
    std::string m_federationName;
    std::shared_ptr<const rti::FederationDescription> m_description;
    Declarations m_declarations;
    bool m_open = true;
};

// A run-time refusal as the description of a failed step: "<what>: <reason>".
[[noreturn]] void rethrowAsCaoError(const QString& what);

QString timeText(double time);

}  // namespace hla
