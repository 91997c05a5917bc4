#include "Bytes.h"

#include "platform/fedpro/messages/FederateAmbassador.pb.h"
#include "platform/fedpro/messages/RTIambassador.pb.h"

#include <gtest/gtest.h>

using namespace rti1516_2025::fedpro;
using fedpro::testing::hex;
using fedpro::testing::toHex;

TEST(FedProMessages, CallRequestBytesAreTheWireFormat) {
    CallRequest disconnect;
    disconnect.mutable_disconnectrequest();
    // Field 5, length-delimited, empty.
    EXPECT_EQ(toHex(disconnect.SerializeAsString()), "2a 00");

    CallRequest last;
    last.mutable_getnonregulatedgrantswitchrequest();
    // Field 178: its tag (178 << 3 | 2) takes two bytes.
    EXPECT_EQ(toHex(last.SerializeAsString()), "92 0b 00");

    CallRequest join;
    auto* j = join.mutable_joinfederationexecutionwithnamerequest();
    j->set_federatename("A");
    j->set_federatetype("T");
    j->set_federationname("F");
    EXPECT_EQ(toHex(join.SerializeAsString()), "8a 01 09 0a 01 41 12 01 54 1a 01 46");
}

TEST(FedProMessages, CallsRoundTrip) {
    CallRequest request;
    auto* update = request.mutable_updateattributevalueswithtimerequest();
    update->mutable_objectinstance()->set_data(hex("00 00 00 2a"));
    auto* value = update->mutable_attributevalues()->add_attributehandlevalue();
    value->mutable_attributehandle()->set_data(hex("00 00 00 03"));
    value->set_value("hello");
    update->set_usersuppliedtag("tag");
    update->mutable_time()->set_data(hex("3f f0 00 00 00 00 00 00"));

    CallRequest back;
    ASSERT_TRUE(back.ParseFromString(request.SerializeAsString()));
    ASSERT_EQ(back.callRequest_case(), CallRequest::kUpdateAttributeValuesWithTimeRequest);
    const auto& u = back.updateattributevalueswithtimerequest();
    EXPECT_EQ(u.objectinstance().data(), hex("00 00 00 2a"));
    ASSERT_EQ(u.attributevalues().attributehandlevalue_size(), 1);
    EXPECT_EQ(u.attributevalues().attributehandlevalue(0).value(), "hello");
    EXPECT_EQ(u.time().data().size(), 8U);

    CallResponse failure;
    failure.mutable_exceptiondata()->set_exceptionname("FederationExecutionDoesNotExist");
    failure.mutable_exceptiondata()->set_details("no federation named X");
    CallResponse failureBack;
    ASSERT_TRUE(failureBack.ParseFromString(failure.SerializeAsString()));
    EXPECT_TRUE(failureBack.has_exceptiondata());
    EXPECT_EQ(failureBack.exceptiondata().exceptionname(), "FederationExecutionDoesNotExist");

    CallbackRequest callback;
    auto* receive = callback.mutable_receiveinteraction();
    receive->mutable_interactionclass()->set_data(hex("00 00 00 09"));
    receive->mutable_parametervalues()->add_parameterhandlevalue()->set_value("hi");
    CallbackRequest callbackBack;
    ASSERT_TRUE(callbackBack.ParseFromString(callback.SerializeAsString()));
    EXPECT_EQ(callbackBack.callbackRequest_case(), CallbackRequest::kReceiveInteraction);
    EXPECT_EQ(callbackBack.receiveinteraction().parametervalues().parameterhandlevalue(0).value(),
              "hi");

    CallbackResponse ok;
    ok.mutable_callbacksucceeded();
    EXPECT_EQ(toHex(ok.SerializeAsString()), "0a 00");
}

TEST(FedProMessages, AnUnservedCallParsesAndCanBeNamed) {
    // A request-federation-save request (member 23) with its label "x", as a client sends it.
    CallRequest request;
    ASSERT_TRUE(request.ParseFromString(hex("ba 01 03 0a 01 78")));
    EXPECT_EQ(request.callRequest_case(), CallRequest::kRequestFederationSaveRequest);
    const auto* member =
        CallRequest::descriptor()->FindFieldByNumber(static_cast<int>(request.callRequest_case()));
    ASSERT_NE(member, nullptr);
    EXPECT_EQ(member->name(), "requestFederationSaveRequest");
    EXPECT_EQ(member->message_type()->name(), "RequestFederationSaveRequest");
}

TEST(FedProMessages, EveryServiceAndCallbackHasItsMember) {
    const auto* calls = CallRequest::descriptor()->FindOneofByName("callRequest");
    ASSERT_NE(calls, nullptr);
    EXPECT_EQ(calls->field_count(), 178);
    const auto* answers = CallResponse::descriptor()->FindOneofByName("callResponse");
    ASSERT_NE(answers, nullptr);
    EXPECT_EQ(answers->field_count(), 179);
    // Each service's response is numbered one above its request.
    for (int number = 1; number <= 178; ++number) {
        const auto* call = CallRequest::descriptor()->FindFieldByNumber(number);
        const auto* answer = CallResponse::descriptor()->FindFieldByNumber(number + 1);
        ASSERT_NE(call, nullptr) << number;
        ASSERT_NE(answer, nullptr) << number;
        std::string service = call->message_type()->name();
        service.resize(service.size() - std::string("Request").size());
        EXPECT_EQ(answer->message_type()->name(), service + "Response") << number;
    }
    const auto* callbacks = CallbackRequest::descriptor()->FindOneofByName("callbackRequest");
    ASSERT_NE(callbacks, nullptr);
    EXPECT_EQ(callbacks->field_count(), 62);
    EXPECT_EQ(CallbackRequest::descriptor()->FindFieldByNumber(33)->name(), "receiveInteraction");
    EXPECT_EQ(CallbackRequest::descriptor()->FindFieldByNumber(62)->name(), "requestRetraction");
}
