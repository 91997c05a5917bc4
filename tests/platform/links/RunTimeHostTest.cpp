// The host ticks its run-time on a thread of its own: a report period a MOM tool sets brings
// the federate's object to it again, waking the tool as any callback does.

#include "platform/hla/FedReader.h"
#include "platform/hla/MomEncoding.h"
#include "platform/links/embedded/RunTimeHost.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace {

namespace mom = hla::mom;

constexpr const char* kFed = R"((FED (Federation Room) (FEDversion v1.3)
  (objects (class ObjectRoot (attribute privilegeToDelete reliable timestamp)))
  (interactions (class InteractionRoot reliable receive))))";

// How long the case waits for the ticker: a bound against hanging, not a speed requirement.
constexpr std::chrono::seconds kWaitBound{10};

struct Reflections : hla::FederateAmbassador {
    void reflectAttributeValues(hla::ObjectInstanceHandle, const hla::AttributeValues& values,
                                const std::string&, std::optional<hla::LogicalTime>) override {
        ++count;
        attributes = values.size();
    }
    int count = 0;
    std::size_t attributes = 0;
};

TEST(RunTimeHost, ATickerBringsAPeriodicUpdateAndWakesItsWatcher) {
    links::RunTimeHost host;
    std::mutex mutex;
    std::condition_variable woken;
    bool wake = false;
    hla::FederateHandle sim{}, tool{};
    Reflections seen;
    {
        auto rt = host.access();
        rt->createFederationExecution("Room", hla::parseFed(kFed));
        sim = rt->joinFederationExecution("Sim", "Room");
        tool = rt->joinFederationExecution("Tool", "Room");
        const auto cls = rt->getObjectClassHandle(tool, mom::kFederateClass);
        hla::AttributeSet all;
        for (hla::AttributeHandle a : rt->description(tool)->availableAttributes(cls)) {
            all.insert(a);
        }
        rt->subscribeObjectClassAttributes(tool, cls, all);
        while (rt->evokeCallback(tool, seen)) {
        }
        const auto setTiming = rt->getInteractionClassHandle(tool, mom::kSetTiming);
        rt->publishInteractionClass(tool, setTiming);
        rt->sendInteraction(
            tool, setTiming,
            {{rt->getParameterHandle(tool, setTiming, mom::kFederateParameter),
              mom::encodeHandle(sim)},
             {rt->getParameterHandle(tool, setTiming, mom::kReportPeriod), mom::encodeInteger(1)}});
        host.setWaker(tool, [&] {
            const std::lock_guard lock(mutex);
            wake = true;
            woken.notify_all();
        });
    }
    const int before = seen.count;
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(woken.wait_for(lock, kWaitBound, [&] { return wake; }));
    }
    auto rt = host.access();
    while (rt->evokeCallback(tool, seen)) {
    }
    EXPECT_EQ(seen.count, before + 1);
    EXPECT_GT(seen.attributes, 10u);  // the whole object, not what changed
}

}  // namespace
