#pragma once

// Federation management: creating, destroying, joining and resigning federation
// executions, and synchronisation points.

#include "platform/fedpro/messages/RTIambassador.pb.h"
#include "platform/fedpro/server/CallContext.h"

namespace fedpro::server {

// Answers the call when it is one of this group's that the server serves; false otherwise.
// Throws CallError or hla::Error when refused.
bool federationCall(const pb::CallRequest& request, CallContext& context,
                    pb::CallResponse& response);

// Resigns the joined federate as the action says (the session's resign directive for a lost
// session); does nothing without one.
void resignFederate(CallContext& context, pb::ResignAction action);

}  // namespace fedpro::server
