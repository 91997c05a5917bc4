#include "platform/hla/Error.h"
#include "platform/hla/FedError.h"
#include "platform/hla/FedReader.h"
#include "platform/hla/FomModules.h"
#include "platform/hla/XmlFomReader.h"

#include <gtest/gtest.h>

#include <QString>

#include <cstdio>
#include <fstream>
#include <string>

using namespace hla;

namespace {

const std::string kOpen =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<objectModel xmlns=\"http://standards.ieee.org/IEEE1516-2010\">\n";

FedError readError(const std::string& text) {
    try {
        parseFomModule(text, "broken.xml");
    } catch (const FedError& e) {
        return e;
    }
    ADD_FAILURE() << "accepted: " << text;
    return FedError(0, 0, "");
}

std::string dataDir() {
    return TANDREL_SOURCE_DATA_DIR;
}

}  // namespace

// The shipped chat room in both forms: the XML module, merged after the MIM, gives the
// federation of Chat.fed with a data type for every member.
TEST(XmlFomReader, ChatXmlDescribesTheFederationOfChatFed) {
    const auto fed = readFedFile(dataDir() + "/Chat.fed");
    const std::string xmlPath = dataDir() + "/Chat.xml";
    const auto xml = readFederationModules({xmlPath});
    EXPECT_EQ(xml.modules, (std::vector<std::string>{kStandardMimModule, xmlPath}));

    for (std::uint32_t i = 0; i < fed.objectClassCount(); ++i) {
        const auto& cls = fed.objectClass(static_cast<ObjectClassHandle>(i));
        const auto other = xml.findObjectClass(cls.fullName);
        ASSERT_TRUE(other) << cls.fullName;
        EXPECT_EQ(xml.objectClass(*other).declared.size(), cls.declared.size()) << cls.fullName;
        for (AttributeHandle a : cls.declared) {
            const auto& attribute = fed.attribute(a);
            const auto found = xml.findAttribute(*other, attribute.name);
            ASSERT_TRUE(found) << cls.fullName << "." << attribute.name;
            const auto& theirs = xml.attribute(*found);
            EXPECT_EQ(theirs.declaredIn, *other) << attribute.name;
            EXPECT_EQ(theirs.transport, attribute.transport) << attribute.name;
            EXPECT_EQ(theirs.order, attribute.order) << attribute.name;
        }
    }
    for (std::uint32_t i = 0; i < fed.interactionClassCount(); ++i) {
        const auto& cls = fed.interactionClass(static_cast<InteractionClassHandle>(i));
        const auto other = xml.findInteractionClass(cls.fullName);
        ASSERT_TRUE(other) << cls.fullName;
        const auto& theirs = xml.interactionClass(*other);
        // The root's transportation and order are the MIM's.
        if (cls.parent) {
            EXPECT_EQ(theirs.transport, cls.transport) << cls.fullName;
            EXPECT_EQ(theirs.order, cls.order) << cls.fullName;
        }
        ASSERT_EQ(theirs.declared.size(), cls.declared.size()) << cls.fullName;
        for (std::size_t p = 0; p < cls.declared.size(); ++p) {
            EXPECT_EQ(xml.parameter(theirs.declared[p]).name, fed.parameter(cls.declared[p]).name);
            EXPECT_EQ(xml.parameter(theirs.declared[p]).dataType, "HLAunicodeString");
        }
    }
    // Nothing of the module's own beyond Chat.fed's classes, and every text typed.
    for (std::uint32_t i = 0; i < xml.objectClassCount(); ++i) {
        const auto& cls = xml.objectClass(static_cast<ObjectClassHandle>(i));
        if (cls.module != xmlPath) continue;
        EXPECT_TRUE(fed.findObjectClass(cls.fullName)) << cls.fullName;
        for (AttributeHandle a : cls.declared) {
            EXPECT_EQ(xml.attribute(a).dataType, "HLAunicodeString") << xml.attribute(a).name;
        }
    }
    for (std::uint32_t i = 0; i < xml.interactionClassCount(); ++i) {
        const auto& cls = xml.interactionClass(static_cast<InteractionClassHandle>(i));
        if (cls.module == xmlPath) {
            EXPECT_TRUE(fed.findInteractionClass(cls.fullName)) << cls.fullName;
        }
    }
    EXPECT_TRUE(xml.federationName.empty());
}

TEST(XmlFomReader, ReadsTheIeee1516_2000AttributeForm) {
    const auto fom = parseFomModule(R"(<?xml version="1.0"?>
<objectModel DTDversion="1516.2" name="Old" type="FOM">
  <objects>
    <objectClass name="HLAobjectRoot" sharing="Neither">
      <attribute name="HLAprivilegeToDeleteObject" dataType="NA" dimensions="NA"
                 transportation="HLAreliable" order="TimeStamp"/>
      <attribute name="privilegeToDelete" dataType="NA" transportation="HLAreliable"
                 order="TimeStamp" semantics="for HLA 1.3 federates"/>
      <objectClass name="Aircraft" sharing="PublishSubscribe">
        <attribute name="callSign" dataType="HLAASCIIstring" updateType="Static"
                   transportation="HLAreliable" order="Receive"/>
        <attribute name="wake" dataType="WakeType" transportation="HLAbestEffort"
                   order="Receive"/>
      </objectClass>
    </objectClass>
  </objects>
  <interactions>
    <interactionClass name="HLAinteractionRoot" transportation="HLAreliable" order="Receive">
      <interactionClass name="Start" transportation="HLAreliable" order="TimeStamp">
        <parameter name="at" dataType="HLAfloat64BE"/>
      </interactionClass>
    </interactionClass>
  </interactions>
  <dataTypes>
    <enumeratedDataTypes>
      <enumeratedData name="WakeType" representation="HLAASCIIchar">
        <enumerator name="Heavy" values="H"/>
        <enumerator name="Light" values="1, 2"/>
      </enumeratedData>
    </enumeratedDataTypes>
  </dataTypes>
</objectModel>)",
                                    "old.xml");
    const auto aircraft = fom.findObjectClass("HLAobjectRoot.Aircraft");
    ASSERT_TRUE(aircraft);
    EXPECT_EQ(fom.objectClass(*aircraft).fullName, "ObjectRoot.Aircraft");
    const auto wake = fom.attribute(*fom.findAttribute(*aircraft, "wake"));
    EXPECT_EQ(wake.transport, Transport::BestEffort);
    EXPECT_EQ(wake.dataType, "WakeType");
    // The delete privilege under both names is one attribute.
    EXPECT_EQ(fom.objectClass(*fom.findObjectClass("ObjectRoot")).declared.size(), 1u);
    const auto privilege = fom.findAttribute(*aircraft, "HLAprivilegeToDeleteObject");
    ASSERT_TRUE(privilege);
    EXPECT_EQ(fom.attribute(*privilege).name, "privilegeToDelete");
    EXPECT_TRUE(fom.attribute(*privilege).dataType.empty());  // "NA"
    const auto start = fom.findInteractionClass("InteractionRoot.Start");
    ASSERT_TRUE(start);
    EXPECT_EQ(fom.interactionClass(*start).order, Order::Timestamp);
    EXPECT_EQ(fom.parameter(*fom.findParameter(*start, "at")).dataType, "HLAfloat64BE");
    const DataType* type = fom.dataTypes.find("WakeType");
    ASSERT_TRUE(type);
    EXPECT_EQ(type->enumerators,
              (std::vector<DataType::Enumerator>{{"Heavy", 'H'}, {"Light", 1}, {"Light", 2}}));
    EXPECT_EQ(fom.modules, std::vector<std::string>{"old.xml"});
}

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

// What a module leaves out stays open for another module, and classes named without their
// root are placed beneath it.
TEST(XmlFomReader, KeepsWhatTheModuleLeavesOpen) {
    const auto fom = parseFomModule(kOpen + R"(
  <objects>
    <objectClass><name>Car</name>
      <attribute><name>speed</name></attribute>
    </objectClass>
  </objects>
  <interactions>
    <interactionClass><name>HLAinteractionRoot</name>
      <interactionClass><name>Named</name>
        <interactionClass><name>Horn</name><order>TimeStamp</order>
          <parameter><name>volume</name></parameter>
        </interactionClass>
      </interactionClass>
    </interactionClass>
  </interactions>
</objectModel>)",
                                    "open.xml");
    const auto car = fom.findObjectClass("ObjectRoot.Car");
    ASSERT_TRUE(car);
    const auto& speed = fom.attribute(*fom.findAttribute(*car, "speed"));
    EXPECT_FALSE(speed.transportDeclared);
    EXPECT_FALSE(speed.orderDeclared);
    EXPECT_TRUE(speed.dataType.empty());
    const auto& named = fom.interactionClass(*fom.findInteractionClass("InteractionRoot.Named"));
    EXPECT_TRUE(named.scaffolding);
    const auto& horn =
        fom.interactionClass(*fom.findInteractionClass("InteractionRoot.Named.Horn"));
    EXPECT_FALSE(horn.scaffolding);
    EXPECT_FALSE(horn.transportDeclared);
    EXPECT_TRUE(horn.orderDeclared);
    EXPECT_EQ(horn.order, Order::Timestamp);
    EXPECT_TRUE(fom.interactionClass(*fom.findInteractionClass("InteractionRoot")).scaffolding);
}

TEST(XmlFomReader, PassesOverWhatItDoesNotKeep) {
    const auto fom = parseFomModule(kOpen + R"(
  <!-- a comment --><?tool hint?>
  <modelIdentification><name>Everything</name><poc><pocName>X</pocName></poc></modelIdentification>
  <serviceUtilization connect="true"/>
  <objects>
    <objectClass><name>HLAobjectRoot</name>
      <objectClass notes="n1"><name notes="n1">Thing</name><sharing>Publish</sharing>
        <semantics>Anything <b xmlns="urn:other">at all</b>.</semantics>
        <other:extension xmlns:other="urn:other"><objectClass><name>Hidden</name></objectClass></other:extension>
        <attribute><name>where</name><dataType>HLAASCIIstring</dataType><updateType>Periodic</updateType>
          <updateCondition>1 Hz</updateCondition><ownership>NoTransfer</ownership>
          <dimensions><dimension>X</dimension></dimensions>
          <transportation>HLAreliable</transportation><order>Receive</order>
        </attribute>
      </objectClass>
    </objectClass>
  </objects>
  <dimensions><dimension><name>X</name><upperBound>10</upperBound></dimension></dimensions>
  <time><timeStamp><dataType>HLAfloat64Time</dataType></timeStamp></time>
  <tags><updateReflectTag><dataType>HLAopaqueData</dataType></updateReflectTag></tags>
  <synchronizations><synchronizationPoint><label>Go</label></synchronizationPoint></synchronizations>
  <transportations><transportation><name>Fast</name><reliable>No</reliable></transportation></transportations>
  <switches><autoProvide isEnabled="true"/></switches>
  <updateRates><updateRate><name>Often</name><rate>30</rate></updateRate></updateRates>
  <notes><note><label>n1</label><semantics>A note &amp; more</semantics></note></notes>
</objectModel>
<!-- after the end -->
)",
                                    "everything.xml");
    EXPECT_EQ(fom.objectClassCount(), 2u);
    EXPECT_FALSE(fom.findObjectClass("ObjectRoot.Thing.Hidden"));
    EXPECT_TRUE(fom.findAttribute(*fom.findObjectClass("ObjectRoot.Thing"), "where"));
}

TEST(XmlFomReader, MapsDeclaredTransportationsByTheirReliability) {
    const auto module = [](const std::string& transportations) {
        return kOpen + R"(  <objects><objectClass><name>HLAobjectRoot</name>
    <objectClass><name>A</name>
      <attribute><name>fast</name><transportation>Fast</transportation></attribute>
      <attribute><name>sure</name><transportation>Sure</transportation></attribute>
    </objectClass></objectClass></objects>
  <transportations>)" +
               transportations + "</transportations>\n</objectModel>";
    };
    const auto fom = parseFomModule(
        module("<transportation><name>Fast</name><reliable>No</reliable></transportation>"
               "<transportation><name>Sure</name><reliable>Yes</reliable></transportation>"),
        "t.xml");
    const auto a = *fom.findObjectClass("ObjectRoot.A");
    EXPECT_EQ(fom.attribute(*fom.findAttribute(a, "fast")).transport, Transport::BestEffort);
    EXPECT_EQ(fom.attribute(*fom.findAttribute(a, "sure")).transport, Transport::Reliable);

    const FedError unsaid = readError(
        module("<transportation><name>Fast</name></transportation><transportation><name>Sure</name>"
               "<reliable>Yes</reliable></transportation>"));
    EXPECT_NE(std::string(unsaid.what())
                  .find("\"Fast\" is declared without saying whether it is "
                        "reliable"),
              std::string::npos)
        << unsaid.what();
    EXPECT_EQ(unsaid.line(), 5);
}

TEST(XmlFomReader, ReadsOtherEncodings) {
    const std::string module =
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
        "<objectModel><objects><objectClass><name>HLAobjectRoot</name>"
        "<objectClass><name>Caf\xC3\xA9</name></objectClass>"
        "</objectClass></objects></objectModel>";
    const QString text = QString::fromUtf8(module.data(), static_cast<qsizetype>(module.size()));
    std::string utf16 = "\xFF\xFE";
    for (QChar c : text) {
        utf16 += static_cast<char>(c.unicode() & 0xFF);
        utf16 += static_cast<char>(c.unicode() >> 8);
    }
    EXPECT_TRUE(parseFomModule(utf16, "utf16.xml").findObjectClass("ObjectRoot.Caf\xC3\xA9"));

    const std::string latin1 =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<objectModel><objects><objectClass>"
        "<name>HLAobjectRoot</name><objectClass><name>Caf\xE9</name></objectClass></objectClass>"
        "</objects></objectModel>";
    EXPECT_TRUE(parseFomModule(latin1, "latin1.xml").findObjectClass("ObjectRoot.Caf\xC3\xA9"));
    // Declared UTF-16, saved as UTF-8 (as some tools do): the octets decide.
    EXPECT_TRUE(
        parseFomModule(module, "mislabelled.xml").findObjectClass("ObjectRoot.Caf\xC3\xA9"));
}

TEST(XmlFomReader, AcceptsSixtyFourClassLevels) {
    std::string classes = "<objectClass><name>HLAobjectRoot</name>";
    for (int i = 1; i < 64; ++i) classes += "<objectClass><name>C" + std::to_string(i) + "</name>";
    for (int i = 0; i < 64; ++i) classes += "</objectClass>";
    const auto fom =
        parseFomModule(kOpen + "<objects>" + classes + "</objects></objectModel>", "deep.xml");
    EXPECT_EQ(fom.objectClassCount(), 64u);
}

struct Broken {
    const char* what;
    std::string text;
    int line;
    int column;
    const char* message;
};

class XmlFomReaderRefuses : public ::testing::TestWithParam<Broken> {};

TEST_P(XmlFomReaderRefuses, WithPathLineColumnAndReason) {
    const Broken& b = GetParam();
    const FedError e = readError(b.text);
    EXPECT_EQ(e.path(), "broken.xml");
    EXPECT_EQ(e.line(), b.line) << e.what();
    EXPECT_EQ(e.column(), b.column) << e.what();
    EXPECT_NE(std::string(e.what()).find(b.message), std::string::npos) << e.what();
}

std::string nested(int levels, const std::string& open, const std::string& close) {
    std::string text;
    for (int i = 0; i < levels; ++i) text += open;
    for (int i = 0; i < levels; ++i) text += close;
    return text;
}

const std::string kRoot = "<objects><objectClass><name>HLAobjectRoot</name>\n";
const std::string kRootEnd = "</objectClass></objects></objectModel>";

INSTANTIATE_TEST_SUITE_P(
    Modules, XmlFomReaderRefuses,
    ::testing::Values(
        // Not XML, or not an object model.
        Broken{"empty", "", 1, 1, "not well-formed XML"},
        Broken{"truncated", kOpen + "<objects><objectClass><name>HLAobj", 3, 34,
               "not well-formed XML: Premature end of document"},
        Broken{"unclosed tag", kOpen + "<objects>\n</objectModel>", 4, 14,
               "not well-formed XML: Opening and ending tag mismatch"},
        Broken{"text after the end", kOpen + "</objectModel>\n<objects/>", 4, 10,
               "not well-formed XML: Extra content at end of document"},
        Broken{"not UTF-8", kOpen + "<objects>\n  <x>\xC3\x28</x>", 4, 6, "not valid UTF-8"},
        Broken{"unknown encoding", "<?xml version=\"1.0\" encoding=\"EBCDIC-XYZ\"?><objectModel/>",
               1, 1, "encoding \"ebcdic-xyz\" is not supported"},
        Broken{"wrong root element", "<?xml version=\"1.0\"?>\n  <html/>", 2, 3,
               "its root element is <html>, not <objectModel>"},
        Broken{"wrong namespace", "<objectModel xmlns=\"http://example.com/fom\"/>", 1, 1,
               "namespace \"http://example.com/fom\" is not IEEE 1516-2010's"},
        // Hostile.
        Broken{"document type declaration",
               "<?xml version=\"1.0\"?>\n<!DOCTYPE objectModel [<!ENTITY a \"aaaa\">]>\n"
               "<objectModel><objects>&a;</objects></objectModel>",
               2, 1, "document type declaration"},
        Broken{"external entity",
               "<!DOCTYPE objectModel SYSTEM \"file:///etc/passwd\"><objectModel/>", 1, 1,
               "document type declaration"},
        Broken{"undeclared entity", kOpen + kRoot + "<objectClass><name>&secret;</name>", 4, 27,
               "Entity 'secret' not declared"},
        Broken{"class nesting",
               kOpen + "<objects>" + nested(65, "<objectClass><name>C</name>\n", "</objectClass>") +
                   "</objects></objectModel>",
               67, 1, "object classes are nested deeper than 64 levels"},
        Broken{"interaction class nesting",
               kOpen + "<interactions>" +
                   nested(65, "<interactionClass><name>C</name>\n", "</interactionClass>") +
                   "</interactions></objectModel>",
               67, 1, "interaction classes are nested deeper than 64 levels"},
        Broken{"element nesting", kOpen + nested(128, "<notes>", "</notes>") + "</objectModel>", 3,
               890, "elements are nested deeper than 128 levels"},
        // Missing and clashing names.
        Broken{"class without a name",
               kOpen + kRoot + "  <objectClass><sharing>Neither</sharing></objectClass>" + kRootEnd,
               4, 3, "an object class in ObjectRoot has no name"},
        Broken{"root without a name", kOpen + "<objects>\n<objectClass/></objects></objectModel>",
               4, 1, "an object class has no name"},
        Broken{"attribute without a name",
               kOpen + kRoot +
                   "<objectClass><name>A</name>\n  <attribute><name> </name></attribute>" +
                   "</objectClass>" + kRootEnd,
               5, 3, "an attribute of object class ObjectRoot.A has no name"},
        Broken{"parameter without a name",
               kOpen + "<interactions><interactionClass><name>HLAinteractionRoot</name>\n"
                       "  <parameter dataType=\"HLAboolean\"/></interactionClass></interactions>"
                       "</objectModel>",
               4, 3, "a parameter of interaction class InteractionRoot has no name"},
        Broken{"duplicate class",
               kOpen + kRoot + "<objectClass><name>A</name></objectClass>\n" +
                   "<objectClass><name>A</name></objectClass>" + kRootEnd,
               5, 14, "object class ObjectRoot.A is declared twice"},
        Broken{"duplicate root",
               kOpen + "<objects><objectClass><name>HLAobjectRoot</name></objectClass>\n"
                       "<objectClass><name>ObjectRoot</name></objectClass></objects></objectModel>",
               4, 14, "object class ObjectRoot is declared twice"},
        Broken{"inherited attribute declared again",
               kOpen + kRoot + "<attribute><name>x</name></attribute>\n" +
                   "<objectClass><name>A</name><attribute><name>x</name></attribute>" +
                   "</objectClass>" + kRootEnd,
               5, 39, "attribute x is declared twice in object class ObjectRoot.A"},
        Broken{"dot in name",
               kOpen + kRoot + "<objectClass><name>A.B</name></objectClass>" + kRootEnd, 4, 14,
               "\"A.B\" must not contain \".\""},
        // Values.
        Broken{"unknown order",
               kOpen + kRoot + "<attribute><name>x</name>\n  <order>Sometimes</order></attribute>" +
                   kRootEnd,
               5, 3, "unknown order \"Sometimes\"; expected Receive or TimeStamp"},
        Broken{"unknown transportation",
               kOpen + "<interactions><interactionClass name=\"HLAinteractionRoot\"\n"
                       "  transportation=\"HLAcarrierPigeon\"/></interactions></objectModel>",
               3, 15, "unknown transportation \"HLAcarrierPigeon\""},
        Broken{"predefined type changed",
               kOpen + "<dataTypes><simpleDataTypes>\n<simpleData><name>HLAbyte</name>"
                       "<representation>HLAinteger32BE</representation></simpleData>"
                       "</simpleDataTypes></dataTypes></objectModel>",
               4, 1,
               "data type HLAbyte is defined differently in the predefined data types and in "
               "\"broken.xml\""}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name) {
            if (c == ' ' || c == '-') c = '_';
        }
        return name;
    });

TEST(XmlFomReader, RefusesOversizeTextWithoutReadingIt) {
    std::string text = kOpen + "</objectModel>";
    text.resize(16u * 1024u * 1024u + 1u, ' ');
    const FedError e = readError(text);
    EXPECT_EQ(e.line(), 0);
    EXPECT_EQ(e.path(), "broken.xml");
    EXPECT_NE(std::string(e.what()).find("larger than 16 MiB"), std::string::npos) << e.what();
}

TEST(XmlFomReader, FileErrorsNameThePath) {
    const std::string path = ::testing::TempDir() + "/hla_broken.xml";
    std::ofstream(path) << kOpen << "<objects>\n  <objectClass>\n";
    try {
        readFomModuleFile(path);
        FAIL() << "read a truncated module";
    } catch (const FedError& e) {
        EXPECT_EQ(e.path(), path);
        EXPECT_EQ(e.line(), 4);  // where the text ends
        EXPECT_EQ(std::string(e.what()).rfind(path + ": line 4, column ", 0), 0u) << e.what();
    }
    std::remove(path.c_str());
    try {
        readFomModuleFile(path);
        FAIL() << "read a missing file";
    } catch (const FedError& e) {
        EXPECT_EQ(std::string(e.what()).rfind(path + ": cannot be read", 0), 0u) << e.what();
    }
}
