// Merging modules that agree: extensions under a base, restatements, definitions that come
// later, references resolved across modules, and a failed merge that changes nothing.

#include "FomModulesFixture.h"
#include "platform/hla/Error.h"
#include "platform/hla/FomModules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace hla;
using namespace fommodules;

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
