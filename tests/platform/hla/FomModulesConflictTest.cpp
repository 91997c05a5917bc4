// Modules that conflict with a base: each refusal names both modules and the class or data
// type.

#include "FomModulesFixture.h"
#include "platform/hla/FomModules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace hla;
using namespace fommodules;

namespace {

struct Conflict {
    const char* what;
    std::string second;
    std::vector<std::string> mentions;
};

class FomModulesRefuse : public ::testing::TestWithParam<Conflict> {};

}  // namespace

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
