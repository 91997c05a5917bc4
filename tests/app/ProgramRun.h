#pragma once

#include "app/Startup.h"
#include "app/frmMain.h"

#include <qpa/qwindowsysteminterface.h>
#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

// A status app::run never returns by itself: the loop had to be ended from outside.
inline constexpr int kLoopNeverEnded = 99;
// Only a bound for a broken build; a passing run ends as soon as the close is handled.
inline constexpr int kLoopLimitMs = 60000;

inline frmMain* shownWindow() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<frmMain*>(w); window && window->isVisible()) return window;
    }
    return nullptr;
}

// Asks for the window to be closed the way the window system does when its close button is
// clicked; the request reaches the window through the event loop.
inline void requestClose(frmMain& window) {
    QWindowSystemInterface::handleCloseEvent(window.windowHandle());
}

// Runs the whole program on the given engine. Once its event loop runs, `whileRunning` gets
// the shown window from inside the loop. Returns the program's exit status.
inline int runProgram(ui::MessageBoxService& messageBox,
                      const std::function<cao::EnginePtr()>& createEngine,
                      const std::function<void(frmMain&)>& whileRunning) {
    QObject context;
    QMetaObject::invokeMethod(
        &context,
        [&] {
            if (frmMain* window = shownWindow()) {
                whileRunning(*window);
            } else {
                ADD_FAILURE() << "the program showed no window";
                QCoreApplication::exit(kLoopNeverEnded);
            }
        },
        Qt::QueuedConnection);
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [] { QCoreApplication::exit(kLoopNeverEnded); });
    limit.start(kLoopLimitMs);
    std::ostringstream errors;
    const int status = app::run(messageBox, createEngine, errors);
    EXPECT_TRUE(errors.str().empty()) << errors.str();
    return status;
}
