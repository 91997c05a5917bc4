#include "platform/links/hla13/Hla13Callbacks.h"

#include <fedtime.hh>

#include <utility>
#include <vector>

namespace links {

namespace {

double timeOf(const RTI::FedTime& time) {
    return RTIfedTime(time).getTime();
}

std::string textOf(const char* text) {
    return text ? std::string(text) : std::string();
}

// A 1.3 RTI names attributes and parameters by the same kind of handle.
template <typename Set>
std::vector<std::pair<RTI::Handle, hla::Bytes>> copyValues(const Set& values) {
    std::vector<std::pair<RTI::Handle, hla::Bytes>> copied;
    for (RTI::ULong i = 0; i < values.size(); ++i) {
        RTI::ULong length = values.getValueLength(i);
        hla::Bytes bytes(length);
        if (length > 0) values.getValue(i, reinterpret_cast<char*>(bytes.data()), length);
        bytes.resize(length);
        copied.emplace_back(values.getHandle(i), std::move(bytes));
    }
    return copied;
}

std::vector<RTI::AttributeHandle> copyHandles(const RTI::AttributeHandleSet& attributes) {
    std::vector<RTI::AttributeHandle> copied;
    for (RTI::ULong i = 0; i < attributes.size(); ++i) copied.push_back(attributes.getHandle(i));
    return copied;
}

}  // namespace

void Hla13Callbacks::connectionLost(const std::string& reason) {
    queue([reason](RunTimeCallbacks& c) { c.connectionLost(reason); });
}

void Hla13Callbacks::synchronizationPointRegistrationSucceeded(const char* label) {
    pointRegistered(textOf(label));
}

void Hla13Callbacks::synchronizationPointRegistrationFailed(const char* label) {
    pointRefused(textOf(label),
                 "the RTI refused it; the label may be in use by a point not yet synchronized");
}

void Hla13Callbacks::announceSynchronizationPoint(const char* label, const char* tag) {
    pointAnnounced(textOf(label), textOf(tag));
}

void Hla13Callbacks::federationSynchronized(const char* label) {
    pointReached(textOf(label));
}

void Hla13Callbacks::discoverObjectInstance(RTI::ObjectHandle object, RTI::ObjectClassHandle cls,
                                            const char* name) {
    discovered(object, cls, textOf(name));
}

void Hla13Callbacks::reflectAttributeValues(RTI::ObjectHandle object,
                                            const RTI::AttributeHandleValuePairSet& values,
                                            const RTI::FedTime& time, const char*,
                                            RTI::EventRetractionHandle) {
    reflected(object, copyValues(values), timeOf(time));
}

void Hla13Callbacks::reflectAttributeValues(RTI::ObjectHandle object,
                                            const RTI::AttributeHandleValuePairSet& values,
                                            const char*) {
    reflected(object, copyValues(values), std::nullopt);
}

void Hla13Callbacks::receiveInteraction(RTI::InteractionClassHandle cls,
                                        const RTI::ParameterHandleValuePairSet& values,
                                        const RTI::FedTime& time, const char*,
                                        RTI::EventRetractionHandle) {
    interactionReceived(cls, copyValues(values), timeOf(time));
}

void Hla13Callbacks::receiveInteraction(RTI::InteractionClassHandle cls,
                                        const RTI::ParameterHandleValuePairSet& values,
                                        const char*) {
    interactionReceived(cls, copyValues(values), std::nullopt);
}

void Hla13Callbacks::removeObjectInstance(RTI::ObjectHandle object, const RTI::FedTime& time,
                                          const char*, RTI::EventRetractionHandle) {
    removed(object, timeOf(time));
}

void Hla13Callbacks::removeObjectInstance(RTI::ObjectHandle object, const char*) {
    removed(object, std::nullopt);
}

void Hla13Callbacks::requestAttributeOwnershipRelease(RTI::ObjectHandle object,
                                                      const RTI::AttributeHandleSet& attributes,
                                                      const char* tag) {
    releaseRequested(object, copyHandles(attributes), textOf(tag));
}

void Hla13Callbacks::attributeOwnershipAcquisitionNotification(
    RTI::ObjectHandle object, const RTI::AttributeHandleSet& attributes) {
    ownership(object, copyHandles(attributes),
              &RunTimeCallbacks::attributeOwnershipAcquisitionNotification);
}

void Hla13Callbacks::attributeOwnershipUnavailable(RTI::ObjectHandle object,
                                                   const RTI::AttributeHandleSet& attributes) {
    ownership(object, copyHandles(attributes), &RunTimeCallbacks::attributeOwnershipUnavailable);
}

void Hla13Callbacks::timeRegulationEnabled(const RTI::FedTime& time) {
    regulationEnabled(timeOf(time));
}

void Hla13Callbacks::timeConstrainedEnabled(const RTI::FedTime& time) {
    constrainedEnabled(timeOf(time));
}

void Hla13Callbacks::timeAdvanceGrant(const RTI::FedTime& time) {
    advanceGranted(timeOf(time));
}

}  // namespace links
