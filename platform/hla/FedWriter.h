#pragma once

// Writes a federation description as an HLA 1.3 FED file, for an RTI of the 1.3 interface,
// which reads nothing else. The roots are written as WriterRules.h says; routing spaces are
// left out, since the description keeps no member's space. parseFed reads the text back into
// the same classes, members, transportations and orders.

#include "platform/hla/FederationDescription.h"

#include <string>

namespace hla {

// Throws Error (InvalidName) for a name that a FED file cannot hold (one with a quote or a
// line break in it).
std::string writeFed(const FederationDescription& description);

}  // namespace hla
