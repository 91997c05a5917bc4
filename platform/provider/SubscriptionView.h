#pragma once

#include "platform/hla/Types.h"
#include "platform/links/RunTimeLink.h"

#include <map>
#include <optional>
#include <set>
#include <vector>

namespace provider {

// What other federates subscribe, as the run-time's management model reports it on request,
// by the octets of the run-time's own handles (RunTimeLink::momHandle).
class SubscriptionView {
public:
    struct Subscribed {
        std::set<hla::Bytes> interactionClasses;
        std::map<hla::Bytes, std::set<hla::Bytes>> objectClasses;  // class: attributes
        int objectReports = -1;  // the number of object class reports announced; -1: none yet
        bool interactionsReported = false;
        bool complete() const {
            return interactionsReported && objectReports >= 0 &&
                   objectClasses.size() >= static_cast<std::size_t>(objectReports);
        }
    };

    explicit SubscriptionView(links::RunTimeLink& link) : m_link(link) {}

    // Asks the run-time for the subscriptions of each federate, named by its handle's octets;
    // what was told of them before is forgotten. False when it cannot be asked.
    bool ask(const std::vector<hla::Bytes>& federates);
    // A report of the management model; false for any other interaction.
    bool received(hla::InteractionClassHandle cls, const hla::ParameterValues& values);
    // What the federates asked about have reported, by their handle's octets.
    const std::map<hla::Bytes, Subscribed>& federates() const { return m_federates; }

private:
    struct Classes {
        hla::InteractionClassHandle request, objectReport, interactionReport;
        hla::ParameterHandle requestFederate, objectFederate, count, objectClass, attributes,
            interactionFederate, interactionList;
    };
    bool declare();

    links::RunTimeLink& m_link;
    std::optional<Classes> m_classes;  // set once the request is published
    std::map<hla::Bytes, Subscribed> m_federates;
};

}  // namespace provider
