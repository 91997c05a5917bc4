#pragma once

#include "hla/Federate.h"
#include "hla/RunTimeLink.h"

#include <memory>

namespace hla {

// Turns the run-time's callbacks for one federate into the controller's messages.
class Ambassador : public RunTimeCallbacks {
public:
    explicit Ambassador(std::shared_ptr<Federate> federate) : m_federate(std::move(federate)) {}

    void synchronizationPointRegistrationSucceeded(const std::string& label) override;
    void synchronizationPointRegistrationFailed(const std::string& label,
                                                const std::string& reason) override;
    void announceSynchronizationPoint(const std::string& label, const std::string& tag) override;
    void federationSynchronized(const std::string& label) override;

    void discoverObjectInstance(rti::ObjectInstanceHandle object, rti::ObjectClassHandle cls,
                                const std::string& name) override;
    void reflectAttributeValues(rti::ObjectInstanceHandle object,
                                const rti::AttributeValues& values, const std::string& tag,
                                std::optional<rti::LogicalTime> time) override;
    void receiveInteraction(rti::InteractionClassHandle cls, const rti::ParameterValues& values,
                            const std::string& tag, std::optional<rti::LogicalTime> time) override;
    void removeObjectInstance(rti::ObjectInstanceHandle object, const std::string& tag,
                              std::optional<rti::LogicalTime> time) override;

    void requestAttributeOwnershipRelease(rti::ObjectInstanceHandle object,
                                          const rti::AttributeSet& attributes,
                                          const std::string& tag) override;
    void attributeOwnershipAcquisitionNotification(rti::ObjectInstanceHandle object,
                                                   const rti::AttributeSet& attributes) override;
    void attributeOwnershipUnavailable(rti::ObjectInstanceHandle object,
                                       const rti::AttributeSet& attributes) override;

    void timeRegulationEnabled(rti::LogicalTime time) override;
    void timeConstrainedEnabled(rti::LogicalTime time) override;
    void timeAdvanceGrant(rti::LogicalTime time) override;

    void connectionLost(const std::string& reason) override;

private:
    void ownershipNotice(rti::ObjectInstanceHandle object, const rti::AttributeSet& attributes,
                         const QString& what);
    QString objectName(rti::ObjectInstanceHandle object) const;

    std::shared_ptr<Federate> m_federate;
};

}  // namespace hla
