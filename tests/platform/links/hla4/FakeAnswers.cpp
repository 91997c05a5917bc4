// The fake server's answers: what a server of the standard says when all goes well.

#include "FakeServer.h"

#include "platform/fedpro/protocol/Times.h"
#include "platform/links/hla4/Calls.h"

#include <google/protobuf/descriptor.h>

#include <algorithm>

namespace hla4test {

namespace {

constexpr const char* kRequestSuffix = "Request";
constexpr const char* kResponseSuffix = "Response";

std::string responseName(const std::string& request) {
    return request.substr(0, request.size() - std::char_traits<char>::length(kRequestSuffix)) +
           kResponseSuffix;
}

}  // namespace

int Seen::count(const std::string& call) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

const wire::CallRequest* Seen::last(const std::string& call) const {
    for (std::size_t i = calls.size(); i > 0; --i) {
        if (calls[i - 1] == call) return &requests[i - 1];
    }
    return nullptr;
}

wire::CallResponse refusal(const std::string& exception, const std::string& details) {
    wire::CallResponse response;
    response.mutable_exceptiondata()->set_exceptionname(exception);
    response.mutable_exceptiondata()->set_details(details);
    return response;
}

// Handles are the names looked up, a member's prefixed with its class's.
wire::CallResponse success(const wire::CallRequest& r) {
    wire::CallResponse response;
    const std::string member = links::hla4::memberName(r);
    if (member.empty()) return refusal("RTIinternalError", "an empty call request");
    const google::protobuf::FieldDescriptor* field =
        wire::CallResponse::descriptor()->FindFieldByName(responseName(member));
    if (!field) return refusal("RTIinternalError", member + " has no response");
    response.GetReflection()->MutableMessage(&response, field);
    switch (r.callRequest_case()) {
        case wire::CallRequest::kGetObjectClassHandleRequest:
            response.mutable_getobjectclasshandleresponse()->mutable_result()->set_data(
                r.getobjectclasshandlerequest().objectclassname());
            break;
        case wire::CallRequest::kGetAttributeHandleRequest: {
            const auto& get = r.getattributehandlerequest();
            response.mutable_getattributehandleresponse()->mutable_result()->set_data(
                get.objectclass().data() + "/" + get.attributename());
            break;
        }
        case wire::CallRequest::kGetInteractionClassHandleRequest:
            response.mutable_getinteractionclasshandleresponse()->mutable_result()->set_data(
                r.getinteractionclasshandlerequest().interactionclassname());
            break;
        case wire::CallRequest::kGetParameterHandleRequest: {
            const auto& get = r.getparameterhandlerequest();
            response.mutable_getparameterhandleresponse()->mutable_result()->set_data(
                get.interactionclass().data() + "/" + get.parametername());
            break;
        }
        case wire::CallRequest::kJoinFederationExecutionRequest:
            response.mutable_joinfederationexecutionresponse()
                ->mutable_result()
                ->set_logicaltimeimplementationname(fedpro::kFloat64TimeName);
            break;
        case wire::CallRequest::kJoinFederationExecutionWithModulesRequest:
            response.mutable_joinfederationexecutionwithmodulesresponse()
                ->mutable_result()
                ->set_logicaltimeimplementationname(fedpro::kFloat64TimeName);
            break;
        case wire::CallRequest::kRegisterObjectInstanceWithNameRequest:
            response.mutable_registerobjectinstancewithnameresponse()->mutable_result()->set_data(
                "object:" + r.registerobjectinstancewithnamerequest().objectinstancename());
            break;
        case wire::CallRequest::kQueryLogicalTimeRequest:
            response.mutable_querylogicaltimeresponse()->mutable_result()->set_data(
                fedpro::encodeFloat64Time(0));
            break;
        default:
            break;
    }
    return response;
}

}  // namespace hla4test
