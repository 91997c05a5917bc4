#pragma once

#include "rti/CallbackQueue.h"
#include "rti/Declarations.h"
#include "rti/FederationDescription.h"
#include "rti/ObjectRegistry.h"
#include "rti/SyncPointRegistry.h"
#include "rti/TimeCoordinator.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

namespace rti {

// One federation execution: its members, their declarations, the object instances,
// synchronisation points and time management, and the routing of every message between
// them. Services throw Error; callbacks go to the receivers' queues.
class Federation : private TimeSink {
public:
    using Notifier = std::function<void(FederateHandle)>;

    Federation(std::string name, std::shared_ptr<const FederationDescription> description,
               const Notifier& notifier);
    ~Federation() override;

    const std::string& name() const { return m_name; }
    const std::shared_ptr<const FederationDescription>& description() const {
        return m_description;
    }
    bool hasMembers() const { return !m_federates.empty(); }
    std::size_t memberCount() const { return m_federates.size(); }

    void join(FederateHandle federate, const std::string& type, LogicalTime initialTime);
    void resign(FederateHandle federate, ResignAction action);

    void registerSynchronizationPoint(FederateHandle federate, const std::string& label,
                                      const std::string& tag);
    void synchronizationPointAchieved(FederateHandle federate, const std::string& label);

    void publishObjectClass(FederateHandle federate, ObjectClassHandle cls,
                            const AttributeSet& attributes);
    void subscribeObjectClassAttributes(FederateHandle federate, ObjectClassHandle cls,
                                        const AttributeSet& attributes);
    void publishInteractionClass(FederateHandle federate, InteractionClassHandle cls, bool on);
    void subscribeInteractionClass(FederateHandle federate, InteractionClassHandle cls, bool on);

    ObjectInstanceHandle registerObjectInstance(FederateHandle federate, ObjectClassHandle cls,
                                                const std::string& name);
    void updateAttributeValues(FederateHandle federate, ObjectInstanceHandle object,
                               const AttributeValues& values, const std::string& tag,
                               std::optional<LogicalTime> time);
    void sendInteraction(FederateHandle federate, InteractionClassHandle cls,
                         const ParameterValues& values, const std::string& tag,
                         std::optional<LogicalTime> time);
    void deleteObjectInstance(FederateHandle federate, ObjectInstanceHandle object,
                              const std::string& tag, std::optional<LogicalTime> time);
    ObjectInstanceHandle objectInstanceHandle(FederateHandle federate, const std::string& name);
    std::string objectInstanceName(FederateHandle federate, ObjectInstanceHandle object);
    ObjectClassHandle objectClassOf(FederateHandle federate, ObjectInstanceHandle object);

    void unconditionalAttributeOwnershipDivestiture(FederateHandle federate,
                                                    ObjectInstanceHandle object,
                                                    const AttributeSet& attributes);
    void attributeOwnershipAcquisition(FederateHandle federate, ObjectInstanceHandle object,
                                       const AttributeSet& attributes, const std::string& tag);
    void attributeOwnershipAcquisitionIfAvailable(FederateHandle federate,
                                                  ObjectInstanceHandle object,
                                                  const AttributeSet& attributes);
    AttributeSet attributeOwnershipReleaseResponse(FederateHandle federate,
                                                   ObjectInstanceHandle object,
                                                   const AttributeSet& attributes);
    void cancelAttributeOwnershipAcquisition(FederateHandle federate, ObjectInstanceHandle object,
                                             const AttributeSet& attributes);
    void queryAttributeOwnership(FederateHandle federate, ObjectInstanceHandle object,
                                 AttributeHandle attribute);
    bool isAttributeOwnedByFederate(FederateHandle federate, ObjectInstanceHandle object,
                                    AttributeHandle attribute);

    TimeCoordinator& time() { return m_time; }

    // The federate's next callback. A reflection of an instance the federate has been told
    // is removed (a timestamp-order update overtaken by the removal) is dropped here.
    std::optional<Callback> nextCallback(FederateHandle federate);
    std::size_t pendingCallbacks(FederateHandle federate);

private:
    struct Federate {
        Federate(FederateHandle h, std::string t, const FederationDescription& d)
            : handle(h), type(std::move(t)), declarations(d) {}
        FederateHandle handle;
        std::string type;
        CallbackQueue callbacks;
        Declarations declarations;
        std::set<ObjectInstanceHandle> view;  // instances as the federate has been told
    };

    void deliver(FederateHandle federate, Callback callback) override;
    void releaseHeld(FederateHandle federate) override;

    Federate& member(FederateHandle federate);
    void post(Federate& to, Callback callback);
    void sendMessage(Federate& to, Callback message, std::optional<LogicalTime> timestamp);
    std::optional<LogicalTime> timestampFor(FederateHandle sender, std::optional<LogicalTime> time,
                                            Order order);
    void discover(Federate& federate, ObjectInstance& object);
    void removeObject(ObjectInstance& object, FederateHandle by, const std::string& tag,
                      std::optional<LogicalTime> timestamp);
    bool holdsDeletePrivilege(const ObjectInstance& object, FederateHandle federate) const;
    Order deleteOrder(const ObjectInstance& object) const;
    void checkAttributes(const ObjectInstance& object, const AttributeSet& attributes) const;
    // Throws unless every attribute is declared for the class or one of its superclasses.
    void checkClassAttributes(ObjectClassHandle cls, const AttributeSet& attributes) const;
    void checkAcquirable(const Federate& federate, const ObjectInstance& object,
                         const AttributeSet& attributes) const;
    void checkOwned(const ObjectInstance& object, FederateHandle federate,
                    const AttributeSet& attributes) const;
    // Hands each attribute to its first waiting requester; the rest become unowned unless
    // onlyRequested. Gives the attributes that changed owner.
    AttributeSet handOver(ObjectInstance& object, FederateHandle owner,
                          const AttributeSet& attributes, bool onlyRequested);
    void releaseAll(FederateHandle federate);

    std::string m_name;
    std::shared_ptr<const FederationDescription> m_description;
    const Notifier& m_notifier;
    TimeCoordinator m_time{*this};
    std::map<FederateHandle, std::unique_ptr<Federate>> m_federates;
    ObjectRegistry m_objects;
    SyncPointRegistry m_syncPoints;
};

}  // namespace rti
