#pragma once

#include "platform/links/LinkPlugin.h"
#include "platform/links/RunTimeLink.h"

#include <memory>
#include <string>

namespace links {

// Opens a session with the 1.3 RTI at request.address (rti://host:port for a server that
// takes its address in the execution name): joins federation execution
// <address>/<federation>, creating it from the request's FOM files (as one FED file) unless it
// exists. The federate's logical time starts at the request's initial time. Runs on the
// calling thread; throws std::runtime_error describing why the session could not be opened.
std::unique_ptr<RunTimeLink> openHla13Session(const LinkRequest& request, const StepReport& step);

}  // namespace links
