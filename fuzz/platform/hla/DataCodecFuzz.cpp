// Feeds arbitrary octets to the data codec as a value of one of a set of types: decoding must
// give a value or throw DataError, never crash, hang or allocate without bound; a decoded value
// must encode again and read back to the same text.
//
// Input: the first byte picks the type (modulo the table below), the rest is the payload.

#include "platform/hla/DataCodec.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

namespace {

hla::DataType type(hla::DataType::Kind kind, std::string name) {
    hla::DataType t;
    t.kind = kind;
    t.name = std::move(name);
    return t;
}

hla::DataTypes buildTypes() {
    using K = hla::DataType::Kind;
    hla::DataTypes types;
    hla::DataType kind = type(K::Enumerated, "Kind");
    kind.representation = "HLAoctet";
    kind.enumerators = {{"Circle", 1}, {"Square", 2}, {"Dot", 3}};
    types.add(kind);
    hla::DataType pair = type(K::FixedRecord, "Pair");
    pair.fields = {{"a", "HLAoctet"}, {"b", "HLAinteger32BE"}, {"name", "HLAASCIIstring"}};
    types.add(pair);
    hla::DataType pairs = type(K::Array, "Pairs");
    pairs.elementType = "Pair";
    types.add(pairs);
    hla::DataType samples = type(K::Array, "Samples");
    samples.elementType = "HLAfloat64BE";
    types.add(samples);
    hla::DataType code = type(K::Array, "Code4");
    code.elementType = "HLAASCIIchar";
    code.cardinality = 4;
    code.variableEncoding = false;
    types.add(code);
    hla::DataType shape = type(K::VariantRecord, "Shape");
    shape.discriminantName = "kind";
    shape.discriminantType = "Kind";
    shape.alternatives = {{{"Circle"}, "radius", "HLAfloat32LE"},
                          {{"Square"}, "corners", "Pairs"},
                          {{"HLAother"}, "", ""}};
    types.add(shape);
    hla::DataType tokens = type(K::Array, "Tokens");
    tokens.elementType = "HLAtoken";
    types.add(tokens);
    hla::DataType node = type(K::FixedRecord, "Node");
    node.fields = {{"children", "Nodes"}};
    types.add(node);
    hla::DataType nodes = type(K::Array, "Nodes");
    nodes.elementType = "Node";
    types.add(nodes);
    return types;
}

const char* const kTypes[] = {
    "HLAinteger16BE", "HLAinteger32LE",   "HLAinteger64BE", "HLAfloat32BE", "HLAfloat64LE",
    "HLAoctet",       "HLAoctetPairLE",   "HLAboolean",     "HLAASCIIchar", "HLAunicodeChar",
    "HLAASCIIstring", "HLAunicodeString", "HLAopaqueData",  "Kind",         "Pair",
    "Pairs",          "Samples",          "Code4",          "Shape",        "Tokens",
    "Node",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const hla::DataTypes types = buildTypes();
    if (size == 0) return 0;
    const char* name = kTypes[data[0] % std::size(kTypes)];
    const hla::Bytes payload(data + 1, data + size);
    try {
        const hla::DataValue value = hla::decode(types, name, payload);
        const hla::Bytes again = hla::encode(types, name, value);
        if (hla::readableText(hla::decode(types, name, again)) != hla::readableText(value)) {
            __builtin_trap();
        }
    } catch (const hla::DataError&) {
    }
    return 0;
}
