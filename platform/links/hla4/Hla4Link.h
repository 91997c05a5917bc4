#pragma once

// The link to a Federate Protocol server (HLA 4): any server of the protocol, the engine's own
// or an HLA 4 RTI's, reached over TCP or TLS with no RTI library. The session runs on an RTI
// thread of its own (ThreadedLink), with the same bounds as the other RTI links.

#include "platform/links/LinkPlugin.h"
#include "platform/links/RunTimeLink.h"
#include "platform/links/hla4/Hla4Settings.h"

#include <memory>

namespace links::hla4 {

// Joins request.federate to request.federation at the server of settings (request.address is
// not read). Throws std::exception describing why not, naming the step that did not answer.
std::unique_ptr<RunTimeLink> joinHla4(LinkRequest request, const Hla4Settings& settings);

}  // namespace links::hla4
