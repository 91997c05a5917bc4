#include "platform/links/hla1516e/Hla1516eCallbacks.h"

#include "platform/links/hla1516e/Hla1516eText.h"

#include <RTI/time/HLAfloat64Time.h>

#include <utility>
#include <vector>

namespace links {

namespace {

double timeOf(const rti1516e::LogicalTime& time) {
    return rti1516e::HLAfloat64Time(time).getTime();
}

// The time of a delivery in timestamp order; receive-order deliveries carry none, even when
// their sender stamped them.
std::optional<double> timeOf(const rti1516e::LogicalTime& time, rti1516e::OrderType received) {
    if (received != rti1516e::TIMESTAMP) return std::nullopt;
    return timeOf(time);
}

std::string reasonOf(rti1516e::SynchronizationPointFailureReason reason) {
    if (reason == rti1516e::SYNCHRONIZATION_POINT_LABEL_NOT_UNIQUE) {
        return "the label is in use by a point not yet synchronized";
    }
    return "a federate of the synchronization set has not joined";
}

}  // namespace

bool Hla1516eCallbacks::evoke(RunTimeCallbacks& callbacks) {
    if (m_queue.empty()) return false;
    Callback next = std::move(m_queue.front());
    m_queue.pop_front();
    next(callbacks);
    return true;
}

Hla1516eCallbacks::Reservation Hla1516eCallbacks::reservation(const std::wstring& name) const {
    const auto found = m_reservations.find(name);
    return found == m_reservations.end() ? Reservation::Pending : found->second;
}

void Hla1516eCallbacks::lose(const std::string& reason) {
    if (m_lost) return;
    m_lost = true;
    queue([reason](RunTimeCallbacks& c) { c.connectionLost(reason); });
}

void Hla1516eCallbacks::connectionLost(const std::wstring& faultDescription) {
    lose("the connection to the RTI was lost: " + narrow(faultDescription));
}

void Hla1516eCallbacks::synchronizationPointRegistrationSucceeded(const std::wstring& label) {
    queue([l = narrow(label)](RunTimeCallbacks& c) {
        c.synchronizationPointRegistrationSucceeded(l);
    });
}

void Hla1516eCallbacks::synchronizationPointRegistrationFailed(
    const std::wstring& label, rti1516e::SynchronizationPointFailureReason reason) {
    queue([l = narrow(label), r = reasonOf(reason)](RunTimeCallbacks& c) {
        c.synchronizationPointRegistrationFailed(l, r);
    });
}

void Hla1516eCallbacks::announceSynchronizationPoint(const std::wstring& label,
                                                     const rti1516e::VariableLengthData& tag) {
    queue([l = narrow(label), t = textOf(tag)](RunTimeCallbacks& c) {
        c.announceSynchronizationPoint(l, t);
    });
}

void Hla1516eCallbacks::federationSynchronized(const std::wstring& label,
                                               const rti1516e::FederateHandleSet&) {
    queue([l = narrow(label)](RunTimeCallbacks& c) { c.federationSynchronized(l); });
}

void Hla1516eCallbacks::objectInstanceNameReservationSucceeded(const std::wstring& name) {
    if (m_reservations.count(name) != 0) m_reservations[name] = Reservation::Succeeded;
}

void Hla1516eCallbacks::objectInstanceNameReservationFailed(const std::wstring& name) {
    if (m_reservations.count(name) != 0) m_reservations[name] = Reservation::Failed;
}

void Hla1516eCallbacks::discoverObjectInstance(rti1516e::ObjectInstanceHandle object,
                                               rti1516e::ObjectClassHandle cls,
                                               const std::wstring& name) {
    queue([this, object, cls, n = narrow(name)](RunTimeCallbacks& c) {
        const auto local = m_handles.localObjectClass(cls);
        if (!local) return;  // a class no variable asked for
        m_objectClasses[object] = *local;
        c.discoverObjectInstance(m_handles.localObject(object), *local, n);
    });
}

void Hla1516eCallbacks::discoverObjectInstance(rti1516e::ObjectInstanceHandle object,
                                               rti1516e::ObjectClassHandle cls,
                                               const std::wstring& name, rti1516e::FederateHandle) {
    discoverObjectInstance(object, cls, name);
}

void Hla1516eCallbacks::reflect(const rti1516e::ObjectInstanceHandle& object,
                                const rti1516e::AttributeHandleValueMap& values,
                                std::optional<double> time) {
    std::vector<std::pair<rti1516e::AttributeHandle, hla::Bytes>> copied;
    for (const auto& [handle, data] : values) copied.emplace_back(handle, bytesOf(data));
    queue([this, object, copied = std::move(copied), time](RunTimeCallbacks& c) {
        const auto known = m_objectClasses.find(object);
        if (known == m_objectClasses.end()) return;
        hla::AttributeValues local;
        for (const auto& [handle, bytes] : copied) {
            if (const auto a = m_handles.localAttribute(known->second, handle)) local[*a] = bytes;
        }
        if (!local.empty())
            c.reflectAttributeValues(m_handles.localObject(object), local, {}, time);
    });
}

void Hla1516eCallbacks::reflectAttributeValues(rti1516e::ObjectInstanceHandle object,
                                               const rti1516e::AttributeHandleValueMap& values,
                                               const rti1516e::VariableLengthData&,
                                               rti1516e::OrderType, rti1516e::TransportationType,
                                               rti1516e::SupplementalReflectInfo) {
    reflect(object, values, std::nullopt);
}

void Hla1516eCallbacks::reflectAttributeValues(rti1516e::ObjectInstanceHandle object,
                                               const rti1516e::AttributeHandleValueMap& values,
                                               const rti1516e::VariableLengthData&,
                                               rti1516e::OrderType, rti1516e::TransportationType,
                                               const rti1516e::LogicalTime& time,
                                               rti1516e::OrderType received,
                                               rti1516e::SupplementalReflectInfo) {
    reflect(object, values, timeOf(time, received));
}

void Hla1516eCallbacks::reflectAttributeValues(
    rti1516e::ObjectInstanceHandle object, const rti1516e::AttributeHandleValueMap& values,
    const rti1516e::VariableLengthData&, rti1516e::OrderType, rti1516e::TransportationType,
    const rti1516e::LogicalTime& time, rti1516e::OrderType received,
    rti1516e::MessageRetractionHandle, rti1516e::SupplementalReflectInfo) {
    reflect(object, values, timeOf(time, received));
}

void Hla1516eCallbacks::receive(const rti1516e::InteractionClassHandle& cls,
                                const rti1516e::ParameterHandleValueMap& values,
                                std::optional<double> time) {
    std::vector<std::pair<rti1516e::ParameterHandle, hla::Bytes>> copied;
    for (const auto& [handle, data] : values) copied.emplace_back(handle, bytesOf(data));
    queue([this, cls, copied = std::move(copied), time](RunTimeCallbacks& c) {
        const auto local = m_handles.localInteractionClass(cls);
        if (!local) return;
        hla::ParameterValues parameters;
        for (const auto& [handle, bytes] : copied) {
            if (const auto p = m_handles.localParameter(*local, handle)) parameters[*p] = bytes;
        }
        c.receiveInteraction(*local, parameters, {}, time);
    });
}

void Hla1516eCallbacks::receiveInteraction(rti1516e::InteractionClassHandle cls,
                                           const rti1516e::ParameterHandleValueMap& values,
                                           const rti1516e::VariableLengthData&, rti1516e::OrderType,
                                           rti1516e::TransportationType,
                                           rti1516e::SupplementalReceiveInfo) {
    receive(cls, values, std::nullopt);
}

void Hla1516eCallbacks::receiveInteraction(rti1516e::InteractionClassHandle cls,
                                           const rti1516e::ParameterHandleValueMap& values,
                                           const rti1516e::VariableLengthData&, rti1516e::OrderType,
                                           rti1516e::TransportationType,
                                           const rti1516e::LogicalTime& time,
                                           rti1516e::OrderType received,
                                           rti1516e::SupplementalReceiveInfo) {
    receive(cls, values, timeOf(time, received));
}

void Hla1516eCallbacks::receiveInteraction(
    rti1516e::InteractionClassHandle cls, const rti1516e::ParameterHandleValueMap& values,
    const rti1516e::VariableLengthData&, rti1516e::OrderType, rti1516e::TransportationType,
    const rti1516e::LogicalTime& time, rti1516e::OrderType received,
    rti1516e::MessageRetractionHandle, rti1516e::SupplementalReceiveInfo) {
    receive(cls, values, timeOf(time, received));
}

void Hla1516eCallbacks::remove(const rti1516e::ObjectInstanceHandle& object,
                               std::optional<double> time) {
    queue([this, object, time](RunTimeCallbacks& c) {
        if (m_objectClasses.erase(object) == 0) return;
        c.removeObjectInstance(m_handles.localObject(object), {}, time);
    });
}

void Hla1516eCallbacks::removeObjectInstance(rti1516e::ObjectInstanceHandle object,
                                             const rti1516e::VariableLengthData&,
                                             rti1516e::OrderType,
                                             rti1516e::SupplementalRemoveInfo) {
    remove(object, std::nullopt);
}

void Hla1516eCallbacks::removeObjectInstance(rti1516e::ObjectInstanceHandle object,
                                             const rti1516e::VariableLengthData&,
                                             rti1516e::OrderType, const rti1516e::LogicalTime& time,
                                             rti1516e::OrderType received,
                                             rti1516e::SupplementalRemoveInfo) {
    remove(object, timeOf(time, received));
}

void Hla1516eCallbacks::removeObjectInstance(rti1516e::ObjectInstanceHandle object,
                                             const rti1516e::VariableLengthData&,
                                             rti1516e::OrderType, const rti1516e::LogicalTime& time,
                                             rti1516e::OrderType received,
                                             rti1516e::MessageRetractionHandle,
                                             rti1516e::SupplementalRemoveInfo) {
    remove(object, timeOf(time, received));
}

void Hla1516eCallbacks::ownership(const rti1516e::ObjectInstanceHandle& object,
                                  const rti1516e::AttributeHandleSet& attributes,
                                  void (RunTimeCallbacks::*call)(hla::ObjectInstanceHandle,
                                                                 const hla::AttributeSet&)) {
    queue([this, object, attributes, call](RunTimeCallbacks& c) {
        const auto known = m_objectClasses.find(object);
        if (known == m_objectClasses.end()) return;
        const hla::AttributeSet local = m_handles.localAttributes(known->second, attributes);
        if (!local.empty()) (c.*call)(m_handles.localObject(object), local);
    });
}

void Hla1516eCallbacks::requestAttributeOwnershipRelease(
    rti1516e::ObjectInstanceHandle object, const rti1516e::AttributeHandleSet& attributes,
    const rti1516e::VariableLengthData& tag) {
    queue([this, object, attributes, t = textOf(tag)](RunTimeCallbacks& c) {
        const auto known = m_objectClasses.find(object);
        if (known == m_objectClasses.end()) return;
        const hla::AttributeSet local = m_handles.localAttributes(known->second, attributes);
        if (!local.empty())
            c.requestAttributeOwnershipRelease(m_handles.localObject(object), local, t);
    });
}

void Hla1516eCallbacks::attributeOwnershipAcquisitionNotification(
    rti1516e::ObjectInstanceHandle object, const rti1516e::AttributeHandleSet& attributes,
    const rti1516e::VariableLengthData&) {
    ownership(object, attributes, &RunTimeCallbacks::attributeOwnershipAcquisitionNotification);
}

void Hla1516eCallbacks::attributeOwnershipUnavailable(
    rti1516e::ObjectInstanceHandle object, const rti1516e::AttributeHandleSet& attributes) {
    ownership(object, attributes, &RunTimeCallbacks::attributeOwnershipUnavailable);
}

void Hla1516eCallbacks::timeRegulationEnabled(const rti1516e::LogicalTime& time) {
    m_regulating = true;
    queue([this, t = timeOf(time)](RunTimeCallbacks& c) {
        m_deliveredTime = t;
        c.timeRegulationEnabled(t);
    });
}

void Hla1516eCallbacks::timeConstrainedEnabled(const rti1516e::LogicalTime& time) {
    queue([this, t = timeOf(time)](RunTimeCallbacks& c) {
        m_deliveredTime = t;
        c.timeConstrainedEnabled(t);
    });
}

void Hla1516eCallbacks::timeAdvanceGrant(const rti1516e::LogicalTime& time) {
    if (m_startGrant == StartGrant::Expected) {
        m_startGrant = StartGrant::Received;
        m_deliveredTime = timeOf(time);
        return;
    }
    queue([this, t = timeOf(time)](RunTimeCallbacks& c) {
        m_deliveredTime = t;
        c.timeAdvanceGrant(t);
    });
}

}  // namespace links
