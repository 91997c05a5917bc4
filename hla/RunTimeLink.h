#pragma once

// The provider's view of its run-time, for one joined federate: the services it calls and the
// callbacks it is told. One implementation wraps the embedded run-time of this process, one an
// RTI of the standard 1.3 interface in other processes.

#include "rti/FederateAmbassador.h"
#include "rti/FederationDescription.h"
#include "rti/Types.h"

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

namespace hla {

// What one federate is told: the run-time's callbacks and the loss of the run-time itself.
class RunTimeCallbacks : public rti::FederateAmbassador {
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
    virtual const rti::FederationDescription& description() const = 0;

    // Deletes the objects it may delete, releases the rest, leaves the federation and destroys
    // the execution when this was its last federate.
    virtual void resign() = 0;

    virtual void registerSynchronizationPoint(const std::string& label) = 0;
    virtual void synchronizationPointAchieved(const std::string& label) = 0;

    // Publishing or subscribing again replaces the attribute set.
    virtual void publishObjectClass(rti::ObjectClassHandle cls,
                                    const rti::AttributeSet& attributes) = 0;
    virtual void unpublishObjectClass(rti::ObjectClassHandle cls) = 0;
    virtual void subscribeObjectClassAttributes(rti::ObjectClassHandle cls,
                                                const rti::AttributeSet& attributes) = 0;
    virtual void unsubscribeObjectClass(rti::ObjectClassHandle cls) = 0;
    virtual void publishInteractionClass(rti::InteractionClassHandle cls) = 0;
    virtual void unpublishInteractionClass(rti::InteractionClassHandle cls) = 0;
    virtual void subscribeInteractionClass(rti::InteractionClassHandle cls) = 0;
    virtual void unsubscribeInteractionClass(rti::InteractionClassHandle cls) = 0;

    // With a time, the message travels in timestamp order; without, in receive order.
    virtual rti::ObjectInstanceHandle registerObjectInstance(rti::ObjectClassHandle cls,
                                                             const std::string& name) = 0;
    virtual std::optional<rti::ObjectInstanceHandle> findObjectInstance(
        const std::string& name) = 0;
    virtual void updateAttributeValues(rti::ObjectInstanceHandle object,
                                       const rti::AttributeValues& values,
                                       std::optional<rti::LogicalTime> time) = 0;
    virtual void sendInteraction(rti::InteractionClassHandle cls,
                                 const rti::ParameterValues& values,
                                 std::optional<rti::LogicalTime> time) = 0;
    virtual void deleteObjectInstance(rti::ObjectInstanceHandle object) = 0;

    virtual void unconditionalAttributeOwnershipDivestiture(
        rti::ObjectInstanceHandle object, const rti::AttributeSet& attributes) = 0;
    virtual void attributeOwnershipAcquisition(rti::ObjectInstanceHandle object,
                                               const rti::AttributeSet& attributes) = 0;
    virtual void attributeOwnershipAcquisitionIfAvailable(rti::ObjectInstanceHandle object,
                                                          const rti::AttributeSet& attributes) = 0;
    // Gives the attributes that went to a federate asking for them.
    virtual rti::AttributeSet attributeOwnershipReleaseResponse(
        rti::ObjectInstanceHandle object, const rti::AttributeSet& attributes) = 0;
    virtual bool isAttributeOwnedByFederate(rti::ObjectInstanceHandle object,
                                            rti::AttributeHandle attribute) = 0;

    virtual void enableTimeRegulation(rti::LogicalTime time, rti::LogicalTime lookahead) = 0;
    virtual void enableTimeConstrained() = 0;
    virtual void enableAsynchronousDelivery() = 0;
    virtual void timeAdvanceRequest(rti::LogicalTime time) = 0;
    virtual void nextEventRequest(rti::LogicalTime time) = 0;
    virtual void flushQueueRequest(rti::LogicalTime time) = 0;
    virtual void modifyLookahead(rti::LogicalTime lookahead) = 0;
    virtual rti::LogicalTime queryFederateTime() = 0;
    virtual rti::LogicalTime queryLBTS() = 0;  // +infinity with no other regulator
    virtual rti::LogicalTime queryMinNextEventTime() = 0;
    virtual rti::LogicalTime queryLookahead() = 0;
    virtual bool isTimeRegulating() = 0;

    // Callbacks. wake is told, from inside a service, that callbacks began to wait; it may
    // only schedule work. A run-time that cannot tell needs polling: poll() fetches what has
    // arrived without blocking, and it is the caller's part to poll often enough.
    virtual void setWaker(std::function<void()> wake) = 0;
    virtual bool needsPolling() const = 0;
    virtual void poll() {}
    // Hands the next waiting callback over; false when none waits.
    virtual bool evokeCallback(RunTimeCallbacks& callbacks) = 0;
    virtual bool callbacksPending() = 0;
};

}  // namespace hla
