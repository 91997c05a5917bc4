#pragma once

// A call request answered: by the service group that serves it, or with RTIinternalError
// naming the member of the call request the server does not serve. Connecting and
// disconnecting are the session's (Session.h) and never reach here.

#include "platform/fedpro/messages/RTIambassador.pb.h"
#include "platform/fedpro/server/CallContext.h"

#include <string>

namespace fedpro::server {

// Never throws for a refusal: it travels as the response's exception data.
pb::CallResponse dispatchCall(const pb::CallRequest& request, CallContext& context);

// The member's name in the call request ("joinFederationExecutionRequest"), or "" when none
// is set.
std::string memberName(const pb::CallRequest& request);

// A response carrying the exception.
pb::CallResponse exceptionResponse(const std::string& exceptionName, const std::string& details);

}  // namespace fedpro::server
