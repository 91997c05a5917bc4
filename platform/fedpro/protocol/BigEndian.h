#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Network byte order for the frame header and the payloads' integers and times. The caller
// checks the length before reading.
namespace fedpro::bigendian {

inline void appendUint32(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xffU));
    }
}

inline void appendUint64(std::string& out, std::uint64_t value) {
    for (int shift = 56; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xffU));
    }
}

inline std::uint32_t readUint32(std::string_view bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    }
    return value;
}

inline std::uint64_t readUint64(std::string_view bytes, std::size_t offset) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    }
    return value;
}

inline void writeUint32At(std::string& out, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        out[offset + i] = static_cast<char>((value >> (24 - 8 * i)) & 0xffU);
    }
}

}  // namespace fedpro::bigendian
