#pragma once

// What a federate is told by the run-time. The run-time never calls these from inside a
// service: it queues them, and RunTime::evokeCallback hands them out one at a time.
// Every method does nothing unless overridden.

#include "platform/hla/Types.h"

#include <optional>
#include <string>

namespace hla {

class FederateAmbassador {
public:
    virtual ~FederateAmbassador() = default;

    // Federation management
    virtual void synchronizationPointRegistrationSucceeded(const std::string& /*label*/) {}
    virtual void synchronizationPointRegistrationFailed(const std::string& /*label*/,
                                                        const std::string& /*reason*/) {}
    virtual void announceSynchronizationPoint(const std::string& /*label*/,
                                              const std::string& /*tag*/) {}
    virtual void federationSynchronized(const std::string& /*label*/) {}

    // Objects. time is set for timestamp-order deliveries only.
    virtual void discoverObjectInstance(ObjectInstanceHandle /*object*/,
                                        ObjectClassHandle /*knownClass*/,
                                        const std::string& /*name*/) {}
    virtual void reflectAttributeValues(ObjectInstanceHandle /*object*/,
                                        const AttributeValues& /*values*/,
                                        const std::string& /*tag*/,
                                        std::optional<LogicalTime> /*time*/) {}
    virtual void receiveInteraction(InteractionClassHandle /*interactionClass*/,
                                    const ParameterValues& /*values*/, const std::string& /*tag*/,
                                    std::optional<LogicalTime> /*time*/) {}
    virtual void removeObjectInstance(ObjectInstanceHandle /*object*/, const std::string& /*tag*/,
                                      std::optional<LogicalTime> /*time*/) {}

    // Ownership
    // Another federate asked for the current values of attributes this federate owns.
    virtual void provideAttributeValueUpdate(ObjectInstanceHandle /*object*/,
                                             const AttributeSet& /*attributes*/,
                                             const std::string& /*tag*/) {}
    virtual void requestAttributeOwnershipRelease(ObjectInstanceHandle /*object*/,
                                                  const AttributeSet& /*attributes*/,
                                                  const std::string& /*tag*/) {}
    virtual void attributeOwnershipAcquisitionNotification(ObjectInstanceHandle /*object*/,
                                                           const AttributeSet& /*attributes*/) {}
    virtual void attributeOwnershipUnavailable(ObjectInstanceHandle /*object*/,
                                               const AttributeSet& /*attributes*/) {}
    virtual void confirmAttributeOwnershipAcquisitionCancellation(
        ObjectInstanceHandle /*object*/, const AttributeSet& /*attributes*/) {}
    virtual void informAttributeOwnership(ObjectInstanceHandle /*object*/,
                                          AttributeHandle /*attribute*/, FederateHandle /*owner*/) {
    }
    virtual void attributeIsNotOwned(ObjectInstanceHandle /*object*/,
                                     AttributeHandle /*attribute*/) {}

    // Time management
    virtual void timeRegulationEnabled(LogicalTime /*time*/) {}
    virtual void timeConstrainedEnabled(LogicalTime /*time*/) {}
    virtual void timeAdvanceGrant(LogicalTime /*time*/) {}
};

}  // namespace hla
