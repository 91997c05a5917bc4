#pragma once

// A value of any data type a federation description declares, decoded from its octets and
// kept apart from how it travelled: what a reader shows and a writer fills in.

#include <cstdint>
#include <string>
#include <vector>

namespace hla {

struct DataValue {
    enum class Kind {
        Signed,      // a signed integer representation: `integer`
        Unsigned,    // an unsigned integer representation: `natural`
        Real,        // a float representation: `real`; `single` when it took 4 octets
        Text,        // a character, or an array of characters: `text` in UTF-16 code units
        Enumerator,  // `name` and its value in `integer`
        Array,       // `elements`, in order
        Record,      // `fields` in order; a variant record holds its discriminant and, when the
                     // selected alternative has one, that alternative's field
    };
    struct Field;

    Kind kind = Kind::Signed;
    std::int64_t integer = 0;
    std::uint64_t natural = 0;
    double real = 0;
    bool single = false;
    std::u16string text;
    std::string name;
    std::vector<DataValue> elements;
    std::vector<Field> fields;

    static DataValue ofSigned(std::int64_t value);
    static DataValue ofUnsigned(std::uint64_t value);
    static DataValue ofReal(double value, bool single = false);
    static DataValue ofText(std::u16string value);
    static DataValue ofEnumerator(std::string name, std::int64_t value);
    static DataValue ofArray(std::vector<DataValue> elements);
    static DataValue ofRecord(std::vector<Field> fields);

    bool operator==(const DataValue& other) const;
};

struct DataValue::Field {
    std::string name;
    DataValue value;
    bool operator==(const Field&) const = default;
};

// A readable text of a value, the same in every locale:
//   integers in decimal: -42, 18446744073709551615
//   reals in the shortest form that reads back to the same number (the same float, for one
//     of 4 octets), with a point: 2.5, 1e+19, 0.1; and INF, -INF, NaN
//   text as it is at the top level, in double quotes inside an array or record, where a
//     quote or backslash in it is preceded by a backslash: "a \"b\""
//   an enumerator by its name: HLAtrue
//   arrays as [1, 2, 3], records as {x=1, y=2.5}; a variant record as
//     {discriminant=Enumerator, field=value}, without the field when its alternative has none
std::u16string readableText(const DataValue& value);

}  // namespace hla
