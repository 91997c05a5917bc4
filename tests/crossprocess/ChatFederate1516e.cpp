// A chat federate of the tests' own, written directly against the IEEE 1516-2010 interface and
// encoding its texts with the RTI's own HLAunicodeString: a second implementation of the
// standard's encodings to check the provider's against.
//
//   chat-federate-1516e ADDRESS FEDERATION FOM_MODULE TEXT SECONDS
//
// Joins FEDERATION at ADDRESS with the module, subscribes and publishes
// HLAinteractionRoot.Communication, prints "received <text>" for each Message that arrives,
// and sends "TEXT" (and again every half second) until it has received something and then
// once more; ends after SECONDS or when stdin closes. Exit status 0 when it received at least
// one text, 1 when not, 2 when the RTI refused.

#include <RTI/NullFederateAmbassador.h>
#include <RTI/RTI1516.h>
#include <RTI/RTIambassadorFactory.h>
#include <RTI/encoding/BasicDataElements.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr double kPollSeconds = 0.05;
constexpr auto kResendEvery = std::chrono::milliseconds(500);

std::wstring wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::wstring fromUtf8(const std::string& text) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += wchar_t(c);
            i += 1;
        } else if ((c & 0xE0) == 0xC0 && i + 1 < text.size()) {
            out += wchar_t(((c & 0x1F) << 6) | (text[i + 1] & 0x3F));
            i += 2;
        } else if (i + 2 < text.size()) {
            out += wchar_t(((c & 0x0F) << 12) | ((text[i + 1] & 0x3F) << 6) | (text[i + 2] & 0x3F));
            i += 3;
        } else {
            break;
        }
    }
    return out;
}

class Chat : public rti1516e::NullFederateAmbassador {
public:
    rti1516e::ParameterHandle message;
    int received = 0;

    void receiveInteraction(rti1516e::InteractionClassHandle,
                            const rti1516e::ParameterHandleValueMap& values,
                            const rti1516e::VariableLengthData&, rti1516e::OrderType,
                            rti1516e::TransportationType,
                            rti1516e::SupplementalReceiveInfo) override {
        const auto found = values.find(message);
        if (found == values.end()) return;
        rti1516e::HLAunicodeString text;
        try {
            text.decode(found->second);
        } catch (const rti1516e::EncoderException& e) {
            std::cout << "undecodable " << narrow(e.what()) << std::endl;
            return;
        }
        ++received;
        std::cout << "received " << narrow(text.get()) << std::endl;
    }
    void receiveInteraction(rti1516e::InteractionClassHandle cls,
                            const rti1516e::ParameterHandleValueMap& values,
                            const rti1516e::VariableLengthData& tag, rti1516e::OrderType sent,
                            rti1516e::TransportationType transport, const rti1516e::LogicalTime&,
                            rti1516e::OrderType received,
                            rti1516e::SupplementalReceiveInfo info) override {
        receiveInteraction(cls, values, tag, sent, transport, info);
        (void)received;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::cerr << "usage: " << argv[0] << " ADDRESS FEDERATION FOM_MODULE TEXT SECONDS\n";
        return 2;
    }
    const std::wstring federation = wide(argv[2]);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[5]));
    Chat chat;
    try {
        rti1516e::RTIambassadorFactory factory;
        std::unique_ptr<rti1516e::RTIambassador> rti(factory.createRTIambassador().release());
        rti->connect(chat, rti1516e::HLA_EVOKED, wide(argv[1]));
        const std::vector<std::wstring> modules{wide(argv[3])};
        try {
            rti->createFederationExecution(federation, modules, L"HLAfloat64Time");
        } catch (const rti1516e::FederationExecutionAlreadyExists&) {
        }
        rti->joinFederationExecution(L"Federate1516e", federation, modules);
        const auto cls = rti->getInteractionClassHandle(L"HLAinteractionRoot.Communication");
        chat.message = rti->getParameterHandle(cls, L"Message");
        rti->publishInteractionClass(cls);
        rti->subscribeInteractionClass(cls);
        std::cout << "joined" << std::endl;

        rti1516e::ParameterHandleValueMap values;
        values[chat.message] = rti1516e::HLAunicodeString(fromUtf8(argv[4])).encode();
        auto nextSend = std::chrono::steady_clock::now();
        int sentAfterReceiving = 0;
        while (std::chrono::steady_clock::now() < deadline && sentAfterReceiving < 2) {
            if (std::chrono::steady_clock::now() >= nextSend) {
                rti->sendInteraction(cls, values, rti1516e::VariableLengthData());
                nextSend += kResendEvery;
                if (chat.received > 0) ++sentAfterReceiving;
            }
            rti->evokeMultipleCallbacks(kPollSeconds, kPollSeconds);
        }
        rti->resignFederationExecution(rti1516e::CANCEL_THEN_DELETE_THEN_DIVEST);
        try {
            rti->destroyFederationExecution(federation);
        } catch (const rti1516e::Exception&) {
        }
        rti->disconnect();
    } catch (const rti1516e::Exception& e) {
        std::cout << "refused " << narrow(e.what()) << std::endl;
        return 2;
    }
    return chat.received > 0 ? 0 : 1;
}
