#pragma once

// Data types built in code, as a federation description's modules would declare them, and
// readable data values in failure output.

#include "platform/hla/DataTypes.h"
#include "platform/hla/DataValue.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace fomtypes {

using hla::DataType;

inline DataType basic(std::string name, int size, DataType::Number number, hla::Endian endian) {
    DataType type;
    type.kind = DataType::Kind::Basic;
    type.name = std::move(name);
    type.size = size;
    type.number = number;
    type.endian = endian;
    return type;
}

inline DataType simple(std::string name, std::string representation) {
    DataType type;
    type.kind = DataType::Kind::Simple;
    type.name = std::move(name);
    type.representation = std::move(representation);
    return type;
}

inline DataType enumerated(std::string name, std::string representation,
                           std::vector<DataType::Enumerator> enumerators) {
    DataType type;
    type.kind = DataType::Kind::Enumerated;
    type.name = std::move(name);
    type.representation = std::move(representation);
    type.enumerators = std::move(enumerators);
    return type;
}

inline DataType variableArray(std::string name, std::string element) {
    DataType type;
    type.kind = DataType::Kind::Array;
    type.name = std::move(name);
    type.elementType = std::move(element);
    type.variableEncoding = true;
    return type;
}

inline DataType fixedArray(std::string name, std::string element, std::uint32_t cardinality) {
    DataType type;
    type.kind = DataType::Kind::Array;
    type.name = std::move(name);
    type.elementType = std::move(element);
    type.cardinality = cardinality;
    type.variableEncoding = false;
    return type;
}

inline DataType record(std::string name, std::vector<DataType::Field> fields) {
    DataType type;
    type.kind = DataType::Kind::FixedRecord;
    type.name = std::move(name);
    type.fields = std::move(fields);
    return type;
}

inline DataType variant(std::string name, std::string discriminantName,
                        std::string discriminantType,
                        std::vector<DataType::Alternative> alternatives) {
    DataType type;
    type.kind = DataType::Kind::VariantRecord;
    type.name = std::move(name);
    type.discriminantName = std::move(discriminantName);
    type.discriminantType = std::move(discriminantType);
    type.alternatives = std::move(alternatives);
    return type;
}

}  // namespace fomtypes

namespace hla {
inline void PrintTo(const DataValue& value, std::ostream* os) {
    *os << QString::fromStdU16String(readableText(value)).toStdString();
}
}  // namespace hla
