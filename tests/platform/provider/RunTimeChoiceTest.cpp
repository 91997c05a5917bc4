#include "HlaFixture.h"
#include "cao/ProviderContract.h"
#include "platform/provider/RunTimeChoice.h"

#include <QTcpServer>

using namespace hlatest;

namespace {

using cao::contract::environment::kRunTime;
using cao::contract::environment::kRunTimeAddress;

// A client's run-time variables; a null address is one the client does not have.
engine::ClientContext::Environment runTimeVariables(const char* runTime, const char* address) {
    engine::ClientContext::Environment variables{{kRunTime, QString::fromUtf8(runTime)}};
    if (address != nullptr) variables.emplace(kRunTimeAddress, QString::fromUtf8(address));
    return variables;
}

// Sets a variable of this process, the engine's, for one case.
class ProcessVariable {
public:
    ProcessVariable(const char* name, const char* value) : m_name(name) { qputenv(name, value); }
    ~ProcessVariable() { qunsetenv(m_name); }
    ProcessVariable(const ProcessVariable&) = delete;
    ProcessVariable& operator=(const ProcessVariable&) = delete;

private:
    const char* m_name;
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
    if (!provider::runTimeBuilt(provider::RunTimeChoice::Kind::Hla13) &&
        QByteArray(c.runTime) == "hla13") {
        GTEST_SKIP() << "this build has no HLA 1.3 run-time";
    }
    useClient(runTimeVariables(c.runTime, c.address));
    const QString description = refusal([&] { open("ChatRoom.Chat"); });
    EXPECT_TRUE(description.contains(c.description)) << description.toStdString();
    EXPECT_EQ(ws->Controllers()->Count(), 0);
    EXPECT_FALSE(runTime->federationExecutionExists("ChatRoom"));
}

INSTANTIATE_TEST_SUITE_P(
    Values, RunTimeChoiceRefusals,
    ::testing::Values(
        Refused{"hla1516", nullptr,
                "CAO_HLA_RTI=\"hla1516\" is not a run-time of this provider: use \"embedded\", "
                "\"hla13\", \"hla1516e\", \"hla4\""},
        Refused{"hla13", nullptr, "needs CAO_HLA_RTI_ADDRESS, where the RTI is"},
        Refused{"hla13", "127.0.0.1:14321", "not \"127.0.0.1:14321\""}));

TEST_F(HlaTest, EmbeddedIsTheDefaultAndCanBeNamed) {
    for (const char* choice : {"", "embedded", " Embedded "}) {
        useClient(runTimeVariables(choice, "rti://127.0.0.1:1"));
        Side chat = open("ChatRoom.Chat");
        EXPECT_TRUE(runTime->federationExecutionExists("ChatRoom")) << choice;
        close(chat);
    }
}

// The engine may serve clients of other processes: only the client's variables count, and
// one it does not have means the default, whatever the engine's own process has.
TEST_F(HlaTest, TheClientsVariablesChooseNeverThoseOfTheEngineProcess) {
    const ProcessVariable engines(kRunTime, "bogus");
    Side chat = open("ChatRoom.Chat");
    EXPECT_TRUE(runTime->federationExecutionExists("ChatRoom"));
    close(chat);
    useClient(runTimeVariables("bogus", nullptr));
    EXPECT_TRUE(refusal([&] { open("ChatRoom.Chat"); }).contains("CAO_HLA_RTI=\"bogus\""));
}

TEST_F(HlaTest, ChoosingAnRtiWhoseLinkIsNotInstalledIsDescribed) {
    for (const auto& [value, kind] :
         {std::pair{"hla13", provider::RunTimeChoice::Kind::Hla13},
          std::pair{"hla1516e", provider::RunTimeChoice::Kind::Hla1516e}}) {
        if (provider::runTimeBuilt(kind)) continue;
        useClient(runTimeVariables(value, "rti://127.0.0.1:14321"));
        const QString description = refusal([&] { open("ChatRoom.Chat"); });
        EXPECT_TRUE(description.contains(QStringLiteral("its link (tandrel-link-%1.so) is not "
                                                        "installed")
                                             .arg(value)))
            << description.toStdString();
    }
}

// Needs no running RTI: nothing listens on the port.
TEST_F(HlaTest, Hla13AnRtiThatCannotBeReachedIsDescribedAtOpen) {
    if (!provider::runTimeBuilt(provider::RunTimeChoice::Kind::Hla13)) {
        if (qgetenv("TANDREL_TEST_REQUIRE_HLA13") == "1") FAIL() << "no HLA 1.3 run-time built";
        GTEST_SKIP() << "this build has no HLA 1.3 run-time";
    }
    useClient(runTimeVariables("hla13", "rti://127.0.0.1:1"));
    const QString description = refusal([&] { open("ChatRoom.Chat"); });
    EXPECT_TRUE(
        description.startsWith("Federate \"Chat\" could not join federation \"ChatRoom\": "
                               "the RTI at rti://127.0.0.1:1/ChatRoom could not be reached"))
        << description.toStdString();
    EXPECT_EQ(ws->Controllers()->Count(), 0);
}

namespace {

using cao::contract::environment::kHeartbeat;
using cao::contract::environment::kResumeWindow;
using cao::contract::environment::kRunTimeCaFile;
using cao::contract::environment::kTimeout;

// The hla4 link's variables, each refused with what is wrong with it.
struct Hla4Refused {
    engine::ClientContext::Environment variables;
    const char* description;
};

class Hla4ChoiceRefusals : public HlaTest, public ::testing::WithParamInterface<Hla4Refused> {};

engine::ClientContext::Environment hla4With(const char* name, const char* value) {
    return {{kRunTime, "hla4"}, {kRunTimeAddress, "tcp://127.0.0.1:15164"}, {name, value}};
}

}  // namespace

TEST_P(Hla4ChoiceRefusals, AreDescribedAtOpenAndJoinNothing) {
    useClient(GetParam().variables);
    const QString description = refusal([&] { open("ChatRoom.Chat"); });
    EXPECT_TRUE(description.contains(GetParam().description)) << description.toStdString();
    EXPECT_EQ(ws->Controllers()->Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Values, Hla4ChoiceRefusals,
    ::testing::Values(
        Hla4Refused{{{kRunTime, "hla4"}},
                    "CAO_HLA_RTI=hla4 needs CAO_HLA_RTI_ADDRESS, where the Federate Protocol "
                    "server is, as tcp://host[:port] or tls://host[:port]"},
        Hla4Refused{{{kRunTime, "hla4"}, {kRunTimeAddress, "rti://127.0.0.1:14321"}},
                    "CAO_HLA_RTI_ADDRESS: \"rti://127.0.0.1:14321\" is no Federate Protocol "
                    "server address: the scheme is neither tcp:// nor tls://"},
        Hla4Refused{hla4With(kHeartbeat, "ten"),
                    "CAO_HLA_HEARTBEAT=\"ten\" is not a number of seconds from 0.001 to 86400"},
        Hla4Refused{hla4With(kTimeout, "-1"),
                    "CAO_HLA_TIMEOUT=\"-1\" is not a number of seconds from 0.001 to 86400"},
        Hla4Refused{hla4With(kTimeout, "0"), "CAO_HLA_TIMEOUT=\"0\" is not a number of seconds"},
        Hla4Refused{hla4With(kResumeWindow, "inf"),
                    "CAO_HLA_RESUME_WINDOW=\"inf\" is not a number of seconds from 0 to 86400"},
        Hla4Refused{hla4With(kHeartbeat, "30"),
                    "CAO_HLA_TIMEOUT (30 s) must be longer than CAO_HLA_HEARTBEAT (30 s)"},
        Hla4Refused{hla4With(kRunTimeCaFile, "/nonexistent/ca.pem"),
                    "CAO_HLA_RTI_CA_FILE=\"/nonexistent/ca.pem\": /nonexistent/ca.pem is not a "
                    "file this user can read"}));

// Needs no server: nothing listens on the port.
TEST_F(HlaTest, Hla4AServerThatCannotBeReachedIsDescribedAtOpen) {
    int port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        port = probe.serverPort();
    }
    const QString address = QStringLiteral("tcp://127.0.0.1:%1").arg(port);
    useClient({{kRunTime, "hla4"}, {kRunTimeAddress, address}, {kResumeWindow, "0"}});
    const QString description = refusal([&] { open("ChatRoom.Chat"); });
    EXPECT_TRUE(description.startsWith(
        QStringLiteral("Federate \"Chat\" could not join federation \"ChatRoom\": the server at "
                       "%1 could not be reached")
            .arg(address)))
        << description.toStdString();
    EXPECT_EQ(ws->Controllers()->Count(), 0);
}
