// The whole run of the program on a mocked engine: the window is closed the way the window
// system closes it, and the program's own event loop must end with status 0 after the close
// operation.
#include "ProgramRun.h"
#include "support/MockWorld.h"
#include "support/RecordingMessageBox.h"
#include "ui_frmMain.h"

using namespace cao;
using namespace cao::testing;
using ::testing::_;

namespace {

class Unload : public ::testing::Test {
protected:
    // Starts the program; once its loop runs, `user` acts on the shown window and the window
    // system is asked to close it. Returns the program's exit status.
    int runAndClose(const std::function<void(frmMain&)>& user) {
        const auto ended = QObject::connect(qApp, &QCoreApplication::aboutToQuit,
                                            [this] { journal << "loop ended"; });
        const int status = runProgram(messages, world.factory(), [&](frmMain& window) {
            user(window);
            journal << "close requested";
            requestClose(window);
        });
        QObject::disconnect(ended);
        return status;
    }

    static void open(frmMain& window) {
        window.form().cmdOpen->click();
        ASSERT_TRUE(window.controller());
    }

    MockWorld world;
    RecordingMessageBox messages;
    QStringList journal;
};

TEST_F(Unload, ClosingTheWindowRemovesTheControllerAndEndsTheProgram) {
    ON_CALL(*world.controllers, Remove(Variant::fromI4(0))).WillByDefault([this] {
        journal << "removed";
    });
    EXPECT_EQ(runAndClose(open), 0);
    EXPECT_EQ(journal, (QStringList{"close requested", "removed", "loop ended"}));
}

TEST_F(Unload, AFailedRemovalIsReportedAndTheProgramStillEnds) {
    ON_CALL(*world.controllers, Remove(_)).WillByDefault(ThrowError("federate busy"));
    messages.onShow = [this](const QString& text) {
        journal << "box " + text + (shownWindow() ? " over the window" : " without window");
    };
    EXPECT_EQ(runAndClose(open), 0);
    EXPECT_EQ(journal,
              (QStringList{"close requested", "box federate busy over the window", "loop ended"}));
}

TEST_F(Unload, ClosingWithNoControllerCallsNoEngineAndEndsTheProgram) {
    EXPECT_CALL(*world.workspace, Controllers()).Times(0);
    EXPECT_EQ(runAndClose([](frmMain&) {}), 0);
    EXPECT_EQ(journal, (QStringList{"close requested", "loop ended"}));
    EXPECT_TRUE(messages.shown.isEmpty());
}

// Another top-level window still on screen does not keep the program alive.
TEST_F(Unload, TheProgramEndsWithItsWindowWhateverElseIsShown) {
    QWidget other;
    EXPECT_EQ(runAndClose([&](frmMain&) { other.show(); }), 0);
    EXPECT_EQ(journal, (QStringList{"close requested", "loop ended"}));
    other.hide();
}

}  // namespace
