// The provider's encodings checked against a second implementation: a federate of the tests'
// own, written against the IEEE 1516-2010 interface, encodes and decodes its texts with the
// RTI's own HLAunicodeString, as Chat.xml declares them; a Tandrel controller exchanges texts
// with it both ways.

#include "CrossProcess.h"

#include <QProcess>

#include <gtest/gtest.h>

using namespace crossprocess;
using namespace peertest;

namespace {

const QString kChatXml = QStringLiteral(TANDREL_SOURCE_DATA_DIR "/Chat.xml");
const QString kFederate = QStringLiteral(TANDREL_CHAT_FEDERATE_1516E_PATH);
// Beyond ASCII, so a wrong code unit width or byte order shows.
const QString kTheirs = QStringLiteral("Grüße aus der Norm, ½ € ✓");
const QString kOurs = QStringLiteral("Ça va, réponse de Tandrel ✓");

}  // namespace

TEST(SecondImplementation, TextsTravelBothWaysAsTheRtisOwnHLAunicodeString) {
    if (overBus()) GTEST_SKIP() << "only through an RTI";
    TANDREL_REQUIRE_RTI();
    if (kFederate.isEmpty()) {
        if (qgetenv("TANDREL_TEST_REQUIRE_HLA1516E") == "1") {
            FAIL() << "the IEEE 1516-2010 chat federate was not built";
        }
        GTEST_SKIP() << "this build has no IEEE 1516-2010 interface to write a federate with";
    }
    const QString federation = QStringLiteral("XpSecond%1").arg(mixedInterfaces() ? 1516 : 13);
    QProcess federate;
    federate.setProcessChannelMode(QProcess::MergedChannels);
    federate.start(kFederate, {rtiAddress(), federation, kChatXml, kTheirs, "60"});
    ASSERT_TRUE(federate.waitForStarted());
    QByteArray said;
    const auto heard = [&](const QByteArray& line) {
        said += federate.readAll();
        return said.contains(line);
    };
    ASSERT_TRUE(waitFor([&] { return heard("joined\n") || heard("refused"); }));
    ASSERT_FALSE(heard("refused")) << said.toStdString();

    chooseRunTime(rtiAddress());
    const cao::EnginePtr eng = app::createEngine();
    const cao::WorkspacePtr workspace = eng->Workspaces()->Item(cao::Variant::fromI2(0));
    const cao::ControllerPtr controller = workspace->AddController(
        federation + ".Tandrel", kProvider, QString(),
        "URL=" + kChatXml + ", TimePoli=0, TimeAdv=0, CurTime=0, LookAhead=0.5, AsyncDeli=0");
    MessageRecorder recorder(controller);
    const cao::VariablePtr message =
        controller->Variables()->Add(kMessage, QStringLiteral("Option=0"));

    // Theirs, decoded by the provider.
    const auto theirs = recorder.waitFor(3, kTheirs);
    EXPECT_TRUE(theirs) << recorder.dump().toStdString() << "\n" << said.toStdString();
    // Ours, decoded by the RTI's HLAunicodeString.
    const QByteArray expected = "received " + kOurs.toUtf8() + "\n";
    EXPECT_TRUE(
        writeUntil([&](const QString&) { message->put_Value(cao::Variant::fromString(kOurs)); },
                   "reply", [&] { return heard(expected); }))
        << said.toStdString();
    EXPECT_FALSE(heard("undecodable")) << said.toStdString();
    EXPECT_TRUE(federate.waitForFinished(kWaitBoundMs));
    EXPECT_EQ(federate.exitCode(), 0) << said.toStdString();
    workspace->Controllers()->Remove(cao::Variant::fromI4(controller->Index()));
}
