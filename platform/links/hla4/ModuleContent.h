#pragma once

// The FOM modules a federate sends a Federate Protocol server: each file's name and content,
// since the server cannot read the federate's files. An XML module goes as it is; a FED file
// as the IEEE 1516-2010 module written from what it says; no file, the description written as
// one module.

#include "platform/fedpro/messages/datatypes.pb.h"
#include "platform/hla/FederationDescription.h"

#include <string>
#include <vector>

namespace links::hla4 {

// Throws std::runtime_error naming a file that cannot be read, is too large or does not parse.
rti1516_2025::fedpro::FomModuleSet moduleContents(const std::vector<std::string>& modules,
                                                  const hla::FederationDescription& description);

}  // namespace links::hla4
