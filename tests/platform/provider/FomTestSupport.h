#pragma once

// A federation description built in code whose interaction class "Probe" has one parameter
// of each kind of data type, for the conversions between variants and FOM values, and the
// words those tests share.

#include "cao/Error.h"
#include "cao/Variant.h"
#include "cao/text/VariantToText.h"
#include "platform/hla/FederationDescription.h"
#include "platform/provider/VariableValue.h"
#include "support/FomTypes.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <limits>
#include <string>

namespace fomtest {

// What a refused conversion says.
inline constexpr const char* kTypeMismatch = "Type mismatch";
inline constexpr const char* kOverflow = "Overflow";
inline constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
inline constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();
inline constexpr std::uint64_t kUInt64Max = std::numeric_limits<std::uint64_t>::max();

inline cao::Variant Str(const char16_t* v) {
    return cao::Variant::fromString(QString::fromStdU16String(v));
}

inline const char* const kParameters[][2] = {
    {"Flag", "HLAboolean"},
    {"Octet", "HLAoctet"},
    {"Byte", "HLAbyte"},
    {"Short", "HLAinteger16BE"},
    {"ShortLE", "HLAinteger16LE"},
    {"Int", "HLAinteger32BE"},
    {"IntLE", "HLAinteger32LE"},
    {"Long", "HLAinteger64BE"},
    {"LongLE", "HLAinteger64LE"},
    {"Unsigned", "UnsignedInteger64BE"},
    {"Float", "HLAfloat32BE"},
    {"FloatLE", "HLAfloat32LE"},
    {"Double", "HLAfloat64BE"},
    {"DoubleLE", "HLAfloat64LE"},
    {"Ascii", "HLAASCIIchar"},
    {"Unicode", "HLAunicodeChar"},
    {"Name", "HLAASCIIstring"},
    {"Text", "HLAunicodeString"},
    {"Code", "Code4"},
    {"Distance", "Meters"},
    {"Count", "Count16"},
    {"Colour", "Color"},
    {"Where", "Position"},
    {"Shape", "Shape"},
    {"Track", "Track"},
    {"Blob", "HLAopaqueData"},
    {"Untyped", ""},
};

inline hla::FederationDescription probeDescription() {
    using namespace fomtypes;
    using N = hla::DataType::Number;
    hla::FederationDescription fom;
    fom.dataTypes.add(basic("UnsignedInteger64BE", 8, N::UnsignedInteger, hla::Endian::Big));
    fom.dataTypes.add(fixedArray("Code4", "HLAASCIIchar", 4));
    fom.dataTypes.add(simple("Meters", "HLAfloat64LE"));
    fom.dataTypes.add(simple("Count16", "HLAinteger16BE"));
    fom.dataTypes.add(
        enumerated("Color", "HLAinteger16BE", {{"Red", 1}, {"Green", 2}, {"Blue", 3}}));
    fom.dataTypes.add(record("Position", {{"x", "HLAinteger32BE"}, {"y", "HLAfloat64BE"}}));
    fom.dataTypes.add(enumerated("ShapeKind", "HLAoctet", {{"Circle", 1}, {"Dot", 2}}));
    fom.dataTypes.add(variant("Shape", "kind", "ShapeKind",
                              {{{"Circle"}, "radius", "HLAfloat64BE"}, {{"Dot"}, "", ""}}));
    fom.dataTypes.add(variableArray("Track", "HLAfloat64BE"));
    const auto root = fom.addInteractionClass(std::nullopt, hla::kInteractionRoot,
                                              hla::Transport::Reliable, hla::Order::Receive);
    const auto probe =
        fom.addInteractionClass(root, "Probe", hla::Transport::Reliable, hla::Order::Receive);
    for (const auto& [name, type] : kParameters) fom.addParameter(probe, name, type);
    return fom;
}

// How the variable of a Probe parameter travels, found through the description as the
// provider's variables find it.
inline provider::ValueCoding codingOf(const hla::FederationDescription& fom,
                                      const std::string& parameter, bool bigEndian = false) {
    const auto probe = fom.findInteractionClass("InteractionRoot.Probe");
    return {fom.parameter(*fom.findParameter(*probe, parameter)).dataType, bigEndian};
}

inline const QLocale kEnglish{QLocale::English, QLocale::UnitedStates};
inline const QLocale kGerman{QLocale::German, QLocale::Germany};

// A variant for failure output: its type and text.
inline std::string describe(const cao::Variant& value) {
    QString text;
    try {
        text = cao::variantToText(value, kEnglish);
    } catch (const cao::Error&) {
        text = QStringLiteral("(no text)");
    }
    return (cao::typeName(value.type()) + QStringLiteral(" ") + text).toStdString();
}

}  // namespace fomtest
