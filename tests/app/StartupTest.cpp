#include "WindowFixture.h"

#include "app/Startup.h"

#include <QApplication>

#include <sstream>

using namespace cao;
using namespace cao::testing;
using ::testing::_;
using ::testing::Return;

TEST_F(WindowTest, LoadSelectsTheListDefaultsAndTagsTheMonitorBoxes) {
    EXPECT_EQ(form().cmbTimePoli->currentIndex(), 0);
    EXPECT_EQ(form().cmbTimeAdv->currentIndex(), 0);
    EXPECT_EQ(form().cmbPutType->currentIndex(), 7);
    EXPECT_EQ(form().cmbPutType->currentText(), "8 - VT_BSTR");
    const QStringList tags{"@CURRENT_TIME", "@LOOKAHEAD", "@LBTS", "@NEXTEVENT_TIME"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ui::tag(boxes()[size_t(i)]), tags[i]);
    EXPECT_EQ(buttonStates(), kClosedButtons);
    EXPECT_TRUE(form().cmdClear->isEnabled());
    EXPECT_TRUE(form().cmdVer->isEnabled());
    EXPECT_EQ(monitorStates(), kNoMonitor);
    EXPECT_FALSE(window.timer().isActive());
    EXPECT_EQ(window.timer().interval(), 1000);
    EXPECT_FALSE(window.controller());
}

TEST_F(WindowTest, VersionShowsTheVersionText) {
    form().cmdVer->click();
    EXPECT_EQ(messages.shown, QStringList{"Tandrel on ORiN  version 1.0"});
}

TEST_F(WindowTest, WindowHasAFixedSizeAndNoMaximiseButton) {
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.size(), QSize(859, 481));
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(window.windowTitle(), "Tandrel on ORiN");
}

TEST(Load, AskesForWorkspaceZeroAsA16BitInteger) {
    MockWorld world;
    EXPECT_CALL(*world.workspaces, Item(Variant::fromI2(0))).WillOnce(Return(world.workspace));
    RecordingMessageBox messages;
    frmMain window(messages);
    window.load(world.factory());
}

TEST(Startup, AnEngineThatCannotBeHadEndsTheProgramBeforeTheWindowShows) {
    struct Case {
        const char* what;
        std::function<EnginePtr()> factory;
    };
    MockWorld noWorkspaces;
    ON_CALL(*noWorkspaces.engine, Workspaces()).WillByDefault(ThrowError("no collection"));
    MockWorld noWorkspace;
    ON_CALL(*noWorkspace.workspaces, Item(_)).WillByDefault(ThrowError("no workspace 0"));
    const std::vector<Case> cases{
        {"engine not created", []() -> EnginePtr { throw Error("engine server not found"); }},
        {"no collection", noWorkspaces.factory()},
        {"no workspace 0", noWorkspace.factory()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingMessageBox messages;
        bool windowShown = false;
        messages.onShow = [&](const QString&) {
            for (QWidget* w : QApplication::topLevelWidgets()) windowShown |= w->isVisible();
        };
        std::ostringstream errors;
        EXPECT_EQ(app::run(messages, c.factory, errors), 1);
        ASSERT_EQ(messages.shown.size(), 1);
        const QString description = QString::fromStdString(errors.str()).trimmed();
        EXPECT_TRUE(description.contains(
            c.what == std::string("engine not created") ? "engine server not found" : c.what));
        EXPECT_EQ(messages.shown[0], description);
        EXPECT_FALSE(windowShown);
    }
}
