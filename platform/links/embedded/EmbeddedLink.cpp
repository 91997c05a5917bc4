#include "platform/links/embedded/EmbeddedLink.h"

#include "platform/hla/Error.h"

namespace links {

namespace {

// The last federate to leave takes the federation execution with it.
void destroyIfEmpty(rti::RunTime& rt, const std::string& federation) {
    try {
        rt.destroyFederationExecution(federation);
    } catch (const hla::Error& e) {
        if (e.kind() != hla::ErrorKind::FederatesCurrentlyJoined &&
            e.kind() != hla::ErrorKind::FederationExecutionDoesNotExist) {
            throw;
        }
    }
}

}  // namespace

std::unique_ptr<RunTimeLink> joinEmbedded(std::shared_ptr<RunTimeHost> host,
                                          const std::string& federation,
                                          const std::string& federate,
                                          hla::FederationDescription description,
                                          hla::LogicalTime initialTime) {
    const RunTimeHost::Access rt = host->access();
    try {
        // A federate that joins a standing execution brings its modules too.
        const bool standing = rt->federationExecutionExists(federation);
        if (!standing) rt->createFederationExecution(federation, description);
        const hla::FederateHandle self = rt->joinFederationExecution(
            federate, federation, initialTime, standing ? &description : nullptr);
        return std::make_unique<EmbeddedLink>(std::move(host), self, federation);
    } catch (...) {
        destroyIfEmpty(*rt, federation);
        throw;
    }
}

EmbeddedLink::EmbeddedLink(std::shared_ptr<RunTimeHost> host, hla::FederateHandle self,
                           std::string federation)
    : m_host(std::move(host)),
      m_self(self),
      m_federation(std::move(federation)),
      m_description(m_host->access()->description(self)) {}

EmbeddedLink::~EmbeddedLink() {
    m_host->removeWaker(m_self);
}

void EmbeddedLink::resign() {
    if (!m_joined) return;
    rt()->resignFederationExecution(m_self, hla::ResignAction::DeleteObjectsAndReleaseAttributes);
    m_joined = false;
    m_host->removeWaker(m_self);
    destroyIfEmpty(*rt(), m_federation);
}

void EmbeddedLink::reportLost(const std::string& fault) {
    if (m_joined) rt()->reportFederateLost(m_self, fault);
}

void EmbeddedLink::registerSynchronizationPoint(const std::string& label) {
    rt()->registerFederationSynchronizationPoint(m_self, label);
}

void EmbeddedLink::synchronizationPointAchieved(const std::string& label) {
    rt()->synchronizationPointAchieved(m_self, label);
}

void EmbeddedLink::publishObjectClass(hla::ObjectClassHandle cls,
                                      const hla::AttributeSet& attributes) {
    rt()->publishObjectClass(m_self, cls, attributes);
}

void EmbeddedLink::unpublishObjectClass(hla::ObjectClassHandle cls) {
    rt()->unpublishObjectClass(m_self, cls);
}

void EmbeddedLink::subscribeObjectClassAttributes(hla::ObjectClassHandle cls,
                                                  const hla::AttributeSet& attributes) {
    rt()->subscribeObjectClassAttributes(m_self, cls, attributes);
}

void EmbeddedLink::unsubscribeObjectClass(hla::ObjectClassHandle cls) {
    rt()->unsubscribeObjectClass(m_self, cls);
}

void EmbeddedLink::publishInteractionClass(hla::InteractionClassHandle cls) {
    rt()->publishInteractionClass(m_self, cls);
}

void EmbeddedLink::unpublishInteractionClass(hla::InteractionClassHandle cls) {
    rt()->unpublishInteractionClass(m_self, cls);
}

void EmbeddedLink::subscribeInteractionClass(hla::InteractionClassHandle cls) {
    rt()->subscribeInteractionClass(m_self, cls);
}

void EmbeddedLink::unsubscribeInteractionClass(hla::InteractionClassHandle cls) {
    rt()->unsubscribeInteractionClass(m_self, cls);
}

hla::ObjectInstanceHandle EmbeddedLink::registerObjectInstance(hla::ObjectClassHandle cls,
                                                               const std::string& name) {
    return rt()->registerObjectInstance(m_self, cls, name);
}

std::optional<hla::ObjectInstanceHandle> EmbeddedLink::findObjectInstance(const std::string& name) {
    try {
        return rt()->getObjectInstanceHandle(m_self, name);
    } catch (const hla::Error& e) {
        if (e.kind() != hla::ErrorKind::ObjectNotKnown) throw;
        return std::nullopt;
    }
}

void EmbeddedLink::updateAttributeValues(hla::ObjectInstanceHandle object,
                                         const hla::AttributeValues& values,
                                         std::optional<hla::LogicalTime> time) {
    rt()->updateAttributeValues(m_self, object, values, {}, time);
}

void EmbeddedLink::sendInteraction(hla::InteractionClassHandle cls,
                                   const hla::ParameterValues& values,
                                   std::optional<hla::LogicalTime> time) {
    rt()->sendInteraction(m_self, cls, values, {}, time);
}

void EmbeddedLink::deleteObjectInstance(hla::ObjectInstanceHandle object) {
    rt()->deleteObjectInstance(m_self, object);
}

void EmbeddedLink::unconditionalAttributeOwnershipDivestiture(hla::ObjectInstanceHandle object,
                                                              const hla::AttributeSet& attributes) {
    rt()->unconditionalAttributeOwnershipDivestiture(m_self, object, attributes);
}

void EmbeddedLink::attributeOwnershipAcquisition(hla::ObjectInstanceHandle object,
                                                 const hla::AttributeSet& attributes) {
    rt()->attributeOwnershipAcquisition(m_self, object, attributes);
}

void EmbeddedLink::attributeOwnershipAcquisitionIfAvailable(hla::ObjectInstanceHandle object,
                                                            const hla::AttributeSet& attributes) {
    rt()->attributeOwnershipAcquisitionIfAvailable(m_self, object, attributes);
}

hla::AttributeSet EmbeddedLink::attributeOwnershipReleaseResponse(
    hla::ObjectInstanceHandle object, const hla::AttributeSet& attributes) {
    return rt()->attributeOwnershipReleaseResponse(m_self, object, attributes);
}

bool EmbeddedLink::isAttributeOwnedByFederate(hla::ObjectInstanceHandle object,
                                              hla::AttributeHandle attribute) {
    return rt()->isAttributeOwnedByFederate(m_self, object, attribute);
}

void EmbeddedLink::enableTimeRegulation(hla::LogicalTime time, hla::LogicalTime lookahead) {
    rt()->enableTimeRegulation(m_self, time, lookahead);
}

void EmbeddedLink::enableTimeConstrained() {
    rt()->enableTimeConstrained(m_self);
}

void EmbeddedLink::enableAsynchronousDelivery() {
    rt()->enableAsynchronousDelivery(m_self);
}

void EmbeddedLink::timeAdvanceRequest(hla::LogicalTime time) {
    rt()->timeAdvanceRequest(m_self, time);
}

void EmbeddedLink::nextEventRequest(hla::LogicalTime time) {
    rt()->nextEventRequest(m_self, time);
}

void EmbeddedLink::flushQueueRequest(hla::LogicalTime time) {
    rt()->flushQueueRequest(m_self, time);
}

void EmbeddedLink::modifyLookahead(hla::LogicalTime lookahead) {
    rt()->modifyLookahead(m_self, lookahead);
}

hla::LogicalTime EmbeddedLink::queryFederateTime() {
    return rt()->queryFederateTime(m_self);
}

hla::LogicalTime EmbeddedLink::queryLBTS() {
    return rt()->queryLBTS(m_self);
}

hla::LogicalTime EmbeddedLink::queryMinNextEventTime() {
    return rt()->queryMinNextEventTime(m_self);
}

hla::LogicalTime EmbeddedLink::queryLookahead() {
    return rt()->queryLookahead(m_self);
}

bool EmbeddedLink::isTimeRegulating() {
    return rt()->isTimeRegulating(m_self);
}

void EmbeddedLink::setWaker(std::function<void()> wake) {
    if (!wake) return m_host->removeWaker(m_self);
    m_host->setWaker(m_self, std::move(wake));
}

bool EmbeddedLink::evokeCallback(RunTimeCallbacks& callbacks) {
    return m_joined && rt()->evokeCallback(m_self, callbacks);
}

bool EmbeddedLink::callbacksPending() {
    return m_joined && rt()->pendingCallbackCount(m_self) > 0;
}

namespace {

hla::Bytes handleOctets(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

}  // namespace

std::optional<hla::Bytes> EmbeddedLink::momHandle(hla::InteractionClassHandle cls) {
    return handleOctets(hla::toUnderlying(cls));
}

std::optional<hla::Bytes> EmbeddedLink::momHandle(hla::ObjectClassHandle cls) {
    return handleOctets(hla::toUnderlying(cls));
}

std::optional<hla::Bytes> EmbeddedLink::momHandle(hla::ObjectClassHandle /*cls*/,
                                                  hla::AttributeHandle attribute) {
    return handleOctets(hla::toUnderlying(attribute));
}

}  // namespace links
