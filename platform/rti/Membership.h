#pragma once

#include "platform/rti/CallbackQueue.h"
#include "platform/rti/Declarations.h"
#include "platform/rti/TimeCoordinator.h"
#include "platform/rti/Vocabulary.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace rti {

// What a federate has sent and been told, as the management objects report it.
struct MemberCounts {
    std::int64_t updatesSent = 0;
    std::int64_t reflectionsReceived = 0;
    std::int64_t interactionsSent = 0;
    std::int64_t interactionsReceived = 0;
    std::int64_t registered = 0;
    std::int64_t discovered = 0;
    std::int64_t deleted = 0;
    std::int64_t removed = 0;
    // Instances, still registered, it has updated and been told values of.
    std::set<ObjectInstanceHandle> updated;
    std::set<ObjectInstanceHandle> reflected;
};

// A federate joined to a federation execution, as the other services of the federation see it.
struct Member {
    Member(FederateHandle h, std::string n, std::string t,
           std::shared_ptr<const FederationDescription> d)
        : handle(h),
          name(std::move(n)),
          type(std::move(t)),
          description(std::move(d)),
          declarations(*description) {}
    FederateHandle handle;
    std::string name;  // as it joined; its type when it gave none
    std::string type;
    std::shared_ptr<const FederationDescription> description;  // as it stood when it joined
    CallbackQueue callbacks;
    Declarations declarations;
    std::set<ObjectInstanceHandle> view;  // instances as the federate has been told
    MemberCounts counts;
};

// The federates joined to one federation execution and the queues their callbacks wait in.
// It is where time management hands out what it decides.
class Membership : public TimeSink {
public:
    // Told when a federate's queue stops being empty.
    using Notifier = std::function<void(FederateHandle)>;
    using Members = std::map<FederateHandle, std::unique_ptr<Member>>;

    Membership(const std::string& federationName, const Notifier& notifier)
        : m_federationName(federationName), m_notifier(notifier) {}

    Member& add(FederateHandle federate, const std::string& name, const std::string& type,
                std::shared_ptr<const FederationDescription> description);
    void remove(FederateHandle federate) { m_members.erase(federate); }

    // Throws Error (FederateNotExecutionMember) unless the federate is joined.
    Member& requireMember(FederateHandle federate);

    bool empty() const { return m_members.empty(); }
    std::size_t size() const { return m_members.size(); }
    Members& all() { return m_members; }

    void post(Member& to, Callback callback);
    // Tells the layer above that the federate has something to be handed besides its queue.
    void wake(FederateHandle federate) {
        if (m_notifier) m_notifier(federate);
    }

    void deliver(FederateHandle federate, Callback callback) override;
    void releaseHeld(FederateHandle federate) override;

private:
    const std::string& m_federationName;
    const Notifier& m_notifier;
    Members m_members;
};

}  // namespace rti
