// The session's ownership and time services (Hla4Session.h).

#include "platform/links/hla4/Hla4Session.h"

namespace links::hla4 {

template <class Request>
void Hla4Session::ownershipRequest(Request* request, hla::ObjectInstanceHandle object,
                                   const hla::AttributeSet& attributes) {
    const ObjectBytes handle = handles().serverObject(object);
    put(request->mutable_objectinstance(), handle);
    putAll(request->mutable_attributes(), handles().attributes(objectClassOf(handle), attributes));
}

void Hla4Session::unconditionalAttributeOwnershipDivestiture(hla::ObjectInstanceHandle object,
                                                             const hla::AttributeSet& attributes) {
    wire::CallRequest request;
    ownershipRequest(request.mutable_unconditionalattributeownershipdivestiturerequest(), object,
                     attributes);
    call(request, "releasing attribute ownership");
}

void Hla4Session::attributeOwnershipAcquisition(hla::ObjectInstanceHandle object,
                                                const hla::AttributeSet& attributes) {
    wire::CallRequest request;
    wire::AttributeOwnershipAcquisitionRequest* acquire =
        request.mutable_attributeownershipacquisitionrequest();
    const ObjectBytes handle = handles().serverObject(object);
    put(acquire->mutable_objectinstance(), handle);
    putAll(acquire->mutable_desiredattributes(),
           handles().attributes(objectClassOf(handle), attributes));
    call(request, "requesting attribute ownership");
}

void Hla4Session::attributeOwnershipAcquisitionIfAvailable(hla::ObjectInstanceHandle object,
                                                           const hla::AttributeSet& attributes) {
    wire::CallRequest request;
    wire::AttributeOwnershipAcquisitionIfAvailableRequest* acquire =
        request.mutable_attributeownershipacquisitionifavailablerequest();
    const ObjectBytes handle = handles().serverObject(object);
    put(acquire->mutable_objectinstance(), handle);
    putAll(acquire->mutable_desiredattributes(),
           handles().attributes(objectClassOf(handle), attributes));
    call(request, "taking attribute ownership");
}

hla::AttributeSet Hla4Session::attributeOwnershipReleaseResponse(
    hla::ObjectInstanceHandle object, const hla::AttributeSet& attributes) {
    wire::CallRequest request;
    ownershipRequest(request.mutable_attributeownershipdivestitureifwantedrequest(), object,
                     attributes);
    const wire::CallResponse response = call(request, "releasing attribute ownership on request");
    const hla::ObjectClassHandle cls = objectClassOf(handles().serverObject(object));
    return handles().localAttributes(
        cls, takenAll(response.attributeownershipdivestitureifwantedresponse().result()));
}

bool Hla4Session::isAttributeOwnedByFederate(hla::ObjectInstanceHandle object,
                                             hla::AttributeHandle attribute) {
    const ObjectBytes handle = handles().serverObject(object);
    wire::CallRequest request;
    wire::IsAttributeOwnedByFederateRequest* query =
        request.mutable_isattributeownedbyfederaterequest();
    put(query->mutable_objectinstance(), handle);
    put(query->mutable_attribute(), handles().attribute(objectClassOf(handle), attribute));
    return call(request, "querying ownership").isattributeownedbyfederateresponse().result();
}

void Hla4Session::enableTimeRegulation(hla::LogicalTime, hla::LogicalTime lookahead) {
    // The federate regulates from its current time, which it reached when it started.
    wire::CallRequest request;
    request.mutable_enabletimeregulationrequest()->mutable_lookahead()->set_data(
        m_connection.time().encode(lookahead));
    call(request, "enabling time regulation");
    m_lookahead = lookahead;
}

void Hla4Session::enableTimeConstrained() {
    wire::CallRequest request;
    request.mutable_enabletimeconstrainedrequest();
    call(request, "enabling time constraint");
}

void Hla4Session::enableAsynchronousDelivery() {
    wire::CallRequest request;
    request.mutable_enableasynchronousdeliveryrequest();
    call(request, "enabling asynchronous delivery");
}

void Hla4Session::timeAdvanceRequest(hla::LogicalTime time) {
    wire::CallRequest request;
    request.mutable_timeadvancerequestrequest()->mutable_time()->set_data(
        m_connection.time().encode(time));
    call(request, "Time Advance Request");
}

void Hla4Session::nextEventRequest(hla::LogicalTime time) {
    wire::CallRequest request;
    request.mutable_nextmessagerequestrequest()->mutable_time()->set_data(
        m_connection.time().encode(time));
    call(request, "Next Event Request");
}

void Hla4Session::flushQueueRequest(hla::LogicalTime time) {
    wire::CallRequest request;
    request.mutable_flushqueuerequestrequest()->mutable_time()->set_data(
        m_connection.time().encode(time));
    call(request, "Flush Queue Request");
}

void Hla4Session::modifyLookahead(hla::LogicalTime lookahead) {
    wire::CallRequest request;
    request.mutable_modifylookaheadrequest()->mutable_lookahead()->set_data(
        m_connection.time().encode(lookahead));
    call(request, "changing the lookahead");
    m_lookahead = lookahead;
}

hla::LogicalTime Hla4Session::queryFederateTime() {
    if (const auto delivered = callbacks().deliveredTime()) return *delivered;
    wire::CallRequest request;
    request.mutable_querylogicaltimerequest();
    const wire::CallResponse response = call(request, "querying the logical time");
    return m_connection.time().decode(response.querylogicaltimeresponse().result().data());
}

hla::LogicalTime Hla4Session::timeOrInfinity(const wire::TimeQueryReturn& answer) const {
    if (!answer.logicaltimeisvalid()) return hla::kInfiniteTime;
    return m_connection.time().decode(answer.logicaltime().data());
}

// The greatest time the federation may still send to this federate: +infinity when no other
// federate regulates.
hla::LogicalTime Hla4Session::queryLBTS() {
    wire::CallRequest request;
    request.mutable_querygaltrequest();
    return timeOrInfinity(call(request, "querying LBTS").querygaltresponse().result());
}

hla::LogicalTime Hla4Session::queryMinNextEventTime() {
    wire::CallRequest request;
    request.mutable_querylitsrequest();
    return timeOrInfinity(
        call(request, "querying the next event time").querylitsresponse().result());
}

// The server has a lookahead only while the federate regulates; the one configured otherwise.
hla::LogicalTime Hla4Session::queryLookahead() {
    if (!callbacks().regulating()) return m_lookahead;
    wire::CallRequest request;
    request.mutable_querylookaheadrequest();
    const wire::CallResponse response = call(request, "querying the lookahead");
    return m_connection.time().decode(response.querylookaheadresponse().result().data());
}

}  // namespace links::hla4
