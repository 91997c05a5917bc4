#include "bench/crossprocess/BareFederates.h"
#include "bench/support/BenchSupport.h"

#include <NullFederateAmbassador.hh>
#include <RTI.hh>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <utility>

namespace bench {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kBound = std::chrono::seconds(60);
// The shortest wait in the RTI for a callback: tick returns no sooner than its minimum.
constexpr double kPollSeconds = 0.0002;
constexpr double kIdleWaitSeconds = 0.5;

struct Counter : NullFederateAmbassador {
    std::atomic<int> received{0};
    std::string last;  // the last text received, on the thread that ticks
    void receiveInteraction(RTI::InteractionClassHandle,
                            const RTI::ParameterHandleValuePairSet& values,
                            const char*) noexcept(false) override {
        if (values.size() > 0) {
            std::string text(values.getValueLength(0), '\0');
            RTI::ULong length = RTI::ULong(text.size());
            values.getValue(0, text.data(), length);
            last = text.c_str();
        }
        ++received;
    }
};

struct Federate {
    RTI::RTIambassador rti;
    Counter counter;
    RTI::InteractionClassHandle cls = 0;
    RTI::ParameterHandle message = 0;
    std::string joined;  // the execution's name, as this federate's connection spells it

    void join(const std::string& execution, const std::string& fedFile, const char* name) {
        joined = execution;
        try {
            rti.createFederationExecution(execution.c_str(), fedFile.c_str());
        } catch (const RTI::FederationExecutionAlreadyExists&) {
        }
        rti.joinFederationExecution(name, execution.c_str(), &counter);
        cls = rti.getInteractionClassHandle("InteractionRoot.Communication");
        message = rti.getParameterHandle("Message", cls);
    }
    // Sends one text, its terminating NUL with it.
    void send(const std::string& text) {
        std::unique_ptr<RTI::ParameterHandleValuePairSet> values(
            RTI::ParameterSetFactory::create(1));
        values->add(message, text.c_str(), RTI::ULong(text.size() + 1));
        rti.sendInteraction(cls, *values, "");
    }
    void leave() {
        rti.resignFederationExecution(RTI::DELETE_OBJECTS_AND_RELEASE_ATTRIBUTES);
        try {
            rti.destroyFederationExecution(joined.c_str());
        } catch (const RTI::Exception&) {
        }
    }
};

std::string refusal(const RTI::Exception& e) {
    return std::string("the bare 1.3 federates were refused: ") + (e._reason ? e._reason : "") +
           " (" + (e._name ? e._name : "") + ")";
}

}  // namespace

BareRate bareThroughputHla13(const std::string& address, const std::string& fedFile, int count) {
    const std::string execution = address + "/BareHla13";
    BareRate rate;
    try {
        Federate receiver;
        Federate sender;
        receiver.join(execution, fedFile, "Receiver");
        receiver.rti.subscribeInteractionClass(receiver.cls);
        sender.join(secondConnection(address) + "/BareHla13", fedFile, "Sender");
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
        sender.leave();
        receiver.leave();
    } catch (const RTI::Exception& e) {
        rate.error = refusal(e);
    }
    return rate;
}

BareRoundTrips bareRoundTripsHla13(const std::string& address, const std::string& fedFile,
                                   int count, int gapMs) {
    BareRoundTrips result;
    try {
        Federate echo;
        Federate sender;
        for (auto [federate, name] : {std::pair{&echo, "Echo"}, std::pair{&sender, "Sender"}}) {
            const std::string own = federate == &echo ? address : secondConnection(address);
            federate->join(own + "/BareEcho13", fedFile, name);
            federate->rti.publishInteractionClass(federate->cls);
            federate->rti.subscribeInteractionClass(federate->cls);
        }
        std::atomic<bool> done{false};
        std::thread echoing([&] {
            // A callback may not call the RTI: the answer goes once tick has returned, and
            // repeats the text received.
            for (int answered = 0; !done;) {
                echo.rti.tick(kPollSeconds, 0.0);
                if (answered < echo.counter.received) {
                    answered = echo.counter.received;
                    echo.send(echo.counter.last);
                }
            }
        });
        // Until this text came back, or the bound passed.
        const auto answered = [&](const std::string& text, Clock::time_point bound) {
            while (sender.counter.last != text && Clock::now() < bound) {
                sender.rti.tick(kPollSeconds, 0.0);
            }
            return sender.counter.last == text;
        };
        // Until each subscription has reached the other side, sends reach nobody.
        const auto primeBound = Clock::now() + kBound;
        for (int n = 0; sender.counter.received == 0 && Clock::now() < primeBound; ++n) {
            const std::string prime = "prime " + std::to_string(n);
            sender.send(prime);
            answered(prime, Clock::now() + std::chrono::milliseconds(50));
        }
        for (int i = 0; i < count; ++i) {
            if (gapMs > 0) sender.rti.tick(gapMs / 1000.0, gapMs / 1000.0);
            const std::string ping = "ping " + std::to_string(i);
            const auto start = Clock::now();
            sender.send(ping);
            if (!answered(ping, start + kBound)) {
                result.error = "the bare 1.3 echo did not answer";
                break;
            }
            result.roundTripsMs.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        done = true;
        echoing.join();
        sender.leave();
        echo.leave();
    } catch (const RTI::Exception& e) {
        result.error = refusal(e);
    }
    return result;
}

BareIdle bareIdleHla13(const std::string& address, const std::string& fedFile, int measureMs) {
    const std::string execution = address + "/BareIdle13";
    BareIdle idle;
    try {
        Federate federate;
        federate.join(execution, fedFile, "Idle");
        federate.rti.publishInteractionClass(federate.cls);
        federate.rti.subscribeInteractionClass(federate.cls);
        federate.rti.tick(kIdleWaitSeconds, kIdleWaitSeconds);
        const double cpuBefore = processCpuSeconds();
        const auto start = Clock::now();
        const auto end = start + std::chrono::milliseconds(measureMs);
        while (Clock::now() < end) federate.rti.tick(kIdleWaitSeconds, kIdleWaitSeconds);
        idle.cpuShare = (processCpuSeconds() - cpuBefore) /
                        std::chrono::duration<double>(Clock::now() - start).count();
        federate.leave();
    } catch (const RTI::Exception& e) {
        idle.error = refusal(e);
    }
    return idle;
}

}  // namespace bench
