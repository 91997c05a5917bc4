// The data types of XML FOM modules: every kind read, and those whose values cannot be
// encoded kept with the reason.

#include "XmlFomReaderFixture.h"
#include "platform/hla/FedError.h"
#include "platform/hla/XmlFomReader.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace hla;
using namespace xmlfomtest;

TEST(XmlFomReader, ReadsEveryKindOfDataType) {
    const auto fom = parseFomModule(kOpen + R"(
  <dataTypes>
    <basicDataRepresentations>
      <basicData><name>Real32LE</name><size>32</size><interpretation>Single-precision floating point number</interpretation><endian>Little</endian><encoding>IEEE 754</encoding></basicData>
      <basicData><name>UnsignedShort</name><size>16</size><endian>Big</endian></basicData>
      <basicData><name>Counter</name><size>16</size><interpretation>unsigned integer</interpretation><endian>Little</endian></basicData>
      <basicData><name>Int64</name><size>64</size><interpretation>Integer</interpretation><endian>Big</endian></basicData>
      <basicData><name>Small</name><size>8</size><endian>Little</endian></basicData>
      <basicData><name>Tiny</name><size>8</size><encoding>8-bit two's complement signed integer</encoding></basicData>
    </basicDataRepresentations>
    <simpleDataTypes>
      <simpleData><name>Meters</name><representation>Real32LE</representation><units>m</units></simpleData>
    </simpleDataTypes>
    <enumeratedDataTypes>
      <enumeratedData><name>Colour</name><representation>HLAinteger32BE</representation>
        <enumerator><name>Red</name><value>0</value></enumerator>
        <enumerator><name>Green</name><value>-1</value><value>7</value></enumerator>
      </enumeratedData>
    </enumeratedDataTypes>
    <arrayDataTypes>
      <arrayData><name>Vector</name><dataType>Meters</dataType><cardinality>3</cardinality><encoding>HLAfixedArray</encoding></arrayData>
      <arrayData><name>Path</name><dataType>Vector</dataType><cardinality>Dynamic</cardinality><encoding>HLAvariableArray</encoding></arrayData>
      <arrayData><name>Matrix</name><dataType>Meters</dataType><cardinality>3,4</cardinality><encoding>HLAfixedArray</encoding></arrayData>
      <arrayData><name>Bounded</name><dataType>Meters</dataType><cardinality>[1..10]</cardinality><encoding>HLAvariableArray</encoding></arrayData>
      <arrayData><name>Padded</name><dataType>Meters</dataType><cardinality>8</cardinality><encoding>RPRpaddingTo64Array</encoding></arrayData>
    </arrayDataTypes>
    <fixedRecordDataTypes>
      <fixedRecordData><name>Pose</name><encoding>HLAfixedRecord</encoding>
        <field><name>position</name><dataType>Vector</dataType></field>
        <field><name>heading</name><dataType>Meters</dataType></field>
      </fixedRecordData>
    </fixedRecordDataTypes>
    <variantRecordDataTypes>
      <variantRecordData><name>Shape</name><discriminant>kind</discriminant><dataType>Colour</dataType>
        <alternative><enumerator>Red</enumerator><name>pose</name><dataType>Pose</dataType></alternative>
        <alternative><enumerator>Green, [Blue..Cyan]</enumerator><name>NA</name><dataType>NA</dataType></alternative>
        <alternative><enumerator>HLAother</enumerator></alternative>
        <encoding>HLAvariantRecord</encoding>
      </variantRecordData>
    </variantRecordDataTypes>
  </dataTypes>
</objectModel>)",
                                    "types.xml");
    const auto& types = fom.dataTypes;
    using N = DataType::Number;
    struct Basic {
        const char* name;
        int size;
        N number;
        Endian endian;
    };
    for (const Basic& b : {Basic{"Real32LE", 4, N::Float, Endian::Little},
                           Basic{"UnsignedShort", 2, N::UnsignedInteger, Endian::Big},
                           Basic{"Counter", 2, N::UnsignedInteger, Endian::Little},
                           Basic{"Int64", 8, N::SignedInteger, Endian::Big},
                           Basic{"Small", 1, N::UnsignedInteger, Endian::Big},
                           Basic{"Tiny", 1, N::SignedInteger, Endian::Big}}) {
        const DataType* type = types.find(b.name);
        ASSERT_TRUE(type) << b.name;
        EXPECT_EQ(type->kind, DataType::Kind::Basic) << b.name;
        EXPECT_EQ(type->size, b.size) << b.name;
        EXPECT_EQ(type->number, b.number) << b.name;
        EXPECT_EQ(type->endian, b.endian) << b.name;
        EXPECT_EQ(type->module, "types.xml");
    }
    EXPECT_EQ(types.basicOf("Meters"), types.find("Real32LE"));
    EXPECT_EQ(types.find("Colour")->enumerators,
              (std::vector<DataType::Enumerator>{{"Red", 0}, {"Green", -1}, {"Green", 7}}));

    const DataType* vector = types.find("Vector");
    EXPECT_EQ(vector->cardinality, 3u);
    EXPECT_FALSE(vector->variableEncoding);
    EXPECT_EQ(types.find("Matrix")->cardinality, 12u);
    EXPECT_FALSE(types.find("Path")->cardinality);
    EXPECT_TRUE(types.find("Path")->variableEncoding);
    EXPECT_FALSE(types.find("Bounded")->cardinality);
    EXPECT_EQ(types.find("Padded")->encoding, "RPRpaddingTo64Array");
    EXPECT_EQ(types.octetBoundary("Path"), 4);

    EXPECT_EQ(types.find("Pose")->fields,
              (std::vector<DataType::Field>{{"position", "Vector"}, {"heading", "Meters"}}));
    const DataType* shape = types.find("Shape");
    EXPECT_EQ(shape->discriminantName, "kind");
    EXPECT_EQ(shape->discriminantType, "Colour");
    EXPECT_EQ(shape->alternatives,
              (std::vector<DataType::Alternative>{{{"Red"}, "pose", "Pose"},
                                                  {{"Green", "[Blue..Cyan]"}, "", ""},
                                                  {{"HLAother"}, "", ""}}));
    EXPECT_EQ(types.octetBoundary("Shape"), 4);
}

// A data type written so that its values cannot be encoded is kept with the reason, so
// that the rest of the module can be used; it has no basic representation or boundary.
TEST(XmlFomReader, KeepsUnusableDataTypesWithTheReason) {
    const auto fom = parseFomModule(kOpen + R"(<dataTypes>
  <basicDataRepresentations>
    <basicData><name>Odd</name><size>12</size><endian>Big</endian></basicData>
    <basicData><name>Sideways</name><size>16</size><endian>Middle</endian></basicData>
  </basicDataRepresentations>
  <simpleDataTypes><simpleData><name>Loose</name></simpleData></simpleDataTypes>
  <enumeratedDataTypes>
    <enumeratedData><name>NoValue</name><representation>HLAinteger32BE</representation>
      <enumerator><name>A</name></enumerator></enumeratedData>
    <enumeratedData name="Words" representation="HLAASCIIstring">
      <enumerator name="Present" values="Present"/></enumeratedData>
  </enumeratedDataTypes>
  <arrayDataTypes>
    <arrayData><name>Many</name><dataType>HLAoctet</dataType><cardinality>many</cardinality></arrayData>
    <arrayData><name>Huge</name><dataType>HLAoctet</dataType><cardinality>65536,65536</cardinality></arrayData>
    <arrayData><name>OfNothing</name><cardinality>3</cardinality></arrayData>
  </arrayDataTypes>
  <fixedRecordDataTypes><fixedRecordData><name>Half</name><field><name>x</name></field></fixedRecordData></fixedRecordDataTypes>
  <variantRecordDataTypes><variantRecordData><name>Lopsided</name><discriminant>k</discriminant>
    <dataType>HLAboolean</dataType><alternative><enumerator>HLAtrue</enumerator><name>f</name></alternative>
  </variantRecordData></variantRecordDataTypes>
</dataTypes></objectModel>)",
                                    "careless.xml");
    const std::pair<const char*, const char*> expected[] = {
        {"Odd", "size \"12\" is not a whole number of octets from 8 to 1024 bits"},
        {"Sideways", "endian \"Middle\" is neither Big nor Little"},
        {"Loose", "it has no representation"},
        {"NoValue", "enumerator A has no value"},
        {"Words", "value \"Present\" of enumerator Present is not an integer"},
        {"Many", "cardinality \"many\" is not Dynamic, a number or a range [m..n]"},
        {"Huge", "cardinality \"65536,65536\" is more elements than an array can hold"},
        {"OfNothing", "it has no dataType"},
        {"Half", "field x has no dataType"},
        {"Lopsided", "the alternative HLAtrue gives a field name without a data type"},
    };
    for (const auto& [name, problem] : expected) {
        const DataType* type = fom.dataTypes.find(name);
        ASSERT_TRUE(type) << name;
        EXPECT_EQ(type->problem, problem) << name;
        EXPECT_EQ(fom.dataTypes.octetBoundary(name), 0) << name;
    }
    EXPECT_FALSE(fom.dataTypes.basicOf("Words"));
    // A type without a name cannot be referred to: that is refused.
    const FedError e = readError(kOpen +
                                 "<dataTypes><simpleDataTypes>\n<simpleData>"
                                 "<representation>HLAoctet</representation></simpleData>"
                                 "</simpleDataTypes></dataTypes></objectModel>");
    EXPECT_EQ(e.line(), 4);
    EXPECT_NE(std::string(e.what()).find("a simple data type has no name"), std::string::npos)
        << e.what();
}
