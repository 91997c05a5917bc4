#include "platform/hla/DataWriter.h"

#include "platform/hla/DataOctets.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>

namespace hla {

namespace {

// Halfway between the largest float and the next power of two: from here a double no longer
// rounds to a finite float.
constexpr double kFloatOverflow = 0x1.ffffffp+127;
constexpr int kBitsPerOctet = 8;
constexpr char16_t kLargestOctet = 0xFF;
// A code unit is written U+ and at least four hexadecimal digits.
constexpr std::size_t kUnitDigits = 4;
constexpr std::uint64_t kCountLimit = std::numeric_limits<std::int32_t>::max();

std::string kindOf(const DataValue& value) {
    switch (value.kind) {
        case DataValue::Kind::Signed:
        case DataValue::Kind::Unsigned:
            return "an integer";
        case DataValue::Kind::Real:
            return "a real";
        case DataValue::Kind::Text:
            return "text";
        case DataValue::Kind::Enumerator:
            return "an enumerator";
        case DataValue::Kind::Array:
            return "an array";
        case DataValue::Kind::Record:
            return "a record";
    }
    return "a value";
}

DataError notTaken(std::string_view type, const std::string& what, const DataValue& value) {
    return DataError(quotedName(type) + " takes " + what + ", not " + kindOf(value));
}

std::string numberText(const DataValue& value) {
    return value.kind == DataValue::Kind::Signed ? std::to_string(value.integer)
                                                 : std::to_string(value.natural);
}

// Whether an integer fits a representation of `size` octets.
bool fitsInteger(const DataValue& value, int size, bool isSigned) {
    const int width = kBitsPerOctet * size;
    const std::uint64_t unsignedMax =
        width == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << width) - 1;
    const std::uint64_t signedMax = unsignedMax >> 1;
    if (value.kind == DataValue::Kind::Unsigned) {
        return value.natural <= (isSigned ? signedMax : unsignedMax);
    }
    if (value.integer >= 0) {
        return static_cast<std::uint64_t>(value.integer) <= (isSigned ? signedMax : unsignedMax);
    }
    // The magnitude of the most negative value is one more than the largest positive one.
    return isSigned &&
           std::uint64_t{0} - static_cast<std::uint64_t>(value.integer) <= signedMax + 1;
}

std::string realText(double value) {
    char buffer[32];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer), value);
    return std::string(buffer, result.ptr);
}

std::string unitText(char16_t unit) {
    char buffer[8];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer), unsigned{unit}, 16);
    std::string digits(buffer, result.ptr);
    for (char& c : digits) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return "U+" + std::string(kUnitDigits - std::min(kUnitDigits, digits.size()), '0') + digits;
}

}  // namespace

Bytes DataWriter::whole(std::string_view type, const DataValue& value) {
    write(type, value, 0);
    return std::move(m_out);
}

void DataWriter::padTo(std::size_t start, std::string_view type) {
    m_out.resize(m_out.size() + paddingFor(m_out.size() - start, m_layout.boundary(type)), 0);
}

void DataWriter::write(std::string_view name, const DataValue& value, int depth) {
    const DataType& type = m_layout.nested(name, depth);
    switch (type.kind) {
        case DataType::Kind::Basic:
        case DataType::Kind::Simple:
            if (isCharacterType(name)) {
                if (value.kind != DataValue::Kind::Text || value.text.size() != 1) {
                    throw notTaken(name, "one character", value);
                }
                character(name, value.text.front());
                return;
            }
            if (type.kind == DataType::Kind::Simple) {
                write(type.representation, value, depth + 1);
                return;
            }
            number(m_layout.basic(name), name, value);
            return;
        case DataType::Kind::Enumerated: {
            const DataType& basic = m_layout.basic(name);
            number(basic, name, DataValue::ofSigned(enumeratorOf(type, value).value));
            return;
        }
        case DataType::Kind::Array:
            array(type, value, depth);
            return;
        case DataType::Kind::FixedRecord:
            fixedRecord(type, value, depth);
            return;
        case DataType::Kind::VariantRecord:
            variantRecord(type, value, depth);
            return;
    }
}

void DataWriter::number(const DataType& basic, std::string_view name, const DataValue& value) {
    if (basic.number == DataType::Number::Float) {
        double real = 0;
        if (value.kind == DataValue::Kind::Real) {
            real = value.real;
        } else if (value.kind == DataValue::Kind::Signed) {
            real = static_cast<double>(value.integer);
        } else if (value.kind == DataValue::Kind::Unsigned) {
            real = static_cast<double>(value.natural);
        } else {
            throw notTaken(name, "a number", value);
        }
        if (basic.size == kSingleRealOctets && std::isfinite(real) &&
            std::fabs(real) >= kFloatOverflow) {
            throw DataError(realText(real) + " is beyond the range of " + quotedName(name));
        }
        writeOctets(m_out, octetsOfReal(real, basic.size), basic.size, basic.endian);
        return;
    }
    if (value.kind != DataValue::Kind::Signed && value.kind != DataValue::Kind::Unsigned) {
        throw notTaken(name, "an integer", value);
    }
    const bool isSigned = basic.number == DataType::Number::SignedInteger;
    if (!fitsInteger(value, basic.size, isSigned)) {
        throw DataError(numberText(value) + " is outside the range of " + quotedName(name) + ", " +
                        std::to_string(basic.size) + (isSigned ? " signed" : " unsigned") +
                        (basic.size == 1 ? " octet" : " octets"));
    }
    const std::uint64_t bits = value.kind == DataValue::Kind::Signed
                                   ? static_cast<std::uint64_t>(value.integer)
                                   : value.natural;
    writeOctets(m_out, bits, basic.size, basic.endian);
}

void DataWriter::character(std::string_view name, char16_t unit) {
    const DataType& basic = m_layout.basic(name);
    if (basic.size == 1 && unit > kLargestOctet) {
        throw DataError("the character " + unitText(unit) + " does not fit " + quotedName(name) +
                        ", which holds one octet");
    }
    writeOctets(m_out, unit, basic.size, basic.endian);
}

const DataType::Enumerator& DataWriter::enumeratorOf(const DataType& type,
                                                     const DataValue& value) const {
    const DataType::Enumerator* found = nullptr;
    if (value.kind == DataValue::Kind::Enumerator && !value.name.empty()) {
        found = enumeratorNamed(type, value.name);
    } else if (value.kind == DataValue::Kind::Enumerator || value.kind == DataValue::Kind::Signed) {
        found = enumeratorWithValue(type, value.integer);
    } else if (value.kind == DataValue::Kind::Unsigned &&
               value.natural <= std::uint64_t(std::numeric_limits<std::int64_t>::max())) {
        found = enumeratorWithValue(type, static_cast<std::int64_t>(value.natural));
    } else if (value.kind != DataValue::Kind::Unsigned) {
        throw notTaken(type.name, "an enumerator", value);
    }
    if (!found) {
        const std::string given = value.kind == DataValue::Kind::Enumerator && !value.name.empty()
                                      ? value.name
                                      : numberText(value);
        throw DataError(given + " is none of the enumerators of " + quotedName(type.name));
    }
    return *found;
}

void DataWriter::array(const DataType& type, const DataValue& value, int depth) {
    if (isCharacterArray(type)) {
        if (value.kind == DataValue::Kind::Text) {
            text(type, value.text);
            return;
        }
        if (value.kind != DataValue::Kind::Array) throw notTaken(type.name, "text", value);
        std::u16string units;
        for (const DataValue& element : value.elements) {
            if (element.kind != DataValue::Kind::Text || element.text.size() != 1) {
                throw notTaken(type.elementType, "one character", element);
            }
            units += element.text;
        }
        text(type, units);
        return;
    }
    if (value.kind != DataValue::Kind::Array) throw notTaken(type.name, "an array", value);
    const std::size_t start = m_out.size();
    const std::size_t count = value.elements.size();
    if (!type.variableEncoding && count != type.cardinality.value_or(0)) {
        throw DataError(quotedName(type.name) + " holds " +
                        std::to_string(type.cardinality.value_or(0)) + " elements, not " +
                        std::to_string(count));
    }
    if (type.variableEncoding) {
        if (count > kCountLimit) {
            throw DataError(quotedName(type.name) + " holds at most " +
                            std::to_string(kCountLimit) + " elements, not " +
                            std::to_string(count));
        }
        writeOctets(m_out, count, kCountOctets, Endian::Big);
        padTo(start, type.elementType);
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) padTo(start, type.elementType);
        write(type.elementType, value.elements[i], depth + 1);
    }
}

void DataWriter::text(const DataType& type, const std::u16string& units) {
    const std::size_t start = m_out.size();
    if (!type.variableEncoding && units.size() != type.cardinality.value_or(0)) {
        throw DataError(quotedName(type.name) + " holds " +
                        std::to_string(type.cardinality.value_or(0)) + " characters, not " +
                        std::to_string(units.size()));
    }
    if (type.variableEncoding) {
        if (units.size() > kCountLimit) {
            throw DataError(quotedName(type.name) + " holds at most " +
                            std::to_string(kCountLimit) + " characters, not " +
                            std::to_string(units.size()));
        }
        writeOctets(m_out, units.size(), kCountOctets, Endian::Big);
        padTo(start, type.elementType);
    }
    for (const char16_t unit : units) character(type.elementType, unit);
}

void DataWriter::fixedRecord(const DataType& type, const DataValue& value, int depth) {
    if (value.kind != DataValue::Kind::Record) throw notTaken(type.name, "a record", value);
    if (value.fields.size() != type.fields.size()) {
        throw DataError(quotedName(type.name) + " has " + std::to_string(type.fields.size()) +
                        " fields, not " + std::to_string(value.fields.size()));
    }
    const std::size_t start = m_out.size();
    for (std::size_t i = 0; i < type.fields.size(); ++i) {
        const DataType::Field& field = type.fields[i];
        const DataValue::Field& given = value.fields[i];
        if (!given.name.empty() && given.name != field.name) {
            throw DataError("field " + std::to_string(i + 1) + " of " + quotedName(type.name) +
                            " is " + quotedName(field.name) + ", not " + quotedName(given.name));
        }
        padTo(start, field.type);
        write(field.type, given.value, depth + 1);
    }
}

void DataWriter::variantRecord(const DataType& type, const DataValue& value, int depth) {
    if (value.kind != DataValue::Kind::Record || value.fields.empty()) {
        throw notTaken(type.name, "a discriminant and the field it selects", value);
    }
    const DataType& discriminantType = m_layout.type(type.discriminantType);
    if (discriminantType.kind != DataType::Kind::Enumerated) {
        throw DataError("the discriminant of " + quotedName(type.name) + " is of data type " +
                        quotedName(type.discriminantType) + ", which is not enumerated");
    }
    const DataType::Enumerator& discriminant =
        enumeratorOf(discriminantType, value.fields.front().value);
    const DataType::Alternative* alternative = selectAlternative(type, discriminant.name);
    if (!alternative) {
        throw DataError("the discriminant " + discriminant.name + " of " + quotedName(type.name) +
                        " selects none of its alternatives");
    }
    const std::size_t fields = alternative->type.empty() ? 1 : 2;
    if (value.fields.size() != fields) {
        const std::string with =
            "with the discriminant " + discriminant.name + ", " + quotedName(type.name);
        throw DataError(fields == 1 ? with + " holds no field, yet one was given"
                                    : with + " holds the field " + quotedName(alternative->name) +
                                          ", which was not given");
    }
    const std::size_t start = m_out.size();
    write(type.discriminantType, DataValue::ofEnumerator(discriminant.name, discriminant.value),
          depth + 1);
    if (fields == 2) {
        padTo(start, alternative->type);
        write(alternative->type, value.fields.back().value, depth + 1);
    }
}

}  // namespace hla
