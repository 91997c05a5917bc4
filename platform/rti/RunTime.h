#pragma once

// The HLA run-time of a process: every federation execution and every federate joined to
// one. The services follow the standard's; a federate is named by the handle its join gave.
// Every service throws hla::Error when refused and then changes nothing.
//
// Callbacks are never made from inside a service: they are queued per federate and handed
// out by evokeCallback, which the layer above calls from its event loop. Services may be
// called from inside a callback, evokeCallback may not. Not thread-safe: use one thread.

#include "platform/rti/Callback.h"
#include "platform/rti/Vocabulary.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

namespace rti {

class Federation;

class RunTime {
public:
    // Told when a federate's callback queue stops being empty, from inside the service that
    // caused it. It may only schedule a later evokeCallback; it must not call the run-time.
    using CallbackNotifier = std::function<void(FederateHandle)>;

    RunTime();
    ~RunTime();
    RunTime(const RunTime&) = delete;
    RunTime& operator=(const RunTime&) = delete;

    void setCallbackNotifier(CallbackNotifier notifier);
    // What the run-time does at a time rather than on a call (the management objects'
    // periodic updates): tick at nextTick(), or later; none while nothing is due.
    void tick(std::chrono::steady_clock::time_point now);
    std::optional<std::chrono::steady_clock::time_point> nextTick() const;

    // Federation management
    void createFederationExecution(const std::string& name, FederationDescription description);
    void destroyFederationExecution(const std::string& name);
    bool federationExecutionExists(const std::string& name) const;
    // modules: the joining federate's own description, merged into the standing one; a
    // conflict throws Error (InconsistentFdd) and leaves the federation as it was.
    FederateHandle joinFederationExecution(const std::string& federateType,
                                           const std::string& federationName,
                                           LogicalTime initialTime = 0,
                                           const FederationDescription* modules = nullptr,
                                           const std::string& federateName = {});
    void resignFederationExecution(
        FederateHandle federate,
        ResignAction action = ResignAction::DeleteObjectsAndReleaseAttributes);
    // The federate is lost (its process or session gone) and is about to be resigned for it:
    // the management model reports it, with fault as the description.
    void reportFederateLost(FederateHandle federate, const std::string& fault);
    void registerFederationSynchronizationPoint(FederateHandle federate, const std::string& label,
                                                const std::string& tag = {});
    void synchronizationPointAchieved(FederateHandle federate, const std::string& label);

    // Declaration management. Publishing or subscribing again replaces the attribute set.
    void publishObjectClass(FederateHandle federate, ObjectClassHandle cls,
                            const AttributeSet& attributes);
    void unpublishObjectClass(FederateHandle federate, ObjectClassHandle cls);
    void subscribeObjectClassAttributes(FederateHandle federate, ObjectClassHandle cls,
                                        const AttributeSet& attributes);
    void unsubscribeObjectClass(FederateHandle federate, ObjectClassHandle cls);
    void publishInteractionClass(FederateHandle federate, InteractionClassHandle cls);
    void unpublishInteractionClass(FederateHandle federate, InteractionClassHandle cls);
    void subscribeInteractionClass(FederateHandle federate, InteractionClassHandle cls);
    void unsubscribeInteractionClass(FederateHandle federate, InteractionClassHandle cls);

    // Object management. With a time, a regulating federate sends timestamp-order what its
    // description orders by timestamp; everything else travels in receive order.
    ObjectInstanceHandle registerObjectInstance(FederateHandle federate, ObjectClassHandle cls,
                                                const std::string& name = {});
    void updateAttributeValues(FederateHandle federate, ObjectInstanceHandle object,
                               const AttributeValues& values, const std::string& tag = {},
                               std::optional<LogicalTime> time = std::nullopt);
    void sendInteraction(FederateHandle federate, InteractionClassHandle cls,
                         const ParameterValues& values, const std::string& tag = {},
                         std::optional<LogicalTime> time = std::nullopt);
    void deleteObjectInstance(FederateHandle federate, ObjectInstanceHandle object,
                              const std::string& tag = {},
                              std::optional<LogicalTime> time = std::nullopt);
    // The owners of the attributes are asked to provide their values; the run-time's own
    // objects are reflected to the asker afresh.
    void requestAttributeValueUpdate(FederateHandle federate, ObjectInstanceHandle object,
                                     const AttributeSet& attributes, const std::string& tag = {});
    void requestAttributeValueUpdate(FederateHandle federate, ObjectClassHandle cls,
                                     const AttributeSet& attributes, const std::string& tag = {});

    // Ownership management
    void unconditionalAttributeOwnershipDivestiture(FederateHandle federate,
                                                    ObjectInstanceHandle object,
                                                    const AttributeSet& attributes);
    void attributeOwnershipAcquisition(FederateHandle federate, ObjectInstanceHandle object,
                                       const AttributeSet& attributes, const std::string& tag = {});
    void attributeOwnershipAcquisitionIfAvailable(FederateHandle federate,
                                                  ObjectInstanceHandle object,
                                                  const AttributeSet& attributes);
    // Gives the attributes that went to a federate asking for them; the rest stay owned.
    AttributeSet attributeOwnershipReleaseResponse(FederateHandle federate,
                                                   ObjectInstanceHandle object,
                                                   const AttributeSet& attributes);
    void cancelAttributeOwnershipAcquisition(FederateHandle federate, ObjectInstanceHandle object,
                                             const AttributeSet& attributes);
    void queryAttributeOwnership(FederateHandle federate, ObjectInstanceHandle object,
                                 AttributeHandle attribute);
    bool isAttributeOwnedByFederate(FederateHandle federate, ObjectInstanceHandle object,
                                    AttributeHandle attribute);

    // Time management. A regulator's lookahead must be greater than 0. Regulation starts at
    // the later of the time asked and the smallest time whose promise reaches no constrained
    // federate below its time; a constrained federate first takes the messages due before it.
    // A grant takes effect, and the next request is accepted, once the federate is handed it.
    void enableTimeRegulation(FederateHandle federate, LogicalTime time, LogicalTime lookahead);
    void disableTimeRegulation(FederateHandle federate);
    void enableTimeConstrained(FederateHandle federate);
    void disableTimeConstrained(FederateHandle federate);
    void enableAsynchronousDelivery(FederateHandle federate);
    void disableAsynchronousDelivery(FederateHandle federate);
    void timeAdvanceRequest(FederateHandle federate, LogicalTime time);
    void nextEventRequest(FederateHandle federate, LogicalTime time);
    void flushQueueRequest(FederateHandle federate, LogicalTime time);
    // A reduction takes effect only as far as it keeps every bound already promised.
    void modifyLookahead(FederateHandle federate, LogicalTime lookahead);
    LogicalTime queryFederateTime(FederateHandle federate);  // as of the last grant handed over
    LogicalTime queryLBTS(FederateHandle federate);          // +infinity with no other regulator
    LogicalTime queryMinNextEventTime(FederateHandle federate);
    LogicalTime queryLookahead(FederateHandle federate);
    // The time of the pending advance request, if any, until its grant is handed over.
    std::optional<LogicalTime> queryRequestedTime(FederateHandle federate);
    bool isTimeRegulating(FederateHandle federate);
    bool isTimeConstrained(FederateHandle federate);

    // Support services
    std::shared_ptr<const FederationDescription> description(FederateHandle federate);
    ObjectClassHandle getObjectClassHandle(FederateHandle federate, const std::string& fullName);
    AttributeHandle getAttributeHandle(FederateHandle federate, ObjectClassHandle cls,
                                       const std::string& name);
    InteractionClassHandle getInteractionClassHandle(FederateHandle federate,
                                                     const std::string& fullName);
    ParameterHandle getParameterHandle(FederateHandle federate, InteractionClassHandle cls,
                                       const std::string& name);
    ObjectInstanceHandle getObjectInstanceHandle(FederateHandle federate, const std::string& name);
    std::string getObjectInstanceName(FederateHandle federate, ObjectInstanceHandle object);
    ObjectClassHandle getObjectClass(FederateHandle federate, ObjectInstanceHandle object);
    std::string federationNameOf(FederateHandle federate);

    // Callbacks: hands the federate's next callback to the ambassador; false when none waits.
    bool evokeCallback(FederateHandle federate, FederateAmbassador& ambassador);
    std::size_t pendingCallbackCount(FederateHandle federate);

private:
    Federation& federationOf(FederateHandle federate);
    // Calls the service method on the federate's behalf in the federation it is joined to;
    // method belongs to Federation or one of its services.
    template <typename Method, typename... Args>
    decltype(auto) forward(FederateHandle federate, Method method, Args&&... args);
    // The same, for a service after which the management objects follow.
    template <typename Method, typename... Args>
    void forwardChanging(FederateHandle federate, Method method, Args&&... args);

    CallbackNotifier m_notifier;
    std::map<std::string, std::unique_ptr<Federation>> m_federations;
    std::unordered_map<FederateHandle, Federation*> m_membership;
    std::uint32_t m_nextFederate = 1;
    bool m_inCallback = false;
};

}  // namespace rti
