#pragma once

// The provider's view of its run-time, for one joined federate: the services it calls and the
// callbacks it is told. One implementation wraps the embedded run-time of this process, one an
// RTI of the standard 1.3 interface in other processes.

#include "platform/hla/FederateAmbassador.h"
#include "platform/hla/FederationDescription.h"
#include "platform/hla/Types.h"

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

namespace links {

// What one federate is told: the run-time's callbacks and the loss of the run-time itself.
class RunTimeCallbacks : public hla::FederateAmbassador {
public:
    // The run-time cannot be reached any more; every later service fails.
    virtual void connectionLost(const std::string& /*reason*/) {}
};

// A service that the run-time in use does not implement. Nothing has changed.
class NotSupported : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Handles are those of description(). Every service throws an exception derived from
// std::exception whose text is fit to show a person, and then has changed nothing.
class RunTimeLink {
public:
    virtual ~RunTimeLink() = default;

    // The run-time in use, as a person names it in a description ("embedded run-time").
    virtual std::string runTimeName() const = 0;
    virtual const hla::FederationDescription& description() const = 0;

    // Deletes the objects it may delete, releases the rest, leaves the federation and destroys
    // the execution when this was its last federate.
    virtual void resign() = 0;
    // The federate is lost (its client gone), not resigning of its own accord: a run-time that
    // can tell its management model so does, before the resign that follows. Others need not.
    virtual void reportLost(const std::string& /*fault*/) {}

    virtual void registerSynchronizationPoint(const std::string& label) = 0;
    virtual void synchronizationPointAchieved(const std::string& label) = 0;

    // Publishing or subscribing again replaces the attribute set.
    virtual void publishObjectClass(hla::ObjectClassHandle cls,
                                    const hla::AttributeSet& attributes) = 0;
    virtual void unpublishObjectClass(hla::ObjectClassHandle cls) = 0;
    virtual void subscribeObjectClassAttributes(hla::ObjectClassHandle cls,
                                                const hla::AttributeSet& attributes) = 0;
    virtual void unsubscribeObjectClass(hla::ObjectClassHandle cls) = 0;
    virtual void publishInteractionClass(hla::InteractionClassHandle cls) = 0;
    virtual void unpublishInteractionClass(hla::InteractionClassHandle cls) = 0;
    virtual void subscribeInteractionClass(hla::InteractionClassHandle cls) = 0;
    virtual void unsubscribeInteractionClass(hla::InteractionClassHandle cls) = 0;

    // With a time, the message travels in timestamp order; without, in receive order.
    virtual hla::ObjectInstanceHandle registerObjectInstance(hla::ObjectClassHandle cls,
                                                             const std::string& name) = 0;
    virtual std::optional<hla::ObjectInstanceHandle> findObjectInstance(
        const std::string& name) = 0;
    virtual void updateAttributeValues(hla::ObjectInstanceHandle object,
                                       const hla::AttributeValues& values,
                                       std::optional<hla::LogicalTime> time) = 0;
    virtual void sendInteraction(hla::InteractionClassHandle cls,
                                 const hla::ParameterValues& values,
                                 std::optional<hla::LogicalTime> time) = 0;
    virtual void deleteObjectInstance(hla::ObjectInstanceHandle object) = 0;

    virtual void unconditionalAttributeOwnershipDivestiture(
        hla::ObjectInstanceHandle object, const hla::AttributeSet& attributes) = 0;
    virtual void attributeOwnershipAcquisition(hla::ObjectInstanceHandle object,
                                               const hla::AttributeSet& attributes) = 0;
    virtual void attributeOwnershipAcquisitionIfAvailable(hla::ObjectInstanceHandle object,
                                                          const hla::AttributeSet& attributes) = 0;
    // Gives the attributes that went to a federate asking for them.
    virtual hla::AttributeSet attributeOwnershipReleaseResponse(
        hla::ObjectInstanceHandle object, const hla::AttributeSet& attributes) = 0;
    virtual bool isAttributeOwnedByFederate(hla::ObjectInstanceHandle object,
                                            hla::AttributeHandle attribute) = 0;

    virtual void enableTimeRegulation(hla::LogicalTime time, hla::LogicalTime lookahead) = 0;
    virtual void enableTimeConstrained() = 0;
    virtual void enableAsynchronousDelivery() = 0;
    virtual void timeAdvanceRequest(hla::LogicalTime time) = 0;
    virtual void nextEventRequest(hla::LogicalTime time) = 0;
    virtual void flushQueueRequest(hla::LogicalTime time) = 0;
    virtual void modifyLookahead(hla::LogicalTime lookahead) = 0;
    virtual hla::LogicalTime queryFederateTime() = 0;
    virtual hla::LogicalTime queryLBTS() = 0;  // +infinity with no other regulator
    virtual hla::LogicalTime queryMinNextEventTime() = 0;
    virtual hla::LogicalTime queryLookahead() = 0;
    virtual bool isTimeRegulating() = 0;

    // The octets the run-time's management reports name a class or an attribute by (the
    // content of their HLAhandle), to read those reports with; none where the link cannot
    // tell, or the run-time does not know it.
    virtual std::optional<hla::Bytes> momHandle(hla::InteractionClassHandle /*cls*/) {
        return std::nullopt;
    }
    virtual std::optional<hla::Bytes> momHandle(hla::ObjectClassHandle /*cls*/) {
        return std::nullopt;
    }
    virtual std::optional<hla::Bytes> momHandle(hla::ObjectClassHandle /*cls*/,
                                                hla::AttributeHandle /*attribute*/) {
        return std::nullopt;
    }

    // Callbacks. wake is told, from inside a service, that callbacks began to wait; it may
    // only schedule work. A run-time that cannot tell needs polling: poll() fetches what has
    // arrived without blocking, and it is the caller's part to poll often enough.
    virtual void setWaker(std::function<void()> wake) = 0;
    virtual bool needsPolling() const = 0;
    virtual void poll() {}
    // A descriptor that becomes readable when the run-time has sent something, so that a
    // polled link's thread can sleep until then; -1 when there is none to wait on.
    virtual int readableDescriptor() const { return -1; }
    // Whether a refusal of an update or an interaction comes back only later, thrown by a later
    // call: such a link's sends need not be waited for.
    virtual bool defersRefusals() const { return false; }
    // Hands the next waiting callback over; false when none waits.
    virtual bool evokeCallback(RunTimeCallbacks& callbacks) = 0;
    virtual bool callbacksPending() = 0;
};

}  // namespace links
