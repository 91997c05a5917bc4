#include "platform/links/ThreadedLink.h"

#include "platform/links/CallbackOutbox.h"
#include "platform/links/RtiThread.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <optional>
#include <set>

namespace links {

namespace {

// Federates whose open did not finish in time and that are still leaving their federation.
struct Leaving {
    std::mutex mutex;
    std::set<std::string> keys;

    static Leaving& all() {
        static Leaving leaving;
        return leaving;
    }
    bool contains(const std::string& key) {
        const std::lock_guard lock(mutex);
        return keys.count(key) != 0;
    }
    void add(const std::string& key) {
        const std::lock_guard lock(mutex);
        keys.insert(key);
    }
    void remove(const std::string& key) {
        const std::lock_guard lock(mutex);
        keys.erase(key);
    }
};

}  // namespace

std::string secondsText(std::chrono::milliseconds bound) {
    const auto ms = bound.count();
    if (ms % 1000 == 0) return std::to_string(ms / 1000) + " s";
    std::string fraction = std::to_string(ms % 1000);
    fraction.insert(0, 3 - fraction.size(), '0');
    while (fraction.back() == '0') fraction.pop_back();
    return std::to_string(ms / 1000) + "." + fraction + " s";
}

namespace {}  // namespace

// What the link and its RTI thread share: the thread keeps it alive as long as it runs.
struct ThreadedLink::State {
    LinkIdentity identity;
    std::unique_ptr<RunTimeLink> session;  // touched on the RTI thread only, after opening
    LinkBounds bounds;
    CallbackOutbox outbox;
    std::unique_ptr<RtiThread> thread;
    std::string runTimeName;
    const hla::FederationDescription* description = nullptr;

    std::mutex stepMutex;
    std::string step = "connecting";

    // Sends handed over without waiting (for a session that defers its refusals): how many
    // are queued, and the first failure not yet thrown.
    bool sendsLater = false;
    std::atomic<std::size_t> queuedSends{0};
    std::mutex deferredMutex;
    std::optional<std::string> deferred;

    // Takes what the RTI has sent and hands its callbacks on; on the RTI thread.
    bool takeCallbacks() {
        if (!session) return false;
        session->poll();
        bool any = false;
        while (session->evokeCallback(outbox.recorder())) any = true;
        return any;
    }
    std::string currentStep() {
        const std::lock_guard lock(stepMutex);
        return step;
    }
};

std::unique_ptr<RunTimeLink> ThreadedLink::open(const LinkIdentity& identity, SessionOpener opener,
                                                LinkBounds bounds) {
    const std::string key = identity.key();
    if (Leaving::all().contains(key)) {
        throw std::runtime_error("federate \"" + identity.federate +
                                 "\" is still leaving federation \"" + identity.federation +
                                 "\" at " + identity.address +
                                 " after an open that did not finish in time; try again once it "
                                 "has left, as soon as the RTI answers");
    }
    auto state = std::make_shared<State>();
    state->identity = identity;
    state->bounds = bounds;
    state->thread = std::make_unique<RtiThread>();
    RtiThread& thread = *state->thread;
    try {
        thread.run("opening", bounds.open, [state, opener = std::move(opener)] {
            auto session = opener([&state](const std::string& step) {
                const std::lock_guard lock(state->stepMutex);
                state->step = step;
            });
            state->runTimeName = session->runTimeName();
            state->sendsLater = session->defersRefusals();
            state->description = &session->description();
            state->session = std::move(session);
        });
    } catch (const RtiTimeout&) {
        const std::string step = state->currentStep();
        // Whatever the RTI answers late is undone on its thread: the session closes (resigns
        // and disconnects) as soon as it is there.
        Leaving::all().add(key);
        thread.stop(
            [state, key] {
                state->session.reset();
                Leaving::all().remove(key);
            },
            std::chrono::milliseconds(0));
        throw std::runtime_error(identity.runTime + " at " + identity.address + ": " + step +
                                 " did not answer within " + secondsText(bounds.open));
    } catch (...) {
        thread.stop([state] { state->session.reset(); }, bounds.resign);
        throw;
    }
    thread.setIdle([state] { return state->takeCallbacks(); });
    // Only a session with a connection to wait on changes how the thread waits.
    if (state->session && state->session->readableDescriptor() >= 0) {
        thread.setReadable(
            [state] { return state->session ? state->session->readableDescriptor() : -1; });
    }
    return std::unique_ptr<RunTimeLink>(new ThreadedLink(std::move(state)));
}

ThreadedLink::ThreadedLink(std::shared_ptr<State> state) : m_state(std::move(state)) {}

ThreadedLink::~ThreadedLink() {
    m_state->outbox.setWaker({});
    letGo(m_state->bounds.resign);
}

void ThreadedLink::letGo(std::chrono::milliseconds bound) {
    if (!m_state->thread) return;
    const bool ended = m_state->thread->stop([state = m_state] { state->session.reset(); }, bound);
    if (!ended) {
        std::fprintf(stderr,
                     "tandrel: the %s at %s did not answer within %s; the federate's connection "
                     "is dropped as soon as it does\n",
                     m_state->runTimeName.c_str(), m_state->identity.address.c_str(),
                     secondsText(bound).c_str());
    }
    m_state->thread.reset();
}

template <typename Call>
auto ThreadedLink::onRti(const std::string& what, Call call)
    -> decltype(call(std::declval<RunTimeLink&>())) {
    if (!m_state->thread) throw std::runtime_error(what + ": the federate has left the RTI");
    throwDeferred();
    return m_state->thread->run(what, m_state->bounds.call,
                                [state = m_state, call] { return call(*state->session); });
}

template <typename Call>
void ThreadedLink::onRtiLater(const std::string& what, Call call) {
    if (!m_state->sendsLater) return onRti(what, call);
    if (!m_state->thread) throw std::runtime_error(what + ": the federate has left the RTI");
    throwDeferred();
    // A thread that falls behind is waited for, within the call bound, before more is queued.
    if (m_state->queuedSends.load() >= kMaxQueuedSends) {
        onRti(what, [](RunTimeLink&) {});
    }
    ++m_state->queuedSends;
    m_state->thread->hand([state = m_state, what, call] {
        try {
            call(*state->session);
        } catch (const std::exception& e) {
            const std::lock_guard lock(state->deferredMutex);
            if (!state->deferred) state->deferred = e.what();
        }
        --state->queuedSends;
    });
}

void ThreadedLink::throwDeferred() {
    std::optional<std::string> failure;
    {
        const std::lock_guard lock(m_state->deferredMutex);
        failure.swap(m_state->deferred);
    }
    if (failure) throw std::runtime_error(*failure);
}

std::string ThreadedLink::runTimeName() const {
    return m_state->runTimeName;
}

const hla::FederationDescription& ThreadedLink::description() const {
    return *m_state->description;
}

void ThreadedLink::resign() {
    if (!m_state->thread) return;
    try {
        m_state->thread->run("resigning", m_state->bounds.resign,
                             [state = m_state] { state->session->resign(); });
    } catch (const RtiTimeout& e) {
        // Closing never strands the user: the federate is let go of, and the RTI takes the
        // connection that drops with it as its resignation.
        std::fprintf(stderr, "tandrel: %s; the controller is closed all the same\n", e.what());
        letGo(std::chrono::milliseconds(0));
    }
}

void ThreadedLink::registerSynchronizationPoint(const std::string& label) {
    onRti("registering a synchronization point",
          [label](RunTimeLink& s) { s.registerSynchronizationPoint(label); });
}

void ThreadedLink::synchronizationPointAchieved(const std::string& label) {
    onRti("reporting a synchronization point achieved",
          [label](RunTimeLink& s) { s.synchronizationPointAchieved(label); });
}

void ThreadedLink::publishObjectClass(hla::ObjectClassHandle cls,
                                      const hla::AttributeSet& attributes) {
    onRti("publishing",
          [cls, attributes](RunTimeLink& s) { s.publishObjectClass(cls, attributes); });
}

void ThreadedLink::unpublishObjectClass(hla::ObjectClassHandle cls) {
    onRti("unpublishing", [cls](RunTimeLink& s) { s.unpublishObjectClass(cls); });
}

void ThreadedLink::subscribeObjectClassAttributes(hla::ObjectClassHandle cls,
                                                  const hla::AttributeSet& attributes) {
    onRti("subscribing",
          [cls, attributes](RunTimeLink& s) { s.subscribeObjectClassAttributes(cls, attributes); });
}

void ThreadedLink::unsubscribeObjectClass(hla::ObjectClassHandle cls) {
    onRti("unsubscribing", [cls](RunTimeLink& s) { s.unsubscribeObjectClass(cls); });
}

void ThreadedLink::publishInteractionClass(hla::InteractionClassHandle cls) {
    onRti("publishing", [cls](RunTimeLink& s) { s.publishInteractionClass(cls); });
}

void ThreadedLink::unpublishInteractionClass(hla::InteractionClassHandle cls) {
    onRti("unpublishing", [cls](RunTimeLink& s) { s.unpublishInteractionClass(cls); });
}

void ThreadedLink::subscribeInteractionClass(hla::InteractionClassHandle cls) {
    onRti("subscribing", [cls](RunTimeLink& s) { s.subscribeInteractionClass(cls); });
}

void ThreadedLink::unsubscribeInteractionClass(hla::InteractionClassHandle cls) {
    onRti("unsubscribing", [cls](RunTimeLink& s) { s.unsubscribeInteractionClass(cls); });
}

hla::ObjectInstanceHandle ThreadedLink::registerObjectInstance(hla::ObjectClassHandle cls,
                                                               const std::string& name) {
    return onRti("registering an object",
                 [cls, name](RunTimeLink& s) { return s.registerObjectInstance(cls, name); });
}

std::optional<hla::ObjectInstanceHandle> ThreadedLink::findObjectInstance(const std::string& name) {
    return onRti("looking up an object",
                 [name](RunTimeLink& s) { return s.findObjectInstance(name); });
}

void ThreadedLink::updateAttributeValues(hla::ObjectInstanceHandle object,
                                         const hla::AttributeValues& values,
                                         std::optional<hla::LogicalTime> time) {
    onRtiLater("updating", [object, values, time](RunTimeLink& s) {
        s.updateAttributeValues(object, values, time);
    });
}

void ThreadedLink::sendInteraction(hla::InteractionClassHandle cls,
                                   const hla::ParameterValues& values,
                                   std::optional<hla::LogicalTime> time) {
    onRtiLater("sending",
               [cls, values, time](RunTimeLink& s) { s.sendInteraction(cls, values, time); });
}

void ThreadedLink::deleteObjectInstance(hla::ObjectInstanceHandle object) {
    onRti("deleting", [object](RunTimeLink& s) { s.deleteObjectInstance(object); });
}

void ThreadedLink::unconditionalAttributeOwnershipDivestiture(hla::ObjectInstanceHandle object,
                                                              const hla::AttributeSet& attributes) {
    onRti("releasing attribute ownership", [object, attributes](RunTimeLink& s) {
        s.unconditionalAttributeOwnershipDivestiture(object, attributes);
    });
}

void ThreadedLink::attributeOwnershipAcquisition(hla::ObjectInstanceHandle object,
                                                 const hla::AttributeSet& attributes) {
    onRti("acquiring attribute ownership", [object, attributes](RunTimeLink& s) {
        s.attributeOwnershipAcquisition(object, attributes);
    });
}

void ThreadedLink::attributeOwnershipAcquisitionIfAvailable(hla::ObjectInstanceHandle object,
                                                            const hla::AttributeSet& attributes) {
    onRti("acquiring attribute ownership", [object, attributes](RunTimeLink& s) {
        s.attributeOwnershipAcquisitionIfAvailable(object, attributes);
    });
}

hla::AttributeSet ThreadedLink::attributeOwnershipReleaseResponse(
    hla::ObjectInstanceHandle object, const hla::AttributeSet& attributes) {
    return onRti("releasing attribute ownership on request", [object, attributes](RunTimeLink& s) {
        return s.attributeOwnershipReleaseResponse(object, attributes);
    });
}

bool ThreadedLink::isAttributeOwnedByFederate(hla::ObjectInstanceHandle object,
                                              hla::AttributeHandle attribute) {
    return onRti("querying ownership", [object, attribute](RunTimeLink& s) {
        return s.isAttributeOwnedByFederate(object, attribute);
    });
}

void ThreadedLink::enableTimeRegulation(hla::LogicalTime time, hla::LogicalTime lookahead) {
    onRti("enabling time regulation",
          [time, lookahead](RunTimeLink& s) { s.enableTimeRegulation(time, lookahead); });
}

void ThreadedLink::enableTimeConstrained() {
    onRti("enabling time constraint", [](RunTimeLink& s) { s.enableTimeConstrained(); });
}

void ThreadedLink::enableAsynchronousDelivery() {
    onRti("enabling asynchronous delivery", [](RunTimeLink& s) { s.enableAsynchronousDelivery(); });
}

void ThreadedLink::timeAdvanceRequest(hla::LogicalTime time) {
    onRti("Time Advance Request", [time](RunTimeLink& s) { s.timeAdvanceRequest(time); });
}

void ThreadedLink::nextEventRequest(hla::LogicalTime time) {
    onRti("Next Event Request", [time](RunTimeLink& s) { s.nextEventRequest(time); });
}

void ThreadedLink::flushQueueRequest(hla::LogicalTime time) {
    onRti("Flush Queue Request", [time](RunTimeLink& s) { s.flushQueueRequest(time); });
}

void ThreadedLink::modifyLookahead(hla::LogicalTime lookahead) {
    onRti("changing the lookahead", [lookahead](RunTimeLink& s) { s.modifyLookahead(lookahead); });
}

hla::LogicalTime ThreadedLink::queryFederateTime() {
    // The logical time moves when its grant reaches the controller, not when the RTI thread
    // takes it in.
    if (const auto granted = m_state->outbox.deliveredGrant()) return *granted;
    return onRti("querying the logical time", [](RunTimeLink& s) { return s.queryFederateTime(); });
}

hla::LogicalTime ThreadedLink::queryLBTS() {
    return onRti("querying LBTS", [](RunTimeLink& s) { return s.queryLBTS(); });
}

hla::LogicalTime ThreadedLink::queryMinNextEventTime() {
    return onRti("querying the next event time",
                 [](RunTimeLink& s) { return s.queryMinNextEventTime(); });
}

hla::LogicalTime ThreadedLink::queryLookahead() {
    return onRti("querying the lookahead", [](RunTimeLink& s) { return s.queryLookahead(); });
}

std::optional<hla::Bytes> ThreadedLink::momHandle(hla::InteractionClassHandle cls) {
    return onRti("looking up a class handle", [cls](RunTimeLink& s) { return s.momHandle(cls); });
}

std::optional<hla::Bytes> ThreadedLink::momHandle(hla::ObjectClassHandle cls) {
    return onRti("looking up a class handle", [cls](RunTimeLink& s) { return s.momHandle(cls); });
}

std::optional<hla::Bytes> ThreadedLink::momHandle(hla::ObjectClassHandle cls,
                                                  hla::AttributeHandle attribute) {
    return onRti("looking up an attribute handle",
                 [cls, attribute](RunTimeLink& s) { return s.momHandle(cls, attribute); });
}

bool ThreadedLink::isTimeRegulating() {
    return onRti("querying time regulation", [](RunTimeLink& s) { return s.isTimeRegulating(); });
}

void ThreadedLink::setWaker(std::function<void()> wake) {
    m_state->outbox.setWaker(std::move(wake));
}

bool ThreadedLink::evokeCallback(RunTimeCallbacks& callbacks) {
    return m_state->outbox.deliver(callbacks);
}

bool ThreadedLink::callbacksPending() {
    return m_state->outbox.pending();
}

}  // namespace links
