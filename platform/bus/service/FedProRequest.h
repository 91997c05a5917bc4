#pragma once

// "tandrel-engine --fedpro" where an engine already serves the bus: that engine is asked to
// serve the Federate Protocol for as long as this command runs, and to stop when it ends.

#include "platform/fedpro/server/ServerOptions.h"

#include <QString>

namespace bus::service {

struct FedProRequest {
    QString service;  // the engine's bus name
    fedpro::server::ServeRequest serve;
};

// Returns the command's exit status: 0 when stopped by a signal, 1 when the engine refused or
// went, saying why on stderr.
int serveThroughRunningEngine(const FedProRequest& request);

}  // namespace bus::service
