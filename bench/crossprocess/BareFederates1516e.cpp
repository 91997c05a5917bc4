#include "bench/crossprocess/BareFederates.h"

#include <RTI/NullFederateAmbassador.h>
#include <RTI/RTI1516.h>
#include <RTI/RTIambassadorFactory.h>
#include <RTI/encoding/BasicDataElements.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace bench {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kBound = std::chrono::seconds(60);

struct Counter : rti1516e::NullFederateAmbassador {
    std::atomic<int> received{0};
    void receiveInteraction(rti1516e::InteractionClassHandle,
                            const rti1516e::ParameterHandleValueMap&,
                            const rti1516e::VariableLengthData&, rti1516e::OrderType,
                            rti1516e::TransportationType,
                            rti1516e::SupplementalReceiveInfo) override {
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
        sender.join(wide(address), federation, wide(fomModule), L"Sender");
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
        const std::wstring what = e.what();
        rate.error =
            "the bare 1516-2010 federates were refused: " + std::string(what.begin(), what.end());
    }
    return rate;
}

}  // namespace bench
