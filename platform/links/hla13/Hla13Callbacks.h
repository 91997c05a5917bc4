#pragma once

#include "platform/links/RunTimeLink.h"
#include "platform/links/TranslatedCallbacks.h"
#include "platform/links/hla13/Hla13Handles.h"

#include <NullFederateAmbassador.hh>

#include <string>

namespace links {

// Takes the callbacks of a 1.3 RTI during tick and keeps them, in order, until they are
// handed on outside tick (TranslatedCallbacks.h).
class Hla13Callbacks : public NullFederateAmbassador, public TranslatedCallbacks<Hla13Handles> {
public:
    using TranslatedCallbacks::TranslatedCallbacks;

    void connectionLost(const std::string& reason);

    void synchronizationPointRegistrationSucceeded(const char* label) override;
    void synchronizationPointRegistrationFailed(const char* label) override;
    void announceSynchronizationPoint(const char* label, const char* tag) override;
    void federationSynchronized(const char* label) override;

    void discoverObjectInstance(RTI::ObjectHandle object, RTI::ObjectClassHandle cls,
                                const char* name) override;
    void reflectAttributeValues(RTI::ObjectHandle object,
                                const RTI::AttributeHandleValuePairSet& values,
                                const RTI::FedTime& time, const char* tag,
                                RTI::EventRetractionHandle retraction) override;
    void reflectAttributeValues(RTI::ObjectHandle object,
                                const RTI::AttributeHandleValuePairSet& values,
                                const char* tag) override;
    void receiveInteraction(RTI::InteractionClassHandle cls,
                            const RTI::ParameterHandleValuePairSet& values,
                            const RTI::FedTime& time, const char* tag,
                            RTI::EventRetractionHandle retraction) override;
    void receiveInteraction(RTI::InteractionClassHandle cls,
                            const RTI::ParameterHandleValuePairSet& values,
                            const char* tag) override;
    void removeObjectInstance(RTI::ObjectHandle object, const RTI::FedTime& time, const char* tag,
                              RTI::EventRetractionHandle retraction) override;
    void removeObjectInstance(RTI::ObjectHandle object, const char* tag) override;

    void requestAttributeOwnershipRelease(RTI::ObjectHandle object,
                                          const RTI::AttributeHandleSet& attributes,
                                          const char* tag) override;
    void attributeOwnershipAcquisitionNotification(
        RTI::ObjectHandle object, const RTI::AttributeHandleSet& attributes) override;
    void attributeOwnershipUnavailable(RTI::ObjectHandle object,
                                       const RTI::AttributeHandleSet& attributes) override;

    void timeRegulationEnabled(const RTI::FedTime& time) override;
    void timeConstrainedEnabled(const RTI::FedTime& time) override;
    void timeAdvanceGrant(const RTI::FedTime& time) override;
};

}  // namespace links
