#pragma once

// The first of the XML FOM module reader's document checks: which encoding a module's octets
// are in, and whether they are valid in it. A byte order mark, or the octets of "<" in
// UTF-16, decide; otherwise the XML declaration names the encoding of a text whose first
// characters take one octet each, UTF-8 when it names none.

#include <QString>

#include <string>
#include <string_view>

namespace hla::xmlfom {

// The module's text; throws FedError naming module, with the line and column of the first
// octet that is not UTF-8 (1, 1 for other encodings), for an encoding not supported or
// octets not valid in it.
QString decodeModule(std::string_view bytes, const std::string& module);

}  // namespace hla::xmlfom
