#include "platform/fedpro/server/TimeCalls.h"

namespace fedpro::server {

namespace {

using Request = pb::CallRequest;
using Service = void (rti::RunTime::*)(hla::FederateHandle);
using TimedService = void (rti::RunTime::*)(hla::FederateHandle, hla::LogicalTime);

void plain(CallContext& c, Service service) {
    const hla::FederateHandle self = c.self();
    ((*c.host.access()).*service)(self);
}

void timed(CallContext& c, TimedService service, const pb::LogicalTime& time) {
    const hla::FederateHandle self = c.self();
    const hla::LogicalTime when = fromWire(time, c.federate.time);
    ((*c.host.access()).*service)(self, when);
}

hla::LogicalTime lookahead(CallContext& c, const pb::LogicalTimeInterval& interval) {
    return fromWire(interval, c.federate.time, "InvalidLookahead");
}

bool switches(const Request& r, CallContext& c, pb::CallResponse& response) {
    switch (r.callRequest_case()) {
        case Request::kEnableTimeRegulationRequest: {
            const hla::FederateHandle self = c.self();
            const hla::LogicalTime ahead =
                lookahead(c, r.enabletimeregulationrequest().lookahead());
            // Regulation starts from the federate's own time, as the standard's service has it.
            const links::RunTimeHost::Access rt = c.host.access();
            rt->enableTimeRegulation(self, rt->queryFederateTime(self), ahead);
            response.mutable_enabletimeregulationresponse();
            return true;
        }
        case Request::kDisableTimeRegulationRequest:
            plain(c, &rti::RunTime::disableTimeRegulation);
            response.mutable_disabletimeregulationresponse();
            return true;
        case Request::kEnableTimeConstrainedRequest:
            plain(c, &rti::RunTime::enableTimeConstrained);
            response.mutable_enabletimeconstrainedresponse();
            return true;
        case Request::kDisableTimeConstrainedRequest:
            plain(c, &rti::RunTime::disableTimeConstrained);
            response.mutable_disabletimeconstrainedresponse();
            return true;
        case Request::kEnableAsynchronousDeliveryRequest:
            plain(c, &rti::RunTime::enableAsynchronousDelivery);
            response.mutable_enableasynchronousdeliveryresponse();
            return true;
        case Request::kDisableAsynchronousDeliveryRequest:
            plain(c, &rti::RunTime::disableAsynchronousDelivery);
            response.mutable_disableasynchronousdeliveryresponse();
            return true;
        default:
            return false;
    }
}

bool advances(const Request& r, CallContext& c, pb::CallResponse& response) {
    switch (r.callRequest_case()) {
        case Request::kTimeAdvanceRequestRequest:
            timed(c, &rti::RunTime::timeAdvanceRequest, r.timeadvancerequestrequest().time());
            response.mutable_timeadvancerequestresponse();
            return true;
        case Request::kNextMessageRequestRequest:
            timed(c, &rti::RunTime::nextEventRequest, r.nextmessagerequestrequest().time());
            response.mutable_nextmessagerequestresponse();
            return true;
        case Request::kFlushQueueRequestRequest:
            timed(c, &rti::RunTime::flushQueueRequest, r.flushqueuerequestrequest().time());
            response.mutable_flushqueuerequestresponse();
            return true;
        case Request::kModifyLookaheadRequest: {
            const hla::FederateHandle self = c.self();
            const hla::LogicalTime ahead = lookahead(c, r.modifylookaheadrequest().lookahead());
            c.host.access()->modifyLookahead(self, ahead);
            response.mutable_modifylookaheadresponse();
            return true;
        }
        default:
            return false;
    }
}

bool queries(const Request& r, CallContext& c, pb::CallResponse& response) {
    switch (r.callRequest_case()) {
        case Request::kQueryGALTRequest: {
            const hla::FederateHandle self = c.self();
            *response.mutable_querygaltresponse()->mutable_result() =
                wireQuery(c.host.access()->queryLBTS(self), c.federate.time);
            return true;
        }
        case Request::kQueryLogicalTimeRequest: {
            const hla::FederateHandle self = c.self();
            *response.mutable_querylogicaltimeresponse()->mutable_result() =
                wireTime(c.host.access()->queryFederateTime(self), c.federate.time);
            return true;
        }
        case Request::kQueryLITSRequest: {
            const hla::FederateHandle self = c.self();
            *response.mutable_querylitsresponse()->mutable_result() =
                wireQuery(c.host.access()->queryMinNextEventTime(self), c.federate.time);
            return true;
        }
        case Request::kQueryLookaheadRequest: {
            const hla::FederateHandle self = c.self();
            *response.mutable_querylookaheadresponse()->mutable_result() =
                wireInterval(c.host.access()->queryLookahead(self), c.federate.time);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace

bool timeCall(const pb::CallRequest& request, CallContext& context, pb::CallResponse& response) {
    return switches(request, context, response) || advances(request, context, response) ||
           queries(request, context, response);
}

}  // namespace fedpro::server
