#pragma once

#include "platform/links/RunTimeLink.h"
#include "platform/provider/Federate.h"

#include <memory>

namespace provider {

// Turns the run-time's callbacks for one federate into the controller's messages.
class Ambassador : public links::RunTimeCallbacks {
public:
    explicit Ambassador(std::shared_ptr<Federate> federate) : m_federate(std::move(federate)) {}

    void synchronizationPointRegistrationSucceeded(const std::string& label) override;
    void synchronizationPointRegistrationFailed(const std::string& label,
                                                const std::string& reason) override;
    void announceSynchronizationPoint(const std::string& label, const std::string& tag) override;
    void federationSynchronized(const std::string& label) override;

    void discoverObjectInstance(hla::ObjectInstanceHandle object, hla::ObjectClassHandle cls,
                                const std::string& name) override;
    void reflectAttributeValues(hla::ObjectInstanceHandle object,
                                const hla::AttributeValues& values, const std::string& tag,
                                std::optional<hla::LogicalTime> time) override;
    void receiveInteraction(hla::InteractionClassHandle cls, const hla::ParameterValues& values,
                            const std::string& tag, std::optional<hla::LogicalTime> time) override;
    void removeObjectInstance(hla::ObjectInstanceHandle object, const std::string& tag,
                              std::optional<hla::LogicalTime> time) override;

    void requestAttributeOwnershipRelease(hla::ObjectInstanceHandle object,
                                          const hla::AttributeSet& attributes,
                                          const std::string& tag) override;
    void attributeOwnershipAcquisitionNotification(hla::ObjectInstanceHandle object,
                                                   const hla::AttributeSet& attributes) override;
    void attributeOwnershipUnavailable(hla::ObjectInstanceHandle object,
                                       const hla::AttributeSet& attributes) override;

    void timeRegulationEnabled(hla::LogicalTime time) override;
    void timeConstrainedEnabled(hla::LogicalTime time) override;
    void timeAdvanceGrant(hla::LogicalTime time) override;

    void connectionLost(const std::string& reason) override;

private:
    void ownershipNotice(hla::ObjectInstanceHandle object, const hla::AttributeSet& attributes,
                         const QString& what);
    QString objectName(hla::ObjectInstanceHandle object) const;

    std::shared_ptr<Federate> m_federate;
};

}  // namespace provider
