#include "bench/crossprocess/BareFederates.h"

#include <NullFederateAmbassador.hh>
#include <RTI.hh>

#include <atomic>
#include <chrono>
#include <thread>

namespace bench {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kBound = std::chrono::seconds(60);

struct Counter : NullFederateAmbassador {
    std::atomic<int> received{0};
    void receiveInteraction(RTI::InteractionClassHandle, const RTI::ParameterHandleValuePairSet&,
                            const char*) noexcept(false) override {
        ++received;
    }
};

struct Federate {
    RTI::RTIambassador rti;
    Counter counter;
    RTI::InteractionClassHandle cls = 0;
    RTI::ParameterHandle message = 0;

    void join(const std::string& execution, const std::string& fedFile, const char* name) {
        try {
            rti.createFederationExecution(execution.c_str(), fedFile.c_str());
        } catch (const RTI::FederationExecutionAlreadyExists&) {
        }
        rti.joinFederationExecution(name, execution.c_str(), &counter);
        cls = rti.getInteractionClassHandle("InteractionRoot.Communication");
        message = rti.getParameterHandle("Message", cls);
    }
    void leave(const std::string& execution) {
        rti.resignFederationExecution(RTI::DELETE_OBJECTS_AND_RELEASE_ATTRIBUTES);
        try {
            rti.destroyFederationExecution(execution.c_str());
        } catch (const RTI::Exception&) {
        }
    }
};

}  // namespace

BareRate bareThroughputHla13(const std::string& address, const std::string& fedFile, int count) {
    const std::string execution = address + "/BareHla13";
    BareRate rate;
    try {
        Federate receiver;
        Federate sender;
        receiver.join(execution, fedFile, "Receiver");
        receiver.rti.subscribeInteractionClass(receiver.cls);
        sender.join(execution, fedFile, "Sender");
        sender.rti.publishInteractionClass(sender.cls);
        std::atomic<bool> done{false};
        std::thread taking([&] {
            while (!done) receiver.rti.tick(0.01, 0.01);
        });
        std::unique_ptr<RTI::ParameterHandleValuePairSet> values(
            RTI::ParameterSetFactory::create(1));
        const char text[] = "Hello from the sender";
        values->add(sender.message, text, sizeof text);
        // Until the receiver's subscription has reached the sender, sends reach nobody.
        const auto bound = Clock::now() + kBound;
        while (receiver.counter.received == 0 && Clock::now() < bound) {
            sender.rti.sendInteraction(sender.cls, *values, "");
            sender.rti.tick(0.05, 0.05);
        }
        const int before = receiver.counter.received;
        const auto start = Clock::now();
        for (int i = 0; i < count; ++i) {
            sender.rti.sendInteraction(sender.cls, *values, "");
            sender.rti.tick(0.0, 0.0);
        }
        while (receiver.counter.received < before + count && Clock::now() < bound) {
            sender.rti.tick(0.001, 0.001);
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        done = true;
        taking.join();
        if (receiver.counter.received < before + count) {
            rate.error = "the bare 1.3 receiver did not receive every interaction";
        } else {
            rate.interactionsPerSecond = count / seconds;
        }
        sender.leave(execution);
        receiver.leave(execution);
    } catch (const RTI::Exception& e) {
        rate.error = std::string("the bare 1.3 federates were refused: ") +
                     (e._reason ? e._reason : "") + " (" + (e._name ? e._name : "") + ")";
    }
    return rate;
}

}  // namespace bench
