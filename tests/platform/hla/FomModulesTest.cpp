#include "platform/hla/Error.h"
#include "platform/hla/FedError.h"
#include "platform/hla/FedReader.h"
#include "platform/hla/FomModules.h"
#include "platform/hla/XmlFomReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

using namespace hla;
namespace fs = std::filesystem;

namespace {

std::string module(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<objectModel xmlns=\"http://standards.ieee.org/IEEE1516-2010\">\n" +
           body + "\n</objectModel>\n";
}

std::string objects(const std::string& classes) {
    return "<objects><objectClass><name>HLAobjectRoot</name>" + classes +
           "</objectClass></objects>";
}

std::string interactions(const std::string& classes) {
    return "<interactions><interactionClass><name>HLAinteractionRoot</name>" + classes +
           "</interactionClass></interactions>";
}

std::string attribute(const std::string& name, const std::string& type,
                      const std::string& order = "Receive",
                      const std::string& transport = "HLAreliable") {
    return "<attribute><name>" + name + "</name><dataType>" + type + "</dataType><transportation>" +
           transport + "</transportation><order>" + order + "</order></attribute>";
}

std::string parameter(const std::string& name, const std::string& type) {
    return "<parameter><name>" + name + "</name><dataType>" + type + "</dataType></parameter>";
}

// Modules written to files of their own, removed at the end of the test.
class Files {
public:
    ~Files() {
        for (const std::string& path : m_paths) std::remove(path.c_str());
    }
    std::string write(const std::string& name, const std::string& text) {
        const std::string path = ::testing::TempDir() + "/fom_" + name;
        std::ofstream(path, std::ios::binary) << text;
        m_paths.push_back(path);
        return path;
    }

private:
    std::vector<std::string> m_paths;
};

FederationDescription parsed(const std::string& text, const std::string& name) {
    return parseModule(text, name);
}

std::string conflict(const std::vector<FederationDescription>& modules) {
    FederationDescription description = standardMim();
    try {
        mergeModules(description, modules);
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::InconsistentFdd);
        return e.what();
    }
    ADD_FAILURE() << "merged";
    return {};
}

// The base of a three-module FOM: vehicles with data types of their own.
const std::string kBase =
    module(objects("<objectClass><name>Vehicle</name>" + attribute("position", "Position") +
                   attribute("speed", "Speed", "TimeStamp") + "</objectClass>") +
           interactions("<interactionClass><name>Collision</name><transportation>HLAreliable"
                        "</transportation><order>TimeStamp</order>" +
                        parameter("where", "Position") + "</interactionClass>") +
           R"(<dataTypes>
  <simpleDataTypes><simpleData><name>Speed</name><representation>HLAfloat64BE</representation></simpleData></simpleDataTypes>
  <arrayDataTypes><arrayData><name>Position</name><dataType>HLAfloat64BE</dataType><cardinality>3</cardinality><encoding>HLAfixedArray</encoding></arrayData></arrayDataTypes>
</dataTypes>)");

// Two extensions, each placing a subclass under Vehicle, named by name only.
const std::string kCars = module(
    objects("<objectClass><name>Vehicle</name><objectClass><name>Car</name>" +
            attribute("plate", "HLAunicodeString") + attribute("fuel", "Litres") +
            "</objectClass></objectClass>") +
    R"(<dataTypes><simpleDataTypes><simpleData><name>Litres</name><representation>HLAfloat32BE</representation></simpleData></simpleDataTypes></dataTypes>)");

const std::string kBoats = module(
    objects("<objectClass><name>Vehicle</name><objectClass><name>Boat</name>" +
            attribute("draught", "Speed") + "</objectClass></objectClass>") +
    interactions("<interactionClass><name>Collision</name><interactionClass><name>Capsize"
                 "</name><transportation>HLAreliable</transportation><order>TimeStamp</order>" +
                 parameter("crew", "HLAinteger32BE") + "</interactionClass></interactionClass>"));

}  // namespace

TEST(FomModules, TellsXmlFromFedByTheFirstCharacter) {
    EXPECT_EQ(moduleFormat("<?xml version=\"1.0\"?><objectModel/>"), ModuleFormat::Xml);
    EXPECT_EQ(moduleFormat("\xEF\xBB\xBF \n\t<objectModel/>"), ModuleFormat::Xml);
    EXPECT_EQ(moduleFormat("\xFF\xFE<\0"), ModuleFormat::Xml);
    EXPECT_EQ(moduleFormat(";; a FED file\n(FED)"), ModuleFormat::Fed);
    EXPECT_EQ(moduleFormat("\xEF\xBB\xBF(FED)"), ModuleFormat::Fed);
    EXPECT_EQ(moduleFormat(""), ModuleFormat::Fed);
}

// The MIM as the standard has it: the delete privilege, the MOM classes with members
// inherited down the tree, and data types that every reference resolves to.
TEST(FomModules, TheStandardMimHoldsTheMomAndItsDataTypes) {
    const FederationDescription mim = standardMim();
    EXPECT_EQ(mim.modules, std::vector<std::string>{kStandardMimModule});
    const auto root = mim.findObjectClass("HLAobjectRoot");
    ASSERT_TRUE(root);
    const auto& privilege = mim.attribute(*mim.findAttribute(*root, "HLAprivilegeToDeleteObject"));
    EXPECT_EQ(privilege.name, "privilegeToDelete");
    EXPECT_EQ(privilege.dataType, "HLAtoken");
    EXPECT_EQ(privilege.transport, Transport::Reliable);
    EXPECT_EQ(privilege.order, Order::Timestamp);

    const auto federate = mim.findObjectClass("HLAobjectRoot.HLAmanager.HLAfederate");
    ASSERT_TRUE(federate);
    EXPECT_EQ(mim.availableAttributes(*federate).size(), 33u);
    EXPECT_EQ(mim.attribute(*mim.findAttribute(*federate, "HLAfederateHandle")).dataType,
              "HLAhandle");
    EXPECT_EQ(mim.attribute(*mim.findAttribute(*federate, "HLAtimeGrantedTime")).dataType,
              "HLAmsec");
    const auto federation = mim.findObjectClass("HLAobjectRoot.HLAmanager.HLAfederation");
    ASSERT_TRUE(federation);
    EXPECT_EQ(mim.objectClass(*federation).declared.size(), 12u);

    const auto setTiming = mim.findInteractionClass(
        "HLAinteractionRoot.HLAmanager.HLAfederate.HLAadjust.HLAsetTiming");
    ASSERT_TRUE(setTiming);
    EXPECT_EQ(mim.interactionClass(*setTiming).order, Order::Receive);
    EXPECT_TRUE(mim.findParameter(*setTiming, "HLAfederate"));  // from HLAmanager.HLAfederate
    EXPECT_EQ(mim.parameter(*mim.findParameter(*setTiming, "HLAreportPeriod")).dataType,
              "HLAseconds");
    for (const char* name :
         {"HLAinteractionRoot.HLAmanager.HLAfederate.HLAreport.HLAreportUpdatesSent",
          "HLAinteractionRoot.HLAmanager.HLAfederate.HLAservice.HLAresignFederationExecution",
          "HLAinteractionRoot.HLAmanager.HLAfederate.HLArequest.HLArequestFOMmoduleData",
          "HLAinteractionRoot.HLAmanager.HLAfederation.HLAreport.HLAreportMIMdata"}) {
        EXPECT_TRUE(mim.findInteractionClass(name)) << name;
    }
    EXPECT_EQ(mim.interactionClassCount(), 85u);

    for (const char* name : {"HLAhandle", "HLAtransportationName", "HLAmsec", "HLAswitch",
                             "HLAobjectClassBasedCounts", "HLAsynchPointFederate"}) {
        EXPECT_TRUE(mim.dataTypes.find(name)) << name;
    }
    EXPECT_EQ(mim.dataTypes.basicOf("HLAmsec"), mim.dataTypes.find("HLAinteger32BE"));
    EXPECT_NO_THROW(checkDataTypeReferences(mim));
}

TEST(FomModules, MergesABaseAndTwoExtensionsUnderAScaffoldingClass) {
    Files files;
    const std::string base = files.write("base.xml", kBase);
    const std::string cars = files.write("cars.xml", kCars);
    const std::string boats = files.write("boats.xml", kBoats);
    const auto fom = readFederationModules({base, cars, boats});
    EXPECT_EQ(fom.modules, (std::vector<std::string>{kStandardMimModule, base, cars, boats}));

    const auto vehicle = fom.findObjectClass("HLAobjectRoot.Vehicle");
    ASSERT_TRUE(vehicle);
    EXPECT_EQ(fom.objectClass(*vehicle).module, base);
    EXPECT_EQ(fom.objectClass(*vehicle).declared.size(), 2u);
    const auto car = fom.findObjectClass("ObjectRoot.Vehicle.Car");
    const auto boat = fom.findObjectClass("ObjectRoot.Vehicle.Boat");
    ASSERT_TRUE(car && boat);
    EXPECT_EQ(fom.objectClass(*car).module, cars);
    EXPECT_EQ(fom.objectClass(*boat).module, boats);
    // Inherited from the base and the MIM.
    for (const char* name : {"position", "speed", "privilegeToDelete", "draught"}) {
        EXPECT_TRUE(fom.findAttribute(*boat, name)) << name;
    }
    EXPECT_FALSE(fom.findAttribute(*boat, "plate"));
    const auto capsize = fom.findInteractionClass("InteractionRoot.Collision.Capsize");
    ASSERT_TRUE(capsize);
    EXPECT_TRUE(fom.findParameter(*capsize, "where"));
    EXPECT_EQ(fom.interactionClass(*fom.findInteractionClass("InteractionRoot.Collision")).module,
              base);
    EXPECT_EQ(fom.dataTypes.find("Litres")->module, cars);
    EXPECT_EQ(fom.dataTypes.octetBoundary("Position"), 8);
}

TEST(FomModules, MergingAppendsAndKeepsEveryHandle) {
    FederationDescription description = standardMim();
    mergeModule(description, parsed(kBase, "base.xml"));
    const auto vehicle = *description.findObjectClass("ObjectRoot.Vehicle");
    const auto speed = *description.findAttribute(vehicle, "speed");
    const auto collision = *description.findInteractionClass("InteractionRoot.Collision");
    const auto objectClasses = description.objectClassCount();

    // A joining federate's modules, merged into the standing description.
    mergeModules(description, {parsed(kCars, "cars.xml"), parsed(kBoats, "boats.xml")});
    EXPECT_EQ(description.findObjectClass("ObjectRoot.Vehicle"), vehicle);
    EXPECT_EQ(description.findAttribute(vehicle, "speed"), speed);
    EXPECT_EQ(description.findInteractionClass("InteractionRoot.Collision"), collision);
    EXPECT_EQ(description.objectClassCount(), objectClasses + 2);
    EXPECT_GT(toUnderlying(*description.findObjectClass("ObjectRoot.Vehicle.Car")),
              toUnderlying(vehicle));
}

TEST(FomModules, AcceptsIdenticalRestatementsAndModulesGivenTwice) {
    const std::string restated = module(
        objects("<objectClass><name>Vehicle</name><sharing>Publish</sharing><semantics>Other "
                "words</semantics>" +
                attribute("speed", "Speed", "TimeStamp") + attribute("position", "Position") +
                "</objectClass>") +
        R"(<dataTypes><simpleDataTypes><simpleData><name>Speed</name><representation>HLAfloat64BE</representation><units>m/s</units></simpleData></simpleDataTypes></dataTypes>)");
    FederationDescription description = standardMim();
    mergeModules(description, {parsed(kBase, "base.xml"), parsed(restated, "restated.xml"),
                               parsed(kBase, "base.xml")});
    EXPECT_EQ(description.modules,
              (std::vector<std::string>{kStandardMimModule, "base.xml", "restated.xml"}));
    EXPECT_EQ(description.objectClass(*description.findObjectClass("ObjectRoot.Vehicle")).module,
              "base.xml");
}

TEST(FomModules, ALaterModuleDefinesWhatEarlierOnesOnlyNamed) {
    FederationDescription description = standardMim();
    mergeModules(description, {parsed(kCars, "cars.xml"), parsed(kBase, "base.xml")});
    const auto vehicle = description.findObjectClass("ObjectRoot.Vehicle");
    ASSERT_TRUE(vehicle);
    EXPECT_EQ(description.objectClass(*vehicle).module, "base.xml");
    EXPECT_TRUE(
        description.findAttribute(*description.findObjectClass("ObjectRoot.Vehicle.Car"), "speed"));

    // An interaction class named only, then defined; and values left open, then stated.
    const std::string named =
        module(objects("<objectClass><name>Vehicle</name>"
                       "<attribute><name>speed</name></attribute><attribute><name>position</name>"
                       "</attribute></objectClass>") +
               interactions("<interactionClass><name>Horn</name><interactionClass><name>Loud</name>"
                            "<transportation>HLAbestEffort</transportation><order>Receive</order>"
                            "</interactionClass></interactionClass>"));
    const std::string horn =
        module(interactions("<interactionClass><name>Horn</name><transportation>HLAreliable"
                            "</transportation><order>TimeStamp</order>" +
                            parameter("volume", "HLAinteger32BE") + "</interactionClass>"));
    FederationDescription other = standardMim();
    mergeModules(other,
                 {parsed(named, "named.xml"), parsed(horn, "horn.xml"), parsed(kBase, "base.xml")});
    const auto& hornClass =
        other.interactionClass(*other.findInteractionClass("InteractionRoot.Horn"));
    EXPECT_FALSE(hornClass.scaffolding);
    EXPECT_EQ(hornClass.module, "horn.xml");
    EXPECT_EQ(hornClass.order, Order::Timestamp);
    EXPECT_TRUE(
        other.findParameter(*other.findInteractionClass("InteractionRoot.Horn.Loud"), "volume"));
    const auto& speed = other.attribute(
        *other.findAttribute(*other.findObjectClass("ObjectRoot.Vehicle"), "speed"));
    EXPECT_EQ(speed.dataType, "Speed");
    EXPECT_EQ(speed.order, Order::Timestamp);
    EXPECT_TRUE(speed.orderDeclared);
}

struct Conflict {
    const char* what;
    std::string second;
    std::vector<std::string> mentions;
};

class FomModulesRefuse : public ::testing::TestWithParam<Conflict> {};

TEST_P(FomModulesRefuse, NamingBothModulesAndTheClassOrType) {
    const Conflict& c = GetParam();
    const std::string message =
        conflict({parsed(kBase, "base.xml"), parsed(c.second, "second.xml")});
    for (const std::string& mention : c.mentions) {
        EXPECT_NE(message.find(mention), std::string::npos) << message << "\n  lacks: " << mention;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Conflicts, FomModulesRefuse,
    ::testing::Values(
        Conflict{"attribute data type",
                 module(objects("<objectClass><name>Vehicle</name>" +
                                attribute("position", "HLAopaqueData") +
                                attribute("speed", "Speed", "TimeStamp") + "</objectClass>")),
                 {"object class ObjectRoot.Vehicle is defined differently in \"base.xml\" and in "
                  "\"second.xml\"",
                  "attribute position has data type Position in \"base.xml\" and HLAopaqueData"}},
        Conflict{
            "attribute order",
            module(objects("<objectClass><name>Vehicle</name>" + attribute("position", "Position") +
                           attribute("speed", "Speed", "Receive") + "</objectClass>")),
            {"object class ObjectRoot.Vehicle is defined differently", "\"second.xml\"",
             "attribute speed has order TimeStamp in \"base.xml\" and Receive"}},
        Conflict{"attribute transportation",
                 module(objects("<objectClass><name>Vehicle</name>" +
                                attribute("position", "Position", "Receive", "HLAbestEffort") +
                                attribute("speed", "Speed", "TimeStamp") + "</objectClass>")),
                 {"object class ObjectRoot.Vehicle", "\"base.xml\"", "\"second.xml\"",
                  "transportation HLAreliable in \"base.xml\" and HLAbestEffort"}},
        Conflict{
            "attribute added to another module's class",
            module(objects("<objectClass><name>Vehicle</name>" + attribute("position", "Position") +
                           attribute("speed", "Speed", "TimeStamp") +
                           attribute("colour", "HLAunicodeString") + "</objectClass>")),
            {"object class ObjectRoot.Vehicle is defined differently in \"base.xml\" and in "
             "\"second.xml\": \"second.xml\" adds attribute colour"}},
        Conflict{"attribute left out",
                 module(objects("<objectClass><name>Vehicle</name>" +
                                attribute("position", "Position") + "</objectClass>")),
                 {"ObjectRoot.Vehicle", "\"base.xml\"", "leaves out attribute speed"}},
        Conflict{"inherited attribute declared again",
                 module(objects("<objectClass><name>Vehicle</name><objectClass><name>Car</name>" +
                                attribute("speed", "Speed") + "</objectClass></objectClass>")),
                 {"attribute speed of object class ObjectRoot.Vehicle.Car in \"second.xml\" is "
                  "declared already in object class ObjectRoot.Vehicle of \"base.xml\""}},
        Conflict{"interaction class order",
                 module(interactions("<interactionClass><name>Collision</name><order>Receive"
                                     "</order>" +
                                     parameter("where", "Position") + "</interactionClass>")),
                 {"interaction class InteractionRoot.Collision is defined differently in "
                  "\"base.xml\" and in \"second.xml\": order TimeStamp in \"base.xml\" and "
                  "Receive in \"second.xml\""}},
        Conflict{"interaction class transportation",
                 module(interactions("<interactionClass><name>Collision</name><transportation>"
                                     "HLAbestEffort</transportation></interactionClass>")),
                 {"InteractionRoot.Collision", "\"base.xml\"", "\"second.xml\"",
                  "transportation HLAreliable"}},
        Conflict{"parameter added",
                 module(interactions("<interactionClass><name>Collision</name>" +
                                     parameter("where", "Position") +
                                     parameter("damage", "HLAfloat32BE") + "</interactionClass>")),
                 {"interaction class InteractionRoot.Collision is defined differently",
                  "\"second.xml\" adds parameter damage"}},
        Conflict{
            "parameter data type",
            module(interactions("<interactionClass><name>Collision</name>" +
                                parameter("where", "HLAunicodeString") + "</interactionClass>")),
            {"InteractionRoot.Collision",
             "parameter where has data type Position in "
             "\"base.xml\" and HLAunicodeString in \"second.xml\""}},
        Conflict{
            "data type",
            module(
                R"(<dataTypes><simpleDataTypes><simpleData><name>Speed</name><representation>HLAfloat32BE</representation></simpleData></simpleDataTypes></dataTypes>)"),
            {"data type Speed is defined differently in \"base.xml\" and in \"second.xml\""}},
        Conflict{"MIM class",
                 module("<objects><objectClass><name>HLAobjectRoot</name><objectClass><name>"
                        "HLAmanager</name><objectClass><name>HLAfederate</name>" +
                        attribute("HLAfederateHandle", "HLAunicodeString") +
                        "</objectClass></objectClass></objectClass></objects>"),
                 {"object class ObjectRoot.HLAmanager.HLAfederate is defined differently in "
                  "\"HLAstandardMIM.xml\" and in \"second.xml\""}}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name) {
            if (c == ' ' || c == '\'') c = '_';
        }
        return name;
    });

TEST(FomModules, AFailedMergeLeavesTheDescriptionAsItWas) {
    FederationDescription description = standardMim();
    mergeModule(description, parsed(kBase, "base.xml"));
    const auto objectClasses = description.objectClassCount();
    const auto interactionClasses = description.interactionClassCount();
    const auto dataTypes = description.dataTypes.size();
    const auto modules = description.modules;

    // Cars merge, then boats clash with them: nothing of either stays.
    const std::string clash = module(
        objects("<objectClass><name>Vehicle</name><objectClass><name>Car</name>" +
                attribute("plate", "HLAASCIIstring") + "</objectClass></objectClass>") +
        R"(<dataTypes><simpleDataTypes><simpleData><name>Knots</name><representation>HLAfloat32BE</representation></simpleData></simpleDataTypes></dataTypes>)");
    EXPECT_THROW(mergeModules(description, {parsed(kCars, "cars.xml"), parsed(clash, "clash.xml")}),
                 Error);
    EXPECT_THROW(
        mergeModule(description,
                    parsed(module(objects("<objectClass><name>Vehicle</name>" +
                                          attribute("position", "Position") + "</objectClass>")),
                           "short.xml")),
        Error);
    // A reference that no module resolves fails the whole set as well.
    const std::string dangling =
        module(objects("<objectClass><name>Vehicle</name><objectClass><name>Tank</name>" +
                       attribute("armour", "Millimetres") + "</objectClass></objectClass>"));
    try {
        mergeModules(description, {parsed(dangling, "tank.xml")});
        FAIL() << "merged a dangling reference";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "data type Millimetres is not defined by any module; attribute armour of object "
                  "class ObjectRoot.Vehicle.Tank (\"tank.xml\") refers to it");
    }
    EXPECT_EQ(description.objectClassCount(), objectClasses);
    EXPECT_EQ(description.interactionClassCount(), interactionClasses);
    EXPECT_EQ(description.dataTypes.size(), dataTypes);
    EXPECT_EQ(description.modules, modules);
    EXPECT_FALSE(description.findObjectClass("ObjectRoot.Vehicle.Car"));
    EXPECT_EQ(
        description.objectClass(*description.findObjectClass("ObjectRoot.Vehicle")).declared.size(),
        2u);
}

TEST(FomModules, ReferencesResolveAcrossModulesInAnyOrder) {
    // The type the extension refers to comes with a later module.
    const std::string uses = module(objects("<objectClass><name>Ship</name>" +
                                            attribute("course", "Heading") + "</objectClass>"));
    const std::string defines = module(
        R"(<dataTypes><simpleDataTypes><simpleData><name>Heading</name><representation>HLAfloat32BE</representation></simpleData></simpleDataTypes></dataTypes>)");
    FederationDescription description = standardMim();
    EXPECT_NO_THROW(
        mergeModules(description, {parsed(uses, "uses.xml"), parsed(defines, "defines.xml")}));

    const std::string type = module(
        R"(<dataTypes><arrayDataTypes><arrayData><name>Route</name><dataType>Waypoint</dataType><cardinality>Dynamic</cardinality></arrayData></arrayDataTypes></dataTypes>)");
    const std::string message = conflict({parsed(type, "route.xml")});
    EXPECT_EQ(message,
              "data type Waypoint is not defined by any module; data type Route (\"route.xml\") "
              "refers to it");
}

// A FED file is a module without data types: its members match an XML module's by name,
// transportation and order, and the XML module's data types fill them in.
TEST(FomModules, MixesFedFilesWithXmlModules) {
    const std::string dir = TANDREL_SOURCE_DATA_DIR;
    const auto fom = readFederationModules({dir + "/Chat.fed", dir + "/Chat.xml"});
    EXPECT_EQ(fom.federationName, "ChatRoom");
    EXPECT_TRUE(fom.findObjectClass("HLAobjectRoot.HLAmanager.HLAfederate"));  // the MIM
    const auto participant = *fom.findObjectClass("ObjectRoot.Participant");
    EXPECT_EQ(fom.attribute(*fom.findAttribute(participant, "Name")).dataType, "HLAunicodeString");
    EXPECT_EQ(fom.objectClass(participant).module, dir + "/Chat.fed");

    // Without an XML module, no MIM.
    const auto fedOnly = readFederationModules({dir + "/Chat.fed"});
    EXPECT_FALSE(fedOnly.findObjectClass("ObjectRoot.HLAmanager"));
    EXPECT_EQ(fedOnly.modules, std::vector<std::string>{dir + "/Chat.fed"});

    const std::string fed = R"((FED (Federation ChatRoom) (FEDversion v1.3)
  (objects (class ObjectRoot (attribute privilegeToDelete reliable timestamp)
    (class Participant (attribute Name best_effort receive))))
  (interactions (class InteractionRoot best_effort receive)))
)";
    std::string chat;
    {
        std::ifstream file(dir + "/Chat.xml");
        chat.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    const std::string message = conflict({parsed(fed, "chat.fed"), parsed(chat, "Chat.xml")});
    EXPECT_NE(message.find("object class ObjectRoot.Participant is defined differently in "
                           "\"chat.fed\" and in \"Chat.xml\": attribute Name has transportation "
                           "HLAbestEffort in \"chat.fed\" and HLAreliable in \"Chat.xml\""),
              std::string::npos)
        << message;
}

TEST(FomModules, ReadErrorsNameTheModule) {
    Files files;
    const std::string good = files.write("good.xml", kBase);
    const std::string bad = files.write("bad.fed", "(FED (Federation F)\n  (FEDversion v2))");
    try {
        readFederationModules({good, bad});
        FAIL() << "read a broken module";
    } catch (const FedError& e) {
        EXPECT_EQ(e.path(), bad);
        EXPECT_EQ(e.line(), 2);
    }
    EXPECT_THROW(readFederationModules({}), FedError);
}

// --- FOM modules written by another tool: OpenRTI's, when its source lies beside us. --------

namespace {

fs::path openRtiSource() {
    if (const char* env = std::getenv("TANDREL_OPENRTI_SOURCE"); env && *env) return env;
    return fs::path(TANDREL_SOURCE_DIR) / "build" / "openrti" / "source";
}

#define REQUIRE_OPENRTI(dir)                                                             \
    const fs::path dir = openRtiSource();                                                \
    if (!fs::exists(dir / "share" / "rti1516e" / "HLAstandardMIM.xml")) {                \
        GTEST_SKIP() << "no OpenRTI source at " << dir                                   \
                     << " (set TANDREL_OPENRTI_SOURCE or run scripts/build-openrti.sh)"; \
    }

std::vector<fs::path> filesUnder(const fs::path& dir, const std::string& extension) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file() && entry.path().extension() == extension) {
            found.push_back(entry.path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<FederationDescription> modulesIn(const fs::path& dir,
                                             const std::vector<std::string>& names) {
    std::vector<FederationDescription> modules;
    for (const std::string& name : names) modules.push_back(readModuleFile((dir / name).string()));
    return modules;
}

}  // namespace

// IEEE's own MIM file, as OpenRTI ships it, restates ours: it adds no class, member or data
// type (ours states the HLAsyncPointName parameter of
// HLArequestSynchronizationPointStatus, which IEEE's file leaves out) and conflicts nowhere.
TEST(FomModulesFromOpenRti, TheirMimMergesWithOurs) {
    REQUIRE_OPENRTI(source);
    const FederationDescription ours = standardMim();
    FederationDescription merged = ours;
    mergeModules(merged,
                 {readModuleFile((source / "share" / "rti1516e" / "HLAstandardMIM.xml").string())});
    EXPECT_EQ(merged.objectClassCount(), ours.objectClassCount());
    EXPECT_EQ(merged.interactionClassCount(), ours.interactionClassCount());
    EXPECT_EQ(merged.dataTypes.size(), ours.dataTypes.size());
    for (std::uint32_t i = 0; i < ours.objectClassCount(); ++i) {
        const auto cls = static_cast<ObjectClassHandle>(i);
        EXPECT_EQ(merged.objectClass(cls).declared, ours.objectClass(cls).declared);
    }
}

TEST(FomModulesFromOpenRti, ReadsEveryModuleAndFedFileOfItsTests) {
    REQUIRE_OPENRTI(source);
    std::size_t read = 0;
    for (const char* dir : {"rti1516e", "rti1516"}) {
        for (const fs::path& path : filesUnder(source / "tests" / dir, ".xml")) {
            EXPECT_NO_THROW(readModuleFile(path.string())) << path;
            ++read;
        }
    }
    EXPECT_GE(read, 30u);
    for (const fs::path& path : filesUnder(source / "tests", ".fed")) {
        if (path.filename() == "fdd-2.fed") {
            // Deliberately without ObjectRoot and InteractionRoot, to test that OpenRTI puts
            // them in; the HLA 1.3 FED grammar requires them, and so do we.
            EXPECT_THROW(readModuleFile(path.string()), FedError) << path;
            continue;
        }
        // fdd-1.fed writes the roots "objectRoot" and "interactionRoot".
        const auto fed = readModuleFile(path.string());
        EXPECT_TRUE(fed.findObjectClass("ObjectRoot.ObjectClass1.ObjectClass2")) << path;
    }
}

// The sets OpenRTI's own tests merge; the 1516-2000 documents, which name the delete
// privilege twice, give it another order than the MIM or leave out what 2010 modules
// state, merge with the MIM as well.
TEST(FomModulesFromOpenRti, MergesTheSetsMeantToMerge) {
    REQUIRE_OPENRTI(source);
    const fs::path tests = source / "tests";
    for (const fs::path& path :
         {tests / "rti1516e" / "fddget" / "fdd-1.xml", tests / "rti1516e" / "fddget" / "fdd-2.xml",
          tests / "rti1516" / "fddget" / "fdd-1.xml", tests / "rti1516" / "fddget" / "fdd-2.xml"}) {
        SCOPED_TRACE(path.string());
        const auto fom = readFederationModules({path.string()});
        const auto root = fom.findObjectClass("HLAobjectRoot");
        EXPECT_EQ(fom.objectClass(*root).declared.size(), 1u);  // the MIM's privilege only
        if (path.parent_path().filename() == "fddget") {
            const auto two = fom.findObjectClass("HLAobjectRoot.ObjectClass1.ObjectClass2");
            ASSERT_TRUE(two);
            for (const char* name : {"HLAprivilegeToDeleteObject", "Attribute1", "Attribute2"}) {
                EXPECT_TRUE(fom.findAttribute(*two, name)) << name;
            }
            const auto interaction =
                fom.findInteractionClass("HLAinteractionRoot.InteractionClass1.InteractionClass2");
            ASSERT_TRUE(interaction);
            EXPECT_TRUE(fom.findParameter(*interaction, "Parameter1"));
        }
    }

    // The whole FDDs of its 1516-2000 tests, which OpenRTI reads without looking at their
    // data types, refer to types they never define: one attribute's type in the wrong letter
    // case, and an HLAsyncPointFederateList of the record HLAsyncPointFederate. They read
    // (above), but do not make a federation.
    for (const auto& [file, message] : std::vector<std::pair<fs::path, std::string>>{
             {tests / "rti1516" / "fdd.xml",
              "data type unsignedShort is not defined by any module; attribute beaconCode of "
              "object class ObjectRoot.Flight"},
             {tests / "rti1516" / "interaction" / "fdd.xml",
              "data type HLAsyncPointFederate is not defined by any module; data type "
              "HLAsyncPointFederateList"},
             {tests / "rti1516" / "objectinstance" / "fdd.xml", "data type HLAsyncPointFederate"},
             {tests / "rti1516" / "time" / "fdd.xml", "data type HLAsyncPointFederate"}}) {
        try {
            readFederationModules({file.string()});
            ADD_FAILURE() << file << " merged with a dangling data type reference";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()).rfind(message, 0), 0u) << e.what();
        }
        // Without the dangling references they merge: the MIM's root stands.
        FederationDescription fom = standardMim();
        mergeModule(fom, readModuleFile(file.string()));
        EXPECT_EQ(fom.objectClass(*fom.findObjectClass("HLAobjectRoot")).declared.size(), 1u);
    }

    // OpenRTI's modules test: the modules that define classes, then the ones that only name
    // them (and dimensions and update rates, which are not kept).
    const fs::path dir = tests / "rti1516e" / "modules";
    for (const char* set : {"-1", "-2"}) {
        std::vector<std::string> names;
        for (const char* base : {"ObjectClass1", "ObjectClass2", "ObjectClass3",
                                 "InteractionClass1", "InteractionClass2", "InteractionClass3",
                                 "Dimension1", "Dimension2", "UpdateRate1", "UpdateRate2"}) {
            names.push_back(std::string(base) + set + ".xml");
        }
        for (const char* named :
             {"ObjectClass1.xml", "ObjectClass2.xml", "ObjectClass3.xml", "InteractionClass1.xml",
              "InteractionClass2.xml", "InteractionClass3.xml"}) {
            names.emplace_back(named);
        }
        FederationDescription fom = standardMim();
        ASSERT_NO_THROW(mergeModules(fom, modulesIn(dir, names))) << set;
        const auto two = fom.findObjectClass("HLAobjectRoot.ObjectClass1.ObjectClass2");
        ASSERT_TRUE(two);
        const std::string attribute = std::string(set) == "-1" ? "Attribute2" : "OtherAttribute2";
        EXPECT_TRUE(fom.findAttribute(*two, attribute)) << set;
    }
    // Named first and defined later, which OpenRTI refuses and the standard's merging allows.
    FederationDescription later = standardMim();
    EXPECT_NO_THROW(
        mergeModules(later, modulesIn(dir, {"ObjectClass1.xml", "ObjectClass1-1.xml",
                                            "InteractionClass2.xml", "InteractionClass2-1.xml"})));

    // The two definitions of one class conflict, in either order.
    for (const auto& [first, second] : std::vector<std::pair<std::string, std::string>>{
             {"ObjectClass1-1.xml", "ObjectClass1-2.xml"},
             {"InteractionClass2-2.xml", "InteractionClass2-1.xml"}}) {
        FederationDescription fom = standardMim();
        try {
            mergeModules(fom, modulesIn(dir, {first, second}));
            ADD_FAILURE() << first << " and " << second << " merged";
        } catch (const Error& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("is defined differently in \"" + (dir / first).string() +
                                   "\" and in \"" + (dir / second).string() + "\""),
                      std::string::npos)
                << message;
        }
    }
}
