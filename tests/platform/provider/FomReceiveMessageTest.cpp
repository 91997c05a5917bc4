// What a receiver says when a payload is no value of the variable's FOM data type, also when
// the sender's description declares another type for the same member; and that only untyped
// members keep the provider's own encoding and option 4.

#include "FomTestSupport.h"
#include "platform/provider/VariableValue.h"
#include "support/FailureOf.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using cao::Variant;
using namespace fomtest;

// One member, "Probe.Value", declared with the given data type.
hla::FederationDescription describing(const std::string& type) {
    hla::FederationDescription fom;
    const auto root = fom.addInteractionClass(std::nullopt, hla::kInteractionRoot,
                                              hla::Transport::Reliable, hla::Order::Receive);
    const auto probe =
        fom.addInteractionClass(root, "Probe", hla::Transport::Reliable, hla::Order::Receive);
    fom.addParameter(probe, "Value", type);
    return fom;
}

QString receiveFailure(const hla::FederationDescription& fom, const hla::Bytes& payload,
                       cao::VarType type) {
    return failureOf([&] {
        provider::receivedValue("Probe.Value", payload, type, fom.dataTypes,
                                codingOf(fom, "Value"));
    });
}

TEST(FomReceiveMessage, APayloadOfAnotherLayoutNamesTheVariableTheTypeAndWhy) {
    const auto fom = describing("HLAinteger32BE");
    EXPECT_EQ(receiveFailure(fom, {0, 1}, cao::VT_I4),
              "The value received for variable \"Probe.Value\" is no value of its data type "
              "\"HLAinteger32BE\": 2 octets, where a value of \"HLAinteger32BE\" takes 4 octets; "
              "the sending federate's federation description may declare another data type for "
              "it");
}

TEST(FomReceiveMessage, AValueTheVariableCannotHoldNamesTheValueAndTheReason) {
    const auto fom = describing("HLAinteger64BE");
    EXPECT_EQ(receiveFailure(fom, {0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, cao::VT_I4),
              "The value received for variable \"Probe.Value\", 9223372036854775807 of data type "
              "\"HLAinteger64BE\", does not convert to VT_I4: Overflow");
}

TEST(FomReceiveMessage, FederatesWhoseDescriptionsDifferAreToldWhatDoesNotFit) {
    const struct {
        const char* sender;
        const char* receiver;
        Variant written;
        const char* why;
    } cases[] = {
        {"HLAinteger64BE", "HLAinteger32BE", Variant::fromI4(7),
         "8 octets, where a value of \"HLAinteger32BE\" takes 4 octets"},
        {"HLAunicodeString", "HLAASCIIstring", Variant::fromString(QStringLiteral("h\u00E9")),
         "2 octets follow the value of \"HLAASCIIstring\", which ends at octet 6"},
        {"HLAASCIIstring", "HLAunicodeString", Variant::fromString(QStringLiteral("abc")),
         "\"HLAunicodeString\" holds 3 elements, more than the 3 octets left can carry"},
    };
    for (const auto& c : cases) {
        const auto sender = describing(c.sender);
        const hla::Bytes payload = provider::payloadForWrite(
            "Probe.Value", c.written, sender.dataTypes, codingOf(sender, "Value"));
        const QString failure = receiveFailure(describing(c.receiver), payload, cao::VT_BSTR);
        EXPECT_TRUE(failure.contains(QString::fromUtf8(c.why))) << failure.toStdString();
        EXPECT_TRUE(failure.contains("may declare another data type")) << failure.toStdString();
    }
}

TEST(FomReceiveMessage, OnlyUntypedMembersKeepTheProvidersOwnEncoding) {
    const auto typed = describing("HLAinteger32LE");
    const auto untyped = describing("");
    const auto receive = [](const hla::FederationDescription& fom, const hla::Bytes& payload,
                            bool bigEndian) {
        return provider::receivedValue("Probe.Value", payload, cao::VT_I4, fom.dataTypes,
                                       codingOf(fom, "Value", bigEndian));
    };
    EXPECT_EQ(receive(typed, {1, 0, 0, 0}, true), Variant::fromI4(1));
    EXPECT_EQ(receive(untyped, {0, 0, 0, 1}, true), Variant::fromI4(1));
    EXPECT_EQ(receive(untyped, {1, 0, 0, 0}, false), Variant::fromI4(1));
    EXPECT_EQ(receiveFailure(untyped, {1, 2, 3}, cao::VT_I4),
              "The value received for variable \"Probe.Value\" is no VT_I4: received 3 bytes "
              "where a I4 takes 4");
}

}  // namespace
