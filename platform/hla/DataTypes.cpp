#include "platform/hla/DataTypes.h"

#include "platform/hla/Error.h"

#include <algorithm>

namespace hla {

namespace {

constexpr const char* kPredefined = kPredefinedDataTypes;
// Alignment of the count of a variable array (HLAinteger32BE).
constexpr int kCountBoundary = 4;
// How deep types may rest on one another before the table is taken to loop.
constexpr int kMaxTypeDepth = 64;

DataType basic(const char* name, int size, DataType::Number number, Endian endian) {
    DataType type;
    type.kind = DataType::Kind::Basic;
    type.name = name;
    type.size = size;
    type.number = number;
    type.endian = endian;
    type.module = kPredefined;
    return type;
}

DataType simple(const char* name, const char* representation) {
    DataType type;
    type.kind = DataType::Kind::Simple;
    type.name = name;
    type.representation = representation;
    type.module = kPredefined;
    return type;
}

DataType array(const char* name, const char* element, std::optional<std::uint32_t> cardinality) {
    DataType type;
    type.kind = DataType::Kind::Array;
    type.name = name;
    type.elementType = element;
    type.cardinality = cardinality;
    type.variableEncoding = !cardinality;
    type.encoding = cardinality ? "HLAfixedArray" : "HLAvariableArray";
    type.module = kPredefined;
    return type;
}

std::vector<DataType> predefined() {
    using N = DataType::Number;
    std::vector<DataType> types;
    for (const Endian endian : {Endian::Big, Endian::Little}) {
        const bool big = endian == Endian::Big;
        types.push_back(
            basic(big ? "HLAinteger16BE" : "HLAinteger16LE", 2, N::SignedInteger, endian));
        types.push_back(
            basic(big ? "HLAinteger32BE" : "HLAinteger32LE", 4, N::SignedInteger, endian));
        types.push_back(
            basic(big ? "HLAinteger64BE" : "HLAinteger64LE", 8, N::SignedInteger, endian));
        types.push_back(basic(big ? "HLAfloat32BE" : "HLAfloat32LE", 4, N::Float, endian));
        types.push_back(basic(big ? "HLAfloat64BE" : "HLAfloat64LE", 8, N::Float, endian));
        types.push_back(
            basic(big ? "HLAoctetPairBE" : "HLAoctetPairLE", 2, N::UnsignedInteger, endian));
    }
    types.push_back(basic("HLAoctet", 1, N::UnsignedInteger, Endian::Big));
    types.push_back(simple("HLAASCIIchar", "HLAoctet"));
    types.push_back(simple("HLAunicodeChar", "HLAoctetPairBE"));
    types.push_back(simple("HLAbyte", "HLAoctet"));

    DataType boolean;
    boolean.kind = DataType::Kind::Enumerated;
    boolean.name = "HLAboolean";
    boolean.representation = "HLAinteger32BE";
    boolean.enumerators = {{"HLAfalse", 0}, {"HLAtrue", 1}};
    boolean.module = kPredefined;
    types.push_back(boolean);

    types.push_back(array("HLAASCIIstring", "HLAASCIIchar", std::nullopt));
    types.push_back(array("HLAunicodeString", "HLAunicodeChar", std::nullopt));
    types.push_back(array("HLAopaqueData", "HLAbyte", std::nullopt));
    types.push_back(array("HLAtoken", "HLAbyte", 0));
    return types;
}

}  // namespace

bool DataType::sameDefinition(const DataType& other) const {
    if (kind != other.kind || name != other.name || problem != other.problem) return false;
    switch (kind) {
        case Kind::Basic:
            return size == other.size && number == other.number && endian == other.endian;
        case Kind::Simple:
            return representation == other.representation;
        case Kind::Enumerated:
            return representation == other.representation && enumerators == other.enumerators;
        case Kind::Array:
            return elementType == other.elementType && cardinality == other.cardinality &&
                   variableEncoding == other.variableEncoding && encoding == other.encoding;
        case Kind::FixedRecord:
            return fields == other.fields && encoding == other.encoding;
        case Kind::VariantRecord:
            return discriminantName == other.discriminantName &&
                   discriminantType == other.discriminantType &&
                   alternatives == other.alternatives && encoding == other.encoding;
    }
    return false;
}

DataTypes::DataTypes() {
    for (DataType& type : predefined()) add(std::move(type));
}

std::string describeModule(const std::string& module) {
    if (module == kPredefined) return module;
    return "\"" + module + "\"";
}

void DataTypes::add(DataType type) {
    if (const DataType* existing = find(type.name)) {
        if (existing->sameDefinition(type)) return;
        throw Error(ErrorKind::InconsistentFdd, "data type " + type.name +
                                                    " is defined differently in " +
                                                    describeModule(existing->module) + " and in " +
                                                    describeModule(type.module));
    }
    m_byName.emplace(type.name, m_types.size());
    m_types.push_back(std::move(type));
}

const DataType* DataTypes::find(std::string_view name) const {
    const auto it = m_byName.find(name);
    return it == m_byName.end() ? nullptr : &m_types[it->second];
}

std::vector<const DataType*> DataTypes::all() const {
    std::vector<const DataType*> types;
    types.reserve(m_types.size());
    for (const DataType& type : m_types) types.push_back(&type);
    return types;
}

const DataType* DataTypes::basicOf(std::string_view name) const {
    const DataType* type = find(name);
    for (int depth = 0; type && depth < kMaxTypeDepth; ++depth) {
        if (!type->problem.empty()) return nullptr;
        if (type->kind == DataType::Kind::Basic) return type;
        if (type->kind != DataType::Kind::Simple && type->kind != DataType::Kind::Enumerated) {
            return nullptr;
        }
        type = find(type->representation);
    }
    return nullptr;
}

int DataTypes::octetBoundary(std::string_view name) const {
    // Walked with an explicit depth so that a table whose types rest on one another in a
    // circle ends with "not defined" instead of recursing without end.
    struct Walk {
        const DataTypes& types;
        int boundary(std::string_view typeName, int depth) const {
            const DataType* type = types.find(typeName);
            if (!type || !type->problem.empty() || depth > kMaxTypeDepth) return 0;
            switch (type->kind) {
                case DataType::Kind::Basic:
                    return type->size;
                case DataType::Kind::Simple:
                case DataType::Kind::Enumerated:
                    return boundary(type->representation, depth + 1);
                case DataType::Kind::Array: {
                    const int element = boundary(type->elementType, depth + 1);
                    if (element == 0) return 0;
                    return type->variableEncoding ? std::max(kCountBoundary, element) : element;
                }
                case DataType::Kind::FixedRecord: {
                    int widest = 1;
                    for (const DataType::Field& field : type->fields) {
                        const int b = boundary(field.type, depth + 1);
                        if (b == 0) return 0;
                        widest = std::max(widest, b);
                    }
                    return widest;
                }
                case DataType::Kind::VariantRecord: {
                    int widest = boundary(type->discriminantType, depth + 1);
                    if (widest == 0) return 0;
                    for (const DataType::Alternative& alternative : type->alternatives) {
                        if (alternative.type.empty()) continue;
                        const int b = boundary(alternative.type, depth + 1);
                        if (b == 0) return 0;
                        widest = std::max(widest, b);
                    }
                    return widest;
                }
            }
            return 0;
        }
    };
    return Walk{*this}.boundary(name, 0);
}

}  // namespace hla
