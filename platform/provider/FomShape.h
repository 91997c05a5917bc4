#pragma once

// What a FOM data type is to a variant: which conversion a write and a receipt take.

#include "platform/hla/DataTypes.h"

#include <string_view>

namespace provider {

struct FomShape {
    enum class Kind {
        Integer,     // an integer representation, or a simple type on one (HLAbyte …)
        Real,        // a float representation, or a simple type on one
        Boolean,     // HLAboolean
        Character,   // HLAASCIIchar, HLAunicodeChar
        Text,        // an array of characters: HLAASCIIstring, HLAunicodeString, …
        Enumerated,  // any other enumerated type
        Composite,   // records and arrays of anything else: no variant of their own
    };

    Kind kind = Kind::Composite;
    const hla::DataType* type = nullptr;
    // Integer, Real, Character, Boolean, Enumerated: the basic representation beneath.
    const hla::DataType* basic = nullptr;
    // Character, Text: one octet a character (HLAASCIIchar) rather than UTF-16.
    bool ascii = false;
};

// Throws hla::DataError when the type, or one it rests on, is not defined, or rests on a
// representation the codec cannot read.
FomShape fomShape(const hla::DataTypes& types, std::string_view name);

}  // namespace provider
