#include "platform/hla/XmlFomDataTypes.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

namespace hla::xmlfom {

namespace {

// The widest basic representation read: 1024 bits.
constexpr long kMaxBasicBits = 1024;

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        std::string item = trimmed(std::string_view(text).substr(start, comma - start));
        if (!item.empty()) items.push_back(std::move(item));
        start = comma + 1;
    }
    return items;
}

std::optional<std::uint64_t> parseUnsigned(std::string_view text) {
    if (text.empty() || text.size() > 19) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative || (!text.empty() && text.front() == '+')) text.remove_prefix(1);
    const auto magnitude = parseUnsigned(text);
    if (!magnitude) return std::nullopt;
    const auto value = static_cast<std::int64_t>(*magnitude);
    return negative ? -value : value;
}

// How a basic representation's octets read, from what its name and description say: the
// standard's own say "float", "unsigned", "octet" or "two's complement"; a single octet is
// unsigned unless it says it is signed.
DataType::Number numberOf(const std::string& name, const Values& values, int octets) {
    std::string text = lower(name);
    for (const char* key : {"interpretation", "encoding"}) {
        if (const Value* value = values.find(key)) text += " " + lower(value->text);
    }
    const auto mentions = [&](const char* word) { return text.find(word) != std::string::npos; };
    if (mentions("float") || mentions("754") || mentions("double-precision") ||
        mentions("single-precision")) {
        return DataType::Number::Float;
    }
    if (mentions("unsigned")) return DataType::Number::UnsignedInteger;
    bool saysSigned = false;
    for (std::size_t at = text.find("signed"); at != std::string::npos;
         at = text.find("signed", at + 1)) {
        if (at < 2 || text.compare(at - 2, 2, "un") != 0) saysSigned = true;
    }
    if (octets == 1) {
        return saysSigned ? DataType::Number::SignedInteger : DataType::Number::UnsignedInteger;
    }
    if (lower(name).find("octet") != std::string::npos) return DataType::Number::UnsignedInteger;
    return DataType::Number::SignedInteger;
}

const char* kindName(DataType::Kind kind) {
    switch (kind) {
        case DataType::Kind::Basic:
            return "basic data representation";
        case DataType::Kind::Simple:
            return "simple data type";
        case DataType::Kind::Enumerated:
            return "enumerated data type";
        case DataType::Kind::Array:
            return "array data type";
        case DataType::Kind::FixedRecord:
            return "fixed record data type";
        case DataType::Kind::VariantRecord:
            return "variant record data type";
    }
    return "data type";
}

void problem(DataType& type, const std::string& description) {
    if (type.problem.empty()) type.problem = description;
}

// The value, or empty with the problem noted.
std::string wanted(DataType& type, const Values& values, std::string_view key,
                   const std::string& what) {
    const Value* value = stated(values, key);
    if (!value) {
        problem(type, what + " has no " + std::string(key));
        return {};
    }
    return value->text;
}

std::string encoding(const Values& values, const char* standard) {
    const Value* value = stated(values, "encoding");
    return value ? value->text : standard;
}

void basic(DataType& type, const Values& values) {
    type.endian = Endian::Big;
    if (const Value* endian = stated(values, "endian")) {
        if (sameLetters(endian->text, "Little")) {
            type.endian = Endian::Little;
        } else if (!sameLetters(endian->text, "Big")) {
            problem(type, "endian \"" + endian->text + "\" is neither Big nor Little");
        }
    }
    const std::string size = wanted(type, values, "size", "it");
    if (size.empty()) return;
    const auto bits = parseUnsigned(size);
    if (!bits || *bits == 0 || *bits % 8 != 0 || *bits > kMaxBasicBits) {
        problem(type, "size \"" + size + "\" is not a whole number of octets from 8 to " +
                          std::to_string(kMaxBasicBits) + " bits");
        return;
    }
    type.size = static_cast<int>(*bits / 8);
    if (type.size == 1) type.endian = Endian::Big;  // one octet has no order
    type.number = numberOf(type.name, values, type.size);
}

// An integer, or a single character for an enumeration of characters (1516-2000
// documents write values="H" for an HLAASCIIchar representation).
std::int64_t enumeratorValue(DataType& type, const std::string& enumerator,
                             const std::string& item) {
    if (const auto number = parseInteger(item)) return *number;
    const QString text = QString::fromStdString(item);
    if (text.size() == 1 || (text.size() == 2 && text[0].isHighSurrogate())) {
        return static_cast<std::int64_t>(text.toUcs4().front());
    }
    problem(type, "value \"" + item + "\" of enumerator " + enumerator + " is not an integer");
    return 0;
}

void enumerators(DataType& type, const std::vector<Leaf>& items) {
    for (const Leaf& item : items) {
        const std::string name = wanted(type, item.values, "name", "an enumerator");
        bool any = false;
        for (const char* key : {"value", "values"}) {
            for (const Value* value : item.values.all(key)) {
                for (const std::string& item : splitList(value->text)) {
                    type.enumerators.push_back({name, enumeratorValue(type, name, item)});
                    any = true;
                }
            }
        }
        if (!any) problem(type, "enumerator " + name + " has no value");
    }
}

// "Dynamic", a number, a range "[1..10]", or one of these for each dimension; a count
// only when every dimension is a number.
std::optional<std::uint32_t> parseCardinality(DataType& type, const std::string& text) {
    std::optional<std::uint64_t> count = 1;
    const auto refuse = [&](const std::string& why) {
        problem(type, "cardinality \"" + text + "\" " + why);
        return std::nullopt;
    };
    const std::vector<std::string> dimensions = splitList(text);
    if (dimensions.empty()) return refuse("is empty");
    for (const std::string& dimension : dimensions) {
        if (sameLetters(dimension, "Dynamic")) {
            count.reset();
            continue;
        }
        if (const auto number = parseUnsigned(dimension)) {
            if (count) {
                if (*number != 0 && *count > std::numeric_limits<std::uint32_t>::max() / *number) {
                    return refuse("is more elements than an array can hold");
                }
                *count *= *number;
            }
            continue;
        }
        const std::size_t dots = dimension.find("..");
        if (dimension.size() > 2 && dimension.front() == '[' && dimension.back() == ']' &&
            dots != std::string::npos && parseUnsigned(trimmed(dimension.substr(1, dots - 1))) &&
            parseUnsigned(trimmed(dimension.substr(dots + 2, dimension.size() - dots - 3)))) {
            count.reset();
            continue;
        }
        return refuse("is not Dynamic, a number or a range [m..n]");
    }
    if (!count) return std::nullopt;
    return static_cast<std::uint32_t>(*count);
}

void array(DataType& type, const Values& values) {
    type.elementType = wanted(type, values, "dataType", "it");
    if (const Value* cardinality = stated(values, "cardinality")) {
        type.cardinality = parseCardinality(type, cardinality->text);
    }
    type.encoding = encoding(values, type.cardinality ? "HLAfixedArray" : "HLAvariableArray");
    type.variableEncoding = type.encoding != "HLAfixedArray";
}

void variant(DataType& type, const std::vector<Leaf>& items, const Values& values) {
    type.discriminantName = wanted(type, values, "discriminant", "it");
    type.discriminantType = wanted(type, values, "dataType", "it");
    type.encoding = encoding(values, "HLAvariantRecord");
    for (const Leaf& item : items) {
        DataType::Alternative alternative;
        alternative.enumerators =
            splitList(wanted(type, item.values, "enumerator", "an alternative"));
        const std::string which =
            alternative.enumerators.empty() ? "?" : alternative.enumerators.front();
        // An alternative without a field leaves both out, or says so.
        const Value* fieldName = stated(item.values, "name");
        if (fieldName && fieldName->text != "HLAnoFieldName") alternative.name = fieldName->text;
        const Value* fieldType = stated(item.values, "dataType");
        if (fieldType && fieldType->text != "HLAnoDataType") alternative.type = fieldType->text;
        if (alternative.name.empty() != alternative.type.empty()) {
            problem(type, "the alternative " + which + " gives a field " +
                              (alternative.name.empty() ? "data type without a name"
                                                        : "name without a data type"));
        }
        type.alternatives.push_back(std::move(alternative));
    }
}

}  // namespace

DataType dataTypeOf(const XmlType& t, const std::string& module) {
    DataType type;
    type.kind = t.kind;
    type.module = module;
    type.name =
        required(module, t.values, t.pos, "name", std::string("a ") + kindName(t.kind)).text;
    switch (t.kind) {
        case DataType::Kind::Basic:
            basic(type, t.values);
            break;
        case DataType::Kind::Simple:
            type.representation = wanted(type, t.values, "representation", "it");
            break;
        case DataType::Kind::Enumerated:
            type.representation = wanted(type, t.values, "representation", "it");
            enumerators(type, t.items);
            break;
        case DataType::Kind::Array:
            array(type, t.values);
            break;
        case DataType::Kind::FixedRecord:
            type.encoding = encoding(t.values, "HLAfixedRecord");
            for (const Leaf& item : t.items) {
                DataType::Field field;
                field.name = wanted(type, item.values, "name", "a field");
                field.type = wanted(type, item.values, "dataType",
                                    "field " + (field.name.empty() ? "?" : field.name));
                type.fields.push_back(std::move(field));
            }
            break;
        case DataType::Kind::VariantRecord:
            variant(type, t.items, t.values);
            break;
    }
    return type;
}

}  // namespace hla::xmlfom
