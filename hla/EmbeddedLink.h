#pragma once

#include "hla/RunTimeHost.h"
#include "hla/RunTimeLink.h"

#include <memory>

namespace hla {

// Creates the federation execution from description unless it exists, and joins it through
// the embedded run-time of this process. Throws rti::Error; a federation it created and left
// empty is destroyed again.
std::unique_ptr<RunTimeLink> joinEmbedded(std::shared_ptr<RunTimeHost> host,
                                          const std::string& federation,
                                          const std::string& federate,
                                          rti::FederationDescription description,
                                          rti::LogicalTime initialTime);

// The embedded run-time as one joined federate sees it.
class EmbeddedLink : public RunTimeLink {
public:
    EmbeddedLink(std::shared_ptr<RunTimeHost> host, rti::FederateHandle self,
                 std::string federation);
    ~EmbeddedLink() override;

    std::string runTimeName() const override { return "embedded run-time"; }
    const rti::FederationDescription& description() const override { return *m_description; }
    void resign() override;

    void registerSynchronizationPoint(const std::string& label) override;
    void synchronizationPointAchieved(const std::string& label) override;

    void publishObjectClass(rti::ObjectClassHandle cls,
                            const rti::AttributeSet& attributes) override;
    void unpublishObjectClass(rti::ObjectClassHandle cls) override;
    void subscribeObjectClassAttributes(rti::ObjectClassHandle cls,
                                        const rti::AttributeSet& attributes) override;
    void unsubscribeObjectClass(rti::ObjectClassHandle cls) override;
    void publishInteractionClass(rti::InteractionClassHandle cls) override;
    void unpublishInteractionClass(rti::InteractionClassHandle cls) override;
    void subscribeInteractionClass(rti::InteractionClassHandle cls) override;
    void unsubscribeInteractionClass(rti::InteractionClassHandle cls) override;

    rti::ObjectInstanceHandle registerObjectInstance(rti::ObjectClassHandle cls,
                                                     const std::string& name) override;
    std::optional<rti::ObjectInstanceHandle> findObjectInstance(const std::string& name) override;
    void updateAttributeValues(rti::ObjectInstanceHandle object, const rti::AttributeValues& values,
                               std::optional<rti::LogicalTime> time) override;
    void sendInteraction(rti::InteractionClassHandle cls, const rti::ParameterValues& values,
                         std::optional<rti::LogicalTime> time) override;
    void deleteObjectInstance(rti::ObjectInstanceHandle object) override;

    void unconditionalAttributeOwnershipDivestiture(rti::ObjectInstanceHandle object,
                                                    const rti::AttributeSet& attributes) override;
    void attributeOwnershipAcquisition(rti::ObjectInstanceHandle object,
                                       const rti::AttributeSet& attributes) override;
    void attributeOwnershipAcquisitionIfAvailable(rti::ObjectInstanceHandle object,
                                                  const rti::AttributeSet& attributes) override;
    rti::AttributeSet attributeOwnershipReleaseResponse(
        rti::ObjectInstanceHandle object, const rti::AttributeSet& attributes) override;
    bool isAttributeOwnedByFederate(rti::ObjectInstanceHandle object,
                                    rti::AttributeHandle attribute) override;

    void enableTimeRegulation(rti::LogicalTime time, rti::LogicalTime lookahead) override;
    void enableTimeConstrained() override;
    void enableAsynchronousDelivery() override;
    void timeAdvanceRequest(rti::LogicalTime time) override;
    void nextEventRequest(rti::LogicalTime time) override;
    void flushQueueRequest(rti::LogicalTime time) override;
    void modifyLookahead(rti::LogicalTime lookahead) override;
    rti::LogicalTime queryFederateTime() override;
    rti::LogicalTime queryLBTS() override;
    rti::LogicalTime queryMinNextEventTime() override;
    rti::LogicalTime queryLookahead() override;
    bool isTimeRegulating() override;

    void setWaker(std::function<void()> wake) override;
    bool needsPolling() const override { return false; }
    bool evokeCallback(RunTimeCallbacks& callbacks) override;
    bool callbacksPending() override;

private:
    rti::RunTime& rt() { return m_host->runTime(); }

    std::shared_ptr<RunTimeHost> m_host;
    rti::FederateHandle m_self;
    std::string m_federation;
    std::shared_ptr<const rti::FederationDescription> m_description;
    bool m_joined = true;
};

}  // namespace hla
