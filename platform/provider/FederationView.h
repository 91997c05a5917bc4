#pragma once

#include "platform/hla/MomEncoding.h"
#include "platform/hla/Types.h"
#include "platform/links/RunTimeLink.h"

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace provider {

// One federate as the run-time's management objects report it.
struct FederateRow {
    hla::ObjectInstanceHandle object{};  // its management object
    hla::Bytes handle;                   // the federate's handle, its own octets
    std::string name;
    bool regulating = false;
    bool constrained = false;
    bool advancing = false;  // HLAtimeManagerState: asked to advance and not yet granted
    double time = 0;
    double lookahead = 0;
    std::optional<double> galt;  // none: no other federate regulates, or not reported
    bool reported = false;       // the run-time has told its state
};

// The federation's HLAmanager.HLAfederate objects, as far as this federate has been told.
// Nothing is subscribed until someone asks (a wait that lasts, a read of the federates), so
// a federate nobody watches costs the federation nothing.
class FederationView {
public:
    FederationView(links::RunTimeLink& link, std::string federateName);

    // Subscribes once; false when the federation description has no management objects, or
    // the run-time refused the subscription.
    bool watch();
    bool watching() const { return m_watching; }
    // Since when the subscription stands: the run-time's first reports follow it.
    std::chrono::steady_clock::time_point watchingSince() const { return m_since; }

    // The callbacks of the management objects; false when the object or class is none of them.
    bool discovered(hla::ObjectInstanceHandle object, hla::ObjectClassHandle cls);
    bool reflected(hla::ObjectInstanceHandle object, const hla::AttributeValues& values);
    bool removed(hla::ObjectInstanceHandle object);
    // A report of the management model; false for any other interaction.
    bool received(hla::InteractionClassHandle cls, const hla::ParameterValues& values);

    // Asks the run-time who has achieved the point; false when it cannot be asked. The
    // answer comes later, as pointStatus.
    bool askPointStatus(const std::string& label);
    // The names of the federates announced the point that have not achieved it, as last
    // reported ("" for one not yet reported by name); none before a report.
    std::optional<std::vector<std::string>> pointLaggards(const std::string& label) const;

    // Every federate reported so far, this one included once the run-time has told of it.
    std::vector<FederateRow> federates() const;
    // This federate as the run-time reports it, if it has: then it reports the others too.
    // mine: this federate's own state, to tell it from another of the same name.
    std::optional<FederateRow> own(const FederateRow& mine) const;

private:
    struct Attributes {
        hla::AttributeHandle handle, name, regulating, constrained, timeState, time, lookahead,
            galt;
    };
    struct PointStatus {
        hla::InteractionClassHandle request, report;
        hla::ParameterHandle requestName, reportName, reportFederates;
    };

    links::RunTimeLink& m_link;
    std::string m_federateName;
    std::optional<hla::ObjectClassHandle> m_class;
    std::optional<Attributes> m_attributes;
    bool m_watching = false;
    std::chrono::steady_clock::time_point m_since;
    std::map<hla::ObjectInstanceHandle, FederateRow> m_rows;
    std::optional<PointStatus> m_points;  // set once the request is published
    std::map<std::string, std::vector<hla::mom::SyncPointFederate>> m_pointStatus;
};

}  // namespace provider
