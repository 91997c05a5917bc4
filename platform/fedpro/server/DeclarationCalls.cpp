#include "platform/fedpro/server/DeclarationCalls.h"

#include <algorithm>
#include <iterator>

namespace fedpro::server {

namespace {

using Request = pb::CallRequest;
using Declared = std::map<hla::ObjectClassHandle, hla::AttributeSet>;

enum class Kind { Publication, Subscription };

// Hands the run-time the class's whole set: an empty one withdraws the class.
void apply(CallContext& c, Kind kind, hla::ObjectClassHandle cls, const hla::AttributeSet& set) {
    const hla::FederateHandle self = c.self();
    const links::RunTimeHost::Access rt = c.host.access();
    if (kind == Kind::Publication) {
        set.empty() ? rt->unpublishObjectClass(self, cls) : rt->publishObjectClass(self, cls, set);
    } else {
        set.empty() ? rt->unsubscribeObjectClass(self, cls)
                    : rt->subscribeObjectClassAttributes(self, cls, set);
    }
}

Declared& declared(CallContext& c, Kind kind) {
    return kind == Kind::Publication ? c.federate.published : c.federate.subscribed;
}

void add(CallContext& c, Kind kind, const pb::ObjectClassHandle& wiredClass,
         const pb::AttributeHandleSet& wiredAttributes) {
    const hla::ObjectClassHandle cls = fromWire(wiredClass);
    hla::AttributeSet set = fromWire(wiredAttributes);
    const auto standing = declared(c, kind).find(cls);
    if (standing != declared(c, kind).end())
        set.insert(standing->second.begin(), standing->second.end());
    // Adding nothing leaves the class as it stands.
    if (set.empty()) return;
    apply(c, kind, cls, set);
    declared(c, kind)[cls] = std::move(set);
}

void remove(CallContext& c, Kind kind, const pb::ObjectClassHandle& wiredClass,
            const pb::AttributeHandleSet* wiredAttributes) {
    const hla::ObjectClassHandle cls = fromWire(wiredClass);
    hla::AttributeSet rest;
    const auto standing = declared(c, kind).find(cls);
    if (wiredAttributes != nullptr && standing != declared(c, kind).end()) {
        const hla::AttributeSet gone = fromWire(*wiredAttributes);
        std::set_difference(standing->second.begin(), standing->second.end(), gone.begin(),
                            gone.end(), std::inserter(rest, rest.end()));
    }
    apply(c, kind, cls, rest);
    if (rest.empty()) {
        declared(c, kind).erase(cls);
    } else {
        declared(c, kind)[cls] = std::move(rest);
    }
}

bool objects(const Request& r, CallContext& c, pb::CallResponse& response) {
    switch (r.callRequest_case()) {
        case Request::kPublishObjectClassAttributesRequest: {
            const auto& q = r.publishobjectclassattributesrequest();
            add(c, Kind::Publication, q.objectclass(), q.attributes());
            response.mutable_publishobjectclassattributesresponse();
            return true;
        }
        case Request::kUnpublishObjectClassRequest:
            remove(c, Kind::Publication, r.unpublishobjectclassrequest().objectclass(), nullptr);
            response.mutable_unpublishobjectclassresponse();
            return true;
        case Request::kUnpublishObjectClassAttributesRequest: {
            const auto& q = r.unpublishobjectclassattributesrequest();
            remove(c, Kind::Publication, q.objectclass(), &q.attributes());
            response.mutable_unpublishobjectclassattributesresponse();
            return true;
        }
        // The run-time gives no relevance advisories, so a passive subscription is an active
        // one, and has no update rates, so a rate changes nothing.
        case Request::kSubscribeObjectClassAttributesRequest: {
            const auto& q = r.subscribeobjectclassattributesrequest();
            add(c, Kind::Subscription, q.objectclass(), q.attributes());
            response.mutable_subscribeobjectclassattributesresponse();
            return true;
        }
        case Request::kSubscribeObjectClassAttributesWithRateRequest: {
            const auto& q = r.subscribeobjectclassattributeswithraterequest();
            add(c, Kind::Subscription, q.objectclass(), q.attributes());
            response.mutable_subscribeobjectclassattributeswithrateresponse();
            return true;
        }
        case Request::kSubscribeObjectClassAttributesPassivelyRequest: {
            const auto& q = r.subscribeobjectclassattributespassivelyrequest();
            add(c, Kind::Subscription, q.objectclass(), q.attributes());
            response.mutable_subscribeobjectclassattributespassivelyresponse();
            return true;
        }
        case Request::kSubscribeObjectClassAttributesPassivelyWithRateRequest: {
            const auto& q = r.subscribeobjectclassattributespassivelywithraterequest();
            add(c, Kind::Subscription, q.objectclass(), q.attributes());
            response.mutable_subscribeobjectclassattributespassivelywithrateresponse();
            return true;
        }
        case Request::kUnsubscribeObjectClassRequest:
            remove(c, Kind::Subscription, r.unsubscribeobjectclassrequest().objectclass(), nullptr);
            response.mutable_unsubscribeobjectclassresponse();
            return true;
        case Request::kUnsubscribeObjectClassAttributesRequest: {
            const auto& q = r.unsubscribeobjectclassattributesrequest();
            remove(c, Kind::Subscription, q.objectclass(), &q.attributes());
            response.mutable_unsubscribeobjectclassattributesresponse();
            return true;
        }
        default:
            return false;
    }
}

bool interactions(const Request& r, CallContext& c, pb::CallResponse& response) {
    const auto call = [&](auto service, const pb::InteractionClassHandle& cls) {
        const hla::FederateHandle self = c.self();
        const hla::InteractionClassHandle handle = fromWire(cls);
        ((*c.host.access()).*service)(self, handle);
    };
    switch (r.callRequest_case()) {
        case Request::kPublishInteractionClassRequest:
            call(&rti::RunTime::publishInteractionClass,
                 r.publishinteractionclassrequest().interactionclass());
            response.mutable_publishinteractionclassresponse();
            return true;
        case Request::kUnpublishInteractionClassRequest:
            call(&rti::RunTime::unpublishInteractionClass,
                 r.unpublishinteractionclassrequest().interactionclass());
            response.mutable_unpublishinteractionclassresponse();
            return true;
        case Request::kSubscribeInteractionClassRequest:
            call(&rti::RunTime::subscribeInteractionClass,
                 r.subscribeinteractionclassrequest().interactionclass());
            response.mutable_subscribeinteractionclassresponse();
            return true;
        case Request::kSubscribeInteractionClassPassivelyRequest:
            call(&rti::RunTime::subscribeInteractionClass,
                 r.subscribeinteractionclasspassivelyrequest().interactionclass());
            response.mutable_subscribeinteractionclasspassivelyresponse();
            return true;
        case Request::kUnsubscribeInteractionClassRequest:
            call(&rti::RunTime::unsubscribeInteractionClass,
                 r.unsubscribeinteractionclassrequest().interactionclass());
            response.mutable_unsubscribeinteractionclassresponse();
            return true;
        default:
            return false;
    }
}

}  // namespace

bool declarationCall(const pb::CallRequest& request, CallContext& context,
                     pb::CallResponse& response) {
    return objects(request, context, response) || interactions(request, context, response);
}

}  // namespace fedpro::server
