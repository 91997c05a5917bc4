#pragma once

#include "platform/links/RunTimeLink.h"
#include "platform/links/hla13/Hla13Handles.h"

#include <NullFederateAmbassador.hh>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace links {

// Takes the callbacks of a 1.3 RTI during tick and keeps them, in order, until they are
// handed on outside tick: the RTI may not be called from inside its own callbacks, and
// translating handles calls it.
class Hla13Callbacks : public NullFederateAmbassador {
public:
    explicit Hla13Callbacks(Hla13Handles& handles) : m_handles(handles) {}

    bool pending() const { return !m_queue.empty(); }
    // Hands the oldest callback on; false when none waits.
    bool evoke(RunTimeCallbacks& callbacks);
    void connectionLost(const std::string& reason);

    bool regulating() const { return m_regulating; }
    // The next grant is the federate's own start at its initial time, not the user's advance.
    void expectStartGrant() { m_startGrant = StartGrant::Expected; }
    bool startGranted() const { return m_startGrant == StartGrant::Received; }
    // The logical time as of the callbacks handed on so far: it moves when a grant is
    // delivered, not when the RTI takes it in during tick.
    std::optional<double> deliveredTime() const { return m_deliveredTime; }
    // An object this federate registered: its reflections and removal are never received,
    // but its class is known for ownership callbacks.
    void registered(RTI::ObjectHandle object, hla::ObjectClassHandle cls) {
        m_objectClasses[object] = cls;
    }
    void deleted(RTI::ObjectHandle object) { m_objectClasses.erase(object); }

    void synchronizationPointRegistrationSucceeded(const char* label) override;
    void synchronizationPointRegistrationFailed(const char* label) override;
    void announceSynchronizationPoint(const char* label, const char* tag) override;
    void federationSynchronized(const char* label) override;

    void discoverObjectInstance(RTI::ObjectHandle object, RTI::ObjectClassHandle cls,
                                const char* name) override;
    void reflectAttributeValues(RTI::ObjectHandle object,
                                const RTI::AttributeHandleValuePairSet& values,
                                const RTI::FedTime& time, const char* tag,
                                RTI::EventRetractionHandle retraction) override;
    void reflectAttributeValues(RTI::ObjectHandle object,
                                const RTI::AttributeHandleValuePairSet& values,
                                const char* tag) override;
    void receiveInteraction(RTI::InteractionClassHandle cls,
                            const RTI::ParameterHandleValuePairSet& values,
                            const RTI::FedTime& time, const char* tag,
                            RTI::EventRetractionHandle retraction) override;
    void receiveInteraction(RTI::InteractionClassHandle cls,
                            const RTI::ParameterHandleValuePairSet& values,
                            const char* tag) override;
    void removeObjectInstance(RTI::ObjectHandle object, const RTI::FedTime& time, const char* tag,
                              RTI::EventRetractionHandle retraction) override;
    void removeObjectInstance(RTI::ObjectHandle object, const char* tag) override;

    void requestAttributeOwnershipRelease(RTI::ObjectHandle object,
                                          const RTI::AttributeHandleSet& attributes,
                                          const char* tag) override;
    void attributeOwnershipAcquisitionNotification(
        RTI::ObjectHandle object, const RTI::AttributeHandleSet& attributes) override;
    void attributeOwnershipUnavailable(RTI::ObjectHandle object,
                                       const RTI::AttributeHandleSet& attributes) override;

    void timeRegulationEnabled(const RTI::FedTime& time) override;
    void timeConstrainedEnabled(const RTI::FedTime& time) override;
    void timeAdvanceGrant(const RTI::FedTime& time) override;

private:
    using Callback = std::function<void(RunTimeCallbacks&)>;
    using RawValues = std::vector<std::pair<RTI::Handle, hla::Bytes>>;

    void queue(Callback callback) { m_queue.push_back(std::move(callback)); }
    void reflect(RTI::ObjectHandle object, RawValues values, std::optional<double> time);
    void receive(RTI::InteractionClassHandle cls, RawValues values, std::optional<double> time);
    void remove(RTI::ObjectHandle object, std::optional<double> time);
    void ownership(RTI::ObjectHandle object, const RTI::AttributeHandleSet& attributes,
                   void (RunTimeCallbacks::*call)(hla::ObjectInstanceHandle,
                                                  const hla::AttributeSet&));
    hla::AttributeSet localAttributes(RTI::ObjectHandle object,
                                      const std::vector<RTI::AttributeHandle>& attributes);

    Hla13Handles& m_handles;
    std::deque<Callback> m_queue;
    std::map<RTI::ObjectHandle, hla::ObjectClassHandle> m_objectClasses;
    bool m_regulating = false;
    enum class StartGrant { None, Expected, Received } m_startGrant = StartGrant::None;
    std::optional<double> m_deliveredTime;
};

// Handles of the RTI as the run-time interface's types, and back.
inline hla::ObjectInstanceHandle localObject(RTI::ObjectHandle object) {
    return static_cast<hla::ObjectInstanceHandle>(object);
}
inline RTI::ObjectHandle rtiObject(hla::ObjectInstanceHandle object) {
    return static_cast<RTI::ObjectHandle>(hla::toUnderlying(object));
}

}  // namespace links
