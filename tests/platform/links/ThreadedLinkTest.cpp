#include "platform/links/RtiThread.h"
#include "platform/links/ThreadedLink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>
#include <thread>

namespace {

using namespace std::chrono_literals;
using links::LinkIdentity;
using links::RunTimeLink;
using links::ThreadedLink;

// A gate a fake RTI call waits at until the test opens it.
struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;

    void pass() {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return open; });
    }
    void release() {
        const std::lock_guard lock(mutex);
        open = true;
        changed.notify_all();
    }
};

// What the fake session saw, and on which thread.
struct Seen {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> calls;
    std::set<std::thread::id> threads;

    void add(const std::string& call) {
        const std::lock_guard lock(mutex);
        calls.push_back(call);
        threads.insert(std::this_thread::get_id());
        changed.notify_all();
    }
    bool waitFor(const std::string& call) {
        std::unique_lock lock(mutex);
        return changed.wait_for(
            lock, 10s, [&] { return std::find(calls.begin(), calls.end(), call) != calls.end(); });
    }
    bool has(const std::string& call) {
        const std::lock_guard lock(mutex);
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }
};

// A session that records its calls, waits at a gate when told to, and has callbacks to hand
// on when the test queues them.
class FakeSession : public RunTimeLink {
public:
    FakeSession(Seen& seen, Gate* resignGate) : m_seen(seen), m_resignGate(resignGate) {}
    ~FakeSession() override { m_seen.add("gone"); }

    std::string runTimeName() const override { return "fake run-time"; }
    const hla::FederationDescription& description() const override { return m_description; }
    void resign() override {
        if (m_resignGate) m_resignGate->pass();
        m_seen.add("resign");
    }
    void registerSynchronizationPoint(const std::string& label) override {
        m_seen.add("register " + label);
        answer([label](links::RunTimeCallbacks& c) { c.announceSynchronizationPoint(label, ""); });
    }
    void synchronizationPointAchieved(const std::string&) override {}
    void publishObjectClass(hla::ObjectClassHandle, const hla::AttributeSet&) override {}
    void unpublishObjectClass(hla::ObjectClassHandle) override {}
    void subscribeObjectClassAttributes(hla::ObjectClassHandle, const hla::AttributeSet&) override {
    }
    void unsubscribeObjectClass(hla::ObjectClassHandle) override {}
    void publishInteractionClass(hla::InteractionClassHandle) override {}
    void unpublishInteractionClass(hla::InteractionClassHandle) override {}
    void subscribeInteractionClass(hla::InteractionClassHandle) override {}
    void unsubscribeInteractionClass(hla::InteractionClassHandle) override {}
    hla::ObjectInstanceHandle registerObjectInstance(hla::ObjectClassHandle,
                                                     const std::string&) override {
        throw std::runtime_error("the fake run-time registers no objects");
    }
    std::optional<hla::ObjectInstanceHandle> findObjectInstance(const std::string&) override {
        return std::nullopt;
    }
    void updateAttributeValues(hla::ObjectInstanceHandle, const hla::AttributeValues&,
                               std::optional<hla::LogicalTime>) override {}
    void sendInteraction(hla::InteractionClassHandle, const hla::ParameterValues&,
                         std::optional<hla::LogicalTime>) override {}
    void deleteObjectInstance(hla::ObjectInstanceHandle) override {}
    void unconditionalAttributeOwnershipDivestiture(hla::ObjectInstanceHandle,
                                                    const hla::AttributeSet&) override {}
    void attributeOwnershipAcquisition(hla::ObjectInstanceHandle,
                                       const hla::AttributeSet&) override {}
    void attributeOwnershipAcquisitionIfAvailable(hla::ObjectInstanceHandle,
                                                  const hla::AttributeSet&) override {}
    hla::AttributeSet attributeOwnershipReleaseResponse(hla::ObjectInstanceHandle,
                                                        const hla::AttributeSet&) override {
        return {};
    }
    bool isAttributeOwnedByFederate(hla::ObjectInstanceHandle, hla::AttributeHandle) override {
        return false;
    }
    void enableTimeRegulation(hla::LogicalTime, hla::LogicalTime) override {}
    void enableTimeConstrained() override {}
    void enableAsynchronousDelivery() override {}
    void timeAdvanceRequest(hla::LogicalTime time) override {
        answer([time](links::RunTimeCallbacks& c) { c.timeAdvanceGrant(time); });
    }
    void nextEventRequest(hla::LogicalTime) override {}
    void flushQueueRequest(hla::LogicalTime) override {}
    void modifyLookahead(hla::LogicalTime) override {}
    hla::LogicalTime queryFederateTime() override { return 0; }
    hla::LogicalTime queryLBTS() override { return hla::kInfiniteTime; }
    hla::LogicalTime queryMinNextEventTime() override { return hla::kInfiniteTime; }
    hla::LogicalTime queryLookahead() override { return 0; }
    bool isTimeRegulating() override { return false; }
    void setWaker(std::function<void()>) override {}
    bool needsPolling() const override { return true; }
    // Announces each registered label back and grants each requested time, in the order
    // asked.
    bool evokeCallback(links::RunTimeCallbacks& callbacks) override {
        m_seen.add("evoke");
        if (m_answers.empty()) return false;
        auto next = std::move(m_answers.front());
        m_answers.pop_front();
        next(callbacks);
        return true;
    }
    bool callbacksPending() override { return false; }

private:
    Seen& m_seen;
    Gate* m_resignGate;
    hla::FederationDescription m_description;
    // Touched on the session's one thread only.
    std::deque<std::function<void(links::RunTimeCallbacks&)>> m_answers;

    void answer(std::function<void(links::RunTimeCallbacks&)> callback) {
        m_answers.push_back(std::move(callback));
    }
};

// A session whose sends are answered later: the first waits at a gate, one to a refused class
// throws.
class DeferringSession : public FakeSession {
public:
    static constexpr auto kRefused = static_cast<hla::InteractionClassHandle>(9);

    DeferringSession(Seen& seen, Gate& firstSend)
        : FakeSession(seen, nullptr), m_seen(seen), m_firstSend(firstSend) {}
    bool defersRefusals() const override { return true; }
    void sendInteraction(hla::InteractionClassHandle cls, const hla::ParameterValues&,
                         std::optional<hla::LogicalTime>) override {
        if (m_sent++ == 0) m_firstSend.pass();
        if (cls == kRefused) throw std::runtime_error("sending: InteractionClassNotPublished");
        m_seen.add("send " + std::to_string(static_cast<int>(cls)));
    }

private:
    Seen& m_seen;
    Gate& m_firstSend;
    int m_sent = 0;
};

// What the controller is told, in order.
struct Told : links::RunTimeCallbacks {
    std::vector<std::string> calls;
    void announceSynchronizationPoint(const std::string& label, const std::string&) override {
        calls.push_back("announce " + label);
    }
    void timeAdvanceGrant(hla::LogicalTime time) override {
        calls.push_back("grant " + std::to_string(static_cast<int>(time)));
    }
};

const LinkIdentity kIdentity{"fake run-time", "rti://127.0.0.1:1", "ChatRoom", "Chat"};

template <typename Condition>
bool eventually(Condition condition) {
    for (int i = 0; i < 1000; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(10ms);
    }
    return condition();
}

}  // namespace

TEST(ThreadedLink, EveryCallOfTheSessionIsMadeOnItsOneThreadAndCallbacksArriveInOrder) {
    Seen seen;
    auto link = ThreadedLink::open(kIdentity, [&](const links::StepReport&) {
        seen.add("open");
        return std::make_unique<FakeSession>(seen, nullptr);
    });
    std::atomic<int> wakes{0};
    link->setWaker([&] { ++wakes; });
    link->registerSynchronizationPoint("a");
    link->timeAdvanceRequest(3);
    link->registerSynchronizationPoint("b");
    ASSERT_TRUE(eventually([&] { return wakes.load() > 0 && link->callbacksPending(); }));
    Told told;
    ASSERT_TRUE(eventually([&] {
        while (link->evokeCallback(told)) {
        }
        return told.calls.size() == 3;
    }));
    // The order the session handed them on in is the order the controller is told.
    EXPECT_EQ(told.calls, (std::vector<std::string>{"announce a", "grant 3", "announce b"}));
    // The logical time moves when the grant reaches the controller.
    EXPECT_EQ(link->queryFederateTime(), 3);
    link.reset();
    EXPECT_TRUE(seen.has("gone"));
    const std::lock_guard lock(seen.mutex);
    EXPECT_EQ(seen.threads.size(), 1u);
    EXPECT_EQ(seen.threads.count(std::this_thread::get_id()), 0u);
}

TEST(ThreadedLink, AnOpenThatDoesNotAnswerIsRefusedNamingItsStepAndUndoneWhenItAnswers) {
    Seen seen;
    Gate rti;
    const auto silent = [&](const links::StepReport& step) {
        step("joining federation execution ChatRoom");
        rti.pass();
        seen.add("joined late");
        return std::make_unique<FakeSession>(seen, nullptr);
    };
    try {
        ThreadedLink::open(kIdentity, silent, {50ms, 1s, 1s});
        FAIL() << "an open that never answers was accepted";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(),
                     "fake run-time at rti://127.0.0.1:1: joining federation execution ChatRoom "
                     "did not answer within 0.05 s");
    }
    // While the late answer is still to be undone, the same federate cannot open again.
    try {
        ThreadedLink::open(kIdentity, silent, {50ms, 1s, 1s});
        FAIL() << "a second open of a federate still leaving was accepted";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("is still leaving federation \"ChatRoom\""),
                  std::string::npos)
            << e.what();
    }
    EXPECT_EQ(links::lingeringRtiThreads(), 1);
    rti.release();
    // The late session is closed at once: resigned and gone; then the federate may open again.
    ASSERT_TRUE(seen.waitFor("gone"));
    EXPECT_TRUE(seen.has("joined late"));
    ASSERT_TRUE(eventually([] { return links::lingeringRtiThreads() == 0; }));
    EXPECT_NO_THROW(ThreadedLink::open(kIdentity, [&](const links::StepReport&) {
        return std::make_unique<FakeSession>(seen, nullptr);
    }));
}

TEST(ThreadedLink, AResignThatDoesNotAnswerClosesAllTheSame) {
    Seen seen;
    Gate rti;
    auto link = ThreadedLink::open(
        kIdentity,
        [&](const links::StepReport&) { return std::make_unique<FakeSession>(seen, &rti); },
        {1s, 1s, 50ms});
    // The resign waits its bound and then lets the federate go instead of failing.
    EXPECT_NO_THROW(link->resign());
    EXPECT_FALSE(seen.has("resign"));
    EXPECT_THROW(link->registerSynchronizationPoint("after"), std::exception);
    EXPECT_EQ(links::lingeringRtiThreads(), 1);
    rti.release();
    EXPECT_TRUE(seen.waitFor("gone"));
    EXPECT_TRUE(eventually([] { return links::lingeringRtiThreads() == 0; }));
}

TEST(ThreadedLink, ASessionThatDefersRefusalsIsNotWaitedForAndItsRefusalComesWithTheNextCall) {
    Seen seen;
    Gate firstSend;
    auto link = ThreadedLink::open(kIdentity, [&](const links::StepReport&) {
        return std::make_unique<DeferringSession>(seen, firstSend);
    });
    // The thread is held in the first send; the caller goes on all the same.
    link->sendInteraction(static_cast<hla::InteractionClassHandle>(1), {}, std::nullopt);
    link->sendInteraction(DeferringSession::kRefused, {}, std::nullopt);
    link->sendInteraction(static_cast<hla::InteractionClassHandle>(2), {}, std::nullopt);
    EXPECT_FALSE(seen.has("send 1"));
    firstSend.release();
    ASSERT_TRUE(seen.waitFor("send 2"));
    // In the order sent; the refusal, once, with the call after it.
    EXPECT_THROW(
        {
            try {
                link->registerSynchronizationPoint("after");
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), "sending: InteractionClassNotPublished");
                throw;
            }
        },
        std::runtime_error);
    EXPECT_FALSE(seen.has("register after"));
    EXPECT_NO_THROW(link->registerSynchronizationPoint("again"));
    const std::lock_guard lock(seen.mutex);
    const auto at = [&](const std::string& call) {
        return std::find(seen.calls.begin(), seen.calls.end(), call) - seen.calls.begin();
    };
    EXPECT_LT(at("send 1"), at("send 2"));
}

TEST(RtiThread, AJobsExceptionReachesItsCallerAndTheThreadGoesOn) {
    links::RtiThread thread;
    EXPECT_THROW(thread.run("failing", 1s, []() -> int { throw std::runtime_error("no"); }),
                 std::runtime_error);
    EXPECT_EQ(thread.run("answering", 1s, [] { return 42; }), 42);
    EXPECT_TRUE(thread.stop({}, 5s));
}
