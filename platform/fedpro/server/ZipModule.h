#pragma once

// A FOM module sent compressed, as a zip file (ISO/IEC 21320-1: entries stored or deflated):
// its one module's text, bounded unpacked.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace fedpro::server {

// The most a compressed module may unpack to.
inline constexpr std::size_t kMaxUnpackedModule = std::size_t{16} << 20;

struct UnpackedModule {
    std::string name;  // the entry's name
    std::string text;
};

// The archive's module: its only file, or else its first ".xml" one. Throws
// std::runtime_error saying why the bytes are not such an archive, or unpack beyond the bound.
UnpackedModule unpackModule(std::string_view zip);

}  // namespace fedpro::server
