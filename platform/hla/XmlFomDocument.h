#pragma once

// The XML FOM module reader's document pass: reads a module's octets into its sections
// (XmlFomSections.h) with Qt's stream reader. Refused here, with the line and column: text that
// is not well-formed XML or not in an encoding read (XmlFomEncoding.h); a document type
// declaration (so no entity is ever expanded) and any entity reference beyond the five
// predefined ones; elements nested deeper than 128 levels or classes deeper than 64; a root
// element other than <objectModel> of the 2010 namespace or none. Elements of other
// namespaces, and those the description does not keep, are passed over.

#include "platform/hla/XmlFomSections.h"

#include <string>
#include <string_view>

namespace hla::xmlfom {

// Reads the whole document; throws FedError naming module at the first problem.
Sections readDocument(std::string_view bytes, const std::string& module);

}  // namespace hla::xmlfom
