#include "platform/fedpro/server/SupportCalls.h"

#include <QString>

namespace fedpro::server {

namespace {

using Request = pb::CallRequest;

constexpr const char* kReliable = "HLAreliable";
constexpr const char* kBestEffort = "HLAbestEffort";
constexpr const char* kReceive = "Receive";
constexpr const char* kTimeStamp = "TimeStamp";

std::shared_ptr<const hla::FederationDescription> fom(CallContext& c) {
    const hla::FederateHandle self = c.self();
    return c.host.access()->description(self);
}

bool sameText(const std::string& a, const char* b) {
    return QString::fromStdString(a).compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

std::string attributeName(CallContext& c, const pb::ObjectClassHandle& wiredClass,
                          const pb::AttributeHandle& wiredAttribute) {
    const hla::ObjectClassHandle cls = fromWire(wiredClass);
    const hla::AttributeHandle attribute = fromWire(wiredAttribute);
    const auto description = fom(c);
    description->objectClass(cls);
    if (!description->isAvailable(cls, attribute)) {
        throw CallError("AttributeNotDefined",
                        "object class " + hla::name2010(description->objectClass(cls).fullName) +
                            " has no attribute " + std::to_string(hla::toUnderlying(attribute)));
    }
    return hla::name2010(description->attribute(attribute).name);
}

std::string parameterName(CallContext& c, const pb::InteractionClassHandle& wiredClass,
                          const pb::ParameterHandle& wiredParameter) {
    const hla::InteractionClassHandle cls = fromWire(wiredClass);
    const hla::ParameterHandle parameter = fromWire(wiredParameter);
    const auto description = fom(c);
    description->interactionClass(cls);
    if (!description->isAvailable(cls, parameter)) {
        throw CallError("InteractionParameterNotDefined",
                        "interaction class " +
                            hla::name2010(description->interactionClass(cls).fullName) +
                            " has no parameter " + std::to_string(hla::toUnderlying(parameter)));
    }
    return description->parameter(parameter).name;
}

// The standard lets a class name leave its root out ("Communication" for
// "HLAinteractionRoot.Communication").
std::string fullClassName(const std::string& name, const char* root13, const char* root2010) {
    const auto startsWith = [&](const char* root) {
        const std::string prefix = root;
        return name == prefix || name.rfind(prefix + ".", 0) == 0;
    };
    if (startsWith(root13) || startsWith(root2010)) return name;
    return std::string(root2010) + "." + name;
}

bool federates(const Request& r, CallContext& c, pb::CallResponse& response) {
    switch (r.callRequest_case()) {
        case Request::kGetFederateHandleRequest: {
            c.self();
            const std::string& name = r.getfederatehandlerequest().federatename();
            const auto handle = c.registry.federateNamed(c.federate.federation, name);
            if (!handle) {
                throw CallError("NameNotFound", "no federate named \"" + name + "\" has joined " +
                                                    c.federate.federation + " through this server");
            }
            *response.mutable_getfederatehandleresponse()->mutable_result() = wire(*handle);
            return true;
        }
        case Request::kGetFederateNameRequest: {
            c.self();
            const hla::FederateHandle federate = fromWire(r.getfederatenamerequest().federate());
            const auto name = c.registry.nameOf(federate);
            if (!name) {
                throw CallError(
                    "FederateHandleNotKnown",
                    "federate " + std::to_string(hla::toUnderlying(federate)) +
                        " did not join through this server, which knows no name for it");
            }
            response.mutable_getfederatenameresponse()->set_result(*name);
            return true;
        }
        default:
            return false;
    }
}

bool objectNames(const Request& r, CallContext& c, pb::CallResponse& response) {
    switch (r.callRequest_case()) {
        case Request::kGetObjectClassHandleRequest: {
            const hla::FederateHandle self = c.self();
            *response.mutable_getobjectclasshandleresponse()->mutable_result() =
                wire(c.host.access()->getObjectClassHandle(
                    self, fullClassName(r.getobjectclasshandlerequest().objectclassname(),
                                        hla::kObjectRoot, hla::kObjectRoot2010)));
            return true;
        }
        case Request::kGetObjectClassNameRequest: {
            const hla::ObjectClassHandle cls =
                fromWire(r.getobjectclassnamerequest().objectclass());
            response.mutable_getobjectclassnameresponse()->set_result(
                hla::name2010(fom(c)->objectClass(cls).fullName));
            return true;
        }
        case Request::kGetKnownObjectClassHandleRequest: {
            const hla::FederateHandle self = c.self();
            const auto object =
                fromWire(r.getknownobjectclasshandlerequest().objectinstance(), c.api);
            *response.mutable_getknownobjectclasshandleresponse()->mutable_result() =
                wire(c.host.access()->getObjectClass(self, object));
            return true;
        }
        case Request::kGetObjectInstanceHandleRequest: {
            const hla::FederateHandle self = c.self();
            *response.mutable_getobjectinstancehandleresponse()->mutable_result() =
                wire(c.host.access()->getObjectInstanceHandle(
                    self, r.getobjectinstancehandlerequest().objectinstancename()));
            return true;
        }
        case Request::kGetObjectInstanceNameRequest: {
            const hla::FederateHandle self = c.self();
            const auto object = fromWire(r.getobjectinstancenamerequest().objectinstance(), c.api);
            response.mutable_getobjectinstancenameresponse()->set_result(
                c.host.access()->getObjectInstanceName(self, object));
            return true;
        }
        case Request::kGetAttributeHandleRequest: {
            const auto& q = r.getattributehandlerequest();
            const hla::FederateHandle self = c.self();
            const hla::ObjectClassHandle cls = fromWire(q.objectclass());
            *response.mutable_getattributehandleresponse()->mutable_result() =
                wire(c.host.access()->getAttributeHandle(self, cls, q.attributename()));
            return true;
        }
        case Request::kGetAttributeNameRequest: {
            const auto& q = r.getattributenamerequest();
            response.mutable_getattributenameresponse()->set_result(
                attributeName(c, q.objectclass(), q.attribute()));
            return true;
        }
        default:
            return false;
    }
}

bool interactionNames(const Request& r, CallContext& c, pb::CallResponse& response) {
    switch (r.callRequest_case()) {
        case Request::kGetInteractionClassHandleRequest: {
            const hla::FederateHandle self = c.self();
            *response.mutable_getinteractionclasshandleresponse()->mutable_result() =
                wire(c.host.access()->getInteractionClassHandle(
                    self, fullClassName(r.getinteractionclasshandlerequest().interactionclassname(),
                                        hla::kInteractionRoot, hla::kInteractionRoot2010)));
            return true;
        }
        case Request::kGetInteractionClassNameRequest: {
            const hla::InteractionClassHandle cls =
                fromWire(r.getinteractionclassnamerequest().interactionclass());
            response.mutable_getinteractionclassnameresponse()->set_result(
                hla::name2010(fom(c)->interactionClass(cls).fullName));
            return true;
        }
        case Request::kGetParameterHandleRequest: {
            const auto& q = r.getparameterhandlerequest();
            const hla::FederateHandle self = c.self();
            const hla::InteractionClassHandle cls = fromWire(q.interactionclass());
            *response.mutable_getparameterhandleresponse()->mutable_result() =
                wire(c.host.access()->getParameterHandle(self, cls, q.parametername()));
            return true;
        }
        case Request::kGetParameterNameRequest: {
            const auto& q = r.getparameternamerequest();
            response.mutable_getparameternameresponse()->set_result(
                parameterName(c, q.interactionclass(), q.parameter()));
            return true;
        }
        default:
            return false;
    }
}

bool types(const Request& r, CallContext& c, pb::CallResponse& response) {
    switch (r.callRequest_case()) {
        case Request::kGetOrderTypeRequest: {
            c.self();
            const std::string& name = r.getordertyperequest().ordertypename();
            if (!sameText(name, kReceive) && !sameText(name, kTimeStamp)) {
                throw CallError("InvalidOrderName", "there is no order type named \"" + name +
                                                        "\"; there are Receive and TimeStamp");
            }
            response.mutable_getordertyperesponse()->set_result(
                sameText(name, kReceive) ? pb::RECEIVE : pb::TIMESTAMP);
            return true;
        }
        case Request::kGetOrderNameRequest: {
            c.self();
            const pb::OrderType order = r.getordernamerequest().ordertype();
            if (order != pb::RECEIVE && order != pb::TIMESTAMP) {
                throw CallError("InvalidOrderType", "there is no order type " +
                                                        std::to_string(static_cast<int>(order)));
            }
            response.mutable_getordernameresponse()->set_result(order == pb::RECEIVE ? kReceive
                                                                                     : kTimeStamp);
            return true;
        }
        case Request::kGetTransportationTypeHandleRequest: {
            c.self();
            const std::string& name =
                r.gettransportationtypehandlerequest().transportationtypename();
            if (!sameText(name, kReliable) && !sameText(name, kBestEffort)) {
                throw CallError("InvalidTransportationName",
                                "there is no transportation type named \"" + name +
                                    "\"; there are HLAreliable and HLAbestEffort");
            }
            *response.mutable_gettransportationtypehandleresponse()->mutable_result() = wire(
                sameText(name, kReliable) ? hla::Transport::Reliable : hla::Transport::BestEffort);
            return true;
        }
        case Request::kGetTransportationTypeNameRequest: {
            c.self();
            const char* invalid = c.api == Api::Ieee2010 ? "InvalidTransportationType"
                                                         : "InvalidTransportationTypeHandle";
            const std::uint32_t handle =
                handleValue(r.gettransportationtypenamerequest().transportationtype().data(),
                            invalid, "transportation type");
            if (handle != kReliableHandle && handle != kBestEffortHandle) {
                throw CallError(invalid,
                                "there is no transportation type " + std::to_string(handle));
            }
            response.mutable_gettransportationtypenameresponse()->set_result(
                handle == kReliableHandle ? kReliable : kBestEffort);
            return true;
        }
        default:
            return false;
    }
}

bool normalized(const Request& r, CallContext& c, pb::CallResponse& response) {
    switch (r.callRequest_case()) {
        case Request::kNormalizeServiceGroupRequest: {
            c.self();
            const pb::ServiceGroup group = r.normalizeservicegrouprequest().servicegroup();
            if (!pb::ServiceGroup_IsValid(group)) {
                throw CallError("InvalidServiceGroup", "there is no service group " +
                                                           std::to_string(static_cast<int>(group)));
            }
            response.mutable_normalizeservicegroupresponse()->set_result(
                static_cast<std::uint32_t>(group));
            return true;
        }
        case Request::kNormalizeFederateHandleRequest:
            c.self();
            response.mutable_normalizefederatehandleresponse()->set_result(
                hla::toUnderlying(fromWire(r.normalizefederatehandlerequest().federate())));
            return true;
        case Request::kNormalizeObjectClassHandleRequest:
            c.self();
            response.mutable_normalizeobjectclasshandleresponse()->set_result(
                hla::toUnderlying(fromWire(r.normalizeobjectclasshandlerequest().objectclass())));
            return true;
        case Request::kNormalizeInteractionClassHandleRequest:
            c.self();
            response.mutable_normalizeinteractionclasshandleresponse()->set_result(
                hla::toUnderlying(
                    fromWire(r.normalizeinteractionclasshandlerequest().interactionclass())));
            return true;
        case Request::kNormalizeObjectInstanceHandleRequest:
            c.self();
            response.mutable_normalizeobjectinstancehandleresponse()->set_result(hla::toUnderlying(
                fromWire(r.normalizeobjectinstancehandlerequest().objectinstance(), c.api)));
            return true;
        default:
            return false;
    }
}

}  // namespace

pb::TransportationTypeHandle wire(hla::Transport transport) {
    pb::TransportationTypeHandle handle;
    handle.set_data(
        handleBytes(transport == hla::Transport::Reliable ? kReliableHandle : kBestEffortHandle));
    return handle;
}

bool supportCall(const pb::CallRequest& request, CallContext& context, pb::CallResponse& response) {
    return federates(request, context, response) || objectNames(request, context, response) ||
           interactionNames(request, context, response) || types(request, context, response) ||
           normalized(request, context, response);
}

}  // namespace fedpro::server
