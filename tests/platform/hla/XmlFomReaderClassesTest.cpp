// The classes of XML FOM modules: the shipped chat room, IEEE 1516-2000 documents, what a
// module leaves open or the description does not keep, declared transportations, deep trees.

#include "XmlFomReaderFixture.h"
#include "platform/hla/FedError.h"
#include "platform/hla/FedReader.h"
#include "platform/hla/FomModules.h"
#include "platform/hla/XmlFomReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace hla;
using namespace xmlfomtest;

namespace {

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

TEST(XmlFomReader, AcceptsSixtyFourClassLevels) {
    std::string classes = "<objectClass><name>HLAobjectRoot</name>";
    for (int i = 1; i < 64; ++i) classes += "<objectClass><name>C" + std::to_string(i) + "</name>";
    for (int i = 0; i < 64; ++i) classes += "</objectClass>";
    const auto fom =
        parseFomModule(kOpen + "<objects>" + classes + "</objects></objectModel>", "deep.xml");
    EXPECT_EQ(fom.objectClassCount(), 64u);
}
