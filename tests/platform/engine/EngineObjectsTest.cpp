#include "FakeProvider.h"
#include "support/EngineUnderTest.h"
#include "support/FailureOf.h"

#include <gtest/gtest.h>

using namespace cao;
using testsupport::EngineKind;

namespace {

const QString kProvider = "Test.Provider";

// Every case runs on the engine in this program and on the same engine over the bus.
class EngineObjects : public ::testing::TestWithParam<EngineKind> {
protected:
    void SetUp() override {
        TANDREL_SKIP_UNLESS_ENGINE_REACHABLE(GetParam());
        under = std::make_unique<testsupport::EngineUnderTest>(GetParam(), [this] {
            engine::ProviderRegistry registry;
            registry.add(kProvider, fakeFactory(log));
            return registry;
        });
        eng = under->engine();
        ws = eng->Workspaces()->Item(Variant::fromI2(0));
    }
    void TearDown() override {
        ws.reset();
        eng.reset();
        under.reset();
    }
    ControllerPtr open(const QString& name) {
        return ws->AddController(name, kProvider, "", "opts");
    }

    FakeProviderLog log;
    std::unique_ptr<testsupport::EngineUnderTest> under;
    EnginePtr eng;
    WorkspacePtr ws;
};

}  // namespace

TEST_P(EngineObjects, OnlyWorkspaceZeroExists) {
    EXPECT_EQ(eng->Workspaces()->Count(), 1);
    EXPECT_EQ(failureOf([&] { eng->Workspaces()->Item(Variant::fromI2(3)); }),
              "Workspace index 3 is out of range");
    EXPECT_EQ(eng->Workspaces()->Item(Variant::fromI4(0))->Controllers()->Count(), 0);
}

TEST_P(EngineObjects, AddControllerRefusalsNameTheirCause) {
    EXPECT_EQ(failureOf([&] { ws->AddController("a.b", "CaoProv.Zarn.HLA", "", ""); }),
              "Provider \"CaoProv.Zarn.HLA\" is not available");
    EXPECT_TRUE(
        failureOf([&] { ws->AddController("a.b", kProvider, "host1", ""); }).contains("host1"));
    EXPECT_EQ(failureOf([&] { ws->AddController("a.b", kProvider, "", "refuse"); }),
              "options refused");
    open("a.b");
    EXPECT_EQ(failureOf([&] { open("a.b"); }), "Controller \"a.b\" is already open");
    EXPECT_EQ(ws->Controllers()->Count(), 1);
    EXPECT_EQ(log.calls, QStringList({"open a.b opts"}));
}

TEST_P(EngineObjects, IndexFollowsPositionAndRemoveClosesAndShifts) {
    ControllerPtr first = open("one");
    ControllerPtr second = open("two");
    EXPECT_EQ(first->Index(), 0);
    EXPECT_EQ(second->Index(), 1);
    ws->Controllers()->Remove(Variant::fromI4(first->Index()));
    EXPECT_EQ(second->Index(), 0);
    EXPECT_EQ(ws->Controllers()->Count(), 1);
    EXPECT_TRUE(log.calls.contains("close"));
    EXPECT_EQ(failureOf([&] { first->Index(); }), "Controller \"one\" is closed");
    EXPECT_TRUE(failureOf([&] { ws->Controllers()->Remove(Variant::fromI4(4)); }).contains("4"));
    EXPECT_EQ(ws->Controllers()->Item(Variant::fromI4(0))->Name(), "two");
}

TEST_P(EngineObjects, RefusedCloseLeavesTheControllerOpen) {
    ControllerPtr ctrl = open("one");
    log.refuseClose = true;
    EXPECT_EQ(failureOf([&] { ws->Controllers()->Remove(Variant::fromI4(0)); }), "close refused");
    EXPECT_EQ(ctrl->Index(), 0);
    log.refuseClose = false;
    ws->Controllers()->Remove(Variant::fromI4(0));
    EXPECT_EQ(ws->Controllers()->Count(), 0);
}

TEST_P(EngineObjects, VariablesMatchNamesExactly) {
    VariablesPtr vars = open("c")->Variables();
    vars->Add("@LBTS", "Option=0");
    vars->Add("@lbts", "Option=5");
    vars->Add("@LBTS ", "Option=127");
    EXPECT_EQ(vars->Count(), 3);
    EXPECT_EQ(failureOf([&] { vars->Add("@LBTS", "Option=0"); }),
              "Variable \"@LBTS\" is already registered");
    EXPECT_EQ(failureOf([&] { vars->Item(Variant::fromString("@Lbts")); }),
              "Variable \"@Lbts\" is not registered");
    EXPECT_EQ(failureOf([&] { vars->Remove(Variant::fromString("")); }),
              "Variable \"\" is not registered");
    vars->Remove(Variant::fromString("@lbts"));
    EXPECT_EQ(vars->Count(), 2);
    EXPECT_EQ(log.calls.mid(1),
              QStringList({"add @LBTS 0", "add @lbts 5", "add @LBTS  127", "release @lbts"}));
}

TEST_P(EngineObjects, VariableOptionMustBeOptionAndADecimalMask) {
    VariablesPtr vars = open("c")->Variables();
    for (const char* bad :
         {"", "Option=", "Option=-1", "Option=1x", "Opt=1", "Option= 1", "Option=99999999999"}) {
        EXPECT_TRUE(failureOf([&] { vars->Add("x", bad); }).contains("Option="))
            << "accepted \"" << bad << "\"";
    }
    EXPECT_EQ(vars->Count(), 0);
}

TEST_P(EngineObjects, ValuesGoThroughTheProviderAndStaleObjectsFail) {
    ControllerPtr ctrl = open("c");
    VariablesPtr vars = ctrl->Variables();
    vars->Add("v", "Option=0");
    VariablePtr v = vars->Item(Variant::fromString("v"));
    EXPECT_TRUE(v->get_Value().isEmpty());
    v->put_Value(Variant::fromI4(42));
    EXPECT_EQ(vars->Item(Variant::fromString("v"))->get_Value(), Variant::fromI4(42));
    EXPECT_TRUE(failureOf([&] { vars->Item(Variant::fromI4(0)); }).contains("VT_I4"));

    vars->Remove(Variant::fromString("v"));
    EXPECT_EQ(failureOf([&] { v->get_Value(); }), "Variable \"v\" is no longer registered");
    vars->Add("w", "Option=0");
    ws->Controllers()->Remove(Variant::fromI4(0));
    EXPECT_EQ(failureOf([&] { vars->Count(); }), "Controller \"c\" is closed");
}

TEST_P(EngineObjects, RefusedReleaseKeepsTheVariable) {
    VariablesPtr vars = open("c")->Variables();
    vars->Add("v", "Option=0");
    log.refuseRelease = true;
    EXPECT_EQ(failureOf([&] { vars->Remove(Variant::fromString("v")); }), "release refused");
    EXPECT_EQ(vars->Count(), 1);
}

INSTANTIATE_TEST_SUITE_P(BothEngines, EngineObjects,
                         ::testing::Values(EngineKind::Embedded, EngineKind::Bus),
                         testsupport::engineKindName);
