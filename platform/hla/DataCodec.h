#pragma once

// Values of a description's data types to and from the octets that travel, in the layout the
// IEEE 1516-2010 OMT gives them:
//   basic representations in their size and byte order;
//   simple types as their representation; enumerated types as their representation's
//   integer;
//   a fixed array as its elements in order; a variable array as an HLAinteger32BE count, then
//   the elements;
//   a fixed record as its fields in order; a variant record as its discriminant, then the
//   selected alternative's field.
// Every value begins on its type's octet boundary counted from the start of the record or
// array around it: the padding before it is zero when written and skipped when read. Nothing
// follows the last field or element.
//
// Characters are text: HLAASCIIchar is one octet read as its Latin-1 character, HLAunicodeChar
// one UTF-16 code unit, and an array of either (HLAASCIIstring, HLAunicodeString, or one a
// description declares) is one Text value. Other simple types and basic representations are
// integers (Signed, Unsigned) or reals; an enumerated value is an Enumerator; other arrays
// are Arrays and both kinds of record Records (DataValue.h).

#include "platform/hla/DataLayout.h"
#include "platform/hla/DataTypes.h"
#include "platform/hla/DataValue.h"
#include "platform/hla/Types.h"

#include <string_view>

namespace hla {

// Throws DataError saying why the octets are no value of the type: their number for a type
// whose values all take the same, the octets ending inside a value, a count beyond the octets
// left, an enumerator or alternative that does not exist, octets after the value, a type
// that is not defined, nesting deeper than kMaxDataNesting or more than kMaxDataValues
// elements and fields.
DataValue decode(const DataTypes& types, std::string_view type, const Bytes& bytes);

// Throws DataError saying why the value is none of the type: a kind the type does not take,
// an integer outside its representation's range, a character beyond it, a number of elements
// other than a fixed array's, fields other than the record's, an enumerator or alternative
// that does not exist.
Bytes encode(const DataTypes& types, std::string_view type, const DataValue& value);

}  // namespace hla
