#include "app/WindowFixture.h"

#include "controller/ControllerLifecycle.h"
#include "support/DefaultOptions.h"

#include <QCloseEvent>

using namespace cao;
using namespace cao::testing;
using ::testing::_;
using ::testing::Eq;
using ::testing::InSequence;
using ::testing::Return;

namespace {

// Opening and closing the controller through the window's buttons on a mocked engine.
class ControllerLifecycle : public WindowTest {};

}  // namespace

TEST_F(ControllerLifecycle, OpenWithTheDefaultsSendsTheNameProviderAndOptionString) {
    EXPECT_CALL(*world.workspace, AddController(Eq("ChatRoom.Chat"), Eq("CaoProv.Zarn.HLA"), Eq(""),
                                                Eq(kDefaultOptions)));
    open();
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.join("; ").toStdString();
    EXPECT_EQ(window.controller(), world.controller);
    EXPECT_EQ(window.variables(), world.variables);
    EXPECT_TRUE(world.onMessage) << "the window does not listen to the controller";
    EXPECT_EQ(buttonStates(), kOpenButtons);
    EXPECT_EQ(monitorStates(), kNoMonitor);
    EXPECT_TRUE(window.timer().isActive());
}

TEST_F(ControllerLifecycle, EachOptionControlChangesItsOwnPairOnly) {
    struct Case {
        const char* what;
        std::function<void(Ui::frmMain&)> change;
        QString options;
    };
    const QString url = "URL=file:///D:/ZUzI2/CAO/ProviderLib/HLA/Bin/Chat.fed";
    const std::vector<Case> cases{
        {"async ticked", [](Ui::frmMain& f) { f.chkAsyncDeli->setChecked(true); },
         url + ", TimePoli=0, TimeAdv=0, CurTime=0.0, LookAhead=0.5, AsyncDeli=1"},
        {"last time policy", [](Ui::frmMain& f) { f.cmbTimePoli->setCurrentIndex(3); },
         url + ", TimePoli=3, TimeAdv=0, CurTime=0.0, LookAhead=0.5, AsyncDeli=0"},
        {"optimistic advance", [](Ui::frmMain& f) { f.cmbTimeAdv->setCurrentIndex(2); },
         url + ", TimePoli=0, TimeAdv=2, CurTime=0.0, LookAhead=0.5, AsyncDeli=0"},
        {"empty current time", [](Ui::frmMain& f) { f.txtCurTime->clear(); },
         url + ", TimePoli=0, TimeAdv=0, CurTime=, LookAhead=0.5, AsyncDeli=0"},
        {"exponent and comma pass unchanged",
         [](Ui::frmMain& f) {
             f.txtCurTime->setText("1e3");
             f.txtLookah->setText(" 0,5 ");
         },
         url + ", TimePoli=0, TimeAdv=0, CurTime=1e3, LookAhead= 0,5 , AsyncDeli=0"},
        {"url verbatim", [](Ui::frmMain& f) { f.txtURL->setText(" Chat.fed, x=1"); },
         "URL= Chat.fed, x=1, TimePoli=0, TimeAdv=0, CurTime=0.0, LookAhead=0.5, AsyncDeli=0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoadedWindow fresh;
        MockWorld& w = fresh.world;
        frmMain& win = fresh.window;
        c.change(win.form());
        EXPECT_CALL(*w.workspace, AddController(Eq("ChatRoom.Chat"), _, _, Eq(c.options)));
        win.form().cmdOpen->click();
        ::testing::Mock::VerifyAndClearExpectations(w.workspace.get());
    }
}

TEST_F(ControllerLifecycle, TheNameIsSentVerbatim) {
    form().txtName->setText(" Room.Fed One ");
    EXPECT_CALL(*world.workspace, AddController(Eq(" Room.Fed One "), _, _, _));
    open();
}

TEST_F(ControllerLifecycle, RefusedAddControllerShowsTheDescriptionAndChangesNothing) {
    ON_CALL(*world.workspace, AddController(_, _, _, _))
        .WillByDefault(ThrowError("TimePoli=4 is out of range"));
    open();
    EXPECT_EQ(messages.shown, QStringList{"TimePoli=4 is out of range"});
    EXPECT_FALSE(window.controller());
    EXPECT_EQ(buttonStates(), kClosedButtons);
    EXPECT_FALSE(window.timer().isActive());
}

TEST_F(ControllerLifecycle, FailedVariablesKeepsTheControllerListeningButTheControlsClosed) {
    ON_CALL(*world.controller, Variables()).WillByDefault(ThrowError("no variables"));
    open();
    EXPECT_EQ(messages.shown, QStringList{"no variables"});
    EXPECT_EQ(window.controller(), world.controller);
    EXPECT_TRUE(world.onMessage);
    EXPECT_FALSE(window.variables());
    EXPECT_EQ(buttonStates(), kClosedButtons);
    EXPECT_FALSE(window.timer().isActive());
}

TEST_F(ControllerLifecycle, CloseRemovesTheControllerByItsIndexAndEmptiesTheList) {
    ON_CALL(*world.controller, Index()).WillByDefault(Return(2));
    open();
    form().cmbVar->addItem("@LBTS");
    auto message = std::make_shared<::testing::NiceMock<MockMessage>>();
    ON_CALL(*message, Value()).WillByDefault(Return(Variant::fromI4(1)));
    ON_CALL(*message, Time()).WillByDefault(Return(Variant::fromR8(0)));
    world.onMessage(message);
    form().txtTime_2->setText("4.5");
    {
        InSequence order;
        EXPECT_CALL(*world.workspace, Controllers());
        EXPECT_CALL(*world.controller, Index());
        EXPECT_CALL(*world.controllers, Remove(Variant::fromI4(2)));
    }
    form().cmdClose->click();
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(window.controller());
    EXPECT_FALSE(world.onMessage) << "the removed controller still delivers";
    EXPECT_FALSE(window.variables());
    EXPECT_EQ(form().cmbVar->count(), 0);
    EXPECT_EQ(buttonStates(), kClosedButtons);
    EXPECT_EQ(monitorStates(), kNoMonitor);
    EXPECT_FALSE(window.timer().isActive());
    QApplication::processEvents();  // the log shows new lines on the next pass of the loop
    EXPECT_EQ(form().lstMessage->model()->rowCount(), 1) << "closing must keep the log";
    EXPECT_EQ(form().txtTime_2->text(), "4.5");
}

TEST_F(ControllerLifecycle, EachFailingCloseStepLeavesTheControllerOpenForAnotherTry) {
    struct Case {
        const char* what;
        std::function<void(MockWorld&)> breakIt;
    };
    const std::vector<Case> cases{
        {"Controllers",
         [](MockWorld& w) {
             ON_CALL(*w.workspace, Controllers()).WillByDefault(ThrowError("Controllers"));
         }},
        {"Index",
         [](MockWorld& w) { ON_CALL(*w.controller, Index()).WillByDefault(ThrowError("Index")); }},
        {"Remove",
         [](MockWorld& w) {
             ON_CALL(*w.controllers, Remove(_)).WillByDefault(ThrowError("Remove"));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoadedWindow fresh;
        MockWorld& w = fresh.world;
        frmMain& win = fresh.window;
        win.form().cmdOpen->click();
        win.form().cmbVar->addItem("@LBTS");
        c.breakIt(w);
        win.form().cmdClose->click();
        EXPECT_EQ(fresh.messages.shown, QStringList{c.what});
        EXPECT_EQ(win.controller(), w.controller);
        EXPECT_FALSE(win.variables()) << "the variable collection is let go of first";
        EXPECT_EQ(win.form().cmbVar->count(), 1);
        EXPECT_TRUE(win.form().cmdClose->isEnabled());
        EXPECT_TRUE(win.timer().isActive());
    }
}

TEST_F(ControllerLifecycle, ClosingTheWindowRemovesAnOpenController) {
    open();
    EXPECT_CALL(*world.controllers, Remove(Variant::fromI4(0)));
    QCloseEvent event;
    QApplication::sendEvent(&window, &event);
    EXPECT_TRUE(event.isAccepted());
}

TEST_F(ControllerLifecycle, ClosingTheWindowWhenRemovalFailsReportsOnceAndClosesAnyway) {
    open();
    ON_CALL(*world.controllers, Remove(_)).WillByDefault(ThrowError("federate busy"));
    QCloseEvent event;
    QApplication::sendEvent(&window, &event);
    EXPECT_EQ(messages.shown, QStringList{"federate busy"});
    EXPECT_TRUE(event.isAccepted());
}

TEST_F(ControllerLifecycle, ClosingTheWindowWithNoControllerCallsNoEngine) {
    EXPECT_CALL(*world.workspace, Controllers()).Times(0);
    form().cmbVar->addItem("stale");
    QCloseEvent event;
    QApplication::sendEvent(&window, &event);
    EXPECT_TRUE(event.isAccepted());
    EXPECT_EQ(form().cmbVar->count(), 0);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(ControllerLifecycle, OptionControlsAreReadOnlyAtOpen) {
    open();
    EXPECT_TRUE(form().txtName->isEnabled());
    EXPECT_TRUE(form().txtURL->isEnabled());
    EXPECT_TRUE(form().chkAsyncDeli->isEnabled());
    form().cmdClose->click();
    form().txtLookah->setText("2");
    EXPECT_CALL(*world.workspace, AddController(_, _, _, ::testing::Truly([](const QString& o) {
                                                    return o.contains("LookAhead=2,");
                                                })));
    open();
}
