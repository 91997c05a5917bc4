// Switching a federate's time management on and off, and its lookahead.

#include "platform/rti/TimeCoordinator.h"
#include "platform/rti/Vocabulary.h"

#include <algorithm>
#include <cmath>

namespace rti {

void TimeCoordinator::checkLookahead(LogicalTime lookahead, bool regulating) {
    if (!std::isfinite(lookahead) || lookahead < 0) {
        throw Error(ErrorKind::InvalidLookahead,
                    "the lookahead " + formatTime(lookahead) +
                        " is not valid; it must be a finite number of at least 0");
    }
    if (regulating && lookahead == 0) {
        throw Error(ErrorKind::InvalidLookahead,
                    "a regulating federate needs a lookahead greater than 0; with 0, federates "
                    "advancing in lock-step would wait for each other forever");
    }
}

LogicalTime TimeCoordinator::regulationStart(FederateHandle federate, const Clock& c,
                                             LogicalTime time, LogicalTime lookahead) const {
    // The first promise, start plus lookahead, must not fall below where any constrained
    // federate has got to; any lower start would be safe for nobody, any higher one is
    // further ahead than the federate asked.
    LogicalTime reached = -kInfiniteTime;
    for (const auto& [handle, other] : m_clocks) {
        if (handle != federate && other.constrained) reached = std::max(reached, other.horizon);
    }
    LogicalTime start = std::max(time, c.time);
    if (start + lookahead < reached) {
        start = reached - lookahead;
        while (start + lookahead < reached) start = std::nextafter(start, kInfiniteTime);
    }
    return start;
}

void TimeCoordinator::enableRegulation(FederateHandle federate, LogicalTime time,
                                       LogicalTime lookahead) {
    Clock& c = requireClock(federate);
    if (c.advance == Advance::Regulation) {
        throw Error(ErrorKind::EnableTimeRegulationPending,
                    "time regulation is already being enabled");
    }
    if (c.regulating) {
        throw Error(ErrorKind::TimeRegulationAlreadyEnabled, "time regulation is already enabled");
    }
    if (inProgress(c)) {
        throw Error(ErrorKind::TimeAdvanceAlreadyInProgress,
                    "time regulation cannot be enabled while a time advance is pending");
    }
    checkFinite(time, "the time");
    checkLookahead(lookahead, true);
    const LogicalTime start = regulationStart(federate, c, time, lookahead);
    c.lookahead = lookahead;
    c.floor = -kInfiniteTime;
    c.regulating = true;
    if (c.constrained) {
        // Messages due before the start reach the federate first: nothing may arrive below
        // its logical time. Its promise holds from now on.
        m_sink.releaseHeld(federate);
        c.advance = Advance::Regulation;
        c.requested = start;
    } else {
        c.time = c.told = start;
        m_sink.deliver(federate, cb::TimeRegulationEnabled{start});
    }
    refresh(federate, c);
    settle();
}

void TimeCoordinator::disableRegulation(FederateHandle federate) {
    Clock& c = requireClock(federate);
    if (c.advance == Advance::Regulation) {
        throw Error(ErrorKind::EnableTimeRegulationPending,
                    "time regulation is still being enabled; disable it once it is enabled");
    }
    if (!c.regulating) {
        throw Error(ErrorKind::TimeRegulationWasNotEnabled, "time regulation is not enabled");
    }
    c.regulating = false;
    c.floor = -kInfiniteTime;
    refresh(federate, c);
    settle();
}

void TimeCoordinator::enableConstrained(FederateHandle federate) {
    Clock& c = requireClock(federate);
    if (c.constrained || c.constrainedPending) {
        throw Error(ErrorKind::TimeConstrainedAlreadyEnabled,
                    c.constrained ? "time constraint is already enabled"
                                  : "time constraint is already being enabled");
    }
    if (inProgress(c)) {
        throw Error(ErrorKind::TimeAdvanceAlreadyInProgress,
                    "time constraint cannot be enabled while a time advance is pending");
    }
    c.constrainedPending = true;
    refresh(federate, c);
    settle();
}

void TimeCoordinator::disableConstrained(FederateHandle federate) {
    Clock& c = requireClock(federate);
    if (!c.constrained && !c.constrainedPending) {
        throw Error(ErrorKind::TimeConstrainedWasNotEnabled, "time constraint is not enabled");
    }
    if (inProgress(c)) {
        throw Error(ErrorKind::TimeAdvanceAlreadyInProgress,
                    "time constraint cannot be disabled while a time advance is pending");
    }
    c.constrained = false;
    c.constrainedPending = false;
    m_sink.releaseHeld(federate);
    // What was waiting for its time now arrives in receive order.
    while (!c.queue.empty()) {
        Callback message = c.queue.pop();
        setTimestamp(message, std::nullopt);
        m_sink.deliver(federate, std::move(message));
    }
    refresh(federate, c);
    settle();
}

void TimeCoordinator::enableAsynchronousDelivery(FederateHandle federate) {
    Clock& c = requireClock(federate);
    if (c.asynchronous) {
        throw Error(ErrorKind::AsynchronousDeliveryAlreadyEnabled,
                    "asynchronous delivery is already enabled");
    }
    c.asynchronous = true;
    m_sink.releaseHeld(federate);
}

void TimeCoordinator::disableAsynchronousDelivery(FederateHandle federate) {
    Clock& c = requireClock(federate);
    if (!c.asynchronous) {
        throw Error(ErrorKind::AsynchronousDeliveryAlreadyDisabled,
                    "asynchronous delivery is not enabled");
    }
    c.asynchronous = false;
}

void TimeCoordinator::modifyLookahead(FederateHandle federate, LogicalTime lookahead) {
    Clock& c = requireClock(federate);
    checkLookahead(lookahead, c.regulating);
    if (c.regulating) c.floor = std::max(c.floor, promise(federate, c, bounds()));
    c.lookahead = lookahead;
    refresh(federate, c);
    settle();
}

}  // namespace rti
