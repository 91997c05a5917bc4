#pragma once

#include "hla/RunTimeLink.h"

#include <map>

namespace hla {

// What one federate publishes and subscribes, counted per variable: several variables can
// share a class, and the run-time replaces a class's attribute set with every call.
class Declarations {
public:
    explicit Declarations(RunTimeLink& link) : m_link(link) {}

    // Each throws what the run-time throws and then changes nothing.
    void publish(rti::InteractionClassHandle cls);
    void unpublish(rti::InteractionClassHandle cls);
    void subscribe(rti::InteractionClassHandle cls);
    void unsubscribe(rti::InteractionClassHandle cls);
    void publish(rti::ObjectClassHandle cls, rti::AttributeHandle attribute);
    void unpublish(rti::ObjectClassHandle cls, rti::AttributeHandle attribute);
    void subscribe(rti::ObjectClassHandle cls, rti::AttributeHandle attribute);
    void unsubscribe(rti::ObjectClassHandle cls, rti::AttributeHandle attribute);

    // Withdraws everything; the first refusal is thrown after trying all.
    void withdrawAll();

private:
    using Counts = std::map<rti::AttributeHandle, int>;
    void setAttributes(std::map<rti::ObjectClassHandle, Counts>& table, rti::ObjectClassHandle cls,
                       rti::AttributeHandle attribute, int change, bool published);

    RunTimeLink& m_link;
    std::map<rti::InteractionClassHandle, int> m_publishedInteractions;
    std::map<rti::InteractionClassHandle, int> m_subscribedInteractions;
    std::map<rti::ObjectClassHandle, Counts> m_publishedAttributes;
    std::map<rti::ObjectClassHandle, Counts> m_subscribedAttributes;
};

}  // namespace hla
