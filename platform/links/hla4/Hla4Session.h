#pragma once

// One federate's session with a Federate Protocol server as a run-time link: every service as
// its call, single-threaded and polled. It runs on its RTI thread, inside a ThreadedLink.

#include "platform/links/LinkPlugin.h"
#include "platform/links/RunTimeLink.h"
#include "platform/links/hla4/Hla4Connection.h"

#include <chrono>
#include <map>
#include <memory>
#include <string>

namespace links::hla4 {

class Hla4Session final : public RunTimeLink {
public:
    Hla4Session(const LinkRequest& request, Hla4Settings settings)
        : m_connection(request, std::move(settings)) {}

    void connect(const StepReport& step) { m_connection.connect(step); }
    void join(const std::vector<std::string>& modules, const StepReport& step) {
        m_connection.join(modules, step);
    }
    // A federate starts at time 0; it reaches its initial time by advancing there before it
    // regulates or is constrained, which is granted without waiting for anyone.
    void startAt(hla::LogicalTime initialTime);

    std::string runTimeName() const override { return kHla4RunTimeName; }
    const hla::FederationDescription& description() const override {
        return m_connection.description();
    }
    void resign() override { m_connection.resign(); }

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
    bool isTimeRegulating() override { return callbacks().regulating(); }
    // The server's own handle bytes, which its management reports carry.
    std::optional<hla::Bytes> momHandle(hla::InteractionClassHandle cls) override;
    std::optional<hla::Bytes> momHandle(hla::ObjectClassHandle cls) override;
    std::optional<hla::Bytes> momHandle(hla::ObjectClassHandle cls,
                                        hla::AttributeHandle attribute) override;

    void setWaker(std::function<void()>) override {}
    bool needsPolling() const override { return true; }
    void poll() override { m_connection.poll(); }
    int readableDescriptor() const override { return m_connection.descriptor(); }
    // The server answers a send later; its refusal is thrown by the next call.
    bool defersRefusals() const override { return true; }
    bool evokeCallback(RunTimeCallbacks& c) override { return callbacks().evoke(c); }
    bool callbacksPending() override { return callbacks().pending(); }

private:
    Hla4Handles& handles() { return m_connection.handles(); }
    Hla4Callbacks& callbacks() { return m_connection.callbacks(); }
    wire::CallResponse call(const wire::CallRequest& request, const std::string& what) {
        return m_connection.call(request, what);
    }
    // Takes what arrives until done() holds; false when the bound passes or the session is
    // lost first.
    template <typename Done>
    bool waitUntil(std::chrono::milliseconds bound, Done done);
    // The class an object of this federate's is known by: kept from its registration, or
    // asked of the server once.
    hla::ObjectClassHandle objectClassOf(const ObjectBytes& object);
    void reserveName(const std::string& name);
    void releaseName(const std::string& name);
    // An ownership service's request: the object and the attributes as the server knows them.
    template <class Request>
    void ownershipRequest(Request* request, hla::ObjectInstanceHandle object,
                          const hla::AttributeSet& attributes);
    // A time query's answer: +infinity when the server has none.
    hla::LogicalTime timeOrInfinity(const wire::TimeQueryReturn& answer) const;

    Hla4Connection m_connection;
    std::map<ObjectBytes, hla::ObjectClassHandle> m_objectClasses;
    hla::LogicalTime m_lookahead = 0;
};

// Opens a session with the Federate Protocol server of settings: connects, creates federation
// execution request.federation from the request's FOM modules unless it exists, joins it, and
// advances to the request's initial time. Runs on the calling thread, which must make every
// later call of the session; throws std::runtime_error describing the step that was refused,
// leaving nothing joined nor connected.
std::unique_ptr<RunTimeLink> openHla4Session(const LinkRequest& request,
                                             const Hla4Settings& settings, const StepReport& step);

}  // namespace links::hla4
