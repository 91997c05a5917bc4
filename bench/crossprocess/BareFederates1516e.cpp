#include "bench/crossprocess/BareFederates.h"
#include "bench/support/BenchSupport.h"

#include <RTI/NullFederateAmbassador.h>
#include <RTI/RTI1516.h>
#include <RTI/RTIambassadorFactory.h>
#include <RTI/encoding/BasicDataElements.h>

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
// evokeCallback returns as soon as one callback is taken, or after this.
constexpr double kCallbackWaitSeconds = 0.05;
constexpr double kIdleWaitSeconds = 0.5;
constexpr double kSettleSeconds = 0.3;

struct Counter : rti1516e::NullFederateAmbassador {
    std::atomic<int> received{0};
    rti1516e::ParameterHandle message;
    std::wstring last;  // the last text received, on the thread that evokes
    void receiveInteraction(rti1516e::InteractionClassHandle,
                            const rti1516e::ParameterHandleValueMap& values,
                            const rti1516e::VariableLengthData&, rti1516e::OrderType,
                            rti1516e::TransportationType,
                            rti1516e::SupplementalReceiveInfo) override {
        const auto found = values.find(message);
        if (found != values.end()) {
            rti1516e::HLAunicodeString text;
            text.decode(found->second);
            last = text.get();
        }
        ++received;
    }
};

struct Federate {
    std::unique_ptr<rti1516e::RTIambassador> rti;
    Counter counter;
    rti1516e::InteractionClassHandle cls;
    rti1516e::ParameterHandle message;

    void join(const std::wstring& address, const std::wstring& federation,
              const std::wstring& module, const wchar_t* name) {
        rti1516e::RTIambassadorFactory factory;
        rti.reset(factory.createRTIambassador().release());
        rti->connect(counter, rti1516e::HLA_EVOKED, address);
        const std::vector<std::wstring> modules{module};
        try {
            rti->createFederationExecution(federation, modules, L"HLAfloat64Time");
        } catch (const rti1516e::FederationExecutionAlreadyExists&) {
        }
        rti->joinFederationExecution(name, federation, modules);
        cls = rti->getInteractionClassHandle(L"HLAinteractionRoot.Communication");
        message = rti->getParameterHandle(cls, L"Message");
        counter.message = message;
    }
    // Sends one text; each answer is one more received.
    void send(const std::wstring& text) {
        rti1516e::ParameterHandleValueMap values;
        values[message] = rti1516e::HLAunicodeString(text).encode();
        rti->sendInteraction(cls, values, rti1516e::VariableLengthData());
    }
    void leave(const std::wstring& federation) {
        rti->resignFederationExecution(rti1516e::CANCEL_THEN_DELETE_THEN_DIVEST);
        try {
            rti->destroyFederationExecution(federation);
        } catch (const rti1516e::Exception&) {
        }
        rti->disconnect();
    }
};

std::wstring wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::string refusal(const rti1516e::Exception& e) {
    const std::wstring what = e.what();
    return "the bare 1516-2010 federates were refused: " + std::string(what.begin(), what.end());
}

}  // namespace

BareRate bareThroughputHla1516e(const std::string& address, const std::string& fomModule,
                                int count) {
    const std::wstring federation = L"BareHla1516e";
    BareRate rate;
    try {
        Federate receiver;
        Federate sender;
        receiver.join(wide(address), federation, wide(fomModule), L"Receiver");
        receiver.rti->subscribeInteractionClass(receiver.cls);
        sender.join(wide(secondConnection(address)), federation, wide(fomModule), L"Sender");
        sender.rti->publishInteractionClass(sender.cls);
        std::atomic<bool> done{false};
        std::thread taking([&] {
            while (!done) receiver.rti->evokeMultipleCallbacks(0.01, 0.01);
        });
        rti1516e::ParameterHandleValueMap values;
        values[sender.message] = rti1516e::HLAunicodeString(L"Hello from the sender").encode();
        // Until the receiver's subscription has reached the sender, sends reach nobody.
        const auto bound = Clock::now() + kBound;
        while (receiver.counter.received == 0 && Clock::now() < bound) {
            sender.rti->sendInteraction(sender.cls, values, rti1516e::VariableLengthData());
            sender.rti->evokeMultipleCallbacks(0.05, 0.05);
        }
        const int before = receiver.counter.received;
        const auto start = Clock::now();
        for (int i = 0; i < count; ++i) {
            sender.rti->sendInteraction(sender.cls, values, rti1516e::VariableLengthData());
            sender.rti->evokeMultipleCallbacks(0.0, 0.0);
        }
        while (receiver.counter.received < before + count && Clock::now() < bound) {
            sender.rti->evokeMultipleCallbacks(0.001, 0.001);
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        done = true;
        taking.join();
        if (receiver.counter.received < before + count) {
            rate.error = "the bare 1516-2010 receiver did not receive every interaction";
        } else {
            rate.interactionsPerSecond = count / seconds;
        }
        sender.leave(federation);
        receiver.leave(federation);
    } catch (const rti1516e::Exception& e) {
        rate.error = refusal(e);
    }
    return rate;
}

BareRoundTrips bareRoundTripsHla1516e(const std::string& address, const std::string& fomModule,
                                      int count, int gapMs) {
    const std::wstring federation = L"BareEcho1516e";
    BareRoundTrips result;
    try {
        Federate echo;
        Federate sender;
        for (auto [federate, name] : {std::pair{&echo, L"Echo"}, std::pair{&sender, L"Sender"}}) {
            const std::string own = federate == &echo ? address : secondConnection(address);
            federate->join(wide(own), federation, wide(fomModule), name);
            federate->rti->publishInteractionClass(federate->cls);
            federate->rti->subscribeInteractionClass(federate->cls);
        }
        std::atomic<bool> done{false};
        std::thread echoing([&] {
            // The answer goes once the callback has returned, as on the provider's RTI thread,
            // and repeats the text received.
            for (int answered = 0; !done;) {
                echo.rti->evokeCallback(kCallbackWaitSeconds);
                if (answered < echo.counter.received) {
                    answered = echo.counter.received;
                    echo.send(echo.counter.last);
                }
            }
        });
        // Until this text came back, or the bound passed.
        const auto answered = [&](const std::wstring& text, Clock::time_point bound) {
            while (sender.counter.last != text && Clock::now() < bound) {
                sender.rti->evokeCallback(kCallbackWaitSeconds);
            }
            return sender.counter.last == text;
        };
        // Until each subscription has reached the other side, sends reach nobody.
        const auto primeBound = Clock::now() + kBound;
        for (int n = 0; sender.counter.received == 0 && Clock::now() < primeBound; ++n) {
            const std::wstring prime = L"prime " + std::to_wstring(n);
            sender.send(prime);
            answered(prime, Clock::now() + std::chrono::milliseconds(50));
        }
        for (int i = 0; i < count; ++i) {
            if (gapMs > 0) sender.rti->evokeMultipleCallbacks(gapMs / 1000.0, gapMs / 1000.0);
            const std::wstring ping = L"ping " + std::to_wstring(i);
            const auto start = Clock::now();
            sender.send(ping);
            if (!answered(ping, start + kBound)) {
                result.error = "the bare 1516-2010 echo did not answer";
                break;
            }
            result.roundTripsMs.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        done = true;
        echoing.join();
        sender.leave(federation);
        echo.leave(federation);
    } catch (const rti1516e::Exception& e) {
        result.error = refusal(e);
    }
    return result;
}

BareIdle bareIdleHla1516e(const std::string& address, const std::string& fomModule, int measureMs) {
    const std::wstring federation = L"BareIdle1516e";
    BareIdle idle;
    try {
        Federate federate;
        federate.join(wide(address), federation, wide(fomModule), L"Idle");
        federate.rti->publishInteractionClass(federate.cls);
        federate.rti->subscribeInteractionClass(federate.cls);
        federate.rti->evokeMultipleCallbacks(kSettleSeconds, kSettleSeconds);
        const double cpuBefore = processCpuSeconds();
        const auto start = Clock::now();
        const auto end = start + std::chrono::milliseconds(measureMs);
        while (Clock::now() < end) federate.rti->evokeCallback(kIdleWaitSeconds);
        idle.cpuShare = (processCpuSeconds() - cpuBefore) /
                        std::chrono::duration<double>(Clock::now() - start).count();
        federate.leave(federation);
    } catch (const rti1516e::Exception& e) {
        idle.error = refusal(e);
    }
    return idle;
}

}  // namespace bench
