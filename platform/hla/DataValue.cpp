#include "platform/hla/DataValue.h"

#include <QString>

#include <bit>
#include <charconv>
#include <cmath>
#include <utility>

namespace hla {

namespace {

std::u16string fromAscii(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

std::u16string fromUtf8(const std::string& utf8) {
    return QString::fromStdString(utf8).toStdU16String();
}

template <typename Number>
std::u16string numberText(Number value) {
    char buffer[32];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer), value);
    return fromAscii(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

std::u16string realText(double value, bool single) {
    if (std::isnan(value)) return u"NaN";
    if (std::isinf(value)) return value < 0 ? u"-INF" : u"INF";
    if (value == 0) return u"0";  // also negative zero
    return single ? numberText(static_cast<float>(value)) : numberText(value);
}

std::u16string quoted(const std::u16string& text) {
    std::u16string out = u"\"";
    for (const char16_t c : text) {
        if (c == u'"' || c == u'\\') out += u'\\';
        out += c;
    }
    return out + u'"';
}

void append(std::u16string& out, const DataValue& value, bool nested) {
    switch (value.kind) {
        case DataValue::Kind::Signed:
            out += numberText(value.integer);
            return;
        case DataValue::Kind::Unsigned:
            out += numberText(value.natural);
            return;
        case DataValue::Kind::Real:
            out += realText(value.real, value.single);
            return;
        case DataValue::Kind::Text:
            out += nested ? quoted(value.text) : value.text;
            return;
        case DataValue::Kind::Enumerator:
            out += fromUtf8(value.name);
            return;
        case DataValue::Kind::Array: {
            out += u'[';
            const char16_t* separator = u"";
            for (const DataValue& element : value.elements) {
                out += separator;
                append(out, element, true);
                separator = u", ";
            }
            out += u']';
            return;
        }
        case DataValue::Kind::Record: {
            out += u'{';
            const char16_t* separator = u"";
            for (const DataValue::Field& field : value.fields) {
                out += separator;
                out += fromUtf8(field.name);
                out += u'=';
                append(out, field.value, true);
                separator = u", ";
            }
            out += u'}';
            return;
        }
    }
}

}  // namespace

DataValue DataValue::ofSigned(std::int64_t value) {
    DataValue v;
    v.kind = Kind::Signed;
    v.integer = value;
    return v;
}

DataValue DataValue::ofUnsigned(std::uint64_t value) {
    DataValue v;
    v.kind = Kind::Unsigned;
    v.natural = value;
    return v;
}

DataValue DataValue::ofReal(double value, bool single) {
    DataValue v;
    v.kind = Kind::Real;
    v.real = value;
    v.single = single;
    return v;
}

DataValue DataValue::ofText(std::u16string value) {
    DataValue v;
    v.kind = Kind::Text;
    v.text = std::move(value);
    return v;
}

DataValue DataValue::ofEnumerator(std::string name, std::int64_t value) {
    DataValue v;
    v.kind = Kind::Enumerator;
    v.name = std::move(name);
    v.integer = value;
    return v;
}

DataValue DataValue::ofArray(std::vector<DataValue> elements) {
    DataValue v;
    v.kind = Kind::Array;
    v.elements = std::move(elements);
    return v;
}

DataValue DataValue::ofRecord(std::vector<Field> fields) {
    DataValue v;
    v.kind = Kind::Record;
    v.fields = std::move(fields);
    return v;
}

bool DataValue::operator==(const DataValue& other) const {
    if (kind != other.kind) return false;
    switch (kind) {
        case Kind::Signed:
            return integer == other.integer;
        case Kind::Unsigned:
            return natural == other.natural;
        case Kind::Real:
            // Bit for bit, so that a NaN read back equals the NaN written.
            return single == other.single &&
                   std::bit_cast<std::uint64_t>(real) == std::bit_cast<std::uint64_t>(other.real);
        case Kind::Text:
            return text == other.text;
        case Kind::Enumerator:
            return name == other.name && integer == other.integer;
        case Kind::Array:
            return elements == other.elements;
        case Kind::Record:
            return fields == other.fields;
    }
    return false;
}

std::u16string readableText(const DataValue& value) {
    std::u16string out;
    append(out, value, false);
    return out;
}

}  // namespace hla
