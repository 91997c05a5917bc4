#pragma once

#include "platform/provider/FederationView.h"

#include <QString>

#include <optional>
#include <vector>

namespace provider {

// What holds a wait, as a person reads it, and the same without its times: a report is
// raised again only when its key changes.
struct WaitText {
    QString text;
    QString key;
};

// This federate's side of a time advance that has not been granted.
struct AdvanceWait {
    QString federation;
    FederateRow self;  // name, regulating, constrained, time, lookahead, galt
    double requested = 0;
};

// Names the regulating federates that hold the grant back and why, following each that waits
// itself up to the federate at the root of the chain; a cycle is named as one. others: every
// federate the run-time reports but this one; none reported: the run-time does not report
// them, and the text says what this federate knows itself.
WaitText timeAdvanceWait(const AdvanceWait& wait,
                         const std::optional<std::vector<FederateRow>>& others);

// Names the federates announced the point that have not achieved it; none reported: the
// run-time does not say who they are.
QString pointWait(const QString& federation, const std::string& label,
                  const std::optional<std::vector<std::string>>& laggards);

// One line per federate: name, regulating and constrained, state, logical time, lookahead and
// the time it advances to where known.
QString federateLines(const QString& federation, const std::vector<FederateRow>& federates,
                      const std::optional<double>& ownRequest,
                      const std::optional<FederateRow>& own);

}  // namespace provider
