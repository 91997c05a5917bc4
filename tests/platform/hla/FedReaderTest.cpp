#include "platform/hla/Error.h"
#include "platform/hla/FedError.h"
#include "platform/hla/FedReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

using namespace hla;

namespace {

const char* const kNested = R"(;; a description with comments everywhere
(fed ;; keywords in any letter case
  (FEDERATION Nested) (fedversion V1.3)
  (federate "One" "Public") (federate Two Public)
  (spaces (space Geo (dimension X) (dimension Y)))
  (objects
    (class ObjectRoot
      (attribute privilegeToDelete RELIABLE timestamp)
      (class Vehicle
        (class Car (attribute Speed best_effort receive Geo)
          (class Racer (attribute Team reliable timestamp)))
        (attribute Position reliable timestamp Geo))))
  (interactions
    (class InteractionRoot best_effort receive
      (class Horn reliable timestamp Geo (parameter Loudness)
        (class LongHorn reliable receive (parameter Duration))))))
)";

FedError parseError(const std::string& text) {
    try {
        parseFed(text);
    } catch (const FedError& e) {
        return e;
    }
    ADD_FAILURE() << "accepted: " << text;
    return FedError(0, 0, "");
}

}  // namespace

TEST(FedReader, ReadsTheShippedChatDescription) {
    const auto fom = readFedFile(std::string(TANDREL_SOURCE_DATA_DIR) + "/Chat.fed");
    EXPECT_EQ(fom.federationName, "ChatRoom");
    for (const char* name : {"InteractionRoot.Communication", "InteractionRoot.TSCommunication"}) {
        const auto cls = fom.findInteractionClass(name);
        ASSERT_TRUE(cls) << name;
        EXPECT_TRUE(fom.findParameter(*cls, "Message")) << name;
        EXPECT_TRUE(fom.findParameter(*cls, "Sender")) << name;
    }
    EXPECT_EQ(
        fom.interactionClass(*fom.findInteractionClass("InteractionRoot.Communication")).order,
        Order::Receive);
    EXPECT_EQ(
        fom.interactionClass(*fom.findInteractionClass("InteractionRoot.TSCommunication")).order,
        Order::Timestamp);
    const auto participant = fom.findObjectClass("ObjectRoot.Participant");
    ASSERT_TRUE(participant);
    EXPECT_TRUE(fom.findAttribute(*participant, "Name"));
    const auto myClass = fom.findObjectClass("ObjectRoot.myClass");
    ASSERT_TRUE(myClass);
    const auto myAttr = fom.findAttribute(*myClass, "myAttr");
    ASSERT_TRUE(myAttr);
    EXPECT_EQ(fom.attribute(*myAttr).order, Order::Timestamp);
}

TEST(FedReader, ReadsNestedClassesWithInheritanceAndComments) {
    const auto fom = parseFed(kNested);
    EXPECT_EQ(fom.federationName, "Nested");
    EXPECT_EQ(fom.routingSpaces, std::vector<std::string>{"Geo"});
    const auto racer = fom.findObjectClass("ObjectRoot.Vehicle.Car.Racer");
    ASSERT_TRUE(racer);
    // Inherited from three levels up, and the class's own.
    for (const char* name : {"privilegeToDelete", "Position", "Speed", "Team"}) {
        EXPECT_TRUE(fom.findAttribute(*racer, name)) << name;
    }
    EXPECT_FALSE(fom.findAttribute(*fom.findObjectClass("ObjectRoot.Vehicle"), "Speed"));
    const auto speed = fom.findAttribute(*racer, "Speed");
    EXPECT_EQ(fom.attribute(*speed).transport, Transport::BestEffort);
    const auto longHorn = fom.findInteractionClass("InteractionRoot.Horn.LongHorn");
    ASSERT_TRUE(longHorn);
    EXPECT_TRUE(fom.findParameter(*longHorn, "Loudness"));
    EXPECT_TRUE(fom.findParameter(*longHorn, "Duration"));
    // A subclass states its own order.
    EXPECT_EQ(fom.interactionClass(*longHorn).order, Order::Receive);
    EXPECT_EQ(fom.interactionClass(*fom.findInteractionClass("InteractionRoot.Horn")).order,
              Order::Timestamp);
    // Class names are case-sensitive.
    EXPECT_FALSE(fom.findObjectClass("ObjectRoot.vehicle"));
}

// The version and root spellings other run-times write.
TEST(FedReader, AcceptsTheVersionAndRootSpellingsOfOtherRunTimes) {
    for (const char* version : {"v1.3", "V1.3", "1.3", "v1_3", "V1_3", "1_3"}) {
        const auto fom = parseFed(std::string("(FED (Federation F) (FEDversion ") + version +
                                  ")\n(objects (class objectRoot (attribute PRIVILEGETODELETE "
                                  "reliable timestamp) (class A)))\n"
                                  "(interactions (class interactionroot reliable receive)))");
        EXPECT_EQ(fom.version, version);
        const auto a = fom.findObjectClass("ObjectRoot.A");
        ASSERT_TRUE(a) << version;
        EXPECT_TRUE(fom.findAttribute(*a, "privilegeToDelete")) << version;
        EXPECT_TRUE(fom.findInteractionClass("InteractionRoot")) << version;
    }
    for (const char* version : {"v1.4", "1.3a", "v13", "1516"}) {
        const FedError e =
            parseError(std::string("(FED (Federation F) (FEDversion ") + version + "))");
        EXPECT_EQ(std::string(e.message()),
                  std::string("FED version \"") + version + "\" is not supported; expected v1.3");
    }
}

struct Refusal {
    const char* what;
    std::string text;
    int line;
    int column;
    const char* message;
};

class FedReaderRefuses : public ::testing::TestWithParam<Refusal> {};

TEST_P(FedReaderRefuses, WithPositionAndReason) {
    const Refusal& r = GetParam();
    const FedError e = parseError(r.text);
    EXPECT_EQ(e.line(), r.line) << e.what();
    EXPECT_EQ(e.column(), r.column) << e.what();
    EXPECT_NE(std::string(e.what()).find(r.message), std::string::npos) << e.what();
}

const std::string kHead = "(FED (Federation F) (FEDversion v1.3)\n";
const std::string kInteractions = "(interactions (class InteractionRoot reliable receive)))";

INSTANTIATE_TEST_SUITE_P(
    Inputs, FedReaderRefuses,
    ::testing::Values(
        Refusal{"empty", "  ;; only a comment\n", 2, 1, "empty"},
        Refusal{"truncated", kHead + "(objects (class ObjectRoot", 2, 27,
                "list opened at line 2, column 10 is not closed"},
        Refusal{"text after the end", kHead + ")) )", 2, 2, "unexpected text after the end"},
        Refusal{"single semicolon", kHead + "; note", 2, 1, "a comment starts with \";;\""},
        Refusal{"unclosed quote", "(FED (Federation \"F)\n", 1, 18, "quoted name is not closed"},
        Refusal{"control character", "(FED (Federation F\x01))", 1, 19, "0x01"},
        Refusal{"not FED", "(FOM (Federation F))", 1, 2, "must start with \"(FED\""},
        Refusal{"unknown section", kHead + "(routing x))", 2, 2, "unknown keyword \"routing\""},
        Refusal{"unknown keyword in class",
                kHead + "(objects (class ObjectRoot (method m)))" + kInteractions, 2, 29,
                "unknown keyword \"method\" in class ObjectRoot"},
        Refusal{"parameter in object class",
                kHead + "(objects (class ObjectRoot (parameter p)))" + kInteractions, 2, 29,
                "unknown keyword \"parameter\""},
        Refusal{"duplicate class",
                kHead + "(objects (class ObjectRoot (class A) (class A)))" + kInteractions, 2, 45,
                "object class ObjectRoot.A is declared twice"},
        Refusal{"duplicate inherited attribute",
                kHead +
                    "(objects (class ObjectRoot (attribute a reliable receive)\n"
                    "  (class B (attribute a reliable receive))))" +
                    kInteractions,
                3, 23, "attribute a is declared twice in object class ObjectRoot.B"},
        Refusal{"duplicate parameter",
                kHead + "(objects (class ObjectRoot))\n"
                        "(interactions (class InteractionRoot reliable receive\n"
                        "  (class I reliable receive (parameter p) (parameter p)))))",
                4, 54, "parameter p is declared twice"},
        Refusal{"bad transport",
                kHead + "(objects (class ObjectRoot (attribute a fast receive)))" + kInteractions,
                2, 41, "unknown transport \"fast\""},
        Refusal{"bad order",
                kHead + "(objects (class ObjectRoot))\n"
                        "(interactions (class InteractionRoot reliable sometimes)))",
                3, 47, "unknown order \"sometimes\""},
        Refusal{"wrong root", kHead + "(objects (class Root))" + kInteractions, 2, 17,
                "root class of objects must be ObjectRoot"},
        Refusal{"missing interactions", kHead + "(objects (class ObjectRoot)))", 1, 1,
                "no (interactions ...) section"},
        Refusal{"version", "(FED (Federation F) (FEDversion v2))", 1, 33,
                "FED version \"v2\" is not supported"},
        Refusal{"undeclared space",
                kHead + "(objects (class ObjectRoot (attribute a reliable receive Sky)))" +
                    kInteractions,
                2, 58, "routing space \"Sky\" is not declared"},
        Refusal{"dot in name", kHead + "(objects (class ObjectRoot (class A.B)))" + kInteractions,
                2, 35, "must not contain \".\""},
        Refusal{"nesting", std::string(65, '(') + std::string(65, ')'), 1, 65,
                "nested deeper than 64 levels"}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name) {
            if (c == ' ') c = '_';
        }
        return name;
    });

TEST(FedReader, AcceptsSixtyFourLevelsOfNesting) {
    // 2 levels for FED and objects, then 62 nested classes.
    std::string classes = "(class ObjectRoot";
    for (int i = 1; i < 62; ++i) classes += " (class C" + std::to_string(i);
    classes += std::string(62, ')');
    const auto fom = parseFed(kHead + "(objects " + classes + ")" + kInteractions);
    EXPECT_EQ(fom.objectClassCount(), 62u);
}

TEST(FedReader, RefusesOversizeTextBeforeReadingIt) {
    std::string text = kHead + "(objects (class ObjectRoot))" + kInteractions;
    text.resize(16u * 1024u * 1024u + 1u, ' ');
    const FedError e = parseError(text);
    EXPECT_EQ(e.line(), 0);
    EXPECT_NE(std::string(e.what()).find("larger than 16 MiB"), std::string::npos);
}

TEST(FedReader, FileErrorsNameThePath) {
    try {
        readFedFile("/nonexistent/dir/Chat.fed");
        FAIL() << "read a missing file";
    } catch (const FedError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("/nonexistent/dir/Chat.fed: cannot be read", 0), 0u)
            << e.what();
    }
    const std::string path = ::testing::TempDir() + "/rti_broken.fed";
    std::ofstream(path) << "(FED\n  (Federation F)\n  (FEDversion";
    try {
        readFedFile(path);
        FAIL() << "read a truncated file";
    } catch (const FedError& e) {
        EXPECT_EQ(e.path(), path);
        EXPECT_EQ(e.line(), 3);
        EXPECT_NE(std::string(e.what()).find(path + ": line 3, column 14: "), std::string::npos)
            << e.what();
    }
    std::remove(path.c_str());
}
