#include "platform/links/hla1516e/Hla1516eText.h"

#include "platform/links/RunTimeLink.h"

#include <stdexcept>

namespace links {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kMaxCodePoint = 0x10FFFF;

// The number of continuation bytes after a lead byte, and the bits the lead byte carries; -1
// for a byte that cannot lead.
int continuationOf(unsigned char lead, char32_t& bits) {
    if (lead < 0x80) {
        bits = lead;
        return 0;
    }
    if ((lead & 0xE0) == 0xC0) {
        bits = lead & 0x1F;
        return 1;
    }
    if ((lead & 0xF0) == 0xE0) {
        bits = lead & 0x0F;
        return 2;
    }
    if ((lead & 0xF8) == 0xF0) {
        bits = lead & 0x07;
        return 3;
    }
    return -1;
}

void append(std::string& out, char32_t c) {
    if (c > kMaxCodePoint || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacement;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

// Malformed UTF-8 becomes U+FFFD rather than a name the RTI was never given.
std::wstring wide(const std::string& utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const int more = continuationOf(static_cast<unsigned char>(utf8[i]), c);
        ++i;
        bool valid = more >= 0 && i + static_cast<std::size_t>(more) <= utf8.size();
        for (int k = 0; valid && k < more; ++k, ++i) {
            const auto byte = static_cast<unsigned char>(utf8[i]);
            valid = (byte & 0xC0) == 0x80;
            c = (c << 6) | (byte & 0x3F);
        }
        out += static_cast<wchar_t>(valid ? c : kReplacement);
    }
    return out;
}

std::string narrow(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (const wchar_t c : text) append(out, static_cast<char32_t>(c));
    return out;
}

rti1516e::VariableLengthData dataOf(const hla::Bytes& bytes) {
    return rti1516e::VariableLengthData(bytes.data(), bytes.size());
}

hla::Bytes bytesOf(const rti1516e::VariableLengthData& data) {
    const auto* begin = static_cast<const std::uint8_t*>(data.data());
    return begin ? hla::Bytes(begin, begin + data.size()) : hla::Bytes();
}

std::string textOf(const rti1516e::VariableLengthData& data) {
    const auto* begin = static_cast<const char*>(data.data());
    return begin ? std::string(begin, data.size()) : std::string();
}

std::string describe(const rti1516e::Exception& e) {
    const std::string text = narrow(e.what());
    return text.empty() ? "the RTI gave no reason" : text;
}

[[noreturn]] void rethrowRti(const std::string& what) {
    try {
        throw;
    } catch (const rti1516e::Exception& e) {
        throw std::runtime_error(what + ": " + describe(e));
    }
}

[[noreturn]] void rethrowUnsupported(const std::string& what) {
    try {
        throw;
    } catch (const rti1516e::RTIinternalError& e) {
        throw NotSupported("The " + std::string(kHla1516eRunTimeName) +
                           " in use does not support " + what + " (" + describe(e) + ")");
    } catch (const rti1516e::Exception& e) {
        throw std::runtime_error(what + ": " + describe(e));
    }
}

}  // namespace links
