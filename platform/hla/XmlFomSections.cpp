#include "platform/hla/XmlFomSections.h"

#include <algorithm>
#include <cctype>

namespace hla::xmlfom {

const Value* Values::find(std::string_view name) const {
    for (const auto& [key, value] : items) {
        if (key == name) return &value;
    }
    return nullptr;
}

std::vector<const Value*> Values::all(std::string_view name) const {
    std::vector<const Value*> found;
    for (const auto& [key, value] : items) {
        if (key == name) found.push_back(&value);
    }
    return found;
}

[[noreturn]] void fail(const std::string& module, Pos pos, const std::string& message) {
    throw FedError(pos.line, pos.column, message, module);
}

const Value* stated(const Values& values, std::string_view key) {
    const Value* value = values.find(key);
    if (!value || value->text.empty() || value->text == "NA") return nullptr;
    return value;
}

const Value& required(const std::string& module, const Values& values, Pos at, std::string_view key,
                      const std::string& what) {
    const Value* value = stated(values, key);
    if (!value) fail(module, at, what + " has no " + std::string(key));
    return *value;
}

const Value& nameOf(const std::string& module, const Values& values, Pos at,
                    const std::string& what) {
    const Value& value = required(module, values, at, "name", what);
    if (value.text.find('.') != std::string::npos) {
        fail(module, value.pos, what + " \"" + value.text + "\" must not contain \".\"");
    }
    return value;
}

bool sameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string lower(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

std::string trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

}  // namespace hla::xmlfom
