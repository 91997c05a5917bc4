#pragma once

// The data types a federation description declares for its attributes and parameters, as the
// IEEE 1516-2010 OMT defines them: basic data representations, simple, enumerated, array,
// fixed record and variant record types. Enough to know how each one is encoded; semantics,
// units and notes are not kept.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hla {

enum class Endian { Big, Little };

struct DataType {
    enum class Kind { Basic, Simple, Enumerated, Array, FixedRecord, VariantRecord };
    // How a basic representation's octets read.
    enum class Number { SignedInteger, UnsignedInteger, Float };

    struct Enumerator {
        std::string name;
        std::int64_t value = 0;
        bool operator==(const Enumerator&) const = default;
    };
    struct Field {
        std::string name;
        std::string type;
        bool operator==(const Field&) const = default;
    };
    // One alternative of a variant record: the enumerators of the discriminant that select
    // it ("HLAother" stands for every enumerator no other alternative names), and the field
    // it holds (name and type empty for an alternative without a field).
    struct Alternative {
        std::vector<std::string> enumerators;
        std::string name;
        std::string type;
        bool operator==(const Alternative&) const = default;
    };

    Kind kind = Kind::Basic;
    std::string name;

    // Basic: the octets, how they read and their order.
    int size = 0;
    Number number = Number::UnsignedInteger;
    Endian endian = Endian::Big;

    // Simple and enumerated: the basic representation that carries the value.
    std::string representation;
    // Enumerated: the enumerators, in the order declared.
    std::vector<Enumerator> enumerators;

    // Array: the element type, the number of elements (none for "Dynamic") and whether the
    // count travels before the elements (HLAvariableArray) or not (HLAfixedArray).
    std::string elementType;
    std::optional<std::uint32_t> cardinality;
    bool variableEncoding = true;

    // Array, fixed record and variant record: the encoding's name as the OMT gives it
    // (HLAvariableArray, HLAfixedArray, HLAfixedRecord, HLAvariantRecord, or one a FOM defines,
    // which only its name tells apart). Empty for the other kinds.
    std::string encoding;

    // Fixed record: the fields in order.
    std::vector<Field> fields;

    // Variant record: the discriminant (an enumerated type) and the alternatives.
    std::string discriminantName;
    std::string discriminantType;
    std::vector<Alternative> alternatives;

    // Why values of the type cannot be encoded as the module writes it (an enumeration
    // without a representation, a size that is not whole octets, an enumerator whose value is
    // not an integer…); empty when they can. Such a type is kept so that a module written
    // carelessly can still be read; basicOf and octetBoundary do not go through it.
    std::string problem;

    // The module that defined it, to name in a conflict; not part of the definition.
    std::string module;

    // Same definition, whichever module it came from.
    bool sameDefinition(const DataType& other) const;
};

// The module a predefined type names as its own.
inline constexpr const char* kPredefinedDataTypes = "the predefined data types";

// A module as a message names it: in quotes, except the predefined types.
std::string describeModule(const std::string& module);

// The data types of one description, by name. Every table starts with the standard's
// predefined types (HLAinteger32BE … HLAunicodeString, HLAboolean …), which modules may
// restate but not change.
class DataTypes {
public:
    DataTypes();

    // Throws Error (InconsistentFdd) naming both modules when a type of that name is defined
    // differently; an identical definition is kept once.
    void add(DataType type);
    const DataType* find(std::string_view name) const;
    std::size_t size() const { return m_types.size(); }
    // In the order added, the predefined ones first.
    std::vector<const DataType*> all() const;

    // A type with its simple and enumerated layers taken away down to the basic
    // representation; null when the name, or a type it rests on, is not defined or has a
    // problem.
    const DataType* basicOf(std::string_view name) const;
    // The octet boundary the standard aligns values of the type to (1, 2, 4 or 8); 0 when a
    // type it rests on is not defined or has a problem.
    int octetBoundary(std::string_view name) const;

private:
    std::vector<DataType> m_types;
    std::map<std::string, std::size_t, std::less<>> m_byName;
};

}  // namespace hla
