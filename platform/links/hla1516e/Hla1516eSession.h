#pragma once

#include "platform/links/LinkPlugin.h"
#include "platform/links/RunTimeLink.h"

#include <memory>

namespace links {

// Opens a session with the RTI of the IEEE 1516-2010 interface at request.address: connects,
// creates federation execution request.federation from the request's FOM files (as 2010
// modules) unless it exists, joins it, and advances to the request's initial time. Runs on the
// calling thread, which must make every later call of the session; throws std::runtime_error
// describing the step the RTI refused, leaving nothing joined nor connected.
std::unique_ptr<RunTimeLink> openHla1516eSession(const LinkRequest& request,
                                                 const StepReport& step);

}  // namespace links
