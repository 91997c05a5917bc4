#include "platform/fedpro/server/ZipModule.h"

#include <zlib.h>

#include <cstdint>
#include <vector>

namespace fedpro::server {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kEntrySignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kEntrySize = 46;
constexpr std::size_t kLocalSize = 30;
constexpr std::size_t kMostComment = 65535;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kEncrypted = 1;
constexpr std::uint32_t kZip64Size = 0xFFFFFFFF;
constexpr int kRawDeflate = -15;  // zlib's window bits for deflate without a header
constexpr std::size_t kInflateChunk = 64 * 1024;

std::runtime_error bad(const std::string& why) {
    return std::runtime_error("the compressed FOM module is not a zip file the server reads: " +
                              why);
}

// Little-endian fields, each checked against the archive's end.
std::uint32_t field(std::string_view zip, std::size_t at, std::size_t bytes) {
    if (at > zip.size() || zip.size() - at < bytes) throw bad("it ends inside a record");
    std::uint32_t value = 0;
    for (std::size_t i = bytes; i-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(zip[at + i]);
    }
    return value;
}

struct Entry {
    std::string name;
    std::uint16_t method = 0;
    std::uint32_t packed = 0;
    std::uint32_t unpacked = 0;
    std::uint32_t local = 0;
};

std::size_t findEnd(std::string_view zip) {
    if (zip.size() < kEndSize) throw bad("it is too short");
    const std::size_t lowest =
        zip.size() > kEndSize + kMostComment ? zip.size() - kEndSize - kMostComment : 0;
    for (std::size_t at = zip.size() - kEndSize + 1; at-- > lowest;) {
        if (field(zip, at, 4) == kEndSignature) return at;
    }
    throw bad("it has no end of central directory");
}

std::vector<Entry> entries(std::string_view zip) {
    const std::size_t end = findEnd(zip);
    const std::uint32_t count = field(zip, end + 10, 2);
    std::size_t at = field(zip, end + 16, 4);
    std::vector<Entry> found;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (field(zip, at, 4) != kEntrySignature) throw bad("its central directory is broken");
        if (field(zip, at + 8, 2) & kEncrypted) throw bad("an entry is encrypted");
        Entry entry;
        entry.method = static_cast<std::uint16_t>(field(zip, at + 10, 2));
        entry.packed = field(zip, at + 20, 4);
        entry.unpacked = field(zip, at + 24, 4);
        const std::size_t nameLength = field(zip, at + 28, 2);
        const std::size_t extraLength = field(zip, at + 30, 2);
        const std::size_t commentLength = field(zip, at + 32, 2);
        entry.local = field(zip, at + 42, 4);
        field(zip, at + kEntrySize, nameLength);
        entry.name = std::string(zip.substr(at + kEntrySize, nameLength));
        if (entry.packed == kZip64Size || entry.unpacked == kZip64Size) {
            throw bad("it is a zip64 archive");
        }
        if (!entry.name.empty() && entry.name.back() != '/') found.push_back(entry);
        at += kEntrySize + nameLength + extraLength + commentLength;
    }
    return found;
}

std::string inflated(std::string_view packed) {
    z_stream stream{};
    if (inflateInit2(&stream, kRawDeflate) != Z_OK) throw bad("zlib could not start");
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    stream.avail_in = static_cast<uInt>(packed.size());
    std::string out;
    int status = Z_OK;
    while (status == Z_OK) {
        if (out.size() > kMaxUnpackedModule) break;
        const std::size_t had = out.size();
        out.resize(had + kInflateChunk);
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + had);
        stream.avail_out = static_cast<uInt>(kInflateChunk);
        status = inflate(&stream, Z_NO_FLUSH);
        out.resize(had + kInflateChunk - stream.avail_out);
    }
    inflateEnd(&stream);
    if (out.size() > kMaxUnpackedModule) throw bad("it unpacks to more than 16 MiB");
    if (status != Z_STREAM_END) throw bad("its deflated data is broken");
    return out;
}

}  // namespace

UnpackedModule unpackModule(std::string_view zip) {
    const std::vector<Entry> files = entries(zip);
    if (files.empty()) throw bad("it holds no file");
    const Entry* chosen = &files.front();
    if (files.size() > 1) {
        chosen = nullptr;
        for (const Entry& entry : files) {
            if (entry.name.size() > 4 &&
                entry.name.compare(entry.name.size() - 4, 4, ".xml") == 0) {
                chosen = &entry;
                break;
            }
        }
        if (chosen == nullptr) throw bad("it holds several files and none is a .xml module");
    }
    if (chosen->unpacked > kMaxUnpackedModule) throw bad("it unpacks to more than 16 MiB");
    if (field(zip, chosen->local, 4) != kLocalSignature) throw bad("an entry's header is broken");
    const std::size_t start = chosen->local + kLocalSize + field(zip, chosen->local + 26, 2) +
                              field(zip, chosen->local + 28, 2);
    field(zip, start, chosen->packed);
    const std::string_view packed = zip.substr(start, chosen->packed);
    if (chosen->method == kStored) return {chosen->name, std::string(packed)};
    if (chosen->method == kDeflated) return {chosen->name, inflated(packed)};
    throw bad("an entry is compressed by method " + std::to_string(chosen->method) +
              ", neither stored nor deflated");
}

}  // namespace fedpro::server
