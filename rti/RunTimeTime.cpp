// Time management and support services of the run-time.

#include "rti/Error.h"
#include "rti/Federation.h"
#include "rti/RunTime.h"

namespace rti {

void RunTime::enableTimeRegulation(FederateHandle federate, LogicalTime time,
                                   LogicalTime lookahead) {
    federationOf(federate).time().enableRegulation(federate, time, lookahead);
}

void RunTime::disableTimeRegulation(FederateHandle federate) {
    federationOf(federate).time().disableRegulation(federate);
}

void RunTime::enableTimeConstrained(FederateHandle federate) {
    federationOf(federate).time().enableConstrained(federate);
}

void RunTime::disableTimeConstrained(FederateHandle federate) {
    federationOf(federate).time().disableConstrained(federate);
}

void RunTime::enableAsynchronousDelivery(FederateHandle federate) {
    federationOf(federate).time().enableAsynchronousDelivery(federate);
}

void RunTime::disableAsynchronousDelivery(FederateHandle federate) {
    federationOf(federate).time().disableAsynchronousDelivery(federate);
}

void RunTime::timeAdvanceRequest(FederateHandle federate, LogicalTime time) {
    federationOf(federate).time().timeAdvanceRequest(federate, time);
}

void RunTime::nextEventRequest(FederateHandle federate, LogicalTime time) {
    federationOf(federate).time().nextEventRequest(federate, time);
}

void RunTime::flushQueueRequest(FederateHandle federate, LogicalTime time) {
    federationOf(federate).time().flushQueueRequest(federate, time);
}

void RunTime::modifyLookahead(FederateHandle federate, LogicalTime lookahead) {
    federationOf(federate).time().modifyLookahead(federate, lookahead);
}

LogicalTime RunTime::queryFederateTime(FederateHandle federate) {
    return federationOf(federate).time().logicalTime(federate);
}

LogicalTime RunTime::queryLBTS(FederateHandle federate) {
    return federationOf(federate).time().lbts(federate);
}

LogicalTime RunTime::queryMinNextEventTime(FederateHandle federate) {
    return federationOf(federate).time().minNextEventTime(federate);
}

LogicalTime RunTime::queryLookahead(FederateHandle federate) {
    return federationOf(federate).time().lookahead(federate);
}

std::optional<LogicalTime> RunTime::queryRequestedTime(FederateHandle federate) {
    return federationOf(federate).time().requestedTime(federate);
}

bool RunTime::isTimeRegulating(FederateHandle federate) {
    return federationOf(federate).time().isRegulating(federate);
}

bool RunTime::isTimeConstrained(FederateHandle federate) {
    return federationOf(federate).time().isConstrained(federate);
}

std::shared_ptr<const FederationDescription> RunTime::description(FederateHandle federate) {
    return federationOf(federate).description();
}

ObjectClassHandle RunTime::getObjectClassHandle(FederateHandle federate,
                                                const std::string& fullName) {
    if (const auto handle = description(federate)->findObjectClass(fullName)) return *handle;
    throw Error(ErrorKind::NameNotFound,
                "the federation description has no object class " + fullName);
}

AttributeHandle RunTime::getAttributeHandle(FederateHandle federate, ObjectClassHandle cls,
                                            const std::string& name) {
    const auto fom = description(federate);
    if (const auto handle = fom->findAttribute(cls, name)) return *handle;
    throw Error(ErrorKind::NameNotFound,
                "object class " + fom->objectClass(cls).fullName + " has no attribute " + name);
}

InteractionClassHandle RunTime::getInteractionClassHandle(FederateHandle federate,
                                                          const std::string& fullName) {
    if (const auto handle = description(federate)->findInteractionClass(fullName)) return *handle;
    throw Error(ErrorKind::NameNotFound,
                "the federation description has no interaction class " + fullName);
}

ParameterHandle RunTime::getParameterHandle(FederateHandle federate, InteractionClassHandle cls,
                                            const std::string& name) {
    const auto fom = description(federate);
    if (const auto handle = fom->findParameter(cls, name)) return *handle;
    throw Error(
        ErrorKind::NameNotFound,
        "interaction class " + fom->interactionClass(cls).fullName + " has no parameter " + name);
}

ObjectInstanceHandle RunTime::getObjectInstanceHandle(FederateHandle federate,
                                                      const std::string& name) {
    return federationOf(federate).objectInstanceHandle(federate, name);
}

std::string RunTime::getObjectInstanceName(FederateHandle federate, ObjectInstanceHandle object) {
    return federationOf(federate).objectInstanceName(federate, object);
}

ObjectClassHandle RunTime::getObjectClass(FederateHandle federate, ObjectInstanceHandle object) {
    return federationOf(federate).objectClassOf(federate, object);
}

}  // namespace rti
