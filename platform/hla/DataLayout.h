#pragma once

// How the values of a description's data types lie in octets: boundaries, sizes, the basic
// representation beneath a type, enumerators and alternatives; what the codec asks while it
// walks a value, worked out once per type.

#include "platform/hla/DataTypes.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace hla {

// Why octets are no value of a data type, or a value cannot be written as one; the message
// names the type and says what is wrong.
class DataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Bounds that keep a hostile payload or a table whose types contain themselves from
// exhausting the process.
inline constexpr int kMaxDataNesting = 32;                           // types within one another
inline constexpr std::size_t kMaxDataValues = std::size_t{1} << 16;  // elements and fields

// The predefined names the codec gives a meaning of their own.
inline constexpr std::string_view kAsciiChar = "HLAASCIIchar";
inline constexpr std::string_view kUnicodeChar = "HLAunicodeChar";
inline constexpr std::string_view kBoolean = "HLAboolean";
// In a variant record, the alternative for every enumerator no other alternative names.
inline constexpr std::string_view kOtherEnumerators = "HLAother";

// Characters travel as text: HLAASCIIchar as one octet, HLAunicodeChar as one UTF-16 unit.
bool isCharacterType(std::string_view name);
// An array, fixed or variable, of characters.
bool isCharacterArray(const DataType& type);

// "a fixed record", "an array of HLAfloat64BE", … for descriptions.
std::string kindText(const DataType& type);
// A type's name as a message gives it: in quotes.
std::string quotedName(std::string_view name);

class DataLayout {
public:
    explicit DataLayout(const DataTypes& types) : m_types(types) {}

    // Each throws DataError naming the type when it, or a type it rests on, is not defined.
    const DataType& type(std::string_view name) const;
    // The basic representation beneath a basic, simple or enumerated type; also throws for a
    // size the codec cannot read (integers take 1, 2, 4 or 8 octets, reals 4 or 8).
    const DataType& basic(std::string_view name) const;
    int boundary(std::string_view name);
    // The type of a value depth types within another (0 at the top), as type() finds it; throws
    // DataError past kMaxDataNesting, where a table whose types contain themselves leads.
    const DataType& nested(std::string_view name, int depth) const;

    // The octets every value of the type takes at least: a lower bound for checking a count
    // against the octets left, 0 when nothing can be said.
    std::size_t leastSize(std::string_view name);
    // The octets a value takes when every value of the type takes the same.
    std::optional<std::size_t> exactSize(std::string_view name);

private:
    std::size_t leastSize(std::string_view name, int depth);
    std::optional<std::size_t> exactSize(std::string_view name, int depth);

    const DataTypes& m_types;
    std::map<std::string, int, std::less<>> m_boundaries;
    std::map<std::string, std::size_t, std::less<>> m_leastSizes;
};

// The enumerator of an enumerated type with that value, or that name; null when none.
const DataType::Enumerator* enumeratorWithValue(const DataType& type, std::int64_t value);
const DataType::Enumerator* enumeratorNamed(const DataType& type, std::string_view name);

// The alternative of a variant record the discriminant's enumerator selects; null when none.
const DataType::Alternative* selectAlternative(const DataType& variant,
                                               std::string_view enumerator);

// The octets that bring `offset` (counted from the start of the enclosing record or array)
// to a multiple of `boundary`.
std::size_t paddingFor(std::size_t offset, int boundary);

}  // namespace hla
