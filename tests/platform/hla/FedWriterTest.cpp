#include "platform/hla/Error.h"
#include "platform/hla/FedReader.h"
#include "platform/hla/FedWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace hla;

namespace {

const char* word(Transport t) {
    return t == Transport::Reliable ? "reliable" : "best_effort";
}
const char* word(Order o) {
    return o == Order::Receive ? "receive" : "timestamp";
}

// Every class with its own members, transportations and orders, one line each, in handle order.
std::vector<std::string> outline(const FederationDescription& d) {
    std::vector<std::string> lines;
    for (std::uint32_t i = 0; i < d.objectClassCount(); ++i) {
        const auto& cls = d.objectClass(static_cast<ObjectClassHandle>(i));
        lines.push_back("object " + cls.fullName);
        for (AttributeHandle a : cls.declared) {
            const auto& attribute = d.attribute(a);
            lines.push_back("  " + attribute.name + " " + word(attribute.transport) + " " +
                            word(attribute.order));
        }
    }
    for (std::uint32_t i = 0; i < d.interactionClassCount(); ++i) {
        const auto& cls = d.interactionClass(static_cast<InteractionClassHandle>(i));
        lines.push_back("interaction " + cls.fullName + " " + word(cls.transport) + " " +
                        word(cls.order));
        for (ParameterHandle p : cls.declared) lines.push_back("  " + d.parameter(p).name);
    }
    return lines;
}

// A description as a 2010 module may leave it: the MIM's classes, names a FED file must quote,
// roots that differ from the MIM's, and a class placed without a parent.
FederationDescription fromModules() {
    FederationDescription d;
    d.federationName = "Traffic.2010";
    const auto root = d.addObjectClass(std::nullopt, "ObjectRoot");
    d.addAttribute(root, "privilegeToDelete", Transport::BestEffort, Order::Receive, "HLAtoken");
    const auto manager = d.addObjectClass(root, "HLAmanager");
    d.addAttribute(d.addObjectClass(manager, "HLAfederate"), "HLAfederateHandle",
                   Transport::Reliable, Order::Receive);
    const auto car = d.addObjectClass(root, "Car");
    d.addAttribute(car, "Top Speed", Transport::BestEffort, Order::Receive, "HLAfloat64BE");
    d.addAttribute(d.addObjectClass(car, "Racer"), "Team", Transport::Reliable, Order::Timestamp);
    const auto iroot = d.addInteractionClass(std::nullopt, "InteractionRoot", Transport::BestEffort,
                                             Order::Receive);
    d.addInteractionClass(
        d.addInteractionClass(iroot, "HLAmanager", Transport::Reliable, Order::Receive),
        "HLAfederate", Transport::Reliable, Order::Receive);
    const auto horn = d.addInteractionClass(iroot, "Horn", Transport::Reliable, Order::Timestamp);
    d.addParameter(horn, "Loudness", "HLAinteger32BE");
    d.addParameter(d.addInteractionClass(horn, "LongHorn", Transport::BestEffort, Order::Receive),
                   "Duration (s)");
    return d;
}

}  // namespace

TEST(FedWriter, TheShippedChatDescriptionReadsBackAsItWasButForTheRootOrder) {
    const auto chat = readFedFile(std::string(TANDREL_SOURCE_DATA_DIR) + "/Chat.fed");
    const auto back = parseFed(writeFed(chat));
    std::vector<std::string> expected = outline(chat);
    // The interaction root is written as the MIM states it, so that 2010 modules can join.
    const auto root =
        std::find(expected.begin(), expected.end(), "interaction InteractionRoot reliable receive");
    ASSERT_NE(root, expected.end());
    *root = "interaction InteractionRoot reliable timestamp";
    EXPECT_EQ(outline(back), expected);
    EXPECT_EQ(back.federationName, "ChatRoom");
}

TEST(FedWriter, WritesWhatAModuleGaveWithoutTheMimsClassesAndWithTheRootsAsTheMimStatesThem) {
    const auto back = parseFed(writeFed(fromModules()));
    EXPECT_EQ(outline(back), (std::vector<std::string>{
                                 "object ObjectRoot",
                                 "  privilegeToDelete reliable timestamp",
                                 "object ObjectRoot.Car",
                                 "  Top Speed best_effort receive",
                                 "object ObjectRoot.Car.Racer",
                                 "  Team reliable timestamp",
                                 "interaction InteractionRoot reliable timestamp",
                                 "interaction InteractionRoot.Horn reliable timestamp",
                                 "  Loudness",
                                 "interaction InteractionRoot.Horn.LongHorn best_effort receive",
                                 "  Duration (s)",
                             }));
    // A FED file's names hold no ".".
    EXPECT_EQ(back.federationName, "Traffic_2010");
}

TEST(FedWriter, StatesTheDeletePrivilegeAndPlacesParentlessClassesBeneathTheRoots) {
    FederationDescription d;
    d.addAttribute(d.addObjectClass(std::nullopt, "Loose"), "Value", Transport::Reliable,
                   Order::Receive);
    d.addInteractionClass(std::nullopt, "Ping", Transport::BestEffort, Order::Receive);
    const auto back = parseFed(writeFed(d));
    EXPECT_EQ(outline(back), (std::vector<std::string>{
                                 "object ObjectRoot",
                                 "  privilegeToDelete reliable timestamp",
                                 "object ObjectRoot.Loose",
                                 "  Value reliable receive",
                                 "interaction InteractionRoot reliable timestamp",
                                 "interaction InteractionRoot.Ping best_effort receive",
                             }));
}

TEST(FedWriter, RefusesANameAFedFileCannotHold) {
    FederationDescription d;
    d.addObjectClass(d.addObjectClass(std::nullopt, "ObjectRoot"), "Say\"Hi\"");
    try {
        writeFed(d);
        FAIL() << "written";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::InvalidName);
        EXPECT_NE(std::string(e.what()).find("Say\"Hi\""), std::string::npos) << e.what();
    }
}
