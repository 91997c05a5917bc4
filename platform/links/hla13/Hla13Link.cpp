#include "platform/links/hla13/Hla13Link.h"

#include "platform/links/FomFiles.h"
#include "platform/links/hla13/Hla13Callbacks.h"
#include "platform/links/hla13/Hla13Handles.h"

#include <RTI.hh>
#include <fedtime.hh>

#include <chrono>
#include <memory>

namespace links {

namespace {

constexpr std::chrono::seconds kStartBound{10};
// Callbacks taken from the RTI in one poll at most.
constexpr int kTicksPerPoll = 256;

double timeOf(const RTIfedTime& time) {
    return time.getTime();
}

// One federate's session with a 1.3 RTI, single-threaded: it runs on its RTI thread, inside a
// ThreadedLink.
class Hla13Session final : public RunTimeLink {
public:
    Hla13Session(std::string execution, hla::FederationDescription description)
        : m_execution(std::move(execution)),
          m_description(std::move(description)),
          m_handles(m_ambassador, m_description),
          m_callbacks(m_handles) {}

    ~Hla13Session() override {
        try {
            Hla13Session::resign();
        } catch (const std::exception&) {
            // Left without a close; the RTI resigns a federate whose connection ends.
        }
    }

    void join(const std::string& federate, const std::string& fedPath, const StepReport& step) {
        bool created = false;
        step("connecting and creating federation execution " + m_execution);
        try {
            m_ambassador.createFederationExecution(m_execution.c_str(), fedPath.c_str());
            created = true;
        } catch (const RTI::FederationExecutionAlreadyExists&) {
            // Joined below with the description that already stands.
        } catch (const RTI::Exception&) {
            rethrowRti("the RTI at " + m_execution +
                       " could not be reached or refused to "
                       "create the federation execution");
        }
        step("joining federation execution " + m_execution);
        try {
            m_ambassador.joinFederationExecution(federate.c_str(), m_execution.c_str(),
                                                 &m_callbacks);
        } catch (const RTI::Exception&) {
            if (created) {
                try {
                    m_ambassador.destroyFederationExecution(m_execution.c_str());
                } catch (const RTI::Exception&) {
                    // Someone joined meanwhile: the execution is theirs now.
                }
            }
            rethrowRti("the RTI refused to join " + m_execution);
        }
        m_joined = true;
    }

    // A 1.3 federate starts at time 0; it reaches its initial time by advancing there before
    // it regulates or is constrained, which is granted without waiting for anyone.
    void startAt(hla::LogicalTime initialTime) {
        if (initialTime <= 0) return;
        m_callbacks.expectStartGrant();
        guarded("advancing to the initial time",
                [&] { m_ambassador.timeAdvanceRequest(RTIfedTime(initialTime)); });
        const auto bound = std::chrono::steady_clock::now() + kStartBound;
        while (!m_callbacks.startGranted()) {
            if (std::chrono::steady_clock::now() > bound) {
                throw std::runtime_error("the RTI did not grant the initial time " +
                                         hla::formatTime(initialTime) + " within " +
                                         std::to_string(kStartBound.count()) + " s");
            }
            // Waits for the RTI in slices, never longer than the bound.
            guarded("advancing to the initial time", [&] { m_ambassador.tick(0.01, 0.05); });
        }
    }

    std::string runTimeName() const override { return kHla13RunTimeName; }
    const hla::FederationDescription& description() const override { return m_description; }

    void resign() override {
        if (!m_joined) return;
        try {
            if (!m_lost) {
                m_ambassador.resignFederationExecution(RTI::DELETE_OBJECTS_AND_RELEASE_ATTRIBUTES);
            }
        } catch (const RTI::FederateNotExecutionMember&) {
            // The RTI has let the federate go already (its connection ended).
        } catch (const RTI::Exception&) {
            // A connection that is gone leaves nothing to resign from; anything else stands.
            poll();
            if (!m_lost) rethrowRti("resigning");
        }
        m_joined = false;
        if (m_lost) return;
        try {
            m_ambassador.destroyFederationExecution(m_execution.c_str());
        } catch (const RTI::Exception&) {
            // Others are still joined, or the execution is gone already.
        }
    }

    void registerSynchronizationPoint(const std::string& label) override {
        guarded("registering synchronization point " + label,
                [&] { m_ambassador.registerFederationSynchronizationPoint(label.c_str(), ""); });
    }
    void synchronizationPointAchieved(const std::string& label) override {
        guarded("reporting synchronization point " + label + " achieved",
                [&] { m_ambassador.synchronizationPointAchieved(label.c_str()); });
    }

    void publishObjectClass(hla::ObjectClassHandle cls,
                            const hla::AttributeSet& attributes) override {
        const auto set = m_handles.attributes(cls, attributes);
        guarded("publishing",
                [&] { m_ambassador.publishObjectClass(m_handles.objectClass(cls), *set); });
    }
    void unpublishObjectClass(hla::ObjectClassHandle cls) override {
        guarded("unpublishing",
                [&] { m_ambassador.unpublishObjectClass(m_handles.objectClass(cls)); });
    }
    void subscribeObjectClassAttributes(hla::ObjectClassHandle cls,
                                        const hla::AttributeSet& attributes) override {
        const auto set = m_handles.attributes(cls, attributes);
        guarded("subscribing", [&] {
            m_ambassador.subscribeObjectClassAttributes(m_handles.objectClass(cls), *set);
        });
    }
    void unsubscribeObjectClass(hla::ObjectClassHandle cls) override {
        guarded("unsubscribing",
                [&] { m_ambassador.unsubscribeObjectClass(m_handles.objectClass(cls)); });
    }
    void publishInteractionClass(hla::InteractionClassHandle cls) override {
        guarded("publishing",
                [&] { m_ambassador.publishInteractionClass(m_handles.interactionClass(cls)); });
    }
    void unpublishInteractionClass(hla::InteractionClassHandle cls) override {
        guarded("unpublishing",
                [&] { m_ambassador.unpublishInteractionClass(m_handles.interactionClass(cls)); });
    }
    void subscribeInteractionClass(hla::InteractionClassHandle cls) override {
        guarded("subscribing",
                [&] { m_ambassador.subscribeInteractionClass(m_handles.interactionClass(cls)); });
    }
    void unsubscribeInteractionClass(hla::InteractionClassHandle cls) override {
        guarded("unsubscribing",
                [&] { m_ambassador.unsubscribeInteractionClass(m_handles.interactionClass(cls)); });
    }

    hla::ObjectInstanceHandle registerObjectInstance(hla::ObjectClassHandle cls,
                                                     const std::string& name) override {
        const RTI::ObjectClassHandle rtiClass = m_handles.objectClass(cls);
        const RTI::ObjectHandle object = guarded("registering object " + name, [&] {
            return m_ambassador.registerObjectInstance(rtiClass, name.c_str());
        });
        m_callbacks.registered(object, cls);
        return m_handles.localObject(object);
    }
    std::optional<hla::ObjectInstanceHandle> findObjectInstance(const std::string& name) override {
        try {
            return m_handles.localObject(m_ambassador.getObjectInstanceHandle(name.c_str()));
        } catch (const RTI::ObjectNotKnown&) {
            return std::nullopt;
        } catch (const RTI::Exception&) {
            rethrowRti("looking up object " + name);
        }
    }
    void updateAttributeValues(hla::ObjectInstanceHandle object, const hla::AttributeValues& values,
                               std::optional<hla::LogicalTime> time) override {
        const RTI::ObjectHandle handle = m_handles.rtiObject(object);
        const hla::ObjectClassHandle cls = objectClassOf(handle);
        std::unique_ptr<RTI::AttributeHandleValuePairSet> set(
            RTI::AttributeSetFactory::create(static_cast<RTI::ULong>(values.size())));
        for (const auto& [attribute, bytes] : values) {
            set->add(m_handles.attribute(cls, attribute),
                     reinterpret_cast<const char*>(bytes.data()),
                     static_cast<RTI::ULong>(bytes.size()));
        }
        guarded("updating", [&] {
            if (time) {
                m_ambassador.updateAttributeValues(handle, *set, RTIfedTime(*time), "");
            } else {
                m_ambassador.updateAttributeValues(handle, *set, "");
            }
        });
    }
    void sendInteraction(hla::InteractionClassHandle cls, const hla::ParameterValues& values,
                         std::optional<hla::LogicalTime> time) override {
        std::unique_ptr<RTI::ParameterHandleValuePairSet> set(
            RTI::ParameterSetFactory::create(static_cast<RTI::ULong>(values.size())));
        for (const auto& [parameter, bytes] : values) {
            set->add(m_handles.parameter(cls, parameter),
                     reinterpret_cast<const char*>(bytes.data()),
                     static_cast<RTI::ULong>(bytes.size()));
        }
        const RTI::InteractionClassHandle rtiClass = m_handles.interactionClass(cls);
        guarded("sending", [&] {
            if (time) {
                m_ambassador.sendInteraction(rtiClass, *set, RTIfedTime(*time), "");
            } else {
                m_ambassador.sendInteraction(rtiClass, *set, "");
            }
        });
    }
    void deleteObjectInstance(hla::ObjectInstanceHandle object) override {
        guarded("deleting",
                [&] { m_ambassador.deleteObjectInstance(m_handles.rtiObject(object), ""); });
        m_callbacks.deleted(m_handles.rtiObject(object));
    }

    void unconditionalAttributeOwnershipDivestiture(hla::ObjectInstanceHandle object,
                                                    const hla::AttributeSet& attributes) override {
        const auto set = objectAttributes(object, attributes);
        try {
            m_ambassador.unconditionalAttributeOwnershipDivestiture(m_handles.rtiObject(object),
                                                                    *set);
        } catch (const RTI::Exception&) {
            rethrowUnsupported("releasing attribute ownership");
        }
    }
    void attributeOwnershipAcquisition(hla::ObjectInstanceHandle object,
                                       const hla::AttributeSet& attributes) override {
        const auto set = objectAttributes(object, attributes);
        try {
            m_ambassador.attributeOwnershipAcquisition(m_handles.rtiObject(object), *set, "");
        } catch (const RTI::Exception&) {
            rethrowUnsupported("requesting attribute ownership");
        }
    }
    void attributeOwnershipAcquisitionIfAvailable(hla::ObjectInstanceHandle object,
                                                  const hla::AttributeSet& attributes) override {
        const auto set = objectAttributes(object, attributes);
        try {
            m_ambassador.attributeOwnershipAcquisitionIfAvailable(m_handles.rtiObject(object),
                                                                  *set);
        } catch (const RTI::Exception&) {
            rethrowUnsupported("taking attribute ownership");
        }
    }
    hla::AttributeSet attributeOwnershipReleaseResponse(
        hla::ObjectInstanceHandle object, const hla::AttributeSet& attributes) override {
        const auto set = objectAttributes(object, attributes);
        try {
            std::unique_ptr<RTI::AttributeHandleSet> released(
                m_ambassador.attributeOwnershipReleaseResponse(m_handles.rtiObject(object), *set));
            return released ? attributes : hla::AttributeSet{};
        } catch (const RTI::Exception&) {
            rethrowUnsupported("releasing attribute ownership on request");
        }
    }
    bool isAttributeOwnedByFederate(hla::ObjectInstanceHandle object,
                                    hla::AttributeHandle attribute) override {
        const RTI::ObjectHandle handle = m_handles.rtiObject(object);
        const RTI::AttributeHandle a = m_handles.attribute(objectClassOf(handle), attribute);
        return guarded("querying ownership", [&] {
            return m_ambassador.isAttributeOwnedByFederate(handle, a) == RTI::RTI_TRUE;
        });
    }

    void enableTimeRegulation(hla::LogicalTime time, hla::LogicalTime lookahead) override {
        guarded("enabling time regulation", [&] {
            m_ambassador.enableTimeRegulation(RTIfedTime(time), RTIfedTime(lookahead));
        });
    }
    void enableTimeConstrained() override {
        guarded("enabling time constraint", [&] { m_ambassador.enableTimeConstrained(); });
    }
    void enableAsynchronousDelivery() override {
        guarded("enabling asynchronous delivery",
                [&] { m_ambassador.enableAsynchronousDelivery(); });
    }
    void timeAdvanceRequest(hla::LogicalTime time) override {
        guarded("Time Advance Request", [&] { m_ambassador.timeAdvanceRequest(RTIfedTime(time)); });
    }
    void nextEventRequest(hla::LogicalTime time) override {
        guarded("Next Event Request", [&] { m_ambassador.nextEventRequest(RTIfedTime(time)); });
    }
    void flushQueueRequest(hla::LogicalTime time) override {
        guarded("Flush Queue Request", [&] { m_ambassador.flushQueueRequest(RTIfedTime(time)); });
    }
    void modifyLookahead(hla::LogicalTime lookahead) override {
        guarded("changing the lookahead",
                [&] { m_ambassador.modifyLookahead(RTIfedTime(lookahead)); });
    }
    hla::LogicalTime queryFederateTime() override {
        if (const auto delivered = m_callbacks.deliveredTime()) return *delivered;
        return query("querying the logical time", &RTI::RTIambassador::queryFederateTime);
    }
    hla::LogicalTime queryLBTS() override {
        return query("querying LBTS", &RTI::RTIambassador::queryLBTS);
    }
    hla::LogicalTime queryMinNextEventTime() override {
        return query("querying the next event time", &RTI::RTIambassador::queryMinNextEventTime);
    }
    hla::LogicalTime queryLookahead() override {
        return query("querying the lookahead", &RTI::RTIambassador::queryLookahead);
    }
    bool isTimeRegulating() override { return m_callbacks.regulating(); }

    void setWaker(std::function<void()>) override {}
    bool needsPolling() const override { return true; }
    void poll() override {
        if (!m_joined || m_lost) return;
        try {
            // Takes what has arrived and returns at once: the event loop must not wait here.
            // tick answers whether more callbacks wait; a bounded run of them keeps a flood
            // from being taken one per poll without holding the event loop.
            for (int i = 0; i < kTicksPerPoll && m_ambassador.tick(0.0, 0.0); ++i) {
            }
        } catch (const RTI::Exception& e) {
            m_lost = true;
            m_callbacks.connectionLost(describe(e));
        }
    }
    bool evokeCallback(RunTimeCallbacks& callbacks) override {
        return m_callbacks.evoke(callbacks);
    }
    bool callbacksPending() override { return m_callbacks.pending(); }

private:
    // Calls the RTI, its refusal described as "<what>: <exception>".
    template <typename Call>
    auto guarded(const std::string& what, Call call) -> decltype(call()) {
        if (m_lost) {
            throw std::runtime_error(what + ": the connection to the RTI at " + m_execution +
                                     " was lost; close the controller and open it again");
        }
        try {
            return call();
        } catch (const RTI::Exception&) {
            rethrowRti(what);
        }
    }
    hla::ObjectClassHandle objectClassOf(RTI::ObjectHandle object) {
        const RTI::ObjectClassHandle rtiClass =
            guarded("looking up an object", [&] { return m_ambassador.getObjectClass(object); });
        const auto local = m_handles.localObjectClass(rtiClass);
        if (!local) throw std::runtime_error("the object's class is not one this federate uses");
        return *local;
    }
    std::unique_ptr<RTI::AttributeHandleSet> objectAttributes(hla::ObjectInstanceHandle object,
                                                              const hla::AttributeSet& attributes) {
        return m_handles.attributes(objectClassOf(m_handles.rtiObject(object)), attributes);
    }
    hla::LogicalTime query(const std::string& what,
                           void (RTI::RTIambassador::*call)(RTI::FedTime&)) {
        RTIfedTime time;
        guarded(what, [&] { (m_ambassador.*call)(time); });
        if (time.isPositiveInfinity() == RTI::RTI_TRUE) return hla::kInfiniteTime;
        return timeOf(time);
    }

    std::string m_execution;
    hla::FederationDescription m_description;
    RTI::RTIambassador m_ambassador;
    Hla13Handles m_handles;
    Hla13Callbacks m_callbacks;
    bool m_joined = false;
    bool m_lost = false;
};

}  // namespace

std::unique_ptr<RunTimeLink> openHla13Session(const LinkRequest& request, const StepReport& step) {
    std::string execution = request.address;
    while (!execution.empty() && execution.back() == '/') execution.pop_back();
    execution += "/" + request.federation;
    auto session = std::make_unique<Hla13Session>(execution, request.description);
    {
        // The RTI reads the FED file while creating; a file written for it goes after joining.
        FomFiles files;
        session->join(request.federate, files.fedFile(request.modules, request.description), step);
    }
    step("advancing to the initial time " + hla::formatTime(request.initialTime));
    session->startAt(request.initialTime);  // a refusal resigns again as the session goes
    return session;
}

}  // namespace links
