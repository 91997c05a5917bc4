#pragma once

#include "platform/rti/Vocabulary.h"

#include <map>
#include <optional>
#include <vector>

namespace rti {

// What one federate publishes and subscribes. Publishing or subscribing a class again
// replaces the attribute set given before; an empty set withdraws it.
class Declarations {
public:
    explicit Declarations(const FederationDescription& description);

    void publishObjectClass(ObjectClassHandle cls, AttributeSet attributes);
    void subscribeObjectClass(ObjectClassHandle cls, AttributeSet attributes);
    void publishInteractionClass(InteractionClassHandle cls, bool on);
    void subscribeInteractionClass(InteractionClassHandle cls, bool on);

    // Null when the class is not published or subscribed.
    const AttributeSet* publishedAttributes(ObjectClassHandle cls) const;
    const AttributeSet* subscribedAttributes(ObjectClassHandle cls) const;
    bool isPublished(InteractionClassHandle cls) const;
    bool isSubscribed(InteractionClassHandle cls) const;
    bool isPublished(ObjectClassHandle cls, AttributeHandle attribute) const;

    // The class itself or its nearest subscribed superclass: what a subscriber receives an
    // instance of cls as.
    std::optional<ObjectClassHandle> subscribedClassFor(ObjectClassHandle cls) const;
    std::optional<InteractionClassHandle> subscribedClassFor(InteractionClassHandle cls) const;

    // Everything declared, in handle order: what the management model reports.
    const std::map<ObjectClassHandle, AttributeSet>& publishedObjectClasses() const {
        return m_publishedObjects;
    }
    const std::map<ObjectClassHandle, AttributeSet>& subscribedObjectClasses() const {
        return m_subscribedObjects;
    }
    std::vector<InteractionClassHandle> publishedInteractionClasses() const;
    std::vector<InteractionClassHandle> subscribedInteractionClasses() const;

    void clear();

private:
    const FederationDescription& m_description;
    std::map<ObjectClassHandle, AttributeSet> m_publishedObjects;
    std::map<ObjectClassHandle, AttributeSet> m_subscribedObjects;
    std::vector<char> m_publishedInteractions;
    std::vector<char> m_subscribedInteractions;
};

}  // namespace rti
