#include "platform/links/hla4/Hla4Callbacks.h"

#include <exception>
#include <utility>
#include <vector>

namespace links::hla4 {

namespace {

using Request = wire::CallbackRequest;

std::string reasonOf(wire::SynchronizationPointFailureReason reason) {
    if (reason == wire::SYNCHRONIZATION_POINT_LABEL_NOT_UNIQUE) {
        return "the label is in use by a point not yet synchronized";
    }
    return "a federate of the synchronization set has not joined";
}

std::vector<std::pair<AttributeBytes, hla::Bytes>> valuesOf(
    const wire::AttributeHandleValueMap& map) {
    std::vector<std::pair<AttributeBytes, hla::Bytes>> values;
    values.reserve(static_cast<std::size_t>(map.attributehandlevalue_size()));
    for (const wire::AttributeHandleValue& v : map.attributehandlevalue()) {
        values.emplace_back(AttributeBytes{v.attributehandle().data()},
                            hla::Bytes(v.value().begin(), v.value().end()));
    }
    return values;
}

std::vector<std::pair<ParameterBytes, hla::Bytes>> valuesOf(
    const wire::ParameterHandleValueMap& map) {
    std::vector<std::pair<ParameterBytes, hla::Bytes>> values;
    values.reserve(static_cast<std::size_t>(map.parameterhandlevalue_size()));
    for (const wire::ParameterHandleValue& v : map.parameterhandlevalue()) {
        values.emplace_back(ParameterBytes{v.parameterhandle().data()},
                            hla::Bytes(v.value().begin(), v.value().end()));
    }
    return values;
}

ObjectBytes objectOf(const wire::ObjectInstanceHandle& handle) {
    return ObjectBytes{handle.data()};
}

}  // namespace

template <class Delivery>
std::optional<double> Hla4Callbacks::timeOf(const Delivery& delivery) const {
    if (delivery.receivedordertype() != wire::TIMESTAMP) return std::nullopt;
    return m_time.decode(delivery.time().data());
}

Hla4Callbacks::Reservation Hla4Callbacks::reservation(const std::string& name) const {
    const auto found = m_reservations.find(name);
    return found == m_reservations.end() ? Reservation::Pending : found->second;
}

void Hla4Callbacks::reserved(const std::string& name, Reservation answer) {
    const auto found = m_reservations.find(name);
    if (found != m_reservations.end()) found->second = answer;
}

void Hla4Callbacks::lose(const std::string& reason) {
    if (m_lost) return;
    m_lost = true;
    queue([reason](RunTimeCallbacks& c) { c.connectionLost(reason); });
}

std::optional<std::string> Hla4Callbacks::take(const Request& r) {
    try {
        switch (r.callbackRequest_case()) {
            case Request::kConnectionLost:
                lose("the server lost the federation: " + r.connectionlost().faultdescription());
                break;
            case Request::kFederateResigned:
                lose("the server resigned the federate: " +
                     r.federateresigned().reasonforresigndescription());
                break;
            case Request::kSynchronizationPointRegistrationSucceeded:
                pointRegistered(
                    r.synchronizationpointregistrationsucceeded().synchronizationpointlabel());
                break;
            case Request::kSynchronizationPointRegistrationFailed: {
                const auto& failed = r.synchronizationpointregistrationfailed();
                pointRefused(failed.synchronizationpointlabel(), reasonOf(failed.reason()));
                break;
            }
            case Request::kAnnounceSynchronizationPoint:
                pointAnnounced(r.announcesynchronizationpoint().synchronizationpointlabel(),
                               r.announcesynchronizationpoint().usersuppliedtag());
                break;
            case Request::kFederationSynchronized:
                pointReached(r.federationsynchronized().synchronizationpointlabel());
                break;
            case Request::kObjectInstanceNameReservationSucceeded:
                reserved(r.objectinstancenamereservationsucceeded().objectinstancename(),
                         Reservation::Succeeded);
                break;
            case Request::kObjectInstanceNameReservationFailed:
                reserved(r.objectinstancenamereservationfailed().objectinstancename(),
                         Reservation::Failed);
                break;
            case Request::kDiscoverObjectInstance: {
                const auto& d = r.discoverobjectinstance();
                discovered(objectOf(d.objectinstance()), ObjectClassBytes{d.objectclass().data()},
                           d.objectinstancename());
                break;
            }
            case Request::kReflectAttributeValues: {
                const auto& v = r.reflectattributevalues();
                reflected(objectOf(v.objectinstance()), valuesOf(v.attributevalues()),
                          std::nullopt);
                break;
            }
            case Request::kReflectAttributeValuesWithTime: {
                const auto& v = r.reflectattributevalueswithtime();
                reflected(objectOf(v.objectinstance()), valuesOf(v.attributevalues()), timeOf(v));
                break;
            }
            case Request::kReceiveInteraction: {
                const auto& i = r.receiveinteraction();
                interactionReceived(InteractionClassBytes{i.interactionclass().data()},
                                    valuesOf(i.parametervalues()), std::nullopt);
                break;
            }
            case Request::kReceiveInteractionWithTime: {
                const auto& i = r.receiveinteractionwithtime();
                interactionReceived(InteractionClassBytes{i.interactionclass().data()},
                                    valuesOf(i.parametervalues()), timeOf(i));
                break;
            }
            case Request::kRemoveObjectInstance:
                removed(objectOf(r.removeobjectinstance().objectinstance()), std::nullopt);
                break;
            case Request::kRemoveObjectInstanceWithTime: {
                const auto& d = r.removeobjectinstancewithtime();
                removed(objectOf(d.objectinstance()), timeOf(d));
                break;
            }
            case Request::kRequestAttributeOwnershipRelease: {
                const auto& q = r.requestattributeownershiprelease();
                releaseRequested(objectOf(q.objectinstance()), takenAll(q.candidateattributes()),
                                 q.usersuppliedtag());
                break;
            }
            case Request::kAttributeOwnershipAcquisitionNotification: {
                const auto& n = r.attributeownershipacquisitionnotification();
                ownership(objectOf(n.objectinstance()), takenAll(n.securedattributes()),
                          &RunTimeCallbacks::attributeOwnershipAcquisitionNotification);
                break;
            }
            case Request::kAttributeOwnershipUnavailable: {
                const auto& u = r.attributeownershipunavailable();
                ownership(objectOf(u.objectinstance()), takenAll(u.attributes()),
                          &RunTimeCallbacks::attributeOwnershipUnavailable);
                break;
            }
            case Request::kTimeRegulationEnabled:
                regulationEnabled(m_time.decode(r.timeregulationenabled().time().data()));
                break;
            case Request::kTimeConstrainedEnabled:
                constrainedEnabled(m_time.decode(r.timeconstrainedenabled().time().data()));
                break;
            case Request::kTimeAdvanceGrant:
                advanceGranted(m_time.decode(r.timeadvancegrant().time().data()));
                break;
            case Request::kFlushQueueGrant:
                // A flush ends with the federate at the granted time, as an advance does.
                advanceGranted(m_time.decode(r.flushqueuegrant().time().data()));
                break;
            case Request::CALLBACKREQUEST_NOT_SET:
                return "the callback request names no callback";
            default:
                break;  // nothing the provider asked to be told
        }
    } catch (const std::exception& e) {
        return std::string("the callback could not be read: ") + e.what();
    }
    return std::nullopt;
}

}  // namespace links::hla4
