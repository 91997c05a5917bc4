#pragma once

// Conservative time management for one federation execution.
//
// A regulating federate R promises no timestamp-order message earlier than
//   idle:                  logical time + lookahead
//   Time Advance Request:  requested time + lookahead
//   Next Event Request:    min(requested time, its earliest queued message, its LBTS) + lookahead
// and never lower than a promise it made before a lookahead reduction. The LBTS of a
// federate is the smallest promise among the other regulating federates. A regulator's
// lookahead is greater than 0: with none, two federates in lock-step would each wait for the
// other's promise to pass the time both asked for.
//
// A grant is decided here but takes effect for the federate when it is handed over: until
// then its logical time stays where it was and a further request is refused as in progress.
// Its promise already follows the decided time, which is never below what the request
// promised, so no promise is ever taken back.
//
// Because a Next Event promise depends on the federate's own LBTS, the promises are the least
// solution of those equations. With X1 the regulator of smallest "tentative" promise
// (the formula without the LBTS term), every promise but X1's reduces to
// min(tentative, lookahead + tentative(X1)), so LBTS is tentative(X1) for everyone but X1,
// and X1's is the second smallest promise. Both come from ordered sets, so a grant costs
// O(log n) in the number of federates.

#include "platform/rti/Callback.h"
#include "platform/rti/TimestampQueue.h"
#include "platform/rti/Vocabulary.h"

#include <optional>
#include <set>
#include <unordered_map>
#include <utility>

namespace rti {

// Where the coordinator hands out what it decides.
class TimeSink {
public:
    virtual ~TimeSink() = default;
    virtual void deliver(FederateHandle federate, Callback callback) = 0;
    // Receive-order messages held while the federate was not advancing may now go.
    virtual void releaseHeld(FederateHandle federate) = 0;
};

class TimeCoordinator {
public:
    explicit TimeCoordinator(TimeSink& sink) : m_sink(sink) {}

    void addFederate(FederateHandle federate, LogicalTime initialTime);
    void removeFederate(FederateHandle federate);

    // Services; each throws Error when refused and works out grants again when accepted.
    void enableRegulation(FederateHandle federate, LogicalTime time, LogicalTime lookahead);
    void disableRegulation(FederateHandle federate);
    void enableConstrained(FederateHandle federate);
    void disableConstrained(FederateHandle federate);
    void enableAsynchronousDelivery(FederateHandle federate);
    void disableAsynchronousDelivery(FederateHandle federate);
    void timeAdvanceRequest(FederateHandle federate, LogicalTime time);
    void nextEventRequest(FederateHandle federate, LogicalTime time);
    void flushQueueRequest(FederateHandle federate, LogicalTime time);
    void modifyLookahead(FederateHandle federate, LogicalTime lookahead);
    // The federate is handed its grant: its logical time becomes the granted one.
    void grantDelivered(FederateHandle federate, LogicalTime time);

    LogicalTime logicalTime(FederateHandle federate) const;
    LogicalTime lookahead(FederateHandle federate) const;
    // Timestamp-order messages held for the federate until its time reaches theirs.
    std::size_t queuedTimestampOrder(FederateHandle federate) const;
    LogicalTime lbts(FederateHandle federate) const;
    LogicalTime minNextEventTime(FederateHandle federate) const;
    // The earliest timestamp the federate may send with while regulating.
    LogicalTime earliestSendTime(FederateHandle federate) const;
    std::optional<LogicalTime> requestedTime(FederateHandle federate) const;
    bool isRegulating(FederateHandle federate) const;
    bool isConstrained(FederateHandle federate) const;
    bool isAsynchronousDelivery(FederateHandle federate) const;

    // Message routing for the federation.
    bool holdsReceiveOrder(FederateHandle federate) const;
    bool queuesTimestampOrder(FederateHandle federate) const { return isConstrained(federate); }
    // Throws InvalidFederationTime when a regulating sender would break its promise.
    void checkSendTime(FederateHandle sender, LogicalTime time) const;
    void enqueue(FederateHandle receiver, LogicalTime time, Callback message);

private:
    // Regulation: a constrained federate enabling regulation at a later time first takes
    // every message due before that time, like a time advance.
    enum class Advance { None, TimeAdvance, NextEvent, Regulation };

    struct Clock {
        LogicalTime time = 0;  // as decided here
        LogicalTime told = 0;  // as the federate was last told
        LogicalTime lookahead = 0;
        LogicalTime floor = -kInfiniteTime;  // a promise made before a lookahead reduction
        LogicalTime requested = 0;
        LogicalTime horizon = 0;  // latest time granted or delivered while constrained
        Advance advance = Advance::None;
        bool regulating = false;
        bool constrained = false;
        bool constrainedPending = false;
        bool asynchronous = false;
        bool granting = false;  // a grant is decided and not yet handed over
        TimestampQueue queue;
        std::optional<LogicalTime> promiseKey;  // entry in m_promises
        std::optional<LogicalTime> waitKey;     // entry in m_waiting
    };

    struct Bounds {
        LogicalTime smallest = kInfiniteTime;  // LBTS of every federate but first
        std::optional<FederateHandle> first;
    };

    static void checkFinite(LogicalTime time, const char* what);
    static void checkLookahead(LogicalTime lookahead, bool regulating);
    static bool inProgress(const Clock& c) { return c.advance != Advance::None || c.granting; }
    LogicalTime regulationStart(FederateHandle federate, const Clock& c, LogicalTime time,
                                LogicalTime lookahead) const;
    // Throws FederateNotExecutionMember for a federate the coordinator does not know.
    Clock& requireClock(FederateHandle federate);
    const Clock& requireClock(FederateHandle federate) const;
    void request(FederateHandle federate, Advance kind, LogicalTime time);
    void flush(FederateHandle federate, Clock& c, LogicalTime time);
    static LogicalTime tentative(const Clock& c);
    LogicalTime promise(FederateHandle federate, const Clock& c, const Bounds& bounds) const;
    Bounds bounds() const;
    LogicalTime secondBound(const Bounds& bounds) const;
    LogicalTime lbtsWithin(FederateHandle federate, const Bounds& bounds) const;
    void refresh(FederateHandle federate, Clock& c);
    void settle();
    bool progress(FederateHandle federate, Clock& c, LogicalTime lbts);
    bool progressTo(FederateHandle federate, Clock& c, LogicalTime lbts, bool enabling);
    void deliverEarliest(FederateHandle federate, Clock& c);
    void grant(FederateHandle federate, Clock& c, LogicalTime time);

    TimeSink& m_sink;
    std::unordered_map<FederateHandle, Clock> m_clocks;
    std::set<std::pair<LogicalTime, FederateHandle>> m_promises;  // tentative promises
    std::set<std::pair<LogicalTime, FederateHandle>> m_waiting;   // advancing or enabling
    std::set<FederateHandle> m_nextEventRegulators;
};

}  // namespace rti
