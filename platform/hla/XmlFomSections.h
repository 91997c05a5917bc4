#pragma once

// A FOM module's sections as the document gives them, before their meaning is read: what the
// XML FOM module reader's document pass hands its class and data type passes, with the
// words they share for finding values and failing at a position.

#include "platform/hla/DataTypes.h"
#include "platform/hla/Error.h"
#include "platform/hla/FedError.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hla::xmlfom {

struct Pos {
    int line = 0;
    int column = 0;
};

struct Value {
    std::string text;
    Pos pos;
};

// An element's values: its XML attributes (1516-2000) and its children that hold only text
// (2010), by name, in document order.
struct Values {
    std::vector<std::pair<std::string, Value>> items;

    const Value* find(std::string_view name) const;
    std::vector<const Value*> all(std::string_view name) const;
};

// An element of values only, as the document gives it: a member, a transportation, an
// enumerator, a field or an alternative.
struct Leaf {
    Pos pos;
    Values values;
};

struct XmlClass {
    Pos pos;
    Values values;
    std::vector<Leaf> members;
    std::vector<XmlClass> children;
};

struct XmlType {
    DataType::Kind kind = DataType::Kind::Basic;
    Pos pos;
    Values values;
    std::vector<Leaf> items;  // enumerators, fields or alternatives
};

// The sections of one module, in document order.
struct Sections {
    std::vector<XmlClass> objects;
    std::vector<XmlClass> interactions;
    std::vector<Leaf> transportations;
    std::vector<XmlType> types;
};

[[noreturn]] void fail(const std::string& module, Pos pos, const std::string& message);

// Gives a clash found by the description the position of the name that caused it.
template <typename Action>
auto guarded(const std::string& module, Pos pos, Action action) -> decltype(action()) {
    try {
        return action();
    } catch (const Error& e) {
        fail(module, pos, e.what());
    }
}

// The value of key, or null when it is missing, empty or "NA" (the OMT's "not applicable").
const Value* stated(const Values& values, std::string_view key);
// The value of key; fails at `at` saying that `what` has none.
const Value& required(const std::string& module, const Values& values, Pos at, std::string_view key,
                      const std::string& what);
// The name of a class or member, which must not contain ".".
const Value& nameOf(const std::string& module, const Values& values, Pos at,
                    const std::string& what);

// Whether two words are the same but for letter case.
bool sameLetters(std::string_view a, std::string_view b);
std::string lower(std::string_view text);
// Without the blanks around it.
std::string trimmed(std::string_view text);

}  // namespace hla::xmlfom
