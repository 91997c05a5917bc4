#pragma once

#include "platform/rti/Membership.h"
#include "platform/rti/ObjectRegistry.h"
#include "platform/rti/OwnershipService.h"
#include "platform/rti/TimeCoordinator.h"
#include "platform/rti/Vocabulary.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace rti {

// Object management of a federation execution: instances are registered, discovered by
// their subscribers, updated and deleted, and interactions sent; each message goes to its
// receivers in receive or timestamp order.
class ObjectRouting {
public:
    ObjectRouting(const FederationDescription& description, Membership& members,
                  ObjectRegistry& objects, TimeCoordinator& time, OwnershipService& ownership)
        : m_description(description),
          m_members(members),
          m_objects(objects),
          m_time(time),
          m_ownership(ownership) {}

    ObjectInstanceHandle registerObjectInstance(FederateHandle federate, ObjectClassHandle cls,
                                                const std::string& name);
    void updateAttributeValues(FederateHandle federate, ObjectInstanceHandle handle,
                               const AttributeValues& values, const std::string& tag,
                               std::optional<LogicalTime> time);
    void sendInteraction(FederateHandle federate, InteractionClassHandle cls,
                         const ParameterValues& values, const std::string& tag,
                         std::optional<LogicalTime> time);
    void deleteObjectInstance(FederateHandle federate, ObjectInstanceHandle handle,
                              const std::string& tag, std::optional<LogicalTime> time);
    // Asks the owners of the attributes, other than the federate, to provide their values;
    // gives back those the run-time owns itself. Throws Error (ObjectNotKnown) for an instance
    // the federate does not know, AttributeNotDefined for an attribute not of its class.
    AttributeSet requestAttributeValueUpdate(FederateHandle federate, ObjectInstanceHandle handle,
                                             const AttributeSet& attributes,
                                             const std::string& tag);
    // The same for every instance of the class or a class below it.
    std::vector<std::pair<ObjectInstanceHandle, AttributeSet>> requestAttributeValueUpdate(
        FederateHandle federate, ObjectClassHandle cls, const AttributeSet& attributes,
        const std::string& tag);
    ObjectInstanceHandle objectInstanceHandle(FederateHandle federate, const std::string& name);
    std::string objectInstanceName(FederateHandle federate, ObjectInstanceHandle handle);
    ObjectClassHandle objectClassOf(FederateHandle federate, ObjectInstanceHandle handle);

    // The member is told of every instance its subscriptions now reach.
    void discoverAll(Member& member);
    // Every member whose subscriptions reach it is told of an instance the run-time registered.
    void discoverEverywhere(ObjectInstance& object);
    // Removes an instance the run-time registered, wherever it is known.
    void removeRegistered(ObjectInstanceHandle handle);
    // An interaction the run-time sends itself, in receive order, to every subscriber.
    void sendFromRunTime(InteractionClassHandle cls, const ParameterValues& values);
    // Deletes every instance the federate may delete, as it leaves.
    void deleteDeletable(FederateHandle federate);
    // How many instances the federate holds the privilege to delete.
    std::size_t deletableBy(FederateHandle federate) const;
    // The federate has left: no instance counts it as knowing it.
    void forget(FederateHandle federate);

private:
    void sendMessage(Member& to, Callback message, std::optional<LogicalTime> timestamp);
    AttributeSet askOwners(FederateHandle federate, const ObjectInstance& object,
                           const AttributeSet& attributes, const std::string& tag);
    std::optional<LogicalTime> timestampFor(FederateHandle sender, std::optional<LogicalTime> time,
                                            Order order);
    void discover(Member& member, ObjectInstance& object);
    void removeObject(ObjectInstance& object, FederateHandle by, const std::string& tag,
                      std::optional<LogicalTime> timestamp);
    bool holdsDeletePrivilege(const ObjectInstance& object, FederateHandle federate) const;
    Order deleteOrder(const ObjectInstance& object) const;

    const FederationDescription& m_description;
    Membership& m_members;
    ObjectRegistry& m_objects;
    TimeCoordinator& m_time;
    OwnershipService& m_ownership;
};

}  // namespace rti
