#pragma once

#include "cao/Variant.h"
#include "platform/hla/DataTypes.h"
#include "platform/hla/Types.h"

#include <QString>

#include <optional>
#include <string>

namespace provider {

class Federate;

// How the values of one variable travel: as the FOM data type of its parameter or attribute
// declares (docs/encoding.md), or, where the description declares none, in the provider's
// own encoding (Encoding.h) in the byte order option 4 chooses.
struct ValueCoding {
    std::string fomType;  // empty: the provider's own encoding
    bool bigEndian = false;
};

// The value a write of variable `name` sends, converted to the variable's data type. Throws
// cao::Error when the class is not published (option 32), when the FOM data type has no
// variant of its own (a record, an array of other than characters), or when the value does
// not convert ("Type mismatch", "Overflow").
cao::Variant valueForWrite(const QString& name, bool published, const cao::Variant& value,
                           cao::VarType type, const hla::DataTypes& types,
                           const ValueCoding& coding);

// The bytes that carry `typed` (valueForWrite's result). Throws cao::Error "Type mismatch" or
// "Overflow" when it is no value of the FOM data type, or describing why it cannot be sent.
hla::Bytes payloadForWrite(const QString& name, const cao::Variant& typed,
                           const hla::DataTypes& types, const ValueCoding& coding);

// A payload received for variable `name` as a value of its type. Throws cao::Error whose
// description names the variable, the data type and why the payload is none of it.
cao::Variant receivedValue(const QString& name, const hla::Bytes& payload, cao::VarType type,
                           const hla::DataTypes& types, const ValueCoding& coding);

// receivedValue into `value`. A payload that is no value of the type raises message -1 with
// the description, leaves `value` as it was and gives false.
bool takeReceivedValue(Federate& federate, const QString& name, const hla::Bytes& payload,
                       cao::VarType type, const ValueCoding& coding,
                       std::optional<hla::LogicalTime> timestamp, cao::Variant& value);

}  // namespace provider
