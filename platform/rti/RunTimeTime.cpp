// Time management and support services of the run-time.

#include "platform/rti/RunTime.h"
#include "platform/rti/RunTimeForward.h"
#include "platform/rti/Vocabulary.h"

namespace rti {

void RunTime::enableTimeRegulation(FederateHandle federate, LogicalTime time,
                                   LogicalTime lookahead) {
    forwardChanging(federate, &TimeCoordinator::enableRegulation, time, lookahead);
}

void RunTime::disableTimeRegulation(FederateHandle federate) {
    forwardChanging(federate, &TimeCoordinator::disableRegulation);
}

void RunTime::enableTimeConstrained(FederateHandle federate) {
    forwardChanging(federate, &TimeCoordinator::enableConstrained);
}

void RunTime::disableTimeConstrained(FederateHandle federate) {
    forwardChanging(federate, &TimeCoordinator::disableConstrained);
}

void RunTime::enableAsynchronousDelivery(FederateHandle federate) {
    forwardChanging(federate, &TimeCoordinator::enableAsynchronousDelivery);
}

void RunTime::disableAsynchronousDelivery(FederateHandle federate) {
    forwardChanging(federate, &TimeCoordinator::disableAsynchronousDelivery);
}

void RunTime::timeAdvanceRequest(FederateHandle federate, LogicalTime time) {
    forwardChanging(federate, &TimeCoordinator::timeAdvanceRequest, time);
}

void RunTime::nextEventRequest(FederateHandle federate, LogicalTime time) {
    forwardChanging(federate, &TimeCoordinator::nextEventRequest, time);
}

void RunTime::flushQueueRequest(FederateHandle federate, LogicalTime time) {
    forwardChanging(federate, &TimeCoordinator::flushQueueRequest, time);
}

void RunTime::modifyLookahead(FederateHandle federate, LogicalTime lookahead) {
    forwardChanging(federate, &TimeCoordinator::modifyLookahead, lookahead);
}

LogicalTime RunTime::queryFederateTime(FederateHandle federate) {
    return forward(federate, &TimeCoordinator::logicalTime);
}

LogicalTime RunTime::queryLBTS(FederateHandle federate) {
    return forward(federate, &TimeCoordinator::lbts);
}

LogicalTime RunTime::queryMinNextEventTime(FederateHandle federate) {
    return forward(federate, &TimeCoordinator::minNextEventTime);
}

LogicalTime RunTime::queryLookahead(FederateHandle federate) {
    return forward(federate, &TimeCoordinator::lookahead);
}

std::optional<LogicalTime> RunTime::queryRequestedTime(FederateHandle federate) {
    return forward(federate, &TimeCoordinator::requestedTime);
}

bool RunTime::isTimeRegulating(FederateHandle federate) {
    return forward(federate, &TimeCoordinator::isRegulating);
}

bool RunTime::isTimeConstrained(FederateHandle federate) {
    return forward(federate, &TimeCoordinator::isConstrained);
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
    return forward(federate, &ObjectRouting::objectInstanceHandle, name);
}

std::string RunTime::getObjectInstanceName(FederateHandle federate, ObjectInstanceHandle object) {
    return forward(federate, &ObjectRouting::objectInstanceName, object);
}

ObjectClassHandle RunTime::getObjectClass(FederateHandle federate, ObjectInstanceHandle object) {
    return forward(federate, &ObjectRouting::objectClassOf, object);
}

}  // namespace rti
