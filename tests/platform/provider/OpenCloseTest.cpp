#include "HlaFixture.h"
#include "cao/ProviderContract.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace hlatest;

namespace {

void writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// A federation description of its own, to tell which file was read.
const QByteArray kPingFed = R"((FED (Federation Ping) (FEDversion v1.3)
  (objects (class ObjectRoot (attribute privilegeToDelete reliable timestamp)))
  (interactions (class InteractionRoot reliable receive
    (class Ping reliable receive (parameter Seq))))))";

}  // namespace

TEST_F(HlaTest, TheWindowsDefaultsOpenTwoControllersInOneFederation) {
    Side chat = open("ChatRoom.Chat");
    Side peer = open("ChatRoom.Peer");
    EXPECT_TRUE(runTime->federationExecutionExists("ChatRoom"));
    deliver();
    const auto joined = chat.take(0);
    ASSERT_EQ(joined.size(), 1u);
    EXPECT_EQ(joined[0].value.string(), "Joined federation \"ChatRoom\" as federate \"Chat\"");
    EXPECT_EQ(joined[0].time, cao::Variant::fromR8(0));
    // Every name of the window's list resolves against the shipped description.
    for (const char* name :
         {"@CURRENT_TIME", "@ADVANCE_TIME", "@LOOKAHEAD", "@LBTS", "@NEXTEVENT_TIME", "@SYNC_POINT",
          "InteractionRoot.Communication.Message", "InteractionRoot.TSCommunication.Message",
          "ObjectRoot.myClass.myAttr!ABC"}) {
        EXPECT_NO_THROW(chat.add(name)) << name;
    }
}

TEST_F(HlaTest, ClosingResignsAndTheLastOneDestroysTheFederation) {
    Side chat = open("ChatRoom.Chat");
    Side peer = open("ChatRoom.Peer");
    chat.add("InteractionRoot.Communication.Message");
    close(chat);
    EXPECT_TRUE(runTime->federationExecutionExists("ChatRoom"));
    // The name is free again: the federate really left.
    Side again = open("ChatRoom.Chat");
    close(again);
    close(peer);
    EXPECT_FALSE(runTime->federationExecutionExists("ChatRoom"));
    EXPECT_EQ(ws->Controllers()->Count(), 0);
}

TEST_F(HlaTest, RefusedOptionStringsNameTheProblemAndLeaveNoFederateJoined) {
    QTemporaryDir dir;
    const QString broken = dir.filePath("Broken.fed");
    writeFile(broken, "(FED (Federation X)\n  (FEDversion v1.3)\n  (objects (clas ObjectRoot)))\n");
    const QString url = "URL=" + kDefaultUrl;
    const struct {
        QString options;
        QStringList expected;
    } cases[] = {
        {url + ", Bogus=1", {"unknown key \"Bogus\""}},
        {"Speed=3, " + url, {"unknown key \"Speed\""}},
        {url + ", TimePoli=4", {"TimePoli=4", "0 to 3"}},
        {url + ", TimeAdv=3", {"TimeAdv=3", "0 to 2"}},
        {url + ", AsyncDeli=2", {"AsyncDeli=2", "0 to 1"}},
        {url + ", TimePoli=-1", {"TimePoli=-1"}},
        {url + ", CurTime=abc", {"CurTime=abc", "number"}},
        {url + ", CurTime=, LookAhead=0.5", {"CurTime=", "number"}},
        {url + ", LookAhead=1e999", {"LookAhead=1e999"}},
        {url + ", LookAhead=-1", {"LookAhead=-1", "negative"}},
        {url + ", TimePoli=1, LookAhead=0", {"LookAhead=0", "greater than 0"}},
        {url + ", TimePoli=3", {"LookAhead=0", "TimePoli=3"}},
        {url + ", TimePoli=0, timepoli=1", {"TimePoli is given twice"}},
        {"TimePoli=0, TimeAdv=0", {"no URL"}},
        {"URL=", {"no URL"}},
        {"", {"empty"}},
        {"garbage", {"\"garbage\" has no key"}},
        {"URL=file:///nowhere/Missing.fed",
         {"\"file:///nowhere/Missing.fed\"", "not found", "Missing.fed", "CAO_HLA_FED_PATH"}},
        {"URL=http://example.org/Chat.fed", {"http://example.org/Chat.fed", "scheme \"http\""}},
        {"URL=" + broken, {broken, "line 3, column"}},
        {"URL=" + dir.path() + "/", {"does not name a federation description file"}},
    };
    Side peer = open("ChatRoom.Peer");
    for (const auto& c : cases) {
        const QString description = refusal([&] { open("ChatRoom.Chat", c.options); });
        for (const QString& part : c.expected) {
            EXPECT_TRUE(description.contains(part))
                << c.options.toStdString() << " -> " << description.toStdString();
        }
    }
    EXPECT_EQ(ws->Controllers()->Count(), 1);
    close(peer);
    EXPECT_FALSE(runTime->federationExecutionExists("ChatRoom"));
    // Refused without any federation: none is created either.
    refusal([&] { open("ChatRoom.Chat", url + ", TimePoli=4"); });
    EXPECT_FALSE(runTime->federationExecutionExists("ChatRoom"));
}

TEST_F(HlaTest, ControllerNamesNeedAFederationAndAFederate) {
    for (const char* name : {"ChatRoom", ".Chat", "ChatRoom.", ""}) {
        const QString description = refusal([&] { open(name); });
        EXPECT_TRUE(description.contains("<Federation>.<Federate>")) << description.toStdString();
    }
    // Only the first dot splits.
    Side side = open("ChatRoom.Chat.One");
    close(side);
}

TEST_F(HlaTest, ABareNameIsLookedUpInTheDescriptionPathFirst) {
    QTemporaryDir dir;
    writeFile(dir.filePath("Ping.fed"), kPingFed);
    writeFile(dir.filePath("Chat.fed"), kPingFed);
    useClient({{cao::contract::environment::kFedPath, "/nonexistent:" + dir.path()}});
    Side bare = open("Ping.A", "URL=Ping.fed");
    EXPECT_NO_THROW(bare.add("InteractionRoot.Ping.Seq"));
    // The window's default URL finds a Chat.fed on the path before the shipped one.
    Side chat = open("Other.Chat");
    EXPECT_NO_THROW(chat.add("InteractionRoot.Ping.Seq"));
    close(bare);
    close(chat);
}

// A client in another process means its relative paths from its own working directory.
TEST_F(HlaTest, RelativePathsAreTakenFromTheClientsWorkingDirectory) {
    QTemporaryDir client;
    ASSERT_TRUE(QDir(client.path()).mkpath("descriptions"));
    writeFile(client.filePath("Mine.fed"), kPingFed);
    writeFile(client.filePath("descriptions/Ping.fed"), kPingFed);
    useClient({{cao::contract::environment::kFedPath, "descriptions"}}, client.path());
    for (const char* url : {"Mine.fed", "./Mine.fed", "Ping.fed"}) {
        Side side = open("Ping.A", QStringLiteral("URL=%1").arg(url));
        EXPECT_NO_THROW(side.add("InteractionRoot.Ping.Seq")) << url;
        close(side);
    }
    const QString missing = refusal([&] { open("Ping.A", "URL=Missing.fed"); });
    EXPECT_TRUE(missing.contains("there is no file " + client.filePath("Missing.fed")))
        << missing.toStdString();
    EXPECT_TRUE(missing.contains(client.filePath("descriptions"))) << missing.toStdString();
}

TEST_F(HlaTest, AFederateThatJoinsBringsItsDescriptionToTheStandingOne) {
    QTemporaryDir dir;
    writeFile(dir.filePath("Ping.fed"), kPingFed);
    Side first = open("ChatRoom.First", "URL=file://" + QDir(dir.path()).filePath("Ping.fed"));
    Side second = open("ChatRoom.Second");
    // The joiner sees both: the standing classes and its own, merged in.
    EXPECT_NO_THROW(second.add("InteractionRoot.Ping.Seq"));
    EXPECT_NO_THROW(second.add("InteractionRoot.Communication.Message"));
    // The first keeps the description it joined with.
    EXPECT_EQ(refusal([&] { first.add("InteractionRoot.Communication.Message"); }),
              "The federation description has no interaction class \"InteractionRoot."
              "Communication\" (variable \"InteractionRoot.Communication.Message\")");
}

TEST_F(HlaTest, AJoinerWhoseDescriptionDisagreesIsRefusedAndTheFederationStaysAsItWas) {
    QTemporaryDir dir;
    // Ping again, but its parameter travels best effort.
    QByteArray other = kPingFed;
    other.replace("(class Ping reliable receive", "(class Ping best_effort receive");
    writeFile(dir.filePath("Ping.fed"), kPingFed);
    writeFile(dir.filePath("Other.fed"), other);
    Side first = open("Ping.First", "URL=file://" + QDir(dir.path()).filePath("Ping.fed"));
    const QString refused = refusal(
        [&] { open("Ping.Second", "URL=file://" + QDir(dir.path()).filePath("Other.fed")); });
    EXPECT_TRUE(refused.contains("interaction class InteractionRoot.Ping is defined differently"))
        << refused.toStdString();
    EXPECT_TRUE(refused.contains("Ping.fed") && refused.contains("Other.fed"))
        << refused.toStdString();
    // Nothing of the refused joiner stands: a third federate with the first's description
    // joins, and the class is as the first defined it.
    Side third = open("Ping.Third", "URL=file://" + QDir(dir.path()).filePath("Ping.fed"));
    EXPECT_NO_THROW(third.add("InteractionRoot.Ping.Seq"));
}

TEST_F(HlaTest, RefusedVariableNamesSayWhatIsWrong) {
    Side chat = open("ChatRoom.Chat");
    const struct {
        const char* name;
        const char* expected;
    } cases[] = {
        {"@NOW", "\"@NOW\" is not a system variable; the system variables are @CURRENT_TIME"},
        {"@current_time", "\"@current_time\" is not a system variable"},
        {"InteractionRoot.Communication.Message#I8", "The data type \"I8\" of variable"},
        {"InteractionRoot.Chatter.Message", "no interaction class \"InteractionRoot.Chatter\""},
        {"InteractionRoot.Communication.Text",
         "Interaction class \"InteractionRoot.Communication\" has no parameter \"Text\""},
        {"ObjectRoot.Robot.Name!R1", "no object class \"ObjectRoot.Robot\""},
        {"ObjectRoot.Participant.Age!P",
         "Object class \"ObjectRoot.Participant\" has no "
         "attribute \"Age\""},
        {"ObjectRoot.myClass.myAttr!", "names no object after \"!\""},
        {"Message", "is not valid: expected <InteractionPath>.<ParameterName>"},
        {"", "The variable name \"\" is not valid"},
        {".Message", "is not valid"},
        {"InteractionRoot.", "is not valid"},
    };
    for (const auto& c : cases) {
        const QString description = refusal([&] { chat.add(c.name); });
        EXPECT_TRUE(description.contains(c.expected))
            << c.name << " -> " << description.toStdString();
    }
    EXPECT_EQ(chat.vars()->Count(), 0);
}
