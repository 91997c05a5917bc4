// Each client of the one engine opens its controllers with its own context: the provider's
// variables of its environment and its working directory, never those of the process that
// started the engine, nor the engine's own.

#include "CrossProcess.h"
#include "EngineProcess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace crossprocess;

namespace {

const QString kChatFed = QStringLiteral(TANDREL_SOURCE_DATA_DIR "/Chat.fed");
const QString kRefused = QStringLiteral("the controller failed");

QString optionsFor(const QString& url) {
    return QStringLiteral("URL=%1, TimePoli=0, TimeAdv=0, CurTime=0.0, LookAhead=0.5, AsyncDeli=0")
        .arg(url);
}

class ClientContext : public ::testing::Test {
protected:
    void SetUp() override {
        if (!overBus()) GTEST_SKIP() << "only for the engine on the session bus";
        TANDREL_REQUIRE_RTI();
    }

    // A peer on this test's engine that opens name with these options and stays a while.
    std::unique_ptr<PeerProcess> peer(const QString& name, const QString& options,
                                      const QProcessEnvironment& environment,
                                      const QString& workingDirectory) {
        return std::make_unique<PeerProcess>(
            QStringList{"--name", name, "--options", options, "--exit-after", "60"}, environment,
            workingDirectory);
    }
    // A peer's refusal: whether it ended as refused, with a note containing every part.
    static ::testing::AssertionResult refused(PeerProcess& refusedPeer, const QStringList& parts) {
        const std::optional<int> status = refusedPeer.waitForEnd();
        if (status != 1) {
            return ::testing::AssertionFailure() << "ended with " << (status ? *status : -1) << "\n"
                                                 << refusedPeer.transcript().toStdString();
        }
        const QString notes = refusedPeer.notes().join(QLatin1Char('\n'));
        for (const QString& part : parts) {
            if (!notes.contains(part)) {
                return ::testing::AssertionFailure() << "no \"" << part.toStdString() << "\" in\n"
                                                     << notes.toStdString();
            }
        }
        return ::testing::AssertionSuccess();
    }

    const QString service = ownService("Context");
    EngineStopper stopper{service};  // the engine the first client starts
};

TEST_F(ClientContext, EachClientOpensWithItsOwnDirectoryAndVariables) {
    // The first client starts the engine from / with none of the provider's variables.
    const QProcessEnvironment plain = clientEnvironment(service);
    const auto first = peer("XpContext.First", optionsFor("Chat.fed"), plain, "/");
    ASSERT_TRUE(first->waitReady()) << first->transcript().toStdString();
    const qint64 engine = servingPid(service);
    ASSERT_NE(engine, 0);

    // A description named relative to the second client's directory, under a name of its own.
    QTemporaryDir directory;
    ASSERT_TRUE(QFile::copy(kChatFed, directory.filePath("Mine.fed")));
    const auto second = peer("XpContext.Second", optionsFor("Mine.fed"), plain, directory.path());
    EXPECT_TRUE(second->waitReady()) << second->transcript().toStdString();

    QProcessEnvironment bogus = plain;
    bogus.insert("CAO_HLA_RTI", "bogus");
    const auto misspelt = peer("XpContext.Bogus", optionsFor("Chat.fed"), bogus, "/");
    EXPECT_TRUE(refused(*misspelt, {"CAO_HLA_RTI=\"bogus\""}));

    // Nothing listens at the address: refused either way, never joined to the embedded one.
    QProcessEnvironment hla13 = plain;
    hla13.insert("CAO_HLA_RTI", "hla13");
    hla13.insert("CAO_HLA_RTI_ADDRESS",
                 QStringLiteral("rti://127.0.0.1:%1").arg(unusedLoopbackPort()));
    const auto unreachable = peer("XpContext.Hla13", optionsFor("Chat.fed"), hla13, "/");
    EXPECT_TRUE(
        refused(*unreachable, {TANDREL_HAVE_HLA13 ? "could not be reached" : "is not installed"}));

    EXPECT_EQ(servingPid(service), engine) << "the clients met another engine";
    EXPECT_EQ(first->terminate(), 0);
    EXPECT_EQ(second->terminate(), 0);
}

TEST_F(ClientContext, AVariableTheClientLacksIsTheDefaultNotTheEngines) {
    QProcessEnvironment engineEnvironment = clientEnvironment(service);
    engineEnvironment.insert("CAO_HLA_RTI", "bogus");
    engineEnvironment.insert("CAO_HLA_FED_PATH", "/nonexistent");
    EngineProcess engine(service, engineEnvironment);
    ASSERT_TRUE(engine.waitServing());

    QTemporaryDir directory;
    ASSERT_TRUE(QDir(directory.path()).mkpath("descriptions"));
    ASSERT_TRUE(QFile::copy(kChatFed, directory.filePath("descriptions/Found.fed")));
    QProcessEnvironment client = clientEnvironment(service);
    client.insert("CAO_HLA_FED_PATH", "descriptions");
    const auto found = peer("XpContext.Found", optionsFor("Found.fed"), client, directory.path());
    EXPECT_TRUE(found->waitReady()) << found->transcript().toStdString();
    EXPECT_EQ(found->terminate(), 0);
}

}  // namespace
