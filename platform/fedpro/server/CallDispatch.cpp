#include "platform/fedpro/server/CallDispatch.h"

#include "platform/fedpro/server/DeclarationCalls.h"
#include "platform/fedpro/server/FederationCalls.h"
#include "platform/fedpro/server/ObjectCalls.h"
#include "platform/fedpro/server/OwnershipCalls.h"
#include "platform/fedpro/server/SupportCalls.h"
#include "platform/fedpro/server/SwitchCalls.h"
#include "platform/fedpro/server/TimeCalls.h"

namespace fedpro::server {

std::string memberName(const pb::CallRequest& request) {
    if (request.callRequest_case() == pb::CallRequest::CALLREQUEST_NOT_SET) return {};
    const auto* field = pb::CallRequest::descriptor()->FindFieldByNumber(
        static_cast<int>(request.callRequest_case()));
    return field != nullptr ? field->name() : std::string();
}

pb::CallResponse exceptionResponse(const std::string& exceptionName, const std::string& details) {
    pb::CallResponse response;
    pb::ExceptionData* data = response.mutable_exceptiondata();
    data->set_exceptionname(exceptionName);
    data->set_details(details);
    return response;
}

pb::CallResponse dispatchCall(const pb::CallRequest& request, CallContext& context) {
    const std::string member = memberName(request);
    if (member.empty()) {
        return exceptionResponse("RTIinternalError",
                                 "the call request names no service this server knows");
    }
    pb::CallResponse response;
    try {
        const bool served =
            federationCall(request, context, response) ||
            declarationCall(request, context, response) || objectCall(request, context, response) ||
            ownershipCall(request, context, response) || timeCall(request, context, response) ||
            supportCall(request, context, response) || switchCall(request, context, response);
        if (!served) throw notSupported(member);
        return response;
    } catch (const CallError& e) {
        return exceptionResponse(e.exceptionName(), e.what());
    } catch (const hla::Error& e) {
        return exceptionResponse(exceptionName(e.kind(), context.api), e.what());
    } catch (const std::exception& e) {
        return exceptionResponse("RTIinternalError", member + " failed: " + e.what());
    }
}

}  // namespace fedpro::server
