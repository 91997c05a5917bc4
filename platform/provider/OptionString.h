#pragma once

#include <QString>

namespace provider {

// How a write of "@ADVANCE_TIME" asks for time (TimeAdv).
enum class AdvancePolicy { TimeAdvance = 0, NextEvent = 1, FlushQueue = 2 };

// What the controller option string asks for, checked and with defaults filled in.
struct ControllerOptions {
    QString url;
    int timePolicy = 0;   // 0 none, 1 regulating, 2 constrained, 3 both
    int timeAdvance = 0;  // 0 time advance, 1 next event, 2 flush queue
    double currentTime = 0;
    double lookahead = 0;
    bool asynchronousDelivery = false;

    bool regulating() const { return timePolicy == 1 || timePolicy == 3; }
    bool constrained() const { return timePolicy == 2 || timePolicy == 3; }
    AdvancePolicy advancePolicy() const { return static_cast<AdvancePolicy>(timeAdvance); }
};

// Parses "URL=..., TimePoli=..., ...". Keys match without regard to letter case; a value runs
// to the next comma that is followed by a known key and "=". Throws cao::Error naming the
// key and the value at the first problem.
ControllerOptions parseControllerOptions(const QString& text);

// A decimal number with "." or "," as the decimal mark and an optional exponent; false for
// anything else, infinities and NaN included.
bool parseTimeText(const QString& text, double& result);

}  // namespace provider
