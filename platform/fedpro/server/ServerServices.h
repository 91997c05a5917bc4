#pragma once

// What every session of one server uses: the engine's run-time, what the sessions share,
// the FOM directories, the access token and the bounds.

#include "platform/fedpro/server/AccessToken.h"
#include "platform/fedpro/server/FomLoader.h"
#include "platform/fedpro/server/ServerOptions.h"
#include "platform/fedpro/server/ServerRegistry.h"
#include "platform/links/embedded/RunTimeHost.h"

#include <memory>

namespace fedpro::server {

struct ServerServices {
    std::shared_ptr<links::RunTimeHost> host;
    ServerOptions options;
    FomLoader foms;
    ServerRegistry registry;
    // Null when clients do not authenticate.
    std::unique_ptr<AccessToken> token;
    std::uint16_t port = 0;  // the port served, for what a refusal says
};

// A line in the engine's log (its standard error).
void logLine(const QString& line);

}  // namespace fedpro::server
