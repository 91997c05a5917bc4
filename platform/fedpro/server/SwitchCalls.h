#pragma once

// The switches of the support services: the automatic resign directive, which the server
// keeps per session, and the advisory and reporting switches, which stay off, since the
// run-time gives no advisories and no service reports.

#include "platform/fedpro/messages/RTIambassador.pb.h"
#include "platform/fedpro/server/CallContext.h"

namespace fedpro::server {

// Answers the call when it is one of this group's that the server serves; false otherwise.
bool switchCall(const pb::CallRequest& request, CallContext& context, pb::CallResponse& response);

}  // namespace fedpro::server
