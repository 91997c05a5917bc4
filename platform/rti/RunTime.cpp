#include "platform/rti/RunTime.h"

#include "platform/hla/FomModules.h"
#include "platform/rti/RunTimeForward.h"
#include "platform/rti/Vocabulary.h"

namespace rti {

RunTime::RunTime() = default;
RunTime::~RunTime() = default;

void RunTime::setCallbackNotifier(CallbackNotifier notifier) {
    m_notifier = std::move(notifier);
}

void RunTime::tick(std::chrono::steady_clock::time_point now) {
    for (auto& [name, federation] : m_federations) federation->tick(now);
}

std::optional<std::chrono::steady_clock::time_point> RunTime::nextTick() const {
    std::optional<std::chrono::steady_clock::time_point> next;
    for (const auto& [name, federation] : m_federations) {
        const auto due = federation->nextTick();
        if (due && (!next || *due < *next)) next = due;
    }
    return next;
}

void RunTime::createFederationExecution(const std::string& name,
                                        FederationDescription description) {
    if (name.empty()) {
        throw Error(ErrorKind::InvalidName, "a federation execution needs a name");
    }
    if (m_federations.count(name) != 0) {
        throw Error(ErrorKind::FederationExecutionAlreadyExists,
                    "federation execution \"" + name + "\" already exists");
    }
    auto shared =
        std::make_shared<const FederationDescription>(hla::withStandardMim(std::move(description)));
    m_federations.emplace(name, std::make_unique<Federation>(name, std::move(shared), m_notifier));
}

void RunTime::destroyFederationExecution(const std::string& name) {
    const auto it = m_federations.find(name);
    if (it == m_federations.end()) {
        throw Error(ErrorKind::FederationExecutionDoesNotExist,
                    "federation execution \"" + name + "\" does not exist");
    }
    if (it->second->hasMembers()) {
        throw Error(ErrorKind::FederatesCurrentlyJoined,
                    "federation execution \"" + name + "\" still has " +
                        std::to_string(it->second->memberCount()) + " joined federate(s)");
    }
    m_federations.erase(it);
}

bool RunTime::federationExecutionExists(const std::string& name) const {
    return m_federations.count(name) != 0;
}

FederateHandle RunTime::joinFederationExecution(const std::string& federateType,
                                                const std::string& federationName,
                                                LogicalTime initialTime,
                                                const FederationDescription* modules,
                                                const std::string& federateName) {
    const auto it = m_federations.find(federationName);
    if (it == m_federations.end()) {
        throw Error(ErrorKind::FederationExecutionDoesNotExist,
                    "federation execution \"" + federationName + "\" does not exist");
    }
    const auto handle = static_cast<FederateHandle>(m_nextFederate);
    it->second->join(handle, federateName, federateType, initialTime, modules);
    ++m_nextFederate;
    m_membership.emplace(handle, it->second.get());
    return handle;
}

void RunTime::resignFederationExecution(FederateHandle federate, ResignAction action) {
    forward(federate, &Federation::resign, action);
    m_membership.erase(federate);
}

void RunTime::reportFederateLost(FederateHandle federate, const std::string& fault) {
    forward(federate, &Federation::federateLost, fault);
}

void RunTime::registerFederationSynchronizationPoint(FederateHandle federate,
                                                     const std::string& label,
                                                     const std::string& tag) {
    forward(federate, &SyncPointService::registerSynchronizationPoint, label, tag);
}

void RunTime::synchronizationPointAchieved(FederateHandle federate, const std::string& label) {
    forward(federate, &SyncPointService::synchronizationPointAchieved, label);
}

void RunTime::publishObjectClass(FederateHandle federate, ObjectClassHandle cls,
                                 const AttributeSet& attributes) {
    forward(federate, &DeclarationService::publishObjectClass, cls, attributes);
}

void RunTime::unpublishObjectClass(FederateHandle federate, ObjectClassHandle cls) {
    forward(federate, &DeclarationService::publishObjectClass, cls, AttributeSet{});
}

void RunTime::subscribeObjectClassAttributes(FederateHandle federate, ObjectClassHandle cls,
                                             const AttributeSet& attributes) {
    forwardChanging(federate, &DeclarationService::subscribeObjectClassAttributes, cls, attributes);
}

void RunTime::unsubscribeObjectClass(FederateHandle federate, ObjectClassHandle cls) {
    forwardChanging(federate, &DeclarationService::subscribeObjectClassAttributes, cls,
                    AttributeSet{});
}

void RunTime::publishInteractionClass(FederateHandle federate, InteractionClassHandle cls) {
    forward(federate, &DeclarationService::publishInteractionClass, cls, true);
}

void RunTime::unpublishInteractionClass(FederateHandle federate, InteractionClassHandle cls) {
    forward(federate, &DeclarationService::publishInteractionClass, cls, false);
}

void RunTime::subscribeInteractionClass(FederateHandle federate, InteractionClassHandle cls) {
    forward(federate, &DeclarationService::subscribeInteractionClass, cls, true);
}

void RunTime::unsubscribeInteractionClass(FederateHandle federate, InteractionClassHandle cls) {
    forward(federate, &DeclarationService::subscribeInteractionClass, cls, false);
}

ObjectInstanceHandle RunTime::registerObjectInstance(FederateHandle federate, ObjectClassHandle cls,
                                                     const std::string& name) {
    return forward(federate, &ObjectRouting::registerObjectInstance, cls, name);
}

void RunTime::updateAttributeValues(FederateHandle federate, ObjectInstanceHandle object,
                                    const AttributeValues& values, const std::string& tag,
                                    std::optional<LogicalTime> time) {
    forward(federate, &ObjectRouting::updateAttributeValues, object, values, tag, time);
}

void RunTime::sendInteraction(FederateHandle federate, InteractionClassHandle cls,
                              const ParameterValues& values, const std::string& tag,
                              std::optional<LogicalTime> time) {
    forward(federate, &ObjectRouting::sendInteraction, cls, values, tag, time);
    federationOf(federate).managementInteraction(cls, values);
}

void RunTime::deleteObjectInstance(FederateHandle federate, ObjectInstanceHandle object,
                                   const std::string& tag, std::optional<LogicalTime> time) {
    forward(federate, &ObjectRouting::deleteObjectInstance, object, tag, time);
}

void RunTime::requestAttributeValueUpdate(FederateHandle federate, ObjectInstanceHandle object,
                                          const AttributeSet& attributes, const std::string& tag) {
    forward(federate, &Federation::requestInstanceUpdate, object, attributes, tag);
}

void RunTime::requestAttributeValueUpdate(FederateHandle federate, ObjectClassHandle cls,
                                          const AttributeSet& attributes, const std::string& tag) {
    forward(federate, &Federation::requestClassUpdate, cls, attributes, tag);
}

void RunTime::unconditionalAttributeOwnershipDivestiture(FederateHandle federate,
                                                         ObjectInstanceHandle object,
                                                         const AttributeSet& attributes) {
    forward(federate, &OwnershipService::unconditionalAttributeOwnershipDivestiture, object,
            attributes);
}

void RunTime::attributeOwnershipAcquisition(FederateHandle federate, ObjectInstanceHandle object,
                                            const AttributeSet& attributes,
                                            const std::string& tag) {
    forward(federate, &OwnershipService::attributeOwnershipAcquisition, object, attributes, tag);
}

void RunTime::attributeOwnershipAcquisitionIfAvailable(FederateHandle federate,
                                                       ObjectInstanceHandle object,
                                                       const AttributeSet& attributes) {
    forward(federate, &OwnershipService::attributeOwnershipAcquisitionIfAvailable, object,
            attributes);
}

AttributeSet RunTime::attributeOwnershipReleaseResponse(FederateHandle federate,
                                                        ObjectInstanceHandle object,
                                                        const AttributeSet& attributes) {
    return forward(federate, &OwnershipService::attributeOwnershipReleaseResponse, object,
                   attributes);
}

void RunTime::cancelAttributeOwnershipAcquisition(FederateHandle federate,
                                                  ObjectInstanceHandle object,
                                                  const AttributeSet& attributes) {
    forward(federate, &OwnershipService::cancelAttributeOwnershipAcquisition, object, attributes);
}

void RunTime::queryAttributeOwnership(FederateHandle federate, ObjectInstanceHandle object,
                                      AttributeHandle attribute) {
    forward(federate, &OwnershipService::queryAttributeOwnership, object, attribute);
}

bool RunTime::isAttributeOwnedByFederate(FederateHandle federate, ObjectInstanceHandle object,
                                         AttributeHandle attribute) {
    return forward(federate, &OwnershipService::isAttributeOwnedByFederate, object, attribute);
}

std::string RunTime::federationNameOf(FederateHandle federate) {
    return federationOf(federate).name();
}

bool RunTime::evokeCallback(FederateHandle federate, FederateAmbassador& ambassador) {
    if (m_inCallback) {
        throw Error(ErrorKind::CallNotAllowedFromWithinCallback,
                    "callbacks cannot be evoked from inside a callback");
    }
    std::optional<Callback> callback = forward(federate, &Federation::nextCallback);
    if (!callback) return false;
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{m_inCallback = true};
    // The ambassador may resign the federate or destroy the federation: touch nothing after.
    dispatch(std::move(*callback), ambassador);
    return true;
}

std::size_t RunTime::pendingCallbackCount(FederateHandle federate) {
    return forward(federate, &Federation::pendingCallbacks);
}

Federation& RunTime::federationOf(FederateHandle federate) {
    const auto it = m_membership.find(federate);
    if (it == m_membership.end()) {
        throw Error(ErrorKind::FederateNotExecutionMember,
                    toString(federate) + " is not joined to a federation execution");
    }
    return *it->second;
}

}  // namespace rti
