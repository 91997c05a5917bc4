#pragma once

// Support services: handles and names of federates, classes, members and instances, order
// and transportation types, and normalized handles.

#include "platform/fedpro/messages/RTIambassador.pb.h"
#include "platform/fedpro/server/CallContext.h"

namespace fedpro::server {

// The handles of the two transportation types the run-time has.
inline constexpr std::uint32_t kReliableHandle = 1;
inline constexpr std::uint32_t kBestEffortHandle = 2;
pb::TransportationTypeHandle wire(hla::Transport transport);

// Answers the call when it is one of this group's that the server serves; false otherwise.
bool supportCall(const pb::CallRequest& request, CallContext& context, pb::CallResponse& response);

}  // namespace fedpro::server
