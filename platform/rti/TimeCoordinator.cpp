#include "platform/rti/TimeCoordinator.h"

#include "platform/rti/Vocabulary.h"

#include <algorithm>
#include <cmath>

namespace rti {

void TimeCoordinator::checkFinite(LogicalTime time, const char* what) {
    if (!std::isfinite(time)) {
        throw Error(ErrorKind::InvalidFederationTime,
                    std::string(what) + " " + formatTime(time) + " is not a finite number");
    }
}

void TimeCoordinator::addFederate(FederateHandle federate, LogicalTime initialTime) {
    checkFinite(initialTime, "the starting time");
    Clock& c = m_clocks[federate];
    c.time = c.told = initialTime;
    c.horizon = initialTime;
}

void TimeCoordinator::removeFederate(FederateHandle federate) {
    const auto it = m_clocks.find(federate);
    if (it == m_clocks.end()) return;
    Clock& c = it->second;
    if (c.promiseKey) m_promises.erase({*c.promiseKey, federate});
    if (c.waitKey) m_waiting.erase({*c.waitKey, federate});
    m_nextEventRegulators.erase(federate);
    m_clocks.erase(it);
    settle();
}

void TimeCoordinator::timeAdvanceRequest(FederateHandle federate, LogicalTime time) {
    request(federate, Advance::TimeAdvance, time);
}

void TimeCoordinator::nextEventRequest(FederateHandle federate, LogicalTime time) {
    request(federate, Advance::NextEvent, time);
}

void TimeCoordinator::flushQueueRequest(FederateHandle federate, LogicalTime time) {
    request(federate, Advance::None, time);
}

void TimeCoordinator::grantDelivered(FederateHandle federate, LogicalTime time) {
    const auto it = m_clocks.find(federate);
    if (it == m_clocks.end()) return;
    it->second.told = time;
    it->second.granting = false;
}

void TimeCoordinator::enqueue(FederateHandle receiver, LogicalTime time, Callback message) {
    Clock& c = requireClock(receiver);
    c.queue.push(time, std::move(message));
    refresh(receiver, c);
    settle();
}

TimeCoordinator::Clock& TimeCoordinator::requireClock(FederateHandle federate) {
    return const_cast<Clock&>(std::as_const(*this).requireClock(federate));
}

const TimeCoordinator::Clock& TimeCoordinator::requireClock(FederateHandle federate) const {
    const auto it = m_clocks.find(federate);
    if (it == m_clocks.end()) {
        throw Error(ErrorKind::FederateNotExecutionMember,
                    toString(federate) + " is not joined to the federation execution");
    }
    return it->second;
}

void TimeCoordinator::request(FederateHandle federate, Advance kind, LogicalTime time) {
    Clock& c = requireClock(federate);
    checkFinite(time, "the requested time");
    if (c.advance == Advance::Regulation) {
        throw Error(ErrorKind::EnableTimeRegulationPending,
                    "time regulation is being enabled; advance after it has been enabled");
    }
    if (c.granting) {
        throw Error(ErrorKind::TimeAdvanceAlreadyInProgress,
                    "the advance to " + formatTime(c.time) +
                        " is granted but the federate has not received the grant yet; ask "
                        "again after it");
    }
    if (c.advance != Advance::None) {
        throw Error(ErrorKind::TimeAdvanceAlreadyInProgress,
                    "a time advance to " + formatTime(c.requested) + " is already pending");
    }
    if (c.constrainedPending) {
        throw Error(ErrorKind::EnableTimeConstrainedPending,
                    "time constraint is being enabled; advance after it has been granted");
    }
    if (time < c.time) {
        throw Error(ErrorKind::FederationTimeAlreadyPassed,
                    "the requested time " + formatTime(time) + " is before the logical time " +
                        formatTime(c.time) + "; ask for " + formatTime(c.time) + " or later");
    }
    c.requested = time;
    if (!c.constrained) {
        grant(federate, c, time);
    } else if (kind == Advance::None) {
        m_sink.releaseHeld(federate);
        flush(federate, c, time);
    } else {
        m_sink.releaseHeld(federate);
        c.advance = kind;
        refresh(federate, c);
    }
    settle();
}

void TimeCoordinator::flush(FederateHandle federate, Clock& c, LogicalTime time) {
    LogicalTime granted = std::min(time, lbtsWithin(federate, bounds()));
    if (const auto earliest = c.queue.earliest()) granted = std::min(granted, *earliest);
    while (!c.queue.empty()) deliverEarliest(federate, c);
    grant(federate, c, std::max(granted, c.time));
}

LogicalTime TimeCoordinator::tentative(const Clock& c) {
    LogicalTime base = c.time;
    if (c.advance == Advance::TimeAdvance || c.advance == Advance::Regulation) {
        base = c.requested;
    } else if (c.advance == Advance::NextEvent) {
        base = std::min(c.requested, c.queue.earliest().value_or(kInfiniteTime));
    }
    return std::max(c.floor, c.lookahead + base);
}

LogicalTime TimeCoordinator::promise(FederateHandle federate, const Clock& c,
                                     const Bounds& b) const {
    const LogicalTime own = tentative(c);
    if (c.advance != Advance::NextEvent || b.first == federate) return own;
    return std::min(own, std::max(c.floor, c.lookahead + b.smallest));
}

TimeCoordinator::Bounds TimeCoordinator::bounds() const {
    if (m_promises.empty()) return {};
    return {m_promises.begin()->first, m_promises.begin()->second};
}

LogicalTime TimeCoordinator::secondBound(const Bounds& b) const {
    LogicalTime second = kInfiniteTime;
    if (m_promises.size() > 1) second = std::next(m_promises.begin())->first;
    for (FederateHandle handle : m_nextEventRegulators) {
        if (handle == b.first) continue;
        const Clock& c = m_clocks.at(handle);
        second = std::min(second, std::max(c.floor, c.lookahead + b.smallest));
    }
    return second;
}

LogicalTime TimeCoordinator::lbtsWithin(FederateHandle federate, const Bounds& b) const {
    return b.first == federate ? secondBound(b) : b.smallest;
}

void TimeCoordinator::refresh(FederateHandle federate, Clock& c) {
    std::optional<LogicalTime> promiseKey;
    if (c.regulating) promiseKey = tentative(c);
    if (promiseKey != c.promiseKey) {
        if (c.promiseKey) m_promises.erase({*c.promiseKey, federate});
        if (promiseKey) m_promises.insert({*promiseKey, federate});
        c.promiseKey = promiseKey;
    }

    std::optional<LogicalTime> waitKey;
    if (c.constrainedPending) {
        // Constraint starts once LBTS has reached the logical time, so the key sits just
        // below it (progress is made while key < LBTS).
        waitKey = std::nextafter(c.time, -kInfiniteTime);
    } else if (c.advance == Advance::Regulation) {
        // Likewise for the start of regulation, unless a message before it is due first.
        waitKey = std::min(std::nextafter(c.requested, -kInfiniteTime),
                           c.queue.earliest().value_or(kInfiniteTime));
    } else if (c.advance != Advance::None) {
        waitKey = std::min(c.requested, c.queue.earliest().value_or(kInfiniteTime));
    }
    if (waitKey != c.waitKey) {
        if (c.waitKey) m_waiting.erase({*c.waitKey, federate});
        if (waitKey) m_waiting.insert({*waitKey, federate});
        c.waitKey = waitKey;
    }

    if (c.regulating && c.advance == Advance::NextEvent) {
        m_nextEventRegulators.insert(federate);
    } else {
        m_nextEventRegulators.erase(federate);
    }
}

void TimeCoordinator::settle() {
    while (!m_waiting.empty()) {
        const Bounds b = bounds();
        const auto [key, federate] = *m_waiting.begin();
        if (key < b.smallest) {
            if (!progress(federate, requireClock(federate), lbtsWithin(federate, b))) return;
            continue;
        }
        // Only the regulator holding the smallest promise sees a larger LBTS.
        if (b.first) {
            Clock& first = requireClock(*b.first);
            if (first.waitKey) {
                const LogicalTime second = secondBound(b);
                if (*first.waitKey < second && progress(*b.first, first, second)) continue;
            }
        }
        return;
    }
}

bool TimeCoordinator::progress(FederateHandle federate, Clock& c, LogicalTime lbts) {
    if (c.constrainedPending) {
        if (c.time > lbts) return false;
        c.constrainedPending = false;
        c.constrained = true;
        c.horizon = c.time;
        m_sink.deliver(federate, cb::TimeConstrainedEnabled{c.time});
        refresh(federate, c);
        return true;
    }
    if (c.advance == Advance::TimeAdvance) return progressTo(federate, c, lbts, false);
    if (c.advance == Advance::Regulation) return progressTo(federate, c, lbts, true);
    if (c.advance == Advance::NextEvent) {
        const LogicalTime next = std::min(c.requested, c.queue.earliest().value_or(kInfiniteTime));
        if (!(next < lbts)) return false;
        while (c.queue.earliest() == next) deliverEarliest(federate, c);
        grant(federate, c, next);
        return true;
    }
    return false;
}

bool TimeCoordinator::progressTo(FederateHandle federate, Clock& c, LogicalTime lbts,
                                 bool enabling) {
    // A grant takes every message up to the requested time and needs LBTS past it; the start
    // of regulation takes those before it and needs LBTS to have reached it.
    const auto due = [&](LogicalTime t) { return enabling ? t < c.requested : t <= c.requested; };
    bool delivered = false;
    for (auto e = c.queue.earliest(); e && due(*e) && *e < lbts; e = c.queue.earliest()) {
        deliverEarliest(federate, c);
        delivered = true;
    }
    const auto next = c.queue.earliest();
    const bool reached = enabling ? c.requested <= lbts : c.requested < lbts;
    if ((next && due(*next)) || !reached) {
        if (delivered) refresh(federate, c);
        return delivered;
    }
    if (!enabling) {
        grant(federate, c, c.requested);
        return true;
    }
    c.advance = Advance::None;
    c.time = c.told = c.requested;
    c.horizon = std::max(c.horizon, c.time);
    m_sink.deliver(federate, cb::TimeRegulationEnabled{c.time});
    refresh(federate, c);
    return true;
}

void TimeCoordinator::deliverEarliest(FederateHandle federate, Clock& c) {
    c.horizon = std::max(c.horizon, *c.queue.earliest());
    m_sink.deliver(federate, c.queue.pop());
}

void TimeCoordinator::grant(FederateHandle federate, Clock& c, LogicalTime time) {
    c.time = time;
    c.advance = Advance::None;
    c.granting = true;
    c.horizon = std::max(c.horizon, time);
    m_sink.deliver(federate, cb::TimeAdvanceGrant{time});
    refresh(federate, c);
}

}  // namespace rti
