#include "platform/fedpro/server/OwnershipCalls.h"

namespace fedpro::server {

namespace {

using Request = pb::CallRequest;

// The object and attributes a call names, checked before the run-time is taken.
struct Target {
    hla::FederateHandle self;
    hla::ObjectInstanceHandle object;
    hla::AttributeSet attributes;
};

Target target(CallContext& c, const pb::ObjectInstanceHandle& object,
              const pb::AttributeHandleSet& attributes) {
    return {c.self(), fromWire(object, c.api), fromWire(attributes)};
}

// A denial leaves the acquiring federate waiting, as the run-time keeps a request until it
// is cancelled; the server checks that the federate owns what it denies.
void denyRelease(CallContext& c, const Target& t) {
    const links::RunTimeHost::Access rt = c.host.access();
    for (hla::AttributeHandle attribute : t.attributes) {
        if (!rt->isAttributeOwnedByFederate(t.self, t.object, attribute)) {
            throw CallError("AttributeNotOwned", "the federate does not own attribute " +
                                                     std::to_string(hla::toUnderlying(attribute)) +
                                                     " of " + hla::toString(t.object));
        }
    }
}

bool transfers(const Request& r, CallContext& c, pb::CallResponse& response) {
    switch (r.callRequest_case()) {
        case Request::kUnconditionalAttributeOwnershipDivestitureRequest: {
            const auto& q = r.unconditionalattributeownershipdivestiturerequest();
            const Target t = target(c, q.objectinstance(), q.attributes());
            c.host.access()->unconditionalAttributeOwnershipDivestiture(t.self, t.object,
                                                                        t.attributes);
            response.mutable_unconditionalattributeownershipdivestitureresponse();
            return true;
        }
        case Request::kAttributeOwnershipAcquisitionRequest: {
            const auto& q = r.attributeownershipacquisitionrequest();
            const Target t = target(c, q.objectinstance(), q.desiredattributes());
            c.host.access()->attributeOwnershipAcquisition(t.self, t.object, t.attributes,
                                                           q.usersuppliedtag());
            response.mutable_attributeownershipacquisitionresponse();
            return true;
        }
        case Request::kAttributeOwnershipAcquisitionIfAvailableRequest: {
            const auto& q = r.attributeownershipacquisitionifavailablerequest();
            const Target t = target(c, q.objectinstance(), q.desiredattributes());
            c.host.access()->attributeOwnershipAcquisitionIfAvailable(t.self, t.object,
                                                                      t.attributes);
            response.mutable_attributeownershipacquisitionifavailableresponse();
            return true;
        }
        case Request::kAttributeOwnershipReleaseDeniedRequest: {
            const auto& q = r.attributeownershipreleasedeniedrequest();
            denyRelease(c, target(c, q.objectinstance(), q.attributes()));
            response.mutable_attributeownershipreleasedeniedresponse();
            return true;
        }
        case Request::kAttributeOwnershipDivestitureIfWantedRequest: {
            const auto& q = r.attributeownershipdivestitureifwantedrequest();
            const Target t = target(c, q.objectinstance(), q.attributes());
            const hla::AttributeSet gone =
                c.host.access()->attributeOwnershipReleaseResponse(t.self, t.object, t.attributes);
            *response.mutable_attributeownershipdivestitureifwantedresponse()->mutable_result() =
                wire(gone);
            return true;
        }
        case Request::kCancelAttributeOwnershipAcquisitionRequest: {
            const auto& q = r.cancelattributeownershipacquisitionrequest();
            const Target t = target(c, q.objectinstance(), q.attributes());
            c.host.access()->cancelAttributeOwnershipAcquisition(t.self, t.object, t.attributes);
            response.mutable_cancelattributeownershipacquisitionresponse();
            return true;
        }
        default:
            return false;
    }
}

bool queries(const Request& r, CallContext& c, pb::CallResponse& response) {
    switch (r.callRequest_case()) {
        case Request::kQueryAttributeOwnershipRequest: {
            const auto& q = r.queryattributeownershiprequest();
            const Target t = target(c, q.objectinstance(), q.attributes());
            // The run-time answers one attribute at a time, each with a callback of its own.
            const links::RunTimeHost::Access rt = c.host.access();
            for (hla::AttributeHandle attribute : t.attributes) {
                rt->queryAttributeOwnership(t.self, t.object, attribute);
            }
            response.mutable_queryattributeownershipresponse();
            return true;
        }
        case Request::kIsAttributeOwnedByFederateRequest: {
            const auto& q = r.isattributeownedbyfederaterequest();
            const hla::FederateHandle self = c.self();
            const hla::ObjectInstanceHandle object = fromWire(q.objectinstance(), c.api);
            const hla::AttributeHandle attribute = fromWire(q.attribute());
            response.mutable_isattributeownedbyfederateresponse()->set_result(
                c.host.access()->isAttributeOwnedByFederate(self, object, attribute));
            return true;
        }
        default:
            return false;
    }
}

}  // namespace

bool ownershipCall(const pb::CallRequest& request, CallContext& context,
                   pb::CallResponse& response) {
    return transfers(request, context, response) || queries(request, context, response);
}

}  // namespace fedpro::server
