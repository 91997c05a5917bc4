#pragma once

// Writes a federation description as an IEEE 1516-2010 FOM module (the OMT's XML data
// interchange format), for an RTI of the 2010 interface, which reads nothing else. Classes
// and members take their 2010 names; each attribute and parameter its data type, or
// HLAopaqueData where the description has none. The roots are written as WriterRules.h says.
// Data types whose names start with "HLA" are the standard's own and left out: every 2010 RTI
// brings them.

#include "platform/hla/FederationDescription.h"

#include <string>

namespace hla {

// What an attribute or parameter without a data type is written with: HLAopaqueData, which
// every RTI reads, or NA, which keeps it untyped for a run-time that merges it into a
// federation whose other modules give the type (a FED file's members have none).
enum class Untyped { OpaqueData, NotApplicable };

// The module's text, UTF-8.
std::string writeFomModule(const FederationDescription& description,
                           Untyped untyped = Untyped::OpaqueData);

}  // namespace hla
