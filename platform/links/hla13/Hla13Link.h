#pragma once

#include "platform/links/RunTimeLink.h"

#include <memory>
#include <string>

namespace links {

// Joins federation execution `federation` of the 1.3 RTI at address (rti://host:port for a
// server that takes its address in the execution name), creating it from the description
// file at fedPath unless it exists. description is what the provider read from that file; its
// handles are the ones the link takes and gives. The federate's logical time starts at
// initialTime. Throws std::runtime_error describing why.
std::unique_ptr<RunTimeLink> joinHla13(const std::string& address, const std::string& federation,
                                       const std::string& federate, const std::string& fedPath,
                                       hla::FederationDescription description,
                                       hla::LogicalTime initialTime);

}  // namespace links
