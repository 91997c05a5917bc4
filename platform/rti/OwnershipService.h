#pragma once

#include "platform/rti/Membership.h"
#include "platform/rti/ObjectRegistry.h"
#include "platform/rti/Vocabulary.h"

#include <string>

namespace rti {

// Ownership of instance attributes in a federation execution: acquisition, release and
// divestiture, and what the other services need to know about who owns what.
class OwnershipService {
public:
    OwnershipService(const FederationDescription& description, Membership& members,
                     ObjectRegistry& objects)
        : m_description(description), m_members(members), m_objects(objects) {}

    void unconditionalAttributeOwnershipDivestiture(FederateHandle federate,
                                                    ObjectInstanceHandle handle,
                                                    const AttributeSet& attributes);
    void attributeOwnershipAcquisition(FederateHandle federate, ObjectInstanceHandle handle,
                                       const AttributeSet& attributes, const std::string& tag);
    void attributeOwnershipAcquisitionIfAvailable(FederateHandle federate,
                                                  ObjectInstanceHandle handle,
                                                  const AttributeSet& attributes);
    AttributeSet attributeOwnershipReleaseResponse(FederateHandle federate,
                                                   ObjectInstanceHandle handle,
                                                   const AttributeSet& attributes);
    void cancelAttributeOwnershipAcquisition(FederateHandle federate, ObjectInstanceHandle handle,
                                             const AttributeSet& attributes);
    void queryAttributeOwnership(FederateHandle federate, ObjectInstanceHandle handle,
                                 AttributeHandle attribute);
    bool isAttributeOwnedByFederate(FederateHandle federate, ObjectInstanceHandle handle,
                                    AttributeHandle attribute);

    // Throws unless every attribute belongs to the instance and the federate owns it.
    void requireOwned(const ObjectInstance& object, FederateHandle federate,
                      const AttributeSet& attributes) const;
    // Throws FederateOwnsAttributes while the federate owns any attribute.
    void requireNothingOwned(FederateHandle federate);
    // The federate no longer publishes these attributes of the class: it gives up what it owns
    // of them and its requests to acquire them.
    void withdraw(FederateHandle federate, ObjectClassHandle cls, const AttributeSet& attributes);
    // The federate leaves: everything it owns goes to a requester or becomes unowned.
    void releaseAll(FederateHandle federate);

private:
    void requireAttributes(const ObjectInstance& object, const AttributeSet& attributes) const;
    void requireAcquirable(const Member& member, const ObjectInstance& object,
                           const AttributeSet& attributes) const;
    // The owner gives the attributes up: see handOver.
    AttributeSet divest(FederateHandle federate, ObjectInstanceHandle handle,
                        const AttributeSet& attributes, bool onlyRequested);
    // Hands each attribute to its first waiting requester; the rest become unowned unless
    // onlyRequested. Gives the attributes that changed owner.
    AttributeSet handOver(ObjectInstance& object, FederateHandle owner,
                          const AttributeSet& attributes, bool onlyRequested);

    const FederationDescription& m_description;
    Membership& m_members;
    ObjectRegistry& m_objects;
};

}  // namespace rti
