#pragma once

#include <QCoreApplication>
#include <QTimer>
#include <QTimerEvent>

// Makes a running timer tick now, exactly as its own expiry would, so that a test never
// waits on the clock for it. Returns false, without a tick, when the timer is not running.
inline bool tickNow(QTimer& timer) {
    if (!timer.isActive()) return false;
    QTimerEvent expiry(timer.timerId());
    QCoreApplication::sendEvent(&timer, &expiry);
    return true;
}
