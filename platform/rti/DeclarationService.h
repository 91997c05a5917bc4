#pragma once

#include "platform/rti/Membership.h"
#include "platform/rti/ObjectRouting.h"
#include "platform/rti/OwnershipService.h"
#include "platform/rti/Vocabulary.h"

namespace rti {

// Declaration management of a federation execution: what each member publishes and
// subscribes, and what follows from a change of it.
class DeclarationService {
public:
    DeclarationService(const FederationDescription& description, Membership& members,
                       OwnershipService& ownership, ObjectRouting& routing)
        : m_description(description),
          m_members(members),
          m_ownership(ownership),
          m_routing(routing) {}

    void publishObjectClass(FederateHandle federate, ObjectClassHandle cls,
                            const AttributeSet& attributes);
    void subscribeObjectClassAttributes(FederateHandle federate, ObjectClassHandle cls,
                                        const AttributeSet& attributes);
    void publishInteractionClass(FederateHandle federate, InteractionClassHandle cls, bool on);
    void subscribeInteractionClass(FederateHandle federate, InteractionClassHandle cls, bool on);

private:
    // Throws unless every attribute is declared for the class or one of its superclasses.
    void requireClassAttributes(ObjectClassHandle cls, const AttributeSet& attributes) const;
    void requireInteractionClass(InteractionClassHandle cls) const;

    const FederationDescription& m_description;
    Membership& m_members;
    OwnershipService& m_ownership;
    ObjectRouting& m_routing;
};

}  // namespace rti
