#pragma once

// The XML FOM module reader's data type pass: one data type of a module's sections
// (XmlFomSections.h) as the description keeps it. A data type needs a name; what else it gets
// wrong (a size that is not whole octets, an enumerator without an integer value, a missing
// representation…) is kept as its problem (the first one), so that a module written
// carelessly can be read and only values of that type cannot be encoded.

#include "platform/hla/DataTypes.h"
#include "platform/hla/XmlFomSections.h"

#include <string>

namespace hla::xmlfom {

// Throws FedError naming module for a data type without a name.
DataType dataTypeOf(const XmlType& type, const std::string& module);

}  // namespace hla::xmlfom
