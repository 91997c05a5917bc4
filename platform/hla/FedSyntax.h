#pragma once

// The nested parenthesised lists a FED file is made of, before their meaning is read.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace hla::fed {

inline constexpr std::size_t kMaxTextSize = 16u * 1024u * 1024u;
inline constexpr int kMaxNesting = 64;

struct Node {
    bool isList = false;
    std::string atom;  // the text of an atom, quotes removed
    std::vector<Node> items;
    int line = 0;
    int column = 0;
};

// Reads the one top-level list of text. Throws FedError with the position of the first
// problem: an unexpected character, an unclosed list or quote, nesting deeper than
// kMaxNesting, text after the list, or text larger than kMaxTextSize.
Node parseSyntax(std::string_view text);

}  // namespace hla::fed
