#pragma once

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <functional>

namespace testsupport {

// Whether this process can reach a session bus; tests over the bus skip without one, unless
// TANDREL_TEST_REQUIRE_BUS=1 (as in CI) makes that a failure.
inline bool sessionBusReachable() {
    return QDBusConnection::sessionBus().isConnected();
}

inline bool busRequired() {
    return qgetenv("TANDREL_TEST_REQUIRE_BUS") == "1";
}

// Runs the event loop until the condition holds; false when it did not within the limit.
inline bool waitUntil(const std::function<bool()>& condition, int limitMs = 10000) {
    const QDeadlineTimer deadline(limitMs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

}  // namespace testsupport

#define TANDREL_SKIP_WITHOUT_SESSION_BUS()                                               \
    do {                                                                                 \
        if (!testsupport::sessionBusReachable()) {                                       \
            if (testsupport::busRequired()) FAIL() << "no D-Bus session bus to test on"; \
            GTEST_SKIP() << "no D-Bus session bus (run under dbus-run-session)";         \
        }                                                                                \
    } while (false)
