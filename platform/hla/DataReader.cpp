#include "platform/hla/DataReader.h"

#include "platform/hla/DataOctets.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace hla {

namespace {

std::string octets(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " octet" : " octets");
}

}  // namespace

DataValue DataReader::whole(std::string_view type) {
    m_layout.type(type);
    if (const auto exact = m_layout.exactSize(type); exact && *exact != m_bytes.size()) {
        throw DataError(octets(m_bytes.size()) + ", where a value of " + quotedName(type) +
                        " takes " + octets(*exact));
    }
    DataValue value = read(type, 0);
    if (m_pos != m_bytes.size()) {
        throw DataError(octets(m_bytes.size() - m_pos) + " follow the value of " +
                        quotedName(type) + ", which ends at octet " + std::to_string(m_pos));
    }
    return value;
}

void DataReader::need(std::size_t n, const std::string& what) const {
    if (remaining() >= n) return;
    throw DataError("the octets end at octet " + std::to_string(m_bytes.size()) + " inside " +
                    what + ", which takes " + octets(n) + " from octet " + std::to_string(m_pos));
}

void DataReader::skipPadding(std::size_t start, std::string_view type) {
    const std::size_t padding = paddingFor(m_pos - start, m_layout.boundary(type));
    need(padding, "the padding before a value of " + quotedName(type));
    m_pos += padding;
}

void DataReader::counted(std::string_view type) {
    if (++m_values > kMaxDataValues) tooMany(type);
}

void DataReader::tooMany(std::string_view type) const {
    throw DataError("the value of " + quotedName(type) + " holds more than " +
                    std::to_string(kMaxDataValues) + " elements and fields");
}

std::uint64_t DataReader::bits(const DataType& basic, std::string_view type) {
    const auto size = static_cast<std::size_t>(basic.size);
    need(size, "a value of " + quotedName(type));
    const std::uint64_t value = readOctets(&m_bytes[m_pos], basic.size, basic.endian);
    m_pos += size;
    return value;
}

DataValue DataReader::read(std::string_view name, int depth) {
    const DataType& type = m_layout.nested(name, depth);
    switch (type.kind) {
        case DataType::Kind::Basic:
        case DataType::Kind::Simple:
            if (isCharacterType(name)) {
                return DataValue::ofText(
                    std::u16string(1, static_cast<char16_t>(bits(m_layout.basic(name), name))));
            }
            if (type.kind == DataType::Kind::Simple) return read(type.representation, depth + 1);
            return number(m_layout.basic(name), name);
        case DataType::Kind::Enumerated:
            return enumerator(type);
        case DataType::Kind::Array:
            return array(type, depth);
        case DataType::Kind::FixedRecord:
            return fixedRecord(type, depth);
        case DataType::Kind::VariantRecord:
            return variantRecord(type, depth);
    }
    throw DataError("data type " + quotedName(name) + " is of no kind the codec knows");
}

DataValue DataReader::number(const DataType& basic, std::string_view name) {
    const std::uint64_t raw = bits(basic, name);
    switch (basic.number) {
        case DataType::Number::Float:
            return DataValue::ofReal(realFromOctets(raw, basic.size),
                                     basic.size == kSingleRealOctets);
        case DataType::Number::SignedInteger:
            return DataValue::ofSigned(signExtended(raw, basic.size));
        case DataType::Number::UnsignedInteger:
            return DataValue::ofUnsigned(raw);
    }
    return DataValue::ofUnsigned(raw);
}

DataValue DataReader::enumerator(const DataType& type) {
    const DataType& basic = m_layout.basic(type.name);
    if (basic.number == DataType::Number::Float) {
        throw DataError("enumerated type " + quotedName(type.name) + " rests on " +
                        quotedName(basic.name) + ", which holds reals");
    }
    const DataValue raw = number(basic, type.name);
    const bool isSigned = raw.kind == DataValue::Kind::Signed;
    const bool fits =
        isSigned || raw.natural <= std::uint64_t(std::numeric_limits<std::int64_t>::max());
    const std::int64_t value = isSigned ? raw.integer : static_cast<std::int64_t>(raw.natural);
    const DataType::Enumerator* found = fits ? enumeratorWithValue(type, value) : nullptr;
    if (!found) {
        throw DataError("the value " +
                        (isSigned ? std::to_string(raw.integer) : std::to_string(raw.natural)) +
                        " is none of the enumerators of " + quotedName(type.name));
    }
    return DataValue::ofEnumerator(found->name, found->value);
}

DataValue DataReader::array(const DataType& type, int depth) {
    const std::size_t start = m_pos;
    std::size_t count = type.cardinality.value_or(0);
    if (type.variableEncoding) {
        need(kCountOctets, "the element count of " + quotedName(type.name));
        const auto declared =
            static_cast<std::int32_t>(readOctets(&m_bytes[m_pos], kCountOctets, Endian::Big));
        m_pos += kCountOctets;
        if (declared < 0) {
            throw DataError("the element count " + std::to_string(declared) + " of " +
                            quotedName(type.name) + " is negative");
        }
        count = static_cast<std::size_t>(declared);
        skipPadding(start, type.elementType);
    }
    const std::size_t least = m_layout.leastSize(type.elementType);
    if (least > 0 && count > remaining() / least) {
        throw DataError(quotedName(type.name) + " holds " + std::to_string(count) +
                        (count == 1 ? " element" : " elements") + ", more than the " +
                        octets(remaining()) + " left can carry");
    }
    if (isCharacterArray(type)) return text(type, count);
    // Elements may take no octets at all, so their number is bounded on its own.
    if (count > kMaxDataValues - m_values) tooMany(type.name);

    std::vector<DataValue> elements;
    elements.reserve(std::min(count, remaining()));
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) skipPadding(start, type.elementType);
        counted(type.name);
        elements.push_back(read(type.elementType, depth + 1));
    }
    return DataValue::ofArray(std::move(elements));
}

DataValue DataReader::text(const DataType& type, std::size_t count) {
    const DataType& basic = m_layout.basic(type.elementType);
    counted(type.name);
    std::u16string units;
    units.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        units.push_back(static_cast<char16_t>(bits(basic, type.elementType)));
    }
    return DataValue::ofText(std::move(units));
}

DataValue DataReader::fixedRecord(const DataType& type, int depth) {
    const std::size_t start = m_pos;
    std::vector<DataValue::Field> fields;
    fields.reserve(type.fields.size());
    for (const DataType::Field& field : type.fields) {
        skipPadding(start, field.type);
        counted(type.name);
        fields.push_back({field.name, read(field.type, depth + 1)});
    }
    return DataValue::ofRecord(std::move(fields));
}

DataValue DataReader::variantRecord(const DataType& type, int depth) {
    const std::size_t start = m_pos;
    if (m_layout.type(type.discriminantType).kind != DataType::Kind::Enumerated) {
        throw DataError("the discriminant of " + quotedName(type.name) + " is of data type " +
                        quotedName(type.discriminantType) + ", which is not enumerated");
    }
    counted(type.name);
    DataValue discriminant = read(type.discriminantType, depth + 1);
    const DataType::Alternative* alternative = selectAlternative(type, discriminant.name);
    if (!alternative) {
        throw DataError("the discriminant " + discriminant.name + " of " + quotedName(type.name) +
                        " selects none of its alternatives");
    }
    std::vector<DataValue::Field> fields;
    fields.push_back({type.discriminantName, std::move(discriminant)});
    if (!alternative->type.empty()) {
        skipPadding(start, alternative->type);
        counted(type.name);
        fields.push_back({alternative->name, read(alternative->type, depth + 1)});
    }
    return DataValue::ofRecord(std::move(fields));
}

}  // namespace hla
