#pragma once

// The whole text of a federation description file, read with the readers' size limit.

#include <cstddef>
#include <string>

namespace hla {

// Throws FedError naming the path (line 0) when the file cannot be read or is larger than
// limit bytes (a whole number of MiB): "the <what> is larger than 16 MiB".
std::string readTextFile(const std::string& path, std::size_t limit, const std::string& what);

}  // namespace hla
