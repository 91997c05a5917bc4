// Throughput of the run-time: interactions between two federates, and time advance grants
// in lock-step among n regulating and constrained federates.

#include "platform/hla/FedReader.h"
#include "platform/rti/RunTime.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

const char* const kFed = R"((FED (Federation Bench) (FEDversion v1.3)
  (objects (class ObjectRoot (attribute privilegeToDelete reliable timestamp)))
  (interactions (class InteractionRoot reliable receive
    (class Communication reliable receive (parameter Message) (parameter Sender))))))";

struct Counter : hla::FederateAmbassador {
    std::size_t interactions = 0;
    std::size_t grants = 0;
    void receiveInteraction(hla::InteractionClassHandle, const hla::ParameterValues&,
                            const std::string&, std::optional<hla::LogicalTime>) override {
        ++interactions;
    }
    void timeAdvanceGrant(hla::LogicalTime) override { ++grants; }
};

void interactionsBetweenTwoFederates(benchmark::State& state) {
    rti::RunTime rt;
    rt.createFederationExecution("Bench", hla::parseFed(kFed));
    const auto sender = rt.joinFederationExecution("Sender", "Bench");
    const auto receiver = rt.joinFederationExecution("Receiver", "Bench");
    const auto cls = rt.getInteractionClassHandle(sender, "InteractionRoot.Communication");
    rt.publishInteractionClass(sender, cls);
    rt.subscribeInteractionClass(receiver, cls);
    const std::string message = "Hello from the sender";
    const hla::ParameterValues values = {
        {rt.getParameterHandle(sender, cls, "Message"), {message.begin(), message.end()}},
        {rt.getParameterHandle(sender, cls, "Sender"), {'S', 'e', 'n', 'd', 'e', 'r'}}};
    Counter counter;
    for (auto _ : state) {
        rt.sendInteraction(sender, cls, values);
        rt.evokeCallback(receiver, counter);
    }
    if (counter.interactions != static_cast<std::size_t>(state.iterations())) {
        state.SkipWithError("an interaction was lost");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(interactionsBetweenTwoFederates);

void lockStepGrants(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    rti::RunTime rt;
    rt.createFederationExecution("Bench", hla::parseFed(kFed));
    std::vector<hla::FederateHandle> federates;
    Counter counter;
    for (std::size_t i = 0; i < count; ++i) {
        const auto f = rt.joinFederationExecution("Stepper", "Bench");
        rt.enableTimeRegulation(f, 0, 1);
        rt.enableTimeConstrained(f);
        while (rt.evokeCallback(f, counter)) {
        }
        federates.push_back(f);
    }
    counter.grants = 0;
    double time = 0;
    for (auto _ : state) {
        time += 1;
        for (const auto f : federates) rt.timeAdvanceRequest(f, time);
        for (const auto f : federates) rt.evokeCallback(f, counter);
    }
    if (counter.grants != count * static_cast<std::size_t>(state.iterations())) {
        state.SkipWithError("a grant was missing");
    }
    // One item is one grant, so items per second compare across federation sizes.
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(count));
}
BENCHMARK(lockStepGrants)->Arg(2)->Arg(16)->Arg(128);

}  // namespace

BENCHMARK_MAIN();
