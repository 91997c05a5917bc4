#pragma once

// Time management: regulation, constraint, advancing, queries and lookahead.

#include "platform/fedpro/messages/RTIambassador.pb.h"
#include "platform/fedpro/server/CallContext.h"

namespace fedpro::server {

// Answers the call when it is one of this group's that the server serves; false otherwise.
bool timeCall(const pb::CallRequest& request, CallContext& context, pb::CallResponse& response);

}  // namespace fedpro::server
