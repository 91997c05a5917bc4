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

// The handles of a value map with each value's octets.
template <typename Handle, typename Map>
std::vector<std::pair<Handle, hla::Bytes>> copyValues(const Map& values) {
    std::vector<std::pair<Handle, hla::Bytes>> copied;
    for (const auto& [handle, data] : values) copied.emplace_back(handle, bytesOf(data));
    return copied;
}

std::vector<rti1516e::AttributeHandle> copyHandles(const rti1516e::AttributeHandleSet& set) {
    return {set.begin(), set.end()};
}

}  // namespace

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
    pointRegistered(narrow(label));
}

void Hla1516eCallbacks::synchronizationPointRegistrationFailed(
    const std::wstring& label, rti1516e::SynchronizationPointFailureReason reason) {
    pointRefused(narrow(label), reasonOf(reason));
}

void Hla1516eCallbacks::announceSynchronizationPoint(const std::wstring& label, const Tag& tag) {
    pointAnnounced(narrow(label), textOf(tag));
}

void Hla1516eCallbacks::federationSynchronized(const std::wstring& label,
                                               const rti1516e::FederateHandleSet&) {
    pointReached(narrow(label));
}

void Hla1516eCallbacks::objectInstanceNameReservationSucceeded(const std::wstring& name) {
    if (m_reservations.count(name) != 0) m_reservations[name] = Reservation::Succeeded;
}

void Hla1516eCallbacks::objectInstanceNameReservationFailed(const std::wstring& name) {
    if (m_reservations.count(name) != 0) m_reservations[name] = Reservation::Failed;
}

void Hla1516eCallbacks::discoverObjectInstance(Object object, ObjectClass cls,
                                               const std::wstring& name) {
    discovered(object, cls, narrow(name));
}

void Hla1516eCallbacks::discoverObjectInstance(Object object, ObjectClass cls,
                                               const std::wstring& name, rti1516e::FederateHandle) {
    discovered(object, cls, narrow(name));
}

void Hla1516eCallbacks::reflectAttributeValues(Object object,
                                               const rti1516e::AttributeHandleValueMap& values,
                                               const Tag&, Order, Transport,
                                               rti1516e::SupplementalReflectInfo) {
    reflected(object, copyValues<Attribute>(values), std::nullopt);
}

void Hla1516eCallbacks::reflectAttributeValues(Object object,
                                               const rti1516e::AttributeHandleValueMap& values,
                                               const Tag&, Order, Transport, const Time& time,
                                               Order received, rti1516e::SupplementalReflectInfo) {
    reflected(object, copyValues<Attribute>(values), timeOf(time, received));
}

void Hla1516eCallbacks::reflectAttributeValues(Object object,
                                               const rti1516e::AttributeHandleValueMap& values,
                                               const Tag&, Order, Transport, const Time& time,
                                               Order received, Retraction,
                                               rti1516e::SupplementalReflectInfo) {
    reflected(object, copyValues<Attribute>(values), timeOf(time, received));
}

void Hla1516eCallbacks::receiveInteraction(InteractionClass cls,
                                           const rti1516e::ParameterHandleValueMap& values,
                                           const Tag&, Order, Transport,
                                           rti1516e::SupplementalReceiveInfo) {
    interactionReceived(cls, copyValues<Parameter>(values), std::nullopt);
}

void Hla1516eCallbacks::receiveInteraction(InteractionClass cls,
                                           const rti1516e::ParameterHandleValueMap& values,
                                           const Tag&, Order, Transport, const Time& time,
                                           Order received, rti1516e::SupplementalReceiveInfo) {
    interactionReceived(cls, copyValues<Parameter>(values), timeOf(time, received));
}

void Hla1516eCallbacks::receiveInteraction(InteractionClass cls,
                                           const rti1516e::ParameterHandleValueMap& values,
                                           const Tag&, Order, Transport, const Time& time,
                                           Order received, Retraction,
                                           rti1516e::SupplementalReceiveInfo) {
    interactionReceived(cls, copyValues<Parameter>(values), timeOf(time, received));
}

void Hla1516eCallbacks::removeObjectInstance(Object object, const Tag&, Order,
                                             rti1516e::SupplementalRemoveInfo) {
    removed(object, std::nullopt);
}

void Hla1516eCallbacks::removeObjectInstance(Object object, const Tag&, Order, const Time& time,
                                             Order received, rti1516e::SupplementalRemoveInfo) {
    removed(object, timeOf(time, received));
}

void Hla1516eCallbacks::removeObjectInstance(Object object, const Tag&, Order, const Time& time,
                                             Order received, Retraction,
                                             rti1516e::SupplementalRemoveInfo) {
    removed(object, timeOf(time, received));
}

void Hla1516eCallbacks::requestAttributeOwnershipRelease(
    Object object, const rti1516e::AttributeHandleSet& attributes, const Tag& tag) {
    releaseRequested(object, copyHandles(attributes), textOf(tag));
}

void Hla1516eCallbacks::attributeOwnershipAcquisitionNotification(
    Object object, const rti1516e::AttributeHandleSet& attributes, const Tag&) {
    ownership(object, copyHandles(attributes),
              &RunTimeCallbacks::attributeOwnershipAcquisitionNotification);
}

void Hla1516eCallbacks::attributeOwnershipUnavailable(
    Object object, const rti1516e::AttributeHandleSet& attributes) {
    ownership(object, copyHandles(attributes), &RunTimeCallbacks::attributeOwnershipUnavailable);
}

void Hla1516eCallbacks::timeRegulationEnabled(const Time& time) {
    regulationEnabled(timeOf(time));
}

void Hla1516eCallbacks::timeConstrainedEnabled(const Time& time) {
    constrainedEnabled(timeOf(time));
}

void Hla1516eCallbacks::timeAdvanceGrant(const Time& time) {
    advanceGranted(timeOf(time));
}

}  // namespace links
