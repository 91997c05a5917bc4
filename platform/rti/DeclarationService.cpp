#include "platform/rti/DeclarationService.h"

#include "platform/rti/Vocabulary.h"

namespace rti {

void DeclarationService::publishObjectClass(FederateHandle federate, ObjectClassHandle cls,
                                            const AttributeSet& attributes) {
    Member& member = m_members.requireMember(federate);
    requireClassAttributes(cls, attributes);
    // Attributes no longer published are given up, as are requests to acquire them.
    AttributeSet dropped;
    if (const AttributeSet* before = member.declarations.publishedAttributes(cls)) {
        for (AttributeHandle attribute : *before) {
            if (attributes.count(attribute) == 0) dropped.insert(attribute);
        }
    }
    member.declarations.publishObjectClass(cls, attributes);
    if (!dropped.empty()) m_ownership.withdraw(federate, cls, dropped);
}

void DeclarationService::subscribeObjectClassAttributes(FederateHandle federate,
                                                        ObjectClassHandle cls,
                                                        const AttributeSet& attributes) {
    Member& member = m_members.requireMember(federate);
    requireClassAttributes(cls, attributes);
    member.declarations.subscribeObjectClass(cls, attributes);
    m_routing.discoverAll(member);
}

void DeclarationService::publishInteractionClass(FederateHandle federate,
                                                 InteractionClassHandle cls, bool on) {
    Member& member = m_members.requireMember(federate);
    requireInteractionClass(cls);
    member.declarations.publishInteractionClass(cls, on);
}

void DeclarationService::subscribeInteractionClass(FederateHandle federate,
                                                   InteractionClassHandle cls, bool on) {
    Member& member = m_members.requireMember(federate);
    requireInteractionClass(cls);
    member.declarations.subscribeInteractionClass(cls, on);
}

void DeclarationService::requireInteractionClass(InteractionClassHandle cls) const {
    m_description.interactionClass(cls);  // throws for a class the description lacks
}

void DeclarationService::requireClassAttributes(ObjectClassHandle cls,
                                                const AttributeSet& attributes) const {
    m_description.requireAvailable(cls, attributes);
}

}  // namespace rti
