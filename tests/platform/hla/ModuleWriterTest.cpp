#include "platform/hla/FedReader.h"
#include "platform/hla/FomModules.h"
#include "platform/hla/ModuleWriter.h"

#include <gtest/gtest.h>

#include <QXmlStreamReader>

#include <map>
#include <string>
#include <vector>

using namespace hla;

namespace {

// An element of the module with its text and its children, read whole.
struct Element {
    std::string name;
    std::string text;
    std::vector<Element> children;

    const Element* child(const std::string& wanted) const {
        for (const Element& e : children) {
            if (e.name == wanted) return &e;
        }
        return nullptr;
    }
    std::string value(const std::string& wanted) const {
        const Element* e = child(wanted);
        return e ? e->text : "(none)";
    }
};

Element readElement(QXmlStreamReader& xml) {
    Element element{xml.name().toString().toStdString(), {}, {}};
    while (xml.readNext() != QXmlStreamReader::EndElement && !xml.hasError()) {
        if (xml.isStartElement()) element.children.push_back(readElement(xml));
        if (xml.isCharacters() && !xml.isWhitespace())
            element.text += xml.text().toString().toStdString();
    }
    return element;
}

struct Module {
    Element root;
    std::string error;  // not well-formed, or not in the 2010 namespace
};

Module readModule(const std::string& text) {
    Module module;
    QXmlStreamReader xml(QByteArray::fromStdString(text));
    while (!xml.atEnd() && !xml.isStartElement()) xml.readNext();
    if (xml.namespaceUri() != QLatin1String("http://standards.ieee.org/IEEE1516-2010")) {
        module.error = "namespace \"" + xml.namespaceUri().toString().toStdString() + "\"";
    }
    module.root = readElement(xml);
    while (!xml.atEnd()) xml.readNext();
    if (xml.hasError()) module.error = xml.errorString().toStdString();
    return module;
}

// Each class by its full name, with its transportation and order, and each member with its
// data type (and an attribute's transportation and order), in the order written.
void outline(const Element& cls, const std::string& parent, std::vector<std::string>& lines) {
    const std::string full = parent.empty() ? cls.value("name") : parent + "." + cls.value("name");
    std::string line = cls.name + " " + full;
    if (cls.name == "interactionClass")
        line += " " + cls.value("transportation") + " " + cls.value("order");
    lines.push_back(line);
    for (const Element& e : cls.children) {
        if (e.name == "attribute") {
            lines.push_back("  " + e.value("name") + " " + e.value("dataType") + " " +
                            e.value("transportation") + " " + e.value("order"));
        } else if (e.name == "parameter") {
            lines.push_back("  " + e.value("name") + " " + e.value("dataType"));
        } else if (e.name == cls.name) {
            outline(e, full, lines);
        }
    }
}

std::vector<std::string> outline(const Module& module) {
    std::vector<std::string> lines;
    for (const Element& section : module.root.children) {
        for (const Element& cls : section.children) {
            if (cls.name == "objectClass" || cls.name == "interactionClass")
                outline(cls, "", lines);
        }
    }
    return lines;
}

// Each data type as "<entry element> <name>: <its other elements' names and texts>".
std::vector<std::string> dataTypes(const Module& module) {
    std::vector<std::string> lines;
    for (const Element& section : module.root.children) {
        if (section.name != "dataTypes") continue;
        for (const Element& kind : section.children) {
            for (const Element& type : kind.children) {
                std::string line = kind.name + "/" + type.name + " " + type.value("name") + ":";
                for (const Element& part : type.children) {
                    if (part.name == "name") continue;
                    line += " " + part.name + "=" + part.text;
                    for (const Element& sub : part.children)
                        line += " " + sub.name + "=" + sub.text;
                }
                lines.push_back(line);
            }
        }
    }
    return lines;
}

FederationDescription traffic() {
    FederationDescription d;
    d.federationName = "Traffic";
    const auto root = d.addObjectClass(std::nullopt, "ObjectRoot");
    d.addAttribute(root, "privilegeToDelete", Transport::Reliable, Order::Timestamp);
    const auto manager = d.addObjectClass(root, "HLAmanager");
    d.addAttribute(d.addObjectClass(manager, "HLAfederate"), "HLAfederateHandle",
                   Transport::Reliable, Order::Receive, "HLAhandle");
    const auto car = d.addObjectClass(root, "Car");
    d.addAttribute(car, "Speed", Transport::BestEffort, Order::Receive, "Speed");
    d.addAttribute(d.addObjectClass(car, "Racer"), "Team", Transport::Reliable, Order::Timestamp);
    const auto iroot =
        d.addInteractionClass(std::nullopt, "InteractionRoot", Transport::Reliable, Order::Receive);
    d.addInteractionClass(iroot, "HLAmanager", Transport::Reliable, Order::Receive);
    const auto horn = d.addInteractionClass(iroot, "Horn", Transport::BestEffort, Order::Receive);
    d.addParameter(horn, "Where", "Point");
    d.addParameter(horn, "Loud");

    DataType speed;
    speed.kind = DataType::Kind::Simple;
    speed.name = "Speed";
    speed.representation = "HLAfloat64BE";
    d.dataTypes.add(speed);
    DataType point;
    point.kind = DataType::Kind::FixedRecord;
    point.name = "Point";
    point.fields = {{"X", "HLAfloat32BE"}, {"Y", "HLAfloat32BE"}};
    d.dataTypes.add(point);
    DataType color;
    color.kind = DataType::Kind::Enumerated;
    color.name = "Color";
    color.representation = "HLAoctet";
    color.enumerators = {{"Red", 1}, {"Blue", 2}};
    d.dataTypes.add(color);
    DataType handle;  // one of the MIM's, which the RTI brings
    handle.kind = DataType::Kind::Array;
    handle.name = "HLAhandle";
    handle.elementType = "HLAbyte";
    d.dataTypes.add(handle);
    return d;
}

}  // namespace

TEST(ModuleWriter, WritesTheClassesUnderTheir2010NamesWithTheRootsAsTheMimStatesThem) {
    const Module module = readModule(writeFomModule(traffic()));
    ASSERT_EQ(module.error, "");
    EXPECT_EQ(module.root.name, "objectModel");
    EXPECT_EQ(outline(module), (std::vector<std::string>{
                                   "objectClass HLAobjectRoot",
                                   "objectClass HLAobjectRoot.Car",
                                   "  Speed Speed HLAbestEffort Receive",
                                   "objectClass HLAobjectRoot.Car.Racer",
                                   "  Team HLAopaqueData HLAreliable TimeStamp",
                                   "interactionClass HLAinteractionRoot HLAreliable TimeStamp",
                                   "interactionClass HLAinteractionRoot.Horn HLAbestEffort Receive",
                                   "  Where Point",
                                   "  Loud HLAopaqueData",
                               }));
}

TEST(ModuleWriter, WritesTheDescriptionsOwnDataTypesInTheirSections) {
    const Module module = readModule(writeFomModule(traffic()));
    ASSERT_EQ(module.error, "");
    EXPECT_EQ(dataTypes(module),
              (std::vector<std::string>{
                  "simpleDataTypes/simpleData Speed: representation=HLAfloat64BE",
                  "enumeratedDataTypes/enumeratedData Color: representation=HLAoctet "
                  "enumerator= name=Red value=1 enumerator= name=Blue value=2",
                  "fixedRecordDataTypes/fixedRecordData Point: encoding=HLAfixedRecord field= "
                  "name=X dataType=HLAfloat32BE field= name=Y dataType=HLAfloat32BE",
              }));
}

TEST(ModuleWriter, WritesTheShippedChatDescriptionAsAWellFormedModule) {
    const auto chat = readFedFile(std::string(TANDREL_SOURCE_DATA_DIR) + "/Chat.fed");
    const Module module = readModule(writeFomModule(chat));
    ASSERT_EQ(module.error, "");
    const Element* identification = module.root.child("modelIdentification");
    ASSERT_NE(identification, nullptr);
    EXPECT_EQ(identification->value("name"), "ChatRoom");
    EXPECT_EQ(outline(module), (std::vector<std::string>{
                                   "objectClass HLAobjectRoot",
                                   "objectClass HLAobjectRoot.Participant",
                                   "  Name HLAopaqueData HLAreliable Receive",
                                   "objectClass HLAobjectRoot.myClass",
                                   "  myAttr HLAopaqueData HLAreliable TimeStamp",
                                   "interactionClass HLAinteractionRoot HLAreliable TimeStamp",
                                   "interactionClass HLAinteractionRoot.Communication "
                                   "HLAreliable Receive",
                                   "  Message HLAopaqueData",
                                   "  Sender HLAopaqueData",
                                   "interactionClass HLAinteractionRoot.TSCommunication "
                                   "HLAreliable TimeStamp",
                                   "  Message HLAopaqueData",
                                   "  Sender HLAopaqueData",
                               }));
}

// A FED file's untyped members written as NA stay untyped when read back, so a typed module
// of the same federation merged later still gives them their type.
TEST(ModuleWriter, UntypedMembersWrittenAsNotApplicableTakeTheTypeOfATypedModule) {
    const auto chat = readFedFile(std::string(TANDREL_SOURCE_DATA_DIR) + "/Chat.fed");
    const std::string text = writeFomModule(chat, Untyped::NotApplicable);
    EXPECT_EQ(text.find("HLAopaqueData"), std::string::npos);
    auto federation = parseModule(text, "Chat.xml");
    const auto typeOfMessage = [&federation] {
        const auto chatLine = federation.findInteractionClass("HLAinteractionRoot.Communication");
        if (!chatLine) return std::string("(no class)");
        const auto parameter = federation.findParameter(*chatLine, "Message");
        return parameter ? federation.parameter(*parameter).dataType : "(no parameter)";
    };
    EXPECT_EQ(typeOfMessage(), "");
    mergeModule(federation, readModuleFile(std::string(TANDREL_SOURCE_DATA_DIR) + "/Chat.xml"));
    EXPECT_EQ(typeOfMessage(), "HLAunicodeString");
}
