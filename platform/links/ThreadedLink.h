#pragma once

#include "platform/links/LinkBounds.h"
#include "platform/links/RunTimeLink.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace links {

// Who a link is: the federate of a federation at an RTI, for the texts that describe it and to
// tell whether an earlier one of the same is still leaving.
struct LinkIdentity {
    std::string runTime;  // "HLA 1.3 run-time"
    std::string address;
    std::string federation;
    std::string federate;

    std::string key() const {
        return runTime + '\n' + address + '\n' + federation + '\n' + federate;
    }
};

// A bound as a person reads it: "15 s", "0.05 s".
std::string secondsText(std::chrono::milliseconds bound);

// Opens a session: connects, creates or joins, sets the federate up. Runs on the RTI thread.
using SessionOpener = std::function<std::unique_ptr<RunTimeLink>(const StepReport& step)>;

// A link to an RTI in another process: a session that makes every call of its ambassador on
// an RTI thread of its own, while the controller's thread hands work over and waits for each
// a bounded time. Callbacks are taken on the RTI thread and handed to the controller's thread
// in order.
//
// The session is a link of its own, single-threaded and polled: poll() takes what has
// arrived without blocking, evokeCallback() hands one callback on.
class ThreadedLink : public RunTimeLink {
public:
    // Opens on a new RTI thread and waits at most bounds.open. A session that opens later
    // than that is closed again as soon as it has; until then a second open of the same
    // federate is refused. Throws std::exception describing why the link could not be opened.
    static std::unique_ptr<RunTimeLink> open(const LinkIdentity& identity, SessionOpener opener,
                                             LinkBounds bounds = {});

    ~ThreadedLink() override;

    std::string runTimeName() const override;
    const hla::FederationDescription& description() const override;
    void resign() override;

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
    std::optional<hla::Bytes> momHandle(hla::InteractionClassHandle cls) override;
    std::optional<hla::Bytes> momHandle(hla::ObjectClassHandle cls) override;
    std::optional<hla::Bytes> momHandle(hla::ObjectClassHandle cls,
                                        hla::AttributeHandle attribute) override;

    void setWaker(std::function<void()> wake) override;
    bool needsPolling() const override { return false; }
    bool evokeCallback(RunTimeCallbacks& callbacks) override;
    bool callbacksPending() override;

    // Sends queued for a link that defers its refusals before the next waits for the thread.
    static constexpr std::size_t kMaxQueuedSends = 4096;

private:
    struct State;

    explicit ThreadedLink(std::shared_ptr<State> state);

    // Runs call(session) on the RTI thread within kCallBound.
    template <typename Call>
    auto onRti(const std::string& what, Call call) -> decltype(call(std::declval<RunTimeLink&>()));
    // For a session that defers its refusals, hands call(session) to the RTI thread without
    // waiting; what it throws is thrown by the link's next call. Otherwise as onRti.
    template <typename Call>
    void onRtiLater(const std::string& what, Call call);
    // Throws what a call handed over without waiting threw, once.
    void throwDeferred();
    // Lets the thread go: the session closes on it once it comes free.
    void letGo(std::chrono::milliseconds bound);

    std::shared_ptr<State> m_state;
};

}  // namespace links
