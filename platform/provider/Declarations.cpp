#include "platform/provider/Declarations.h"

#include <exception>

namespace provider {

void Declarations::publish(hla::InteractionClassHandle cls) {
    if (m_publishedInteractions.count(cls) == 0) m_link.publishInteractionClass(cls);
    ++m_publishedInteractions[cls];
}

void Declarations::unpublish(hla::InteractionClassHandle cls) {
    auto it = m_publishedInteractions.find(cls);
    if (it == m_publishedInteractions.end()) return;
    if (it->second == 1) m_link.unpublishInteractionClass(cls);
    if (--it->second == 0) m_publishedInteractions.erase(it);
}

void Declarations::subscribe(hla::InteractionClassHandle cls) {
    if (m_subscribedInteractions.count(cls) == 0) m_link.subscribeInteractionClass(cls);
    ++m_subscribedInteractions[cls];
}

void Declarations::unsubscribe(hla::InteractionClassHandle cls) {
    auto it = m_subscribedInteractions.find(cls);
    if (it == m_subscribedInteractions.end()) return;
    if (it->second == 1) m_link.unsubscribeInteractionClass(cls);
    if (--it->second == 0) m_subscribedInteractions.erase(it);
}

void Declarations::setAttributes(std::map<hla::ObjectClassHandle, Counts>& table,
                                 hla::ObjectClassHandle cls, hla::AttributeHandle attribute,
                                 int change, bool published) {
    Counts counts = table[cls];
    counts[attribute] += change;
    if (counts[attribute] <= 0) counts.erase(attribute);
    hla::AttributeSet attributes;
    for (const auto& entry : counts) attributes.insert(entry.first);
    const bool setChanged = attributes.size() != table[cls].size();
    try {
        if (setChanged && published) {
            if (attributes.empty()) {
                m_link.unpublishObjectClass(cls);
            } else {
                m_link.publishObjectClass(cls, attributes);
            }
        } else if (setChanged) {
            if (attributes.empty()) {
                m_link.unsubscribeObjectClass(cls);
            } else {
                m_link.subscribeObjectClassAttributes(cls, attributes);
            }
        }
    } catch (...) {
        if (table[cls].empty()) table.erase(cls);
        throw;
    }
    if (counts.empty()) {
        table.erase(cls);
    } else {
        table[cls] = std::move(counts);
    }
}

void Declarations::publish(hla::ObjectClassHandle cls, hla::AttributeHandle attribute) {
    setAttributes(m_publishedAttributes, cls, attribute, +1, true);
}

void Declarations::unpublish(hla::ObjectClassHandle cls, hla::AttributeHandle attribute) {
    setAttributes(m_publishedAttributes, cls, attribute, -1, true);
}

void Declarations::subscribe(hla::ObjectClassHandle cls, hla::AttributeHandle attribute) {
    setAttributes(m_subscribedAttributes, cls, attribute, +1, false);
}

void Declarations::unsubscribe(hla::ObjectClassHandle cls, hla::AttributeHandle attribute) {
    setAttributes(m_subscribedAttributes, cls, attribute, -1, false);
}

void Declarations::withdrawAll() {
    std::exception_ptr first;
    const auto attempt = [&](auto&& call) {
        try {
            call();
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    };
    for (const auto& entry : m_publishedInteractions) {
        attempt([&] { m_link.unpublishInteractionClass(entry.first); });
    }
    for (const auto& entry : m_subscribedInteractions) {
        attempt([&] { m_link.unsubscribeInteractionClass(entry.first); });
    }
    for (const auto& entry : m_publishedAttributes) {
        attempt([&] { m_link.unpublishObjectClass(entry.first); });
    }
    for (const auto& entry : m_subscribedAttributes) {
        attempt([&] { m_link.unsubscribeObjectClass(entry.first); });
    }
    m_publishedInteractions.clear();
    m_subscribedInteractions.clear();
    m_publishedAttributes.clear();
    m_subscribedAttributes.clear();
    if (first) std::rethrow_exception(first);
}

}  // namespace provider
