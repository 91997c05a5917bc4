#pragma once

#include "platform/links/RunTimeLink.h"
#include "platform/links/hla1516e/Hla1516eHandles.h"

#include <RTI/NullFederateAmbassador.h>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace links {

// Takes the callbacks of a 2010 RTI while it is evoked and keeps them, in order, until they
// are handed on outside the evoke: the RTI may not be called from inside its own callbacks,
// and translating handles calls it. What the session waits for itself (a name reservation,
// the grant of its initial time) it notes instead.
class Hla1516eCallbacks : public rti1516e::NullFederateAmbassador {
public:
    explicit Hla1516eCallbacks(Hla1516eHandles& handles) : m_handles(handles) {}

    bool pending() const { return !m_queue.empty(); }
    // Hands the oldest callback on; false when none waits.
    bool evoke(RunTimeCallbacks& callbacks);

    // The connection was lost; its reason has been queued.
    bool lost() const { return m_lost; }
    void lose(const std::string& reason);
    bool regulating() const { return m_regulating; }
    // The next grant is the federate's own start at its initial time, not the user's advance.
    void expectStartGrant() { m_startGrant = StartGrant::Expected; }
    bool startGranted() const { return m_startGrant == StartGrant::Received; }
    // The logical time as of the callbacks handed on so far.
    std::optional<double> deliveredTime() const { return m_deliveredTime; }

    // The answer to reserving an object instance name: unset until it has come.
    enum class Reservation { Pending, Succeeded, Failed };
    void expectReservation(const std::wstring& name) {
        m_reservations[name] = Reservation::Pending;
    }
    Reservation reservation(const std::wstring& name) const;
    void forgetReservation(const std::wstring& name) { m_reservations.erase(name); }

    // An object this federate registered: its class is known for ownership callbacks.
    void registered(const rti1516e::ObjectInstanceHandle& object, hla::ObjectClassHandle cls) {
        m_objectClasses[object] = cls;
    }
    void deleted(const rti1516e::ObjectInstanceHandle& object) { m_objectClasses.erase(object); }

    void connectionLost(const std::wstring& faultDescription) override;
    void synchronizationPointRegistrationSucceeded(const std::wstring& label) override;
    void synchronizationPointRegistrationFailed(
        const std::wstring& label, rti1516e::SynchronizationPointFailureReason reason) override;
    void announceSynchronizationPoint(const std::wstring& label,
                                      const rti1516e::VariableLengthData& tag) override;
    void federationSynchronized(const std::wstring& label,
                                const rti1516e::FederateHandleSet& failed) override;
    void objectInstanceNameReservationSucceeded(const std::wstring& name) override;
    void objectInstanceNameReservationFailed(const std::wstring& name) override;

    void discoverObjectInstance(rti1516e::ObjectInstanceHandle object,
                                rti1516e::ObjectClassHandle cls, const std::wstring& name) override;
    void discoverObjectInstance(rti1516e::ObjectInstanceHandle object,
                                rti1516e::ObjectClassHandle cls, const std::wstring& name,
                                rti1516e::FederateHandle producer) override;
    void reflectAttributeValues(rti1516e::ObjectInstanceHandle object,
                                const rti1516e::AttributeHandleValueMap& values,
                                const rti1516e::VariableLengthData& tag, rti1516e::OrderType sent,
                                rti1516e::TransportationType transport,
                                rti1516e::SupplementalReflectInfo info) override;
    void reflectAttributeValues(rti1516e::ObjectInstanceHandle object,
                                const rti1516e::AttributeHandleValueMap& values,
                                const rti1516e::VariableLengthData& tag, rti1516e::OrderType sent,
                                rti1516e::TransportationType transport,
                                const rti1516e::LogicalTime& time, rti1516e::OrderType received,
                                rti1516e::SupplementalReflectInfo info) override;
    void reflectAttributeValues(rti1516e::ObjectInstanceHandle object,
                                const rti1516e::AttributeHandleValueMap& values,
                                const rti1516e::VariableLengthData& tag, rti1516e::OrderType sent,
                                rti1516e::TransportationType transport,
                                const rti1516e::LogicalTime& time, rti1516e::OrderType received,
                                rti1516e::MessageRetractionHandle retraction,
                                rti1516e::SupplementalReflectInfo info) override;
    void receiveInteraction(rti1516e::InteractionClassHandle cls,
                            const rti1516e::ParameterHandleValueMap& values,
                            const rti1516e::VariableLengthData& tag, rti1516e::OrderType sent,
                            rti1516e::TransportationType transport,
                            rti1516e::SupplementalReceiveInfo info) override;
    void receiveInteraction(rti1516e::InteractionClassHandle cls,
                            const rti1516e::ParameterHandleValueMap& values,
                            const rti1516e::VariableLengthData& tag, rti1516e::OrderType sent,
                            rti1516e::TransportationType transport,
                            const rti1516e::LogicalTime& time, rti1516e::OrderType received,
                            rti1516e::SupplementalReceiveInfo info) override;
    void receiveInteraction(rti1516e::InteractionClassHandle cls,
                            const rti1516e::ParameterHandleValueMap& values,
                            const rti1516e::VariableLengthData& tag, rti1516e::OrderType sent,
                            rti1516e::TransportationType transport,
                            const rti1516e::LogicalTime& time, rti1516e::OrderType received,
                            rti1516e::MessageRetractionHandle retraction,
                            rti1516e::SupplementalReceiveInfo info) override;
    void removeObjectInstance(rti1516e::ObjectInstanceHandle object,
                              const rti1516e::VariableLengthData& tag, rti1516e::OrderType sent,
                              rti1516e::SupplementalRemoveInfo info) override;
    void removeObjectInstance(rti1516e::ObjectInstanceHandle object,
                              const rti1516e::VariableLengthData& tag, rti1516e::OrderType sent,
                              const rti1516e::LogicalTime& time, rti1516e::OrderType received,
                              rti1516e::SupplementalRemoveInfo info) override;
    void removeObjectInstance(rti1516e::ObjectInstanceHandle object,
                              const rti1516e::VariableLengthData& tag, rti1516e::OrderType sent,
                              const rti1516e::LogicalTime& time, rti1516e::OrderType received,
                              rti1516e::MessageRetractionHandle retraction,
                              rti1516e::SupplementalRemoveInfo info) override;

    void requestAttributeOwnershipRelease(rti1516e::ObjectInstanceHandle object,
                                          const rti1516e::AttributeHandleSet& attributes,
                                          const rti1516e::VariableLengthData& tag) override;
    void attributeOwnershipAcquisitionNotification(
        rti1516e::ObjectInstanceHandle object, const rti1516e::AttributeHandleSet& attributes,
        const rti1516e::VariableLengthData& tag) override;
    void attributeOwnershipUnavailable(rti1516e::ObjectInstanceHandle object,
                                       const rti1516e::AttributeHandleSet& attributes) override;

    void timeRegulationEnabled(const rti1516e::LogicalTime& time) override;
    void timeConstrainedEnabled(const rti1516e::LogicalTime& time) override;
    void timeAdvanceGrant(const rti1516e::LogicalTime& time) override;

private:
    using Callback = std::function<void(RunTimeCallbacks&)>;

    void queue(Callback callback) { m_queue.push_back(std::move(callback)); }
    void reflect(const rti1516e::ObjectInstanceHandle& object,
                 const rti1516e::AttributeHandleValueMap& values, std::optional<double> time);
    void receive(const rti1516e::InteractionClassHandle& cls,
                 const rti1516e::ParameterHandleValueMap& values, std::optional<double> time);
    void remove(const rti1516e::ObjectInstanceHandle& object, std::optional<double> time);
    void ownership(const rti1516e::ObjectInstanceHandle& object,
                   const rti1516e::AttributeHandleSet& attributes,
                   void (RunTimeCallbacks::*call)(hla::ObjectInstanceHandle,
                                                  const hla::AttributeSet&));

    Hla1516eHandles& m_handles;
    std::deque<Callback> m_queue;
    std::map<rti1516e::ObjectInstanceHandle, hla::ObjectClassHandle> m_objectClasses;
    std::map<std::wstring, Reservation> m_reservations;
    bool m_lost = false;
    bool m_regulating = false;
    enum class StartGrant { None, Expected, Received } m_startGrant = StartGrant::None;
    std::optional<double> m_deliveredTime;
};

}  // namespace links
