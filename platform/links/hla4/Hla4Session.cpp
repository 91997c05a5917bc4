#include "platform/links/hla4/Hla4Session.h"

#include "platform/links/ThreadedLink.h"

namespace links::hla4 {

namespace {

using Clock = std::chrono::steady_clock;

// How long one wait of the session's own lasts inside a longer one.
constexpr std::chrono::milliseconds kWaitSlice{10};
constexpr const char* kObjectNotKnown = "ObjectInstanceNotKnown";

void putValues(wire::AttributeHandleValueMap* map, Hla4Handles& handles, hla::ObjectClassHandle cls,
               const hla::AttributeValues& values) {
    for (const auto& [attribute, bytes] : values) {
        wire::AttributeHandleValue* value = map->add_attributehandlevalue();
        value->mutable_attributehandle()->set_data(handles.attribute(cls, attribute).bytes);
        value->set_value(bytes.data(), bytes.size());
    }
}

void putValues(wire::ParameterHandleValueMap* map, Hla4Handles& handles,
               hla::InteractionClassHandle cls, const hla::ParameterValues& values) {
    for (const auto& [parameter, bytes] : values) {
        wire::ParameterHandleValue* value = map->add_parameterhandlevalue();
        value->mutable_parameterhandle()->set_data(handles.parameter(cls, parameter).bytes);
        value->set_value(bytes.data(), bytes.size());
    }
}

}  // namespace

template <typename Done>
bool Hla4Session::waitUntil(std::chrono::milliseconds bound, Done done) {
    const auto end = Clock::now() + bound;
    while (!done()) {
        if (Clock::now() > end || callbacks().lost()) return false;
        m_connection.pumpFor(kWaitSlice);
    }
    return true;
}

void Hla4Session::startAt(hla::LogicalTime initialTime) {
    if (initialTime <= 0) return;
    callbacks().expectStartGrant();
    timeAdvanceRequest(initialTime);
    const auto bound = innerBound(m_connection.bounds().open);
    if (!waitUntil(bound, [&] { return callbacks().startGranted(); })) {
        m_connection.failIfLost("advancing to the initial time");
        throw std::runtime_error("the server did not grant the initial time " +
                                 hla::formatTime(initialTime) + " within " + secondsText(bound));
    }
}

void Hla4Session::registerSynchronizationPoint(const std::string& label) {
    wire::CallRequest request;
    request.mutable_registerfederationsynchronizationpointrequest()->set_synchronizationpointlabel(
        label);
    call(request, "registering synchronization point " + label);
}

void Hla4Session::synchronizationPointAchieved(const std::string& label) {
    wire::CallRequest request;
    wire::SynchronizationPointAchievedRequest* achieved =
        request.mutable_synchronizationpointachievedrequest();
    achieved->set_synchronizationpointlabel(label);
    achieved->set_successfully(true);
    call(request, "reporting synchronization point " + label + " achieved");
}

void Hla4Session::publishObjectClass(hla::ObjectClassHandle cls,
                                     const hla::AttributeSet& attributes) {
    wire::CallRequest request;
    wire::PublishObjectClassAttributesRequest* publish =
        request.mutable_publishobjectclassattributesrequest();
    put(publish->mutable_objectclass(), handles().objectClass(cls));
    putAll(publish->mutable_attributes(), handles().attributes(cls, attributes));
    call(request, "publishing");
}

void Hla4Session::unpublishObjectClass(hla::ObjectClassHandle cls) {
    wire::CallRequest request;
    put(request.mutable_unpublishobjectclassrequest()->mutable_objectclass(),
        handles().objectClass(cls));
    call(request, "unpublishing");
}

void Hla4Session::subscribeObjectClassAttributes(hla::ObjectClassHandle cls,
                                                 const hla::AttributeSet& attributes) {
    wire::CallRequest request;
    wire::SubscribeObjectClassAttributesRequest* subscribe =
        request.mutable_subscribeobjectclassattributesrequest();
    put(subscribe->mutable_objectclass(), handles().objectClass(cls));
    putAll(subscribe->mutable_attributes(), handles().attributes(cls, attributes));
    call(request, "subscribing");
}

void Hla4Session::unsubscribeObjectClass(hla::ObjectClassHandle cls) {
    wire::CallRequest request;
    put(request.mutable_unsubscribeobjectclassrequest()->mutable_objectclass(),
        handles().objectClass(cls));
    call(request, "unsubscribing");
}

void Hla4Session::publishInteractionClass(hla::InteractionClassHandle cls) {
    wire::CallRequest request;
    put(request.mutable_publishinteractionclassrequest()->mutable_interactionclass(),
        handles().interactionClass(cls));
    call(request, "publishing");
}

void Hla4Session::unpublishInteractionClass(hla::InteractionClassHandle cls) {
    wire::CallRequest request;
    put(request.mutable_unpublishinteractionclassrequest()->mutable_interactionclass(),
        handles().interactionClass(cls));
    call(request, "unpublishing");
}

void Hla4Session::subscribeInteractionClass(hla::InteractionClassHandle cls) {
    wire::CallRequest request;
    put(request.mutable_subscribeinteractionclassrequest()->mutable_interactionclass(),
        handles().interactionClass(cls));
    call(request, "subscribing");
}

void Hla4Session::unsubscribeInteractionClass(hla::InteractionClassHandle cls) {
    wire::CallRequest request;
    put(request.mutable_unsubscribeinteractionclassrequest()->mutable_interactionclass(),
        handles().interactionClass(cls));
    call(request, "unsubscribing");
}

// Registering under a name takes reserving it first, which the server answers by a callback.
void Hla4Session::reserveName(const std::string& name) {
    callbacks().expectReservation(name);
    wire::CallRequest request;
    request.mutable_reserveobjectinstancenamerequest()->set_objectinstancename(name);
    call(request, "reserving object name " + name);
    const auto bound = innerBound(m_connection.bounds().call);
    const bool answered = waitUntil(bound, [&] {
        return callbacks().reservation(name) != Hla4Callbacks::Reservation::Pending;
    });
    const auto answer = callbacks().reservation(name);
    callbacks().forgetReservation(name);
    if (!answered) {
        releaseName(name);  // not reserved (yet): a reservation that comes later lapses with it
        m_connection.failIfLost("registering object " + name);
        throw std::runtime_error("registering object " + name +
                                 ": the server did not answer the reservation of its name within " +
                                 secondsText(bound));
    }
    if (answer == Hla4Callbacks::Reservation::Failed) {
        throw std::runtime_error("registering object " + name +
                                 ": the name is reserved or in use by another federate");
    }
}

void Hla4Session::releaseName(const std::string& name) {
    if (m_connection.callbacks().lost()) return;
    wire::CallRequest request;
    request.mutable_releaseobjectinstancenamerequest()->set_objectinstancename(name);
    try {
        call(request, "releasing object name " + name);
    } catch (const std::runtime_error&) {
        // Lapses with the federate.
    }
}

hla::ObjectInstanceHandle Hla4Session::registerObjectInstance(hla::ObjectClassHandle cls,
                                                              const std::string& name) {
    const ObjectClassBytes serverClass = handles().objectClass(cls);
    wire::CallRequest request;
    ObjectBytes object;
    if (name.empty()) {
        put(request.mutable_registerobjectinstancerequest()->mutable_objectclass(), serverClass);
        object = taken<ObjectBytes>(
            call(request, "registering an object").registerobjectinstanceresponse().result());
    } else {
        reserveName(name);
        wire::RegisterObjectInstanceWithNameRequest* reg =
            request.mutable_registerobjectinstancewithnamerequest();
        put(reg->mutable_objectclass(), serverClass);
        reg->set_objectinstancename(name);
        try {
            object = taken<ObjectBytes>(call(request, "registering object " + name)
                                            .registerobjectinstancewithnameresponse()
                                            .result());
        } catch (const std::runtime_error&) {
            releaseName(name);
            throw;
        }
    }
    callbacks().registered(object, cls);
    m_objectClasses[object] = cls;
    return handles().localObject(object);
}

std::optional<hla::ObjectInstanceHandle> Hla4Session::findObjectInstance(const std::string& name) {
    const std::string what = "looking up object " + name;
    m_connection.failIfLost(what);
    wire::CallRequest request;
    request.mutable_getobjectinstancehandlerequest()->set_objectinstancename(name);
    try {
        return handles().localObject(taken<ObjectBytes>(
            m_connection.calls().call(request, what).getobjectinstancehandleresponse().result()));
    } catch (const ServerRefusal& e) {
        if (e.name() == kObjectNotKnown) return std::nullopt;
        throw std::runtime_error(what + ": " + e.what());
    }
}

hla::ObjectClassHandle Hla4Session::objectClassOf(const ObjectBytes& object) {
    const auto kept = m_objectClasses.find(object);
    if (kept != m_objectClasses.end()) return kept->second;
    wire::CallRequest request;
    put(request.mutable_getknownobjectclasshandlerequest()->mutable_objectinstance(), object);
    const auto serverClass = taken<ObjectClassBytes>(
        call(request, "looking up an object").getknownobjectclasshandleresponse().result());
    const auto local = handles().localObjectClass(serverClass);
    if (!local) throw std::runtime_error("the object's class is not one this federate uses");
    m_objectClasses.emplace(object, *local);
    return *local;
}

void Hla4Session::updateAttributeValues(hla::ObjectInstanceHandle object,
                                        const hla::AttributeValues& values,
                                        std::optional<hla::LogicalTime> time) {
    const ObjectBytes handle = handles().serverObject(object);
    const hla::ObjectClassHandle cls = objectClassOf(handle);
    wire::CallRequest request;
    if (time) {
        wire::UpdateAttributeValuesWithTimeRequest* update =
            request.mutable_updateattributevalueswithtimerequest();
        put(update->mutable_objectinstance(), handle);
        putValues(update->mutable_attributevalues(), handles(), cls, values);
        update->mutable_time()->set_data(m_connection.time().encode(*time));
    } else {
        wire::UpdateAttributeValuesRequest* update = request.mutable_updateattributevaluesrequest();
        put(update->mutable_objectinstance(), handle);
        putValues(update->mutable_attributevalues(), handles(), cls, values);
    }
    // Not waited for, so that updates stream: the provider checked what the server would
    // refuse before, and a refusal still comes, with the next call.
    m_connection.post(request, "updating");
}

void Hla4Session::sendInteraction(hla::InteractionClassHandle cls,
                                  const hla::ParameterValues& values,
                                  std::optional<hla::LogicalTime> time) {
    const InteractionClassBytes serverClass = handles().interactionClass(cls);
    wire::CallRequest request;
    if (time) {
        wire::SendInteractionWithTimeRequest* send =
            request.mutable_sendinteractionwithtimerequest();
        put(send->mutable_interactionclass(), serverClass);
        putValues(send->mutable_parametervalues(), handles(), cls, values);
        send->mutable_time()->set_data(m_connection.time().encode(*time));
    } else {
        wire::SendInteractionRequest* send = request.mutable_sendinteractionrequest();
        put(send->mutable_interactionclass(), serverClass);
        putValues(send->mutable_parametervalues(), handles(), cls, values);
    }
    m_connection.post(request, "sending");  // not waited for, as updates
}

void Hla4Session::deleteObjectInstance(hla::ObjectInstanceHandle object) {
    const ObjectBytes handle = handles().serverObject(object);
    wire::CallRequest request;
    put(request.mutable_deleteobjectinstancerequest()->mutable_objectinstance(), handle);
    call(request, "deleting");
    callbacks().deleted(handle);
    m_objectClasses.erase(handle);
}

std::unique_ptr<RunTimeLink> openHla4Session(const LinkRequest& request,
                                             const Hla4Settings& settings, const StepReport& step) {
    auto session = std::make_unique<Hla4Session>(request, settings);
    session->connect(step);
    session->join(request.modules, step);
    step("advancing to the initial time " + hla::formatTime(request.initialTime));
    session->startAt(request.initialTime);  // a refusal resigns and disconnects as the session goes
    return session;
}

namespace {

template <typename Lookup>
std::optional<hla::Bytes> serverBytes(Lookup lookup) {
    try {
        const std::string bytes = lookup().bytes;
        return hla::Bytes(bytes.begin(), bytes.end());
    } catch (const std::exception&) {
        return std::nullopt;  // a class the server does not know is named in no report of it
    }
}

}  // namespace

std::optional<hla::Bytes> Hla4Session::momHandle(hla::InteractionClassHandle cls) {
    return serverBytes([&] { return handles().interactionClass(cls); });
}

std::optional<hla::Bytes> Hla4Session::momHandle(hla::ObjectClassHandle cls) {
    return serverBytes([&] { return handles().objectClass(cls); });
}

std::optional<hla::Bytes> Hla4Session::momHandle(hla::ObjectClassHandle cls,
                                                 hla::AttributeHandle attribute) {
    return serverBytes([&] { return handles().attribute(cls, attribute); });
}

}  // namespace links::hla4
