#include "hla/EmbeddedLink.h"

#include "rti/Error.h"

namespace hla {

namespace {

// The last federate to leave takes the federation execution with it.
void destroyIfEmpty(rti::RunTime& rt, const std::string& federation) {
    try {
        rt.destroyFederationExecution(federation);
    } catch (const rti::Error& e) {
        if (e.kind() != rti::ErrorKind::FederatesCurrentlyJoined &&
            e.kind() != rti::ErrorKind::FederationExecutionDoesNotExist) {
            throw;
        }
    }
}

}  // namespace

std::unique_ptr<RunTimeLink> joinEmbedded(std::shared_ptr<RunTimeHost> host,
                                          const std::string& federation,
                                          const std::string& federate,
                                          rti::FederationDescription description,
                                          rti::LogicalTime initialTime) {
    rti::RunTime& rt = host->runTime();
    try {
        if (!rt.federationExecutionExists(federation)) {
            rt.createFederationExecution(federation, std::move(description));
        }
        const rti::FederateHandle self =
            rt.joinFederationExecution(federate, federation, initialTime);
        return std::make_unique<EmbeddedLink>(std::move(host), self, federation);
    } catch (...) {
        destroyIfEmpty(rt, federation);
        throw;
    }
}

EmbeddedLink::EmbeddedLink(std::shared_ptr<RunTimeHost> host, rti::FederateHandle self,
                           std::string federation)
    : m_host(std::move(host)),
      m_self(self),
      m_federation(std::move(federation)),
      m_description(m_host->runTime().description(self)) {}

EmbeddedLink::~EmbeddedLink() {
    m_host->removeWaker(m_self);
}

void EmbeddedLink::resign() {
    if (!m_joined) return;
    rt().resignFederationExecution(m_self, rti::ResignAction::DeleteObjectsAndReleaseAttributes);
    m_joined = false;
    m_host->removeWaker(m_self);
    destroyIfEmpty(rt(), m_federation);
}

void EmbeddedLink::registerSynchronizationPoint(const std::string& label) {
    rt().registerFederationSynchronizationPoint(m_self, label);
}

void EmbeddedLink::synchronizationPointAchieved(const std::string& label) {
    rt().synchronizationPointAchieved(m_self, label);
}

void EmbeddedLink::publishObjectClass(rti::ObjectClassHandle cls,
                                      const rti::AttributeSet& attributes) {
    rt().publishObjectClass(m_self, cls, attributes);
}

void EmbeddedLink::unpublishObjectClass(rti::ObjectClassHandle cls) {
    rt().unpublishObjectClass(m_self, cls);
}

void EmbeddedLink::subscribeObjectClassAttributes(rti::ObjectClassHandle cls,
                                                  const rti::AttributeSet& attributes) {
    rt().subscribeObjectClassAttributes(m_self, cls, attributes);
}

void EmbeddedLink::unsubscribeObjectClass(rti::ObjectClassHandle cls) {
    rt().unsubscribeObjectClass(m_self, cls);
}

void EmbeddedLink::publishInteractionClass(rti::InteractionClassHandle cls) {
    rt().publishInteractionClass(m_self, cls);
}

void EmbeddedLink::unpublishInteractionClass(rti::InteractionClassHandle cls) {
    rt().unpublishInteractionClass(m_self, cls);
}

void EmbeddedLink::subscribeInteractionClass(rti::InteractionClassHandle cls) {
    rt().subscribeInteractionClass(m_self, cls);
}

void EmbeddedLink::unsubscribeInteractionClass(rti::InteractionClassHandle cls) {
    rt().unsubscribeInteractionClass(m_self, cls);
}

rti::ObjectInstanceHandle EmbeddedLink::registerObjectInstance(rti::ObjectClassHandle cls,
                                                               const std::string& name) {
    return rt().registerObjectInstance(m_self, cls, name);
}

std::optional<rti::ObjectInstanceHandle> EmbeddedLink::findObjectInstance(const std::string& name) {
    try {
        return rt().getObjectInstanceHandle(m_self, name);
    } catch (const rti::Error& e) {
        if (e.kind() != rti::ErrorKind::ObjectNotKnown) throw;
        return std::nullopt;
    }
}

void EmbeddedLink::updateAttributeValues(rti::ObjectInstanceHandle object,
                                         const rti::AttributeValues& values,
                                         std::optional<rti::LogicalTime> time) {
    rt().updateAttributeValues(m_self, object, values, {}, time);
}

void EmbeddedLink::sendInteraction(rti::InteractionClassHandle cls,
                                   const rti::ParameterValues& values,
                                   std::optional<rti::LogicalTime> time) {
    rt().sendInteraction(m_self, cls, values, {}, time);
}

void EmbeddedLink::deleteObjectInstance(rti::ObjectInstanceHandle object) {
    rt().deleteObjectInstance(m_self, object);
}

void EmbeddedLink::unconditionalAttributeOwnershipDivestiture(rti::ObjectInstanceHandle object,
                                                              const rti::AttributeSet& attributes) {
    rt().unconditionalAttributeOwnershipDivestiture(m_self, object, attributes);
}

void EmbeddedLink::attributeOwnershipAcquisition(rti::ObjectInstanceHandle object,
                                                 const rti::AttributeSet& attributes) {
    rt().attributeOwnershipAcquisition(m_self, object, attributes);
}

void EmbeddedLink::attributeOwnershipAcquisitionIfAvailable(rti::ObjectInstanceHandle object,
                                                            const rti::AttributeSet& attributes) {
    rt().attributeOwnershipAcquisitionIfAvailable(m_self, object, attributes);
}

rti::AttributeSet EmbeddedLink::attributeOwnershipReleaseResponse(
    rti::ObjectInstanceHandle object, const rti::AttributeSet& attributes) {
    return rt().attributeOwnershipReleaseResponse(m_self, object, attributes);
}

bool EmbeddedLink::isAttributeOwnedByFederate(rti::ObjectInstanceHandle object,
                                              rti::AttributeHandle attribute) {
    return rt().isAttributeOwnedByFederate(m_self, object, attribute);
}

void EmbeddedLink::enableTimeRegulation(rti::LogicalTime time, rti::LogicalTime lookahead) {
    rt().enableTimeRegulation(m_self, time, lookahead);
}

void EmbeddedLink::enableTimeConstrained() {
    rt().enableTimeConstrained(m_self);
}

void EmbeddedLink::enableAsynchronousDelivery() {
    rt().enableAsynchronousDelivery(m_self);
}

void EmbeddedLink::timeAdvanceRequest(rti::LogicalTime time) {
    rt().timeAdvanceRequest(m_self, time);
}

void EmbeddedLink::nextEventRequest(rti::LogicalTime time) {
    rt().nextEventRequest(m_self, time);
}

void EmbeddedLink::flushQueueRequest(rti::LogicalTime time) {
    rt().flushQueueRequest(m_self, time);
}

void EmbeddedLink::modifyLookahead(rti::LogicalTime lookahead) {
    rt().modifyLookahead(m_self, lookahead);
}

rti::LogicalTime EmbeddedLink::queryFederateTime() {
    return rt().queryFederateTime(m_self);
}

rti::LogicalTime EmbeddedLink::queryLBTS() {
    return rt().queryLBTS(m_self);
}

rti::LogicalTime EmbeddedLink::queryMinNextEventTime() {
    return rt().queryMinNextEventTime(m_self);
}

rti::LogicalTime EmbeddedLink::queryLookahead() {
    return rt().queryLookahead(m_self);
}

bool EmbeddedLink::isTimeRegulating() {
    return rt().isTimeRegulating(m_self);
}

void EmbeddedLink::setWaker(std::function<void()> wake) {
    if (!wake) return m_host->removeWaker(m_self);
    m_host->setWaker(m_self, std::move(wake));
}

bool EmbeddedLink::evokeCallback(RunTimeCallbacks& callbacks) {
    return m_joined && rt().evokeCallback(m_self, callbacks);
}

bool EmbeddedLink::callbacksPending() {
    return m_joined && rt().pendingCallbackCount(m_self) > 0;
}

}  // namespace hla
