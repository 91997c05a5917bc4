#include "platform/links/hla13/Hla13Callbacks.h"

#include <fedtime.hh>

namespace links {

namespace {

double timeOf(const RTI::FedTime& time) {
    return RTIfedTime(time).getTime();
}

std::string textOf(const char* text) {
    return text ? std::string(text) : std::string();
}

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

bool Hla13Callbacks::evoke(RunTimeCallbacks& callbacks) {
    if (m_queue.empty()) return false;
    Callback next = std::move(m_queue.front());
    m_queue.pop_front();
    next(callbacks);
    return true;
}

void Hla13Callbacks::connectionLost(const std::string& reason) {
    queue([reason](RunTimeCallbacks& c) { c.connectionLost(reason); });
}

void Hla13Callbacks::synchronizationPointRegistrationSucceeded(const char* label) {
    queue([l = textOf(label)](RunTimeCallbacks& c) {
        c.synchronizationPointRegistrationSucceeded(l);
    });
}

void Hla13Callbacks::synchronizationPointRegistrationFailed(const char* label) {
    queue([l = textOf(label)](RunTimeCallbacks& c) {
        c.synchronizationPointRegistrationFailed(
            l, "the RTI refused it; the label may be in use by a point not yet synchronized");
    });
}

void Hla13Callbacks::announceSynchronizationPoint(const char* label, const char* tag) {
    queue([l = textOf(label), t = textOf(tag)](RunTimeCallbacks& c) {
        c.announceSynchronizationPoint(l, t);
    });
}

void Hla13Callbacks::federationSynchronized(const char* label) {
    queue([l = textOf(label)](RunTimeCallbacks& c) { c.federationSynchronized(l); });
}

void Hla13Callbacks::discoverObjectInstance(RTI::ObjectHandle object, RTI::ObjectClassHandle cls,
                                            const char* name) {
    queue([this, object, cls, n = textOf(name)](RunTimeCallbacks& c) {
        const auto local = m_handles.localObjectClass(cls);
        if (!local) return;  // a class no variable asked for
        m_objectClasses[object] = *local;
        c.discoverObjectInstance(localObject(object), *local, n);
    });
}

void Hla13Callbacks::reflect(RTI::ObjectHandle object, RawValues values,
                             std::optional<double> time) {
    queue([this, object, values = std::move(values), time](RunTimeCallbacks& c) {
        const auto known = m_objectClasses.find(object);
        if (known == m_objectClasses.end()) return;
        hla::AttributeValues local;
        for (const auto& [handle, bytes] : values) {
            if (const auto a = m_handles.localAttribute(known->second, handle)) local[*a] = bytes;
        }
        if (!local.empty()) c.reflectAttributeValues(localObject(object), local, {}, time);
    });
}

void Hla13Callbacks::reflectAttributeValues(RTI::ObjectHandle object,
                                            const RTI::AttributeHandleValuePairSet& values,
                                            const RTI::FedTime& time, const char*,
                                            RTI::EventRetractionHandle) {
    reflect(object, copyValues(values), timeOf(time));
}

void Hla13Callbacks::reflectAttributeValues(RTI::ObjectHandle object,
                                            const RTI::AttributeHandleValuePairSet& values,
                                            const char*) {
    reflect(object, copyValues(values), std::nullopt);
}

void Hla13Callbacks::receive(RTI::InteractionClassHandle cls, RawValues values,
                             std::optional<double> time) {
    queue([this, cls, values = std::move(values), time](RunTimeCallbacks& c) {
        const auto local = m_handles.localInteractionClass(cls);
        if (!local) return;
        hla::ParameterValues parameters;
        for (const auto& [handle, bytes] : values) {
            if (const auto p = m_handles.localParameter(*local, handle)) parameters[*p] = bytes;
        }
        c.receiveInteraction(*local, parameters, {}, time);
    });
}

void Hla13Callbacks::receiveInteraction(RTI::InteractionClassHandle cls,
                                        const RTI::ParameterHandleValuePairSet& values,
                                        const RTI::FedTime& time, const char*,
                                        RTI::EventRetractionHandle) {
    receive(cls, copyValues(values), timeOf(time));
}

void Hla13Callbacks::receiveInteraction(RTI::InteractionClassHandle cls,
                                        const RTI::ParameterHandleValuePairSet& values,
                                        const char*) {
    receive(cls, copyValues(values), std::nullopt);
}

void Hla13Callbacks::remove(RTI::ObjectHandle object, std::optional<double> time) {
    queue([this, object, time](RunTimeCallbacks& c) {
        if (m_objectClasses.erase(object) == 0) return;
        c.removeObjectInstance(localObject(object), {}, time);
    });
}

void Hla13Callbacks::removeObjectInstance(RTI::ObjectHandle object, const RTI::FedTime& time,
                                          const char*, RTI::EventRetractionHandle) {
    remove(object, timeOf(time));
}

void Hla13Callbacks::removeObjectInstance(RTI::ObjectHandle object, const char*) {
    remove(object, std::nullopt);
}

hla::AttributeSet Hla13Callbacks::localAttributes(
    RTI::ObjectHandle object, const std::vector<RTI::AttributeHandle>& attributes) {
    hla::AttributeSet local;
    const auto known = m_objectClasses.find(object);
    if (known == m_objectClasses.end()) return local;
    for (RTI::AttributeHandle handle : attributes) {
        if (const auto a = m_handles.localAttribute(known->second, handle)) local.insert(*a);
    }
    return local;
}

void Hla13Callbacks::ownership(RTI::ObjectHandle object, const RTI::AttributeHandleSet& attributes,
                               void (RunTimeCallbacks::*call)(hla::ObjectInstanceHandle,
                                                              const hla::AttributeSet&)) {
    queue([this, object, handles = copyHandles(attributes), call](RunTimeCallbacks& c) {
        const hla::AttributeSet local = localAttributes(object, handles);
        if (!local.empty()) (c.*call)(localObject(object), local);
    });
}

void Hla13Callbacks::requestAttributeOwnershipRelease(RTI::ObjectHandle object,
                                                      const RTI::AttributeHandleSet& attributes,
                                                      const char* tag) {
    queue([this, object, handles = copyHandles(attributes), t = textOf(tag)](RunTimeCallbacks& c) {
        const hla::AttributeSet local = localAttributes(object, handles);
        if (!local.empty()) c.requestAttributeOwnershipRelease(localObject(object), local, t);
    });
}

void Hla13Callbacks::attributeOwnershipAcquisitionNotification(
    RTI::ObjectHandle object, const RTI::AttributeHandleSet& attributes) {
    ownership(object, attributes, &RunTimeCallbacks::attributeOwnershipAcquisitionNotification);
}

void Hla13Callbacks::attributeOwnershipUnavailable(RTI::ObjectHandle object,
                                                   const RTI::AttributeHandleSet& attributes) {
    ownership(object, attributes, &RunTimeCallbacks::attributeOwnershipUnavailable);
}

void Hla13Callbacks::timeRegulationEnabled(const RTI::FedTime& time) {
    m_regulating = true;
    queue([this, t = timeOf(time)](RunTimeCallbacks& c) {
        m_deliveredTime = t;
        c.timeRegulationEnabled(t);
    });
}

void Hla13Callbacks::timeConstrainedEnabled(const RTI::FedTime& time) {
    queue([this, t = timeOf(time)](RunTimeCallbacks& c) {
        m_deliveredTime = t;
        c.timeConstrainedEnabled(t);
    });
}

void Hla13Callbacks::timeAdvanceGrant(const RTI::FedTime& time) {
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
