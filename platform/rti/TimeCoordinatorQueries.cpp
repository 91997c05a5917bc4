// What a federate may ask of time management without changing it.

#include "platform/rti/TimeCoordinator.h"
#include "platform/rti/Vocabulary.h"

#include <algorithm>

namespace rti {

LogicalTime TimeCoordinator::logicalTime(FederateHandle federate) const {
    return requireClock(federate).told;
}

LogicalTime TimeCoordinator::lookahead(FederateHandle federate) const {
    return requireClock(federate).lookahead;
}

std::size_t TimeCoordinator::queuedTimestampOrder(FederateHandle federate) const {
    return requireClock(federate).queue.size();
}

LogicalTime TimeCoordinator::lbts(FederateHandle federate) const {
    requireClock(federate);
    return lbtsWithin(federate, bounds());
}

LogicalTime TimeCoordinator::minNextEventTime(FederateHandle federate) const {
    const Clock& c = requireClock(federate);
    return std::min(lbtsWithin(federate, bounds()), c.queue.earliest().value_or(kInfiniteTime));
}

LogicalTime TimeCoordinator::earliestSendTime(FederateHandle federate) const {
    const Clock& c = requireClock(federate);
    return c.regulating ? promise(federate, c, bounds()) : c.time;
}

std::optional<LogicalTime> TimeCoordinator::requestedTime(FederateHandle federate) const {
    const Clock& c = requireClock(federate);
    const bool requested =
        c.advance == Advance::TimeAdvance || c.advance == Advance::NextEvent || c.granting;
    if (!requested) return std::nullopt;
    return c.requested;
}

bool TimeCoordinator::isRegulating(FederateHandle federate) const {
    return requireClock(federate).regulating;
}

bool TimeCoordinator::isConstrained(FederateHandle federate) const {
    return requireClock(federate).constrained;
}

bool TimeCoordinator::isAsynchronousDelivery(FederateHandle federate) const {
    return requireClock(federate).asynchronous;
}

bool TimeCoordinator::holdsReceiveOrder(FederateHandle federate) const {
    const Clock& c = requireClock(federate);
    return c.constrained && !c.asynchronous && c.advance == Advance::None;
}

void TimeCoordinator::checkSendTime(FederateHandle sender, LogicalTime time) const {
    checkFinite(time, "the timestamp");
    const Clock& c = requireClock(sender);
    if (!c.regulating) return;
    const LogicalTime earliest = promise(sender, c, bounds());
    if (time < earliest) {
        throw Error(ErrorKind::InvalidFederationTime,
                    "the timestamp " + formatTime(time) + " is earlier than " +
                        formatTime(earliest) +
                        ", the earliest this federate may send (its time plus lookahead)");
    }
}

}  // namespace rti
