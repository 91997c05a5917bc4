#include "platform/rti/Declarations.h"

namespace rti {

namespace {

void assign(std::map<ObjectClassHandle, AttributeSet>& table, ObjectClassHandle cls,
            AttributeSet attributes) {
    if (attributes.empty()) {
        table.erase(cls);
    } else {
        table[cls] = std::move(attributes);
    }
}

const AttributeSet* lookup(const std::map<ObjectClassHandle, AttributeSet>& table,
                           ObjectClassHandle cls) {
    const auto it = table.find(cls);
    return it == table.end() ? nullptr : &it->second;
}

std::vector<InteractionClassHandle> declared(const std::vector<char>& table) {
    std::vector<InteractionClassHandle> classes;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i] != 0) classes.push_back(static_cast<InteractionClassHandle>(i));
    }
    return classes;
}

}  // namespace

Declarations::Declarations(const FederationDescription& description)
    : m_description(description),
      m_publishedInteractions(description.interactionClassCount(), 0),
      m_subscribedInteractions(description.interactionClassCount(), 0) {}

void Declarations::publishObjectClass(ObjectClassHandle cls, AttributeSet attributes) {
    assign(m_publishedObjects, cls, std::move(attributes));
}

void Declarations::subscribeObjectClass(ObjectClassHandle cls, AttributeSet attributes) {
    assign(m_subscribedObjects, cls, std::move(attributes));
}

void Declarations::publishInteractionClass(InteractionClassHandle cls, bool on) {
    m_publishedInteractions.at(toUnderlying(cls)) = on;
}

void Declarations::subscribeInteractionClass(InteractionClassHandle cls, bool on) {
    m_subscribedInteractions.at(toUnderlying(cls)) = on;
}

const AttributeSet* Declarations::publishedAttributes(ObjectClassHandle cls) const {
    return lookup(m_publishedObjects, cls);
}

const AttributeSet* Declarations::subscribedAttributes(ObjectClassHandle cls) const {
    return lookup(m_subscribedObjects, cls);
}

bool Declarations::isPublished(InteractionClassHandle cls) const {
    return m_publishedInteractions.at(toUnderlying(cls)) != 0;
}

bool Declarations::isSubscribed(InteractionClassHandle cls) const {
    return m_subscribedInteractions.at(toUnderlying(cls)) != 0;
}

bool Declarations::isPublished(ObjectClassHandle cls, AttributeHandle attribute) const {
    const AttributeSet* published = publishedAttributes(cls);
    return published != nullptr && published->count(attribute) != 0;
}

std::optional<ObjectClassHandle> Declarations::subscribedClassFor(ObjectClassHandle cls) const {
    if (m_subscribedObjects.empty()) return std::nullopt;
    for (std::optional<ObjectClassHandle> c = cls; c; c = m_description.objectClass(*c).parent) {
        if (m_subscribedObjects.count(*c) != 0) return c;
    }
    return std::nullopt;
}

std::optional<InteractionClassHandle> Declarations::subscribedClassFor(
    InteractionClassHandle cls) const {
    for (std::optional<InteractionClassHandle> c = cls; c;
         c = m_description.interactionClass(*c).parent) {
        if (m_subscribedInteractions[toUnderlying(*c)] != 0) return c;
    }
    return std::nullopt;
}

std::vector<InteractionClassHandle> Declarations::publishedInteractionClasses() const {
    return declared(m_publishedInteractions);
}

std::vector<InteractionClassHandle> Declarations::subscribedInteractionClasses() const {
    return declared(m_subscribedInteractions);
}

void Declarations::clear() {
    m_publishedObjects.clear();
    m_subscribedObjects.clear();
    std::fill(m_publishedInteractions.begin(), m_publishedInteractions.end(), 0);
    std::fill(m_subscribedInteractions.begin(), m_subscribedInteractions.end(), 0);
}

}  // namespace rti
