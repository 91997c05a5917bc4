#pragma once

// Zip archives of one entry for the tests, written from the format's layout.

#include <zlib.h>

#include <cstdint>
#include <string>

namespace fedpro::testing {

inline void putLittle(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

inline std::string rawDeflate(const std::string& text) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, text.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

// One entry, deflated.
inline std::string zipOf(const std::string& name, const std::string& text) {
    const std::string packed = rawDeflate(text);
    const auto crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())));
    std::string zip;
    const auto common = [&](std::string& out) {
        putLittle(out, 20, 2);  // version needed
        putLittle(out, 0, 2);   // flags
        putLittle(out, 8, 2);   // deflated
        putLittle(out, 0, 4);   // time and date
        putLittle(out, crc, 4);
        putLittle(out, static_cast<std::uint32_t>(packed.size()), 4);
        putLittle(out, static_cast<std::uint32_t>(text.size()), 4);
        putLittle(out, static_cast<std::uint32_t>(name.size()), 2);
        putLittle(out, 0, 2);  // extra
    };
    putLittle(zip, 0x04034b50, 4);
    common(zip);
    zip += name + packed;
    const auto directory = static_cast<std::uint32_t>(zip.size());
    std::string entry;
    putLittle(entry, 0x02014b50, 4);
    putLittle(entry, 20, 2);  // made by
    common(entry);
    putLittle(entry, 0, 2);  // comment
    putLittle(entry, 0, 2);  // disk
    putLittle(entry, 0, 2);  // internal attributes
    putLittle(entry, 0, 4);  // external attributes
    putLittle(entry, 0, 4);  // local header offset
    entry += name;
    zip += entry;
    putLittle(zip, 0x06054b50, 4);
    putLittle(zip, 0, 2);
    putLittle(zip, 0, 2);
    putLittle(zip, 1, 2);
    putLittle(zip, 1, 2);
    putLittle(zip, static_cast<std::uint32_t>(entry.size()), 4);
    putLittle(zip, directory, 4);
    putLittle(zip, 0, 2);
    return zip;
}

}  // namespace fedpro::testing
