#pragma once

// Reads HLA 1.3 FED files:
//   (FED (Federation name) (FEDversion v1.3) [(federate name security)...]
//        [(spaces (space name (dimension name)...)...)]
//        (objects (class ObjectRoot (attribute name transport order [space]) (class ...)))
//        (interactions (class InteractionRoot transport order [space]
//                          (parameter name) (class ...))))
// Keywords match without regard to letter case; names are case-sensitive, except the roots
// and privilegeToDelete, which other run-times write in any case ("objectRoot"). The version
// may be written v1.3, 1.3, v1_3 or 1_3.

#include "platform/hla/FederationDescription.h"

#include <string>
#include <string_view>

namespace hla {

// Throws FedError with the line and column of the first problem.
FederationDescription parseFed(std::string_view text);

// Reads and parses a file; every FedError names the path.
FederationDescription readFedFile(const std::string& path);

}  // namespace hla
