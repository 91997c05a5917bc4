// Reading modules by their content: XML FOM modules and FED files, the built-in MIM, and
// the errors of a module that cannot be read.

#include "FomModulesFixture.h"
#include "platform/hla/FedError.h"
#include "platform/hla/FomModules.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace hla;
using namespace fommodules;

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
