#include "platform/fedpro/server/SwitchCalls.h"

namespace fedpro::server {

namespace {

using Request = pb::CallRequest;

// Turning a switch off that is off is kept; turning it on is not served.
void offOnly(const Request& r, bool value, const char* what) {
    if (!value) return;
    const std::string member =
        Request::descriptor()->FindFieldByNumber(static_cast<int>(r.callRequest_case()))->name();
    throw CallError("RTIinternalError", member +
                                            " with the value true is not supported by the "
                                            "Tandrel engine's server: its run-time gives no " +
                                            what);
}

bool sets(const Request& r, CallContext& c, pb::CallResponse& response) {
    switch (r.callRequest_case()) {
        case Request::kSetObjectClassRelevanceAdvisorySwitchRequest:
            c.self();
            offOnly(r, r.setobjectclassrelevanceadvisoryswitchrequest().value(), "advisories");
            response.mutable_setobjectclassrelevanceadvisoryswitchresponse();
            return true;
        case Request::kSetAttributeRelevanceAdvisorySwitchRequest:
            c.self();
            offOnly(r, r.setattributerelevanceadvisoryswitchrequest().value(), "advisories");
            response.mutable_setattributerelevanceadvisoryswitchresponse();
            return true;
        case Request::kSetAttributeScopeAdvisorySwitchRequest:
            c.self();
            offOnly(r, r.setattributescopeadvisoryswitchrequest().value(), "advisories");
            response.mutable_setattributescopeadvisoryswitchresponse();
            return true;
        case Request::kSetInteractionRelevanceAdvisorySwitchRequest:
            c.self();
            offOnly(r, r.setinteractionrelevanceadvisoryswitchrequest().value(), "advisories");
            response.mutable_setinteractionrelevanceadvisoryswitchresponse();
            return true;
        case Request::kSetConveyRegionDesignatorSetsSwitchRequest:
            c.self();
            offOnly(r, r.setconveyregiondesignatorsetsswitchrequest().value(), "regions");
            response.mutable_setconveyregiondesignatorsetsswitchresponse();
            return true;
        case Request::kSetServiceReportingSwitchRequest:
            c.self();
            offOnly(r, r.setservicereportingswitchrequest().value(), "service reports");
            response.mutable_setservicereportingswitchresponse();
            return true;
        case Request::kSetExceptionReportingSwitchRequest:
            c.self();
            offOnly(r, r.setexceptionreportingswitchrequest().value(), "exception reports");
            response.mutable_setexceptionreportingswitchresponse();
            return true;
        case Request::kSetSendServiceReportsToFileSwitchRequest:
            c.self();
            offOnly(r, r.setsendservicereportstofileswitchrequest().value(), "service reports");
            response.mutable_setsendservicereportstofileswitchresponse();
            return true;
        case Request::kSetAutomaticResignDirectiveRequest: {
            c.self();
            const pb::ResignAction action = r.setautomaticresigndirectiverequest().value();
            if (!pb::ResignAction_IsValid(action)) {
                throw CallError("InvalidResignAction",
                                "the resign action " + std::to_string(static_cast<int>(action)) +
                                    " is not one of the standard's");
            }
            c.federate.resignDirective = action;
            response.mutable_setautomaticresigndirectiveresponse();
            return true;
        }
        default:
            return false;
    }
}

bool gets(const Request& r, CallContext& c, pb::CallResponse& response) {
    switch (r.callRequest_case()) {
        case Request::kGetObjectClassRelevanceAdvisorySwitchRequest:
            c.self();
            response.mutable_getobjectclassrelevanceadvisoryswitchresponse()->set_result(false);
            return true;
        case Request::kGetAttributeRelevanceAdvisorySwitchRequest:
            c.self();
            response.mutable_getattributerelevanceadvisoryswitchresponse()->set_result(false);
            return true;
        case Request::kGetAttributeScopeAdvisorySwitchRequest:
            c.self();
            response.mutable_getattributescopeadvisoryswitchresponse()->set_result(false);
            return true;
        case Request::kGetInteractionRelevanceAdvisorySwitchRequest:
            c.self();
            response.mutable_getinteractionrelevanceadvisoryswitchresponse()->set_result(false);
            return true;
        case Request::kGetConveyRegionDesignatorSetsSwitchRequest:
            c.self();
            response.mutable_getconveyregiondesignatorsetsswitchresponse()->set_result(false);
            return true;
        case Request::kGetAutomaticResignDirectiveRequest:
            c.self();
            response.mutable_getautomaticresigndirectiveresponse()->set_result(
                c.federate.resignDirective);
            return true;
        case Request::kGetServiceReportingSwitchRequest:
            c.self();
            response.mutable_getservicereportingswitchresponse()->set_result(false);
            return true;
        case Request::kGetExceptionReportingSwitchRequest:
            c.self();
            response.mutable_getexceptionreportingswitchresponse()->set_result(false);
            return true;
        case Request::kGetSendServiceReportsToFileSwitchRequest:
            c.self();
            response.mutable_getsendservicereportstofileswitchresponse()->set_result(false);
            return true;
        case Request::kGetAutoProvideSwitchRequest:
            c.self();
            response.mutable_getautoprovideswitchresponse()->set_result(false);
            return true;
        case Request::kGetDelaySubscriptionEvaluationSwitchRequest:
            c.self();
            response.mutable_getdelaysubscriptionevaluationswitchresponse()->set_result(false);
            return true;
        case Request::kGetAdvisoriesUseKnownClassSwitchRequest:
            c.self();
            response.mutable_getadvisoriesuseknownclassswitchresponse()->set_result(false);
            return true;
        case Request::kGetAllowRelaxedDDMSwitchRequest:
            c.self();
            response.mutable_getallowrelaxedddmswitchresponse()->set_result(false);
            return true;
        case Request::kGetNonRegulatedGrantSwitchRequest:
            c.self();
            response.mutable_getnonregulatedgrantswitchresponse()->set_result(false);
            return true;
        default:
            return false;
    }
}

}  // namespace

bool switchCall(const pb::CallRequest& request, CallContext& context, pb::CallResponse& response) {
    return sets(request, context, response) || gets(request, context, response);
}

}  // namespace fedpro::server
