#pragma once

#include <cctype>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fedpro::testing {

// "00 00 00 1c ..." as bytes: expected frames written out by hand.
inline std::string hex(std::string_view text) {
    std::string out;
    std::string digits;
    for (char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c))) {
            digits.push_back(c);
        }
        if (digits.size() == 2) {
            out.push_back(static_cast<char>(std::strtoul(digits.c_str(), nullptr, 16)));
            digits.clear();
        }
    }
    return out;
}

// Bytes as "00 00 00 1c ...", for readable failures.
inline std::string toHex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        if (!out.empty()) out.push_back(' ');
        out.push_back(kDigits[c >> 4]);
        out.push_back(kDigits[c & 0xf]);
    }
    return out;
}

}  // namespace fedpro::testing
