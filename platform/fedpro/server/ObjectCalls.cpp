#include "platform/fedpro/server/ObjectCalls.h"

#include "platform/fedpro/server/ServerBounds.h"

namespace fedpro::server {

namespace {

using Request = pb::CallRequest;

// Names beginning with "HLA" are the RTI's to give.
void checkName(const std::string& name) {
    if (name.empty()) throw CallError("IllegalName", "an object instance name may not be empty");
    if (name.rfind("HLA", 0) == 0) {
        throw CallError("IllegalName", "the object instance name \"" + name +
                                           "\" begins with \"HLA\", which the RTI keeps");
    }
}

// The run-time reserves no names: the server keeps its federates' reservations, and an
// object of the name that stands already (a window's) makes a reservation fail.
bool reserveOne(CallContext& c, hla::FederateHandle self, const std::string& name) {
    try {
        c.host.access()->getObjectInstanceHandle(self, name);
        return false;
    } catch (const hla::Error& e) {
        if (e.kind() != hla::ErrorKind::ObjectNotKnown) throw;
    }
    return c.registry.reserve(c.federate.federation, name, self);
}

void checkRoom(CallContext& c, hla::FederateHandle self, std::size_t more) {
    if (c.registry.reservationCount(self) + more > kMaxReservedNamesPerSession) {
        throw CallError("RTIinternalError",
                        "a session may reserve at most " +
                            std::to_string(kMaxReservedNamesPerSession) +
                            " object instance names on the Tandrel engine's server");
    }
}

void reserve(CallContext& c, const std::string& name) {
    const hla::FederateHandle self = c.self();
    checkName(name);
    checkRoom(c, self, 1);
    pb::CallbackRequest callback;
    if (reserveOne(c, self, name)) {
        callback.mutable_objectinstancenamereservationsucceeded()->set_objectinstancename(name);
    } else {
        callback.mutable_objectinstancenamereservationfailed()->set_objectinstancename(name);
    }
    c.madeCallbacks.push_back(std::move(callback));
}

void reserveAll(CallContext& c, const google::protobuf::RepeatedPtrField<std::string>& names) {
    const hla::FederateHandle self = c.self();
    if (names.empty()) throw CallError("NameSetWasEmpty", "no object instance name was given");
    for (const std::string& name : names) checkName(name);
    checkRoom(c, self, static_cast<std::size_t>(names.size()));
    std::vector<std::string> taken;
    bool reserved = true;
    for (const std::string& name : names) {
        if (c.registry.reservedBy(c.federate.federation, name, self)) continue;
        if (!reserveOne(c, self, name)) {
            reserved = false;
            break;
        }
        taken.push_back(name);
    }
    pb::CallbackRequest callback;
    if (reserved) {
        auto* succeeded = callback.mutable_multipleobjectinstancenamereservationsucceeded();
        for (const std::string& name : names) succeeded->add_objectinstancenames(name);
    } else {
        // All or none: what this call reserved goes again.
        for (const std::string& name : taken) c.registry.release(c.federate.federation, name, self);
        auto* failed = callback.mutable_multipleobjectinstancenamereservationfailed();
        for (const std::string& name : names) failed->add_objectinstancenames(name);
    }
    c.madeCallbacks.push_back(std::move(callback));
}

void release(CallContext& c, const std::string& name) {
    const hla::FederateHandle self = c.self();
    if (!c.registry.reservedBy(c.federate.federation, name, self)) {
        throw CallError("ObjectInstanceNameNotReserved", "the object instance name \"" + name +
                                                             "\" is not reserved by the federate");
    }
    c.registry.release(c.federate.federation, name, self);
}

pb::ObjectInstanceHandle registerObject(CallContext& c, const pb::ObjectClassHandle& cls,
                                        const std::string* name) {
    const hla::FederateHandle self = c.self();
    const hla::ObjectClassHandle handle = fromWire(cls);
    if (c.federate.registered.size() >= kMaxObjectsPerSession) {
        throw CallError("RTIinternalError", "a session may hold at most " +
                                                std::to_string(kMaxObjectsPerSession) +
                                                " object instances on the Tandrel engine's server");
    }
    if (name != nullptr && !c.registry.reservedBy(c.federate.federation, *name, self)) {
        throw CallError("ObjectInstanceNameNotReserved",
                        "the object instance name \"" + *name +
                            "\" is not reserved by the federate; reserve it first");
    }
    const hla::ObjectInstanceHandle object =
        c.host.access()->registerObjectInstance(self, handle, name ? *name : std::string());
    c.federate.registered.insert(object);
    return wire(object);
}

std::optional<hla::LogicalTime> timeOf(CallContext& c, const pb::LogicalTime* time) {
    if (time == nullptr) return std::nullopt;
    return fromWire(*time, c.federate.time);
}

void update(CallContext& c, const pb::ObjectInstanceHandle& object,
            const pb::AttributeHandleValueMap& values, const std::string& tag,
            const pb::LogicalTime* time) {
    const hla::FederateHandle self = c.self();
    const hla::ObjectInstanceHandle handle = fromWire(object, c.api);
    const hla::AttributeValues decoded = fromWire(values);
    const std::optional<hla::LogicalTime> when = timeOf(c, time);
    c.host.access()->updateAttributeValues(self, handle, decoded, tag, when);
}

void send(CallContext& c, const pb::InteractionClassHandle& cls,
          const pb::ParameterHandleValueMap& values, const std::string& tag,
          const pb::LogicalTime* time) {
    const hla::FederateHandle self = c.self();
    const hla::InteractionClassHandle handle = fromWire(cls);
    const hla::ParameterValues decoded = fromWire(values);
    const std::optional<hla::LogicalTime> when = timeOf(c, time);
    c.host.access()->sendInteraction(self, handle, decoded, tag, when);
}

void remove(CallContext& c, const pb::ObjectInstanceHandle& object, const std::string& tag,
            const pb::LogicalTime* time) {
    const hla::FederateHandle self = c.self();
    const hla::ObjectInstanceHandle handle = fromWire(object, c.api);
    const std::optional<hla::LogicalTime> when = timeOf(c, time);
    c.host.access()->deleteObjectInstance(self, handle, tag, when);
    c.federate.registered.erase(handle);
}

// No retraction is offered: the handle is never valid.
pb::MessageRetractionReturn noRetraction() {
    pb::MessageRetractionReturn result;
    result.set_retractionhandleisvalid(false);
    return result;
}

bool names(const Request& r, CallContext& c, pb::CallResponse& response) {
    switch (r.callRequest_case()) {
        case Request::kReserveObjectInstanceNameRequest:
            reserve(c, r.reserveobjectinstancenamerequest().objectinstancename());
            response.mutable_reserveobjectinstancenameresponse();
            return true;
        case Request::kReleaseObjectInstanceNameRequest:
            release(c, r.releaseobjectinstancenamerequest().objectinstancename());
            response.mutable_releaseobjectinstancenameresponse();
            return true;
        case Request::kReserveMultipleObjectInstanceNamesRequest:
            reserveAll(c, r.reservemultipleobjectinstancenamesrequest().objectinstancenames());
            response.mutable_reservemultipleobjectinstancenamesresponse();
            return true;
        case Request::kReleaseMultipleObjectInstanceNamesRequest: {
            const auto& all = r.releasemultipleobjectinstancenamesrequest().objectinstancenames();
            if (all.empty())
                throw CallError("NameSetWasEmpty", "no object instance name was given");
            for (const std::string& name : all) {
                if (!c.registry.reservedBy(c.federate.federation, name, c.self())) {
                    throw CallError("ObjectInstanceNameNotReserved",
                                    "the object instance name \"" + name +
                                        "\" is not reserved by the federate");
                }
            }
            for (const std::string& name : all) release(c, name);
            response.mutable_releasemultipleobjectinstancenamesresponse();
            return true;
        }
        default:
            return false;
    }
}

bool instances(const Request& r, CallContext& c, pb::CallResponse& response) {
    switch (r.callRequest_case()) {
        case Request::kRegisterObjectInstanceRequest:
            *response.mutable_registerobjectinstanceresponse()->mutable_result() =
                registerObject(c, r.registerobjectinstancerequest().objectclass(), nullptr);
            return true;
        case Request::kRegisterObjectInstanceWithNameRequest: {
            const auto& q = r.registerobjectinstancewithnamerequest();
            *response.mutable_registerobjectinstancewithnameresponse()->mutable_result() =
                registerObject(c, q.objectclass(), &q.objectinstancename());
            return true;
        }
        case Request::kUpdateAttributeValuesRequest: {
            const auto& q = r.updateattributevaluesrequest();
            update(c, q.objectinstance(), q.attributevalues(), q.usersuppliedtag(), nullptr);
            response.mutable_updateattributevaluesresponse();
            return true;
        }
        case Request::kUpdateAttributeValuesWithTimeRequest: {
            const auto& q = r.updateattributevalueswithtimerequest();
            update(c, q.objectinstance(), q.attributevalues(), q.usersuppliedtag(), &q.time());
            *response.mutable_updateattributevalueswithtimeresponse()->mutable_result() =
                noRetraction();
            return true;
        }
        case Request::kSendInteractionRequest: {
            const auto& q = r.sendinteractionrequest();
            send(c, q.interactionclass(), q.parametervalues(), q.usersuppliedtag(), nullptr);
            response.mutable_sendinteractionresponse();
            return true;
        }
        case Request::kSendInteractionWithTimeRequest: {
            const auto& q = r.sendinteractionwithtimerequest();
            send(c, q.interactionclass(), q.parametervalues(), q.usersuppliedtag(), &q.time());
            *response.mutable_sendinteractionwithtimeresponse()->mutable_result() = noRetraction();
            return true;
        }
        case Request::kRequestInstanceAttributeValueUpdateRequest: {
            const auto& q = r.requestinstanceattributevalueupdaterequest();
            c.host.access()->requestAttributeValueUpdate(
                c.self(), fromWire(q.objectinstance(), c.api), fromWire(q.attributes()),
                q.usersuppliedtag());
            response.mutable_requestinstanceattributevalueupdateresponse();
            return true;
        }
        case Request::kRequestClassAttributeValueUpdateRequest: {
            const auto& q = r.requestclassattributevalueupdaterequest();
            c.host.access()->requestAttributeValueUpdate(
                c.self(), fromWire(q.objectclass()), fromWire(q.attributes()), q.usersuppliedtag());
            response.mutable_requestclassattributevalueupdateresponse();
            return true;
        }
        case Request::kDeleteObjectInstanceRequest: {
            const auto& q = r.deleteobjectinstancerequest();
            remove(c, q.objectinstance(), q.usersuppliedtag(), nullptr);
            response.mutable_deleteobjectinstanceresponse();
            return true;
        }
        case Request::kDeleteObjectInstanceWithTimeRequest: {
            const auto& q = r.deleteobjectinstancewithtimerequest();
            remove(c, q.objectinstance(), q.usersuppliedtag(), &q.time());
            *response.mutable_deleteobjectinstancewithtimeresponse()->mutable_result() =
                noRetraction();
            return true;
        }
        default:
            return false;
    }
}

}  // namespace

bool objectCall(const pb::CallRequest& request, CallContext& context, pb::CallResponse& response) {
    return names(request, context, response) || instances(request, context, response);
}

}  // namespace fedpro::server
