#include "platform/links/hla1516e/Hla1516eSession.h"

#include "platform/links/FomFiles.h"
#include "platform/links/hla1516e/Hla1516eConnection.h"

#include <RTI/time/HLAfloat64Interval.h>
#include <RTI/time/HLAfloat64Time.h>

#include <chrono>

namespace links {

namespace {

using Clock = std::chrono::steady_clock;
using rti1516e::HLAfloat64Interval;
using rti1516e::HLAfloat64Time;

// How long one evoke of the session's own waits may take, so that it checks its bound often.
constexpr double kWaitSlice = 0.01;

// The share of a link's bound that the session's own waits may take, so that they end, with a
// description of their own, before the link stops waiting for the session.
std::chrono::milliseconds innerBound(std::chrono::milliseconds bound) {
    return bound * 2 / 3;
}

std::string seconds(std::chrono::milliseconds bound) {
    return std::to_string(bound.count() / 1000) + "." + std::to_string(bound.count() % 1000 / 100) +
           " s";
}

// One federate's session with a 2010 RTI, single-threaded: it runs on its RTI thread, inside
// a ThreadedLink.
class Hla1516eSession final : public RunTimeLink {
public:
    explicit Hla1516eSession(const LinkRequest& request) : m_connection(request) {}

    void connect(const StepReport& step) { m_connection.connect(step); }
    void join(const std::vector<std::string>& modules, const StepReport& step) {
        m_connection.join(modules, step);
    }

    // A 2010 federate starts at time 0; it reaches its initial time by advancing there before
    // it regulates or is constrained, which is granted without waiting for anyone.
    void startAt(hla::LogicalTime initialTime) {
        if (initialTime <= 0) return;
        callbacks().expectStartGrant();
        m_connection.guarded("advancing to the initial time",
                             [&] { rti().timeAdvanceRequest(HLAfloat64Time(initialTime)); });
        const auto bound = innerBound(m_connection.bounds().open);
        if (!waitUntil(bound, [&] { return callbacks().startGranted(); })) {
            throw std::runtime_error("the RTI did not grant the initial time " +
                                     hla::formatTime(initialTime) + " within " + seconds(bound));
        }
    }

    std::string runTimeName() const override { return kHla1516eRunTimeName; }
    const hla::FederationDescription& description() const override {
        return m_connection.description();
    }

    void resign() override { m_connection.resign(); }

    void registerSynchronizationPoint(const std::string& label) override {
        guarded("registering synchronization point " + label, [&] {
            rti().registerFederationSynchronizationPoint(wide(label),
                                                         rti1516e::VariableLengthData());
        });
    }
    void synchronizationPointAchieved(const std::string& label) override {
        guarded("reporting synchronization point " + label + " achieved",
                [&] { rti().synchronizationPointAchieved(wide(label)); });
    }

    void publishObjectClass(hla::ObjectClassHandle cls,
                            const hla::AttributeSet& attributes) override {
        const auto set = handles().attributes(cls, attributes);
        guarded("publishing",
                [&] { rti().publishObjectClassAttributes(handles().objectClass(cls), set); });
    }
    void unpublishObjectClass(hla::ObjectClassHandle cls) override {
        guarded("unpublishing", [&] { rti().unpublishObjectClass(handles().objectClass(cls)); });
    }
    void subscribeObjectClassAttributes(hla::ObjectClassHandle cls,
                                        const hla::AttributeSet& attributes) override {
        const auto set = handles().attributes(cls, attributes);
        guarded("subscribing",
                [&] { rti().subscribeObjectClassAttributes(handles().objectClass(cls), set); });
    }
    void unsubscribeObjectClass(hla::ObjectClassHandle cls) override {
        guarded("unsubscribing", [&] { rti().unsubscribeObjectClass(handles().objectClass(cls)); });
    }
    void publishInteractionClass(hla::InteractionClassHandle cls) override {
        guarded("publishing",
                [&] { rti().publishInteractionClass(handles().interactionClass(cls)); });
    }
    void unpublishInteractionClass(hla::InteractionClassHandle cls) override {
        guarded("unpublishing",
                [&] { rti().unpublishInteractionClass(handles().interactionClass(cls)); });
    }
    void subscribeInteractionClass(hla::InteractionClassHandle cls) override {
        guarded("subscribing",
                [&] { rti().subscribeInteractionClass(handles().interactionClass(cls)); });
    }
    void unsubscribeInteractionClass(hla::InteractionClassHandle cls) override {
        guarded("unsubscribing",
                [&] { rti().unsubscribeInteractionClass(handles().interactionClass(cls)); });
    }

    hla::ObjectInstanceHandle registerObjectInstance(hla::ObjectClassHandle cls,
                                                     const std::string& name) override;
    std::optional<hla::ObjectInstanceHandle> findObjectInstance(const std::string& name) override {
        m_connection.failIfLost("looking up object " + name);
        try {
            return handles().localObject(rti().getObjectInstanceHandle(wide(name)));
        } catch (const rti1516e::ObjectInstanceNotKnown&) {
            return std::nullopt;
        } catch (const rti1516e::Exception&) {
            rethrowRti("looking up object " + name);
        }
    }
    void updateAttributeValues(hla::ObjectInstanceHandle object, const hla::AttributeValues& values,
                               std::optional<hla::LogicalTime> time) override {
        const auto handle = handles().rtiObject(object);
        const hla::ObjectClassHandle cls = objectClassOf(handle);
        rti1516e::AttributeHandleValueMap map;
        for (const auto& [attribute, bytes] : values) {
            map[handles().attribute(cls, attribute)] = dataOf(bytes);
        }
        guarded("updating", [&] {
            if (time) {
                rti().updateAttributeValues(handle, map, {}, HLAfloat64Time(*time));
            } else {
                rti().updateAttributeValues(handle, map, {});
            }
        });
    }
    void sendInteraction(hla::InteractionClassHandle cls, const hla::ParameterValues& values,
                         std::optional<hla::LogicalTime> time) override {
        rti1516e::ParameterHandleValueMap map;
        for (const auto& [parameter, bytes] : values) {
            map[handles().parameter(cls, parameter)] = dataOf(bytes);
        }
        const auto rtiClass = handles().interactionClass(cls);
        guarded("sending", [&] {
            if (time) {
                rti().sendInteraction(rtiClass, map, {}, HLAfloat64Time(*time));
            } else {
                rti().sendInteraction(rtiClass, map, {});
            }
        });
    }
    void deleteObjectInstance(hla::ObjectInstanceHandle object) override {
        const auto handle = handles().rtiObject(object);
        guarded("deleting", [&] { rti().deleteObjectInstance(handle, {}); });
        callbacks().deleted(handle);
    }

    void unconditionalAttributeOwnershipDivestiture(hla::ObjectInstanceHandle object,
                                                    const hla::AttributeSet& attributes) override {
        ownership("releasing attribute ownership", object, attributes,
                  [&](const auto& handle, const auto& set) {
                      rti().unconditionalAttributeOwnershipDivestiture(handle, set);
                  });
    }
    void attributeOwnershipAcquisition(hla::ObjectInstanceHandle object,
                                       const hla::AttributeSet& attributes) override {
        ownership("requesting attribute ownership", object, attributes,
                  [&](const auto& handle, const auto& set) {
                      rti().attributeOwnershipAcquisition(handle, set, {});
                  });
    }
    void attributeOwnershipAcquisitionIfAvailable(hla::ObjectInstanceHandle object,
                                                  const hla::AttributeSet& attributes) override {
        ownership("taking attribute ownership", object, attributes,
                  [&](const auto& handle, const auto& set) {
                      rti().attributeOwnershipAcquisitionIfAvailable(handle, set);
                  });
    }
    hla::AttributeSet attributeOwnershipReleaseResponse(
        hla::ObjectInstanceHandle object, const hla::AttributeSet& attributes) override {
        rti1516e::AttributeHandleSet divested;
        ownership("releasing attribute ownership on request", object, attributes,
                  [&](const auto& handle, const auto& set) {
                      rti().attributeOwnershipDivestitureIfWanted(handle, set, divested);
                  });
        return handles().localAttributes(objectClassOf(handles().rtiObject(object)), divested);
    }
    bool isAttributeOwnedByFederate(hla::ObjectInstanceHandle object,
                                    hla::AttributeHandle attribute) override {
        const auto handle = handles().rtiObject(object);
        const auto a = handles().attribute(objectClassOf(handle), attribute);
        return guarded("querying ownership",
                       [&] { return rti().isAttributeOwnedByFederate(handle, a); });
    }

    void enableTimeRegulation(hla::LogicalTime, hla::LogicalTime lookahead) override {
        // The federate regulates from its current time, which it reached when it started.
        guarded("enabling time regulation",
                [&] { rti().enableTimeRegulation(HLAfloat64Interval(lookahead)); });
        m_lookahead = lookahead;
    }
    void enableTimeConstrained() override {
        guarded("enabling time constraint", [&] { rti().enableTimeConstrained(); });
    }
    void enableAsynchronousDelivery() override {
        guarded("enabling asynchronous delivery", [&] { rti().enableAsynchronousDelivery(); });
    }
    void timeAdvanceRequest(hla::LogicalTime time) override {
        guarded("Time Advance Request", [&] { rti().timeAdvanceRequest(HLAfloat64Time(time)); });
    }
    void nextEventRequest(hla::LogicalTime time) override {
        guarded("Next Event Request", [&] { rti().nextMessageRequest(HLAfloat64Time(time)); });
    }
    void flushQueueRequest(hla::LogicalTime time) override {
        guarded("Flush Queue Request", [&] { rti().flushQueueRequest(HLAfloat64Time(time)); });
    }
    void modifyLookahead(hla::LogicalTime lookahead) override {
        guarded("changing the lookahead",
                [&] { rti().modifyLookahead(HLAfloat64Interval(lookahead)); });
        m_lookahead = lookahead;
    }
    hla::LogicalTime queryFederateTime() override {
        if (const auto delivered = callbacks().deliveredTime()) return *delivered;
        HLAfloat64Time time;
        guarded("querying the logical time", [&] { rti().queryLogicalTime(time); });
        return time.getTime();
    }
    // The greatest time the federation may still send to this federate: +infinity when no
    // other federate regulates.
    hla::LogicalTime queryLBTS() override {
        HLAfloat64Time time;
        const bool defined = guarded("querying LBTS", [&] { return rti().queryGALT(time); });
        return defined ? time.getTime() : hla::kInfiniteTime;
    }
    hla::LogicalTime queryMinNextEventTime() override {
        HLAfloat64Time time;
        const bool defined =
            guarded("querying the next event time", [&] { return rti().queryLITS(time); });
        return defined ? time.getTime() : hla::kInfiniteTime;
    }
    // The RTI has a lookahead only while the federate regulates; the one configured otherwise.
    hla::LogicalTime queryLookahead() override {
        if (!callbacks().regulating()) return m_lookahead;
        HLAfloat64Interval lookahead;
        guarded("querying the lookahead", [&] { rti().queryLookahead(lookahead); });
        return lookahead.getInterval();
    }
    bool isTimeRegulating() override { return callbacks().regulating(); }
    // The RTI's encoding of its handles, which its management reports carry.
    std::optional<hla::Bytes> momHandle(hla::InteractionClassHandle cls) override {
        return encoded([&] { return handles().interactionClass(cls).encode(); });
    }
    std::optional<hla::Bytes> momHandle(hla::ObjectClassHandle cls) override {
        return encoded([&] { return handles().objectClass(cls).encode(); });
    }
    std::optional<hla::Bytes> momHandle(hla::ObjectClassHandle cls,
                                        hla::AttributeHandle attribute) override {
        return encoded([&] { return handles().attribute(cls, attribute).encode(); });
    }

    void setWaker(std::function<void()>) override {}
    bool needsPolling() const override { return true; }
    void poll() override { m_connection.poll(); }
    bool evokeCallback(RunTimeCallbacks& c) override { return callbacks().evoke(c); }
    bool callbacksPending() override { return callbacks().pending(); }

private:
    rti1516e::RTIambassador& rti() { return m_connection.ambassador(); }
    Hla1516eHandles& handles() { return m_connection.handles(); }
    Hla1516eCallbacks& callbacks() { return m_connection.callbacks(); }

    template <typename Call>
    auto guarded(const std::string& what, Call call) -> decltype(call()) {
        return m_connection.guarded(what, call);
    }
    template <typename Encode>
    static std::optional<hla::Bytes> encoded(Encode encode) {
        try {
            const rti1516e::VariableLengthData data = encode();
            const auto* bytes = static_cast<const std::uint8_t*>(data.data());
            return hla::Bytes(bytes, bytes + data.size());
        } catch (const std::exception&) {
            return std::nullopt;  // a class the RTI does not know is named in no report of it
        } catch (const rti1516e::Exception&) {
            return std::nullopt;
        }
    }
    // Evokes callbacks in slices until done() holds; false when the bound passes first.
    template <typename Done>
    bool waitUntil(std::chrono::milliseconds bound, Done done) {
        const auto end = Clock::now() + bound;
        while (!done()) {
            if (Clock::now() > end || callbacks().lost()) return false;
            m_connection.evokeFor(kWaitSlice);
        }
        return true;
    }
    // An ownership service, which an RTI may lack: its internal error becomes NotSupported.
    template <typename Call>
    void ownership(const std::string& what, hla::ObjectInstanceHandle object,
                   const hla::AttributeSet& attributes, Call call) {
        const auto handle = handles().rtiObject(object);
        const auto set = handles().attributes(objectClassOf(handle), attributes);
        m_connection.failIfLost(what);
        try {
            call(handle, set);
        } catch (const rti1516e::Exception&) {
            rethrowUnsupported(what);
        }
    }
    hla::ObjectClassHandle objectClassOf(const rti1516e::ObjectInstanceHandle& object) {
        const auto rtiClass = guarded("looking up an object",
                                      [&] { return rti().getKnownObjectClassHandle(object); });
        const auto local = handles().localObjectClass(rtiClass);
        if (!local) throw std::runtime_error("the object's class is not one this federate uses");
        return *local;
    }
    void reserveName(const std::string& name);

    Hla1516eConnection m_connection;
    hla::LogicalTime m_lookahead = 0;
};

// Registering under a name takes reserving it first, which the RTI answers by a callback.
void Hla1516eSession::reserveName(const std::string& name) {
    const std::wstring wanted = wide(name);
    callbacks().expectReservation(wanted);
    guarded("reserving object name " + name, [&] { rti().reserveObjectInstanceName(wanted); });
    const auto bound = innerBound(m_connection.bounds().call);
    const bool answered = waitUntil(bound, [&] {
        return callbacks().reservation(wanted) != Hla1516eCallbacks::Reservation::Pending;
    });
    const auto answer = callbacks().reservation(wanted);
    callbacks().forgetReservation(wanted);
    if (!answered) {
        try {
            rti().releaseObjectInstanceName(wanted);
        } catch (const rti1516e::Exception&) {
            // Not reserved (yet): a reservation that comes later lapses with the federate.
        }
        m_connection.failIfLost("registering object " + name);
        throw std::runtime_error("registering object " + name +
                                 ": the RTI did not answer the reservation of its name within " +
                                 seconds(bound));
    }
    if (answer == Hla1516eCallbacks::Reservation::Failed) {
        throw std::runtime_error("registering object " + name +
                                 ": the name is reserved or in use by another federate");
    }
}

hla::ObjectInstanceHandle Hla1516eSession::registerObjectInstance(hla::ObjectClassHandle cls,
                                                                  const std::string& name) {
    const auto rtiClass = handles().objectClass(cls);
    if (name.empty()) {
        const auto object = guarded("registering an object",
                                    [&] { return rti().registerObjectInstance(rtiClass); });
        callbacks().registered(object, cls);
        return handles().localObject(object);
    }
    reserveName(name);
    try {
        const auto object = guarded("registering object " + name, [&] {
            return rti().registerObjectInstance(rtiClass, wide(name));
        });
        callbacks().registered(object, cls);
        return handles().localObject(object);
    } catch (const std::runtime_error&) {
        try {
            rti().releaseObjectInstanceName(wide(name));
        } catch (const rti1516e::Exception&) {
            // Lapses with the federate.
        }
        throw;
    }
}

}  // namespace

std::unique_ptr<RunTimeLink> openHla1516eSession(const LinkRequest& request,
                                                 const StepReport& step) {
    auto session = std::make_unique<Hla1516eSession>(request);
    session->connect(step);
    {
        // Written once the RTI answers, which it may not do for long. It reads them while
        // creating or joining; files written for it go after.
        FomFiles files;
        session->join(files.xmlModules(request.modules, request.description), step);
    }
    step("advancing to the initial time " + hla::formatTime(request.initialTime));
    session->startAt(request.initialTime);  // a refusal resigns and disconnects as the session goes
    return session;
}

}  // namespace links
