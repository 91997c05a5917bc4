#pragma once

// The run-time's callbacks for one federate as the protocol's callback requests.

#include "platform/fedpro/messages/FederateAmbassador.pb.h"
#include "platform/fedpro/server/WireValues.h"
#include "platform/hla/FederateAmbassador.h"
#include "platform/hla/FederationDescription.h"

#include <memory>
#include <vector>

namespace fedpro::server {

class CallbackTranslator : public hla::FederateAmbassador {
public:
    // description: the federation's, for the transportation of what is delivered.
    CallbackTranslator(TimeKind time, std::shared_ptr<const hla::FederationDescription> description,
                       std::vector<pb::CallbackRequest>& out);

    void synchronizationPointRegistrationSucceeded(const std::string& label) override;
    void synchronizationPointRegistrationFailed(const std::string& label,
                                                const std::string& reason) override;
    void announceSynchronizationPoint(const std::string& label, const std::string& tag) override;
    void federationSynchronized(const std::string& label) override;

    void discoverObjectInstance(hla::ObjectInstanceHandle object, hla::ObjectClassHandle knownClass,
                                const std::string& name) override;
    void reflectAttributeValues(hla::ObjectInstanceHandle object,
                                const hla::AttributeValues& values, const std::string& tag,
                                std::optional<hla::LogicalTime> time) override;
    void receiveInteraction(hla::InteractionClassHandle interactionClass,
                            const hla::ParameterValues& values, const std::string& tag,
                            std::optional<hla::LogicalTime> time) override;
    void removeObjectInstance(hla::ObjectInstanceHandle object, const std::string& tag,
                              std::optional<hla::LogicalTime> time) override;

    void provideAttributeValueUpdate(hla::ObjectInstanceHandle object,
                                     const hla::AttributeSet& attributes,
                                     const std::string& tag) override;
    void requestAttributeOwnershipRelease(hla::ObjectInstanceHandle object,
                                          const hla::AttributeSet& attributes,
                                          const std::string& tag) override;
    void attributeOwnershipAcquisitionNotification(hla::ObjectInstanceHandle object,
                                                   const hla::AttributeSet& attributes) override;
    void attributeOwnershipUnavailable(hla::ObjectInstanceHandle object,
                                       const hla::AttributeSet& attributes) override;
    void confirmAttributeOwnershipAcquisitionCancellation(
        hla::ObjectInstanceHandle object, const hla::AttributeSet& attributes) override;
    void informAttributeOwnership(hla::ObjectInstanceHandle object, hla::AttributeHandle attribute,
                                  hla::FederateHandle owner) override;
    void attributeIsNotOwned(hla::ObjectInstanceHandle object,
                             hla::AttributeHandle attribute) override;

    void timeRegulationEnabled(hla::LogicalTime time) override;
    void timeConstrainedEnabled(hla::LogicalTime time) override;
    void timeAdvanceGrant(hla::LogicalTime time) override;

private:
    pb::CallbackRequest& next();
    hla::Transport transportOf(const hla::AttributeValues& values) const;
    hla::Transport transportOf(hla::InteractionClassHandle cls) const;

    TimeKind m_time;
    std::shared_ptr<const hla::FederationDescription> m_description;
    std::vector<pb::CallbackRequest>& m_out;
};

}  // namespace fedpro::server
