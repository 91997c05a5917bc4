#pragma once

#include "platform/links/RunTimeLink.h"

#include <map>

namespace provider {

// What one federate publishes and subscribes, counted per variable: several variables can
// share a class, and the run-time replaces a class's attribute set with every call.
class Declarations {
public:
    explicit Declarations(links::RunTimeLink& link) : m_link(link) {}

    // Each throws what the run-time throws and then changes nothing.
    void publish(hla::InteractionClassHandle cls);
    void unpublish(hla::InteractionClassHandle cls);
    void subscribe(hla::InteractionClassHandle cls);
    void unsubscribe(hla::InteractionClassHandle cls);
    void publish(hla::ObjectClassHandle cls, hla::AttributeHandle attribute);
    void unpublish(hla::ObjectClassHandle cls, hla::AttributeHandle attribute);
    void subscribe(hla::ObjectClassHandle cls, hla::AttributeHandle attribute);
    void unsubscribe(hla::ObjectClassHandle cls, hla::AttributeHandle attribute);

    // Withdraws everything; the first refusal is thrown after trying all.
    void withdrawAll();

private:
    using Counts = std::map<hla::AttributeHandle, int>;
    void setAttributes(std::map<hla::ObjectClassHandle, Counts>& table, hla::ObjectClassHandle cls,
                       hla::AttributeHandle attribute, int change, bool published);

    links::RunTimeLink& m_link;
    std::map<hla::InteractionClassHandle, int> m_publishedInteractions;
    std::map<hla::InteractionClassHandle, int> m_subscribedInteractions;
    std::map<hla::ObjectClassHandle, Counts> m_publishedAttributes;
    std::map<hla::ObjectClassHandle, Counts> m_subscribedAttributes;
};

}  // namespace provider
