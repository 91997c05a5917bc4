#pragma once

#include "cao/Variant.h"
#include "platform/hla/Types.h"

namespace provider {

// Wire form of a variable's value: BOOL 2 bytes (-1, 0), UI1 1, I2 2, I4 4, R4 4, R8 8,
// DATE 8 (the date number), little-endian unless bigEndian; BSTR as UTF-8 and one NUL byte.

// value must already have one of the eight types; throws cao::Error for a text that holds a
// NUL character, which the receiver would cut short.
hla::Bytes encodeValue(const cao::Variant& value, bool bigEndian);

// Throws cao::Error describing why the bytes are no value of the type.
cao::Variant decodeValue(const hla::Bytes& bytes, cao::VarType type, bool bigEndian);

}  // namespace provider
