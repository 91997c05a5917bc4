// A client hands its context to the engine: its provider variables and working directory
// reach the provider of each controller it opens, and a context that is not one is refused
// with a description.
#include "RaisingProvider.h"
#include "platform/bus/client/Connect.h"
#include "platform/bus/protocol/Names.h"
#include "platform/bus/service/EngineThread.h"
#include "platform/engine/Engine.h"
#include "support/SessionBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QMap>

#include <gtest/gtest.h>

namespace {

const QString kProvider = "Test.Raising";

class ClientContextOverBus : public ::testing::Test {
protected:
    void SetUp() override {
        TANDREL_SKIP_WITHOUT_SESSION_BUS();
        bus::registerWireTypes();
        thread = std::make_unique<bus::service::EngineThread>(raisingEngines(log, kProvider));
    }

    // The answer of the engine to CreateEngineWithContext with these arguments.
    QDBusMessage create(const QVariantList& arguments) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            thread->service(), bus::kRootPath, bus::kManagerInterface, "CreateEngineWithContext");
        call.setArguments(arguments);
        return QDBusConnection::sessionBus().call(call);
    }

    RaisingLog log;
    std::unique_ptr<bus::service::EngineThread> thread;
};

using Variables = QMap<QString, QString>;

TEST_F(ClientContextOverBus, TheProvidersVariablesAndTheDirectoryReachTheController) {
    qputenv("CAO_HLA_TEST_MARK", "mine");
    qputenv("TANDREL_TEST_NOT_THE_PROVIDERS", "kept here");
    const cao::EnginePtr eng = bus::client::connectEngine({thread->service(), {}});
    qunsetenv("CAO_HLA_TEST_MARK");
    qunsetenv("TANDREL_TEST_NOT_THE_PROVIDERS");
    const QString client = eng->Workspaces()
                               ->Item(cao::Variant::fromI4(0))
                               ->AddController("ChatRoom.A", kProvider, "", "")
                               ->Variables()
                               ->Add("client", "Option=0")
                               ->get_Value()
                               .string();
    EXPECT_TRUE(client.startsWith(QDir::currentPath() + "|")) << client.toStdString();
    EXPECT_TRUE(client.contains("|CAO_HLA_TEST_MARK=mine")) << client.toStdString();
    EXPECT_FALSE(client.contains("TANDREL_TEST_NOT_THE_PROVIDERS")) << client.toStdString();
}

struct BadContext {
    const char* name;
    QVariantList arguments;
    const char* says;  // in part
};

class BadContexts : public ClientContextOverBus,
                    public ::testing::WithParamInterface<BadContext> {};

TEST_P(BadContexts, AreRefusedSayingWhy) {
    const QDBusMessage reply = create(GetParam().arguments);
    ASSERT_EQ(reply.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(reply.errorName(), "org.freedesktop.DBus.Error.InvalidArgs");
    EXPECT_TRUE(reply.errorMessage().startsWith("CreateEngineWithContext "))
        << reply.errorMessage().toStdString();
    EXPECT_TRUE(reply.errorMessage().contains(GetParam().says))
        << reply.errorMessage().toStdString();
    // A good one still makes an engine object.
    EXPECT_EQ(create({QVariant::fromValue(Variables{{"CAO_HLA_RTI", "embedded"}}), "/"}).type(),
              QDBusMessage::ReplyMessage);
}

Variables manyVariables() {
    Variables many;
    for (int i = 0; i <= 256; ++i) many.insert(QStringLiteral("CAO_HLA_V%1").arg(i), "x");
    return many;
}

INSTANTIATE_TEST_SUITE_P(
    FromAnyClient, BadContexts,
    ::testing::Values(
        BadContext{"NotTheProviders",
                   {QVariant::fromValue(Variables{{"PATH", "/bin"}}), "/"},
                   "names begin with CAO_HLA_"},
        BadContext{"NoVariableName",
                   {QVariant::fromValue(Variables{{"CAO_HLA_RTI=hla13", "x"}}), "/"},
                   "not \"CAO_HLA_RTI=hla13\""},
        BadContext{"RelativeDirectory",
                   {QVariant::fromValue(Variables{}), "home/me"},
                   "absolute path of at most 4096 characters, not \"home/me\""},
        BadContext{"TooMany", {QVariant::fromValue(manyVariables()), "/"}, "at most 256 entries"},
        BadContext{"ValueTooLong",
                   {QVariant::fromValue(Variables{{"CAO_HLA_FED_PATH", QString(70000, 'x')}}), "/"},
                   "values of at most 65536 characters"},
        BadContext{"NotADictionary", {QString("CAO_HLA_RTI=hla13"), "/"}, "dictionary of strings"},
        BadContext{"NoDirectory", {QVariant::fromValue(Variables{})}, "takes 2 argument(s)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
