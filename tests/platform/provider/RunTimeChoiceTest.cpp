#include "HlaFixture.h"
#include "platform/provider/RunTimeChoice.h"

using namespace hlatest;

namespace {

// Sets the provider's run-time variables for one case.
class RunTimeEnvironment {
public:
    RunTimeEnvironment(const QByteArray& runTime, const QByteArray& address) {
        qputenv(provider::kRunTimeVariable, runTime);
        if (address.isNull()) {
            qunsetenv(provider::kAddressVariable);
        } else {
            qputenv(provider::kAddressVariable, address);
        }
    }
    ~RunTimeEnvironment() {
        qunsetenv(provider::kRunTimeVariable);
        qunsetenv(provider::kAddressVariable);
    }
};

struct Refused {
    const char* runTime;
    const char* address;
    const char* description;  // what the refusal says, in part
};

class RunTimeChoiceRefusals : public HlaTest, public ::testing::WithParamInterface<Refused> {};

}  // namespace

TEST_P(RunTimeChoiceRefusals, AreDescribedAtOpenAndJoinNothing) {
    const Refused& c = GetParam();
    if (!provider::hla13RunTimeBuilt() && QByteArray(c.runTime) == "hla13") {
        GTEST_SKIP() << "this build has no HLA 1.3 run-time";
    }
    RunTimeEnvironment environment(c.runTime, c.address);
    const QString description = refusal([&] { open("ChatRoom.Chat"); });
    EXPECT_TRUE(description.contains(c.description)) << description.toStdString();
    EXPECT_EQ(ws->Controllers()->Count(), 0);
    EXPECT_FALSE(runTime->federationExecutionExists("ChatRoom"));
}

INSTANTIATE_TEST_SUITE_P(
    Values, RunTimeChoiceRefusals,
    ::testing::Values(
        Refused{"hla1516", nullptr,
                "CAO_HLA_RTI=\"hla1516\" is not a run-time of this provider: use \"embedded\" or "
                "\"hla13\""},
        Refused{"hla13", nullptr, "needs CAO_HLA_RTI_ADDRESS, where the RTI is"},
        Refused{"hla13", "127.0.0.1:14321", "not \"127.0.0.1:14321\""}));

TEST_F(HlaTest, EmbeddedIsTheDefaultAndCanBeNamed) {
    for (const char* choice : {"", "embedded", " Embedded "}) {
        RunTimeEnvironment environment(choice, "rti://127.0.0.1:1");
        Side chat = open("ChatRoom.Chat");
        EXPECT_TRUE(runTime->federationExecutionExists("ChatRoom")) << choice;
        close(chat);
    }
}

TEST_F(HlaTest, ChoosingTheHla13RunTimeInABuildWithoutItIsDescribed) {
    if (provider::hla13RunTimeBuilt()) GTEST_SKIP() << "this build has the HLA 1.3 run-time";
    RunTimeEnvironment environment("hla13", "rti://127.0.0.1:14321");
    EXPECT_TRUE(
        refusal([&] { open("ChatRoom.Chat"); }).contains("this build of the provider has none"));
}

// Needs no running RTI: nothing listens on the port.
TEST_F(HlaTest, Hla13AnRtiThatCannotBeReachedIsDescribedAtOpen) {
    if (!provider::hla13RunTimeBuilt()) {
        if (qgetenv("TANDREL_TEST_REQUIRE_HLA13") == "1") FAIL() << "no HLA 1.3 run-time built";
        GTEST_SKIP() << "this build has no HLA 1.3 run-time";
    }
    RunTimeEnvironment environment("hla13", "rti://127.0.0.1:1");
    const QString description = refusal([&] { open("ChatRoom.Chat"); });
    EXPECT_TRUE(
        description.startsWith("Federate \"Chat\" could not join federation \"ChatRoom\": "
                               "the RTI at rti://127.0.0.1:1/ChatRoom could not be reached"))
        << description.toStdString();
    EXPECT_EQ(ws->Controllers()->Count(), 0);
}
