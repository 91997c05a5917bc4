#include "platform/hla/DataLayout.h"

#include <algorithm>
#include <limits>

namespace hla {

namespace {

// Octets of the element count before a variable array's elements (HLAinteger32BE).
constexpr std::size_t kCountSize = 4;
constexpr std::size_t kUnbounded = std::numeric_limits<std::size_t>::max();

std::size_t saturatingProduct(std::size_t a, std::size_t b) {
    if (a != 0 && b > kUnbounded / a) return kUnbounded;
    return a * b;
}

std::size_t saturatingSum(std::size_t a, std::size_t b) {
    return b > kUnbounded - a ? kUnbounded : a + b;
}

bool readableBasic(const DataType& type) {
    if (type.number == DataType::Number::Float) return type.size == 4 || type.size == 8;
    return type.size == 1 || type.size == 2 || type.size == 4 || type.size == 8;
}

}  // namespace

std::string quotedName(std::string_view name) {
    return "\"" + std::string(name) + "\"";
}

bool isCharacterType(std::string_view name) {
    return name == kAsciiChar || name == kUnicodeChar;
}

bool isCharacterArray(const DataType& type) {
    return type.kind == DataType::Kind::Array && isCharacterType(type.elementType);
}

std::string kindText(const DataType& type) {
    switch (type.kind) {
        case DataType::Kind::Basic:
            return "a basic representation";
        case DataType::Kind::Simple:
            return "a simple type";
        case DataType::Kind::Enumerated:
            return "an enumerated type";
        case DataType::Kind::Array:
            if (type.variableEncoding) return "a variable array of " + quotedName(type.elementType);
            return "a fixed array of " + std::to_string(type.cardinality.value_or(0)) + " " +
                   quotedName(type.elementType);
        case DataType::Kind::FixedRecord:
            return "a fixed record";
        case DataType::Kind::VariantRecord:
            return "a variant record";
    }
    return "a data type";
}

const DataType& DataLayout::type(std::string_view name) const {
    const DataType* found = m_types.find(name);
    if (!found) throw DataError("data type " + quotedName(name) + " is not defined");
    return *found;
}

const DataType& DataLayout::nested(std::string_view name, int depth) const {
    if (depth > kMaxDataNesting) {
        throw DataError("data type " + quotedName(name) + " lies deeper than " +
                        std::to_string(kMaxDataNesting) +
                        " types within one another, or contains itself");
    }
    return type(name);
}

const DataType& DataLayout::basic(std::string_view name) const {
    type(name);
    const DataType* found = m_types.basicOf(name);
    if (!found) {
        throw DataError("data type " + quotedName(name) +
                        " does not rest on a defined basic representation");
    }
    if (!readableBasic(*found)) {
        throw DataError("basic representation " + quotedName(found->name) + " takes " +
                        std::to_string(found->size) +
                        " octets; integers take 1, 2, 4 or 8 and reals 4 or 8");
    }
    return *found;
}

int DataLayout::boundary(std::string_view name) {
    const auto cached = m_boundaries.find(name);
    if (cached != m_boundaries.end()) return cached->second;
    type(name);
    const int found = m_types.octetBoundary(name);
    if (found <= 0) {
        throw DataError("the octet boundary of data type " + quotedName(name) +
                        " cannot be worked out: a type it rests on is not defined, or it "
                        "contains itself");
    }
    m_boundaries.emplace(name, found);
    return found;
}

std::size_t DataLayout::leastSize(std::string_view name) {
    return leastSize(name, 0);
}

std::size_t DataLayout::leastSize(std::string_view name, int depth) {
    const auto cached = m_leastSizes.find(name);
    if (cached != m_leastSizes.end()) return cached->second;
    const DataType* found = m_types.find(name);
    if (!found || depth > kMaxDataNesting) return 0;
    std::size_t least = 0;
    switch (found->kind) {
        case DataType::Kind::Basic:
            least = static_cast<std::size_t>(std::max(found->size, 0));
            break;
        case DataType::Kind::Simple:
        case DataType::Kind::Enumerated:
            least = leastSize(found->representation, depth + 1);
            break;
        case DataType::Kind::Array:
            least = found->variableEncoding
                        ? kCountSize
                        : saturatingProduct(found->cardinality.value_or(0),
                                            leastSize(found->elementType, depth + 1));
            break;
        case DataType::Kind::FixedRecord:
            for (const DataType::Field& field : found->fields) {
                least = saturatingSum(least, leastSize(field.type, depth + 1));
            }
            break;
        case DataType::Kind::VariantRecord:
            least = leastSize(found->discriminantType, depth + 1);
            break;
    }
    m_leastSizes.emplace(name, least);
    return least;
}

std::optional<std::size_t> DataLayout::exactSize(std::string_view name) {
    return exactSize(name, 0);
}

std::optional<std::size_t> DataLayout::exactSize(std::string_view name, int depth) {
    const DataType* found = m_types.find(name);
    if (!found || depth > kMaxDataNesting) return std::nullopt;
    switch (found->kind) {
        case DataType::Kind::Basic:
            return static_cast<std::size_t>(std::max(found->size, 0));
        case DataType::Kind::Simple:
        case DataType::Kind::Enumerated:
            return exactSize(found->representation, depth + 1);
        case DataType::Kind::Array: {
            if (found->variableEncoding || !found->cardinality) return std::nullopt;
            const auto element = exactSize(found->elementType, depth + 1);
            const int elementBoundary = m_types.octetBoundary(found->elementType);
            if (!element || elementBoundary <= 0) return std::nullopt;
            if (*found->cardinality == 0) return 0;
            const std::size_t stride = *element + paddingFor(*element, elementBoundary);
            const std::size_t total =
                saturatingSum(saturatingProduct(*found->cardinality - 1, stride), *element);
            if (total == kUnbounded) return std::nullopt;
            return total;
        }
        case DataType::Kind::FixedRecord: {
            std::size_t offset = 0;
            for (const DataType::Field& field : found->fields) {
                const auto size = exactSize(field.type, depth + 1);
                const int fieldBoundary = m_types.octetBoundary(field.type);
                if (!size || fieldBoundary <= 0) return std::nullopt;
                offset = saturatingSum(offset + paddingFor(offset, fieldBoundary), *size);
                if (offset == kUnbounded) return std::nullopt;
            }
            return offset;
        }
        case DataType::Kind::VariantRecord:
            return std::nullopt;
    }
    return std::nullopt;
}

const DataType::Enumerator* enumeratorWithValue(const DataType& type, std::int64_t value) {
    for (const DataType::Enumerator& enumerator : type.enumerators) {
        if (enumerator.value == value) return &enumerator;
    }
    return nullptr;
}

const DataType::Enumerator* enumeratorNamed(const DataType& type, std::string_view name) {
    for (const DataType::Enumerator& enumerator : type.enumerators) {
        if (enumerator.name == name) return &enumerator;
    }
    return nullptr;
}

const DataType::Alternative* selectAlternative(const DataType& variant,
                                               std::string_view enumerator) {
    const DataType::Alternative* other = nullptr;
    for (const DataType::Alternative& alternative : variant.alternatives) {
        for (const std::string& name : alternative.enumerators) {
            if (name == enumerator) return &alternative;
            if (name == kOtherEnumerators) other = &alternative;
        }
    }
    return other;
}

std::size_t paddingFor(std::size_t offset, int boundary) {
    const auto b = static_cast<std::size_t>(std::max(boundary, 1));
    return (b - offset % b) % b;
}

}  // namespace hla
