#pragma once

#include "platform/links/RunTimeLink.h"
#include "platform/links/embedded/RunTimeHost.h"

#include <memory>

namespace links {

// Creates the federation execution from description unless it exists, and joins it through
// the embedded run-time of this process. Throws hla::Error; a federation it created and left
// empty is destroyed again.
std::unique_ptr<RunTimeLink> joinEmbedded(std::shared_ptr<RunTimeHost> host,
                                          const std::string& federation,
                                          const std::string& federate,
                                          hla::FederationDescription description,
                                          hla::LogicalTime initialTime);

// The embedded run-time as one joined federate sees it.
class EmbeddedLink : public RunTimeLink {
public:
    EmbeddedLink(std::shared_ptr<RunTimeHost> host, hla::FederateHandle self,
                 std::string federation);
    ~EmbeddedLink() override;

    std::string runTimeName() const override { return "embedded run-time"; }
    const hla::FederationDescription& description() const override { return *m_description; }
    // The run-time's handles are the description's.
    std::optional<hla::Bytes> momHandle(hla::InteractionClassHandle cls) override;
    std::optional<hla::Bytes> momHandle(hla::ObjectClassHandle cls) override;
    std::optional<hla::Bytes> momHandle(hla::ObjectClassHandle cls,
                                        hla::AttributeHandle attribute) override;
    void resign() override;
    void reportLost(const std::string& fault) override;

    void registerSynchronizationPoint(const std::string& label) override;
    void synchronizationPointAchieved(const std::string& label) override;

    void publishObjectClass(hla::ObjectClassHandle cls,
                            const hla::AttributeSet& attributes) override;
    void unpublishObjectClass(hla::ObjectClassHandle cls) override;
    void subscribeObjectClassAttributes(hla::ObjectClassHandle cls,
                                        const hla::AttributeSet& attributes) override;
    void unsubscribeObjectClass(hla::ObjectClassHandle cls) override;
    void publishInteractionClass(hla::InteractionClassHandle cls) override;
    void unpublishInteractionClass(hla::InteractionClassHandle cls) override;
    void subscribeInteractionClass(hla::InteractionClassHandle cls) override;
    void unsubscribeInteractionClass(hla::InteractionClassHandle cls) override;

    hla::ObjectInstanceHandle registerObjectInstance(hla::ObjectClassHandle cls,
                                                     const std::string& name) override;
    std::optional<hla::ObjectInstanceHandle> findObjectInstance(const std::string& name) override;
    void updateAttributeValues(hla::ObjectInstanceHandle object, const hla::AttributeValues& values,
                               std::optional<hla::LogicalTime> time) override;
    void sendInteraction(hla::InteractionClassHandle cls, const hla::ParameterValues& values,
                         std::optional<hla::LogicalTime> time) override;
    void deleteObjectInstance(hla::ObjectInstanceHandle object) override;

    void unconditionalAttributeOwnershipDivestiture(hla::ObjectInstanceHandle object,
                                                    const hla::AttributeSet& attributes) override;
    void attributeOwnershipAcquisition(hla::ObjectInstanceHandle object,
                                       const hla::AttributeSet& attributes) override;
    void attributeOwnershipAcquisitionIfAvailable(hla::ObjectInstanceHandle object,
                                                  const hla::AttributeSet& attributes) override;
    hla::AttributeSet attributeOwnershipReleaseResponse(
        hla::ObjectInstanceHandle object, const hla::AttributeSet& attributes) override;
    bool isAttributeOwnedByFederate(hla::ObjectInstanceHandle object,
                                    hla::AttributeHandle attribute) override;

    void enableTimeRegulation(hla::LogicalTime time, hla::LogicalTime lookahead) override;
    void enableTimeConstrained() override;
    void enableAsynchronousDelivery() override;
    void timeAdvanceRequest(hla::LogicalTime time) override;
    void nextEventRequest(hla::LogicalTime time) override;
    void flushQueueRequest(hla::LogicalTime time) override;
    void modifyLookahead(hla::LogicalTime lookahead) override;
    hla::LogicalTime queryFederateTime() override;
    hla::LogicalTime queryLBTS() override;
    hla::LogicalTime queryMinNextEventTime() override;
    hla::LogicalTime queryLookahead() override;
    bool isTimeRegulating() override;

    void setWaker(std::function<void()> wake) override;
    bool needsPolling() const override { return false; }
    bool evokeCallback(RunTimeCallbacks& callbacks) override;
    bool callbacksPending() override;

private:
    RunTimeHost::Access rt() { return m_host->access(); }

    std::shared_ptr<RunTimeHost> m_host;
    hla::FederateHandle m_self;
    std::string m_federation;
    std::shared_ptr<const hla::FederationDescription> m_description;
    bool m_joined = true;
};

}  // namespace links
