#pragma once

#include "platform/links/RunTimeLink.h"
#include "platform/links/TranslatedCallbacks.h"
#include "platform/links/hla1516e/Hla1516eHandles.h"

#include <RTI/NullFederateAmbassador.h>

#include <map>
#include <string>

namespace links {

// Takes the callbacks of a 2010 RTI while it is evoked and keeps them, in order, until they
// are handed on outside the evoke (TranslatedCallbacks.h). What the session waits for itself
// (a name reservation, the grant of its initial time) it notes instead.
class Hla1516eCallbacks : public rti1516e::NullFederateAmbassador,
                          public TranslatedCallbacks<Hla1516eHandles> {
    // The words of the interface's callbacks.
    using Tag = rti1516e::VariableLengthData;
    using Order = rti1516e::OrderType;
    using Transport = rti1516e::TransportationType;
    using Time = rti1516e::LogicalTime;
    using Retraction = rti1516e::MessageRetractionHandle;

public:
    using TranslatedCallbacks::TranslatedCallbacks;

    // The connection was lost; its reason has been queued.
    bool lost() const { return m_lost; }
    void lose(const std::string& reason);

    // The answer to reserving an object instance name: unset until it has come.
    enum class Reservation { Pending, Succeeded, Failed };
    void expectReservation(const std::wstring& name) {
        m_reservations[name] = Reservation::Pending;
    }
    Reservation reservation(const std::wstring& name) const;
    void forgetReservation(const std::wstring& name) { m_reservations.erase(name); }

    void connectionLost(const std::wstring& faultDescription) override;
    void synchronizationPointRegistrationSucceeded(const std::wstring& label) override;
    void synchronizationPointRegistrationFailed(
        const std::wstring& label, rti1516e::SynchronizationPointFailureReason reason) override;
    void announceSynchronizationPoint(const std::wstring& label, const Tag& tag) override;
    void federationSynchronized(const std::wstring& label,
                                const rti1516e::FederateHandleSet& failed) override;
    void objectInstanceNameReservationSucceeded(const std::wstring& name) override;
    void objectInstanceNameReservationFailed(const std::wstring& name) override;

    // Each delivery comes in receive order, in timestamp order, and in timestamp order with a
    // retraction handle.
    void discoverObjectInstance(Object object, ObjectClass cls, const std::wstring& name) override;
    void discoverObjectInstance(Object object, ObjectClass cls, const std::wstring& name,
                                rti1516e::FederateHandle producer) override;
    void reflectAttributeValues(Object object, const rti1516e::AttributeHandleValueMap& values,
                                const Tag& tag, Order sent, Transport transport,
                                rti1516e::SupplementalReflectInfo info) override;
    void reflectAttributeValues(Object object, const rti1516e::AttributeHandleValueMap& values,
                                const Tag& tag, Order sent, Transport transport, const Time& time,
                                Order received, rti1516e::SupplementalReflectInfo info) override;
    void reflectAttributeValues(Object object, const rti1516e::AttributeHandleValueMap& values,
                                const Tag& tag, Order sent, Transport transport, const Time& time,
                                Order received, Retraction retraction,
                                rti1516e::SupplementalReflectInfo info) override;
    void receiveInteraction(InteractionClass cls, const rti1516e::ParameterHandleValueMap& values,
                            const Tag& tag, Order sent, Transport transport,
                            rti1516e::SupplementalReceiveInfo info) override;
    void receiveInteraction(InteractionClass cls, const rti1516e::ParameterHandleValueMap& values,
                            const Tag& tag, Order sent, Transport transport, const Time& time,
                            Order received, rti1516e::SupplementalReceiveInfo info) override;
    void receiveInteraction(InteractionClass cls, const rti1516e::ParameterHandleValueMap& values,
                            const Tag& tag, Order sent, Transport transport, const Time& time,
                            Order received, Retraction retraction,
                            rti1516e::SupplementalReceiveInfo info) override;
    void removeObjectInstance(Object object, const Tag& tag, Order sent,
                              rti1516e::SupplementalRemoveInfo info) override;
    void removeObjectInstance(Object object, const Tag& tag, Order sent, const Time& time,
                              Order received, rti1516e::SupplementalRemoveInfo info) override;
    void removeObjectInstance(Object object, const Tag& tag, Order sent, const Time& time,
                              Order received, Retraction retraction,
                              rti1516e::SupplementalRemoveInfo info) override;

    void requestAttributeOwnershipRelease(Object object,
                                          const rti1516e::AttributeHandleSet& attributes,
                                          const Tag& tag) override;
    void attributeOwnershipAcquisitionNotification(Object object,
                                                   const rti1516e::AttributeHandleSet& attributes,
                                                   const Tag& tag) override;
    void attributeOwnershipUnavailable(Object object,
                                       const rti1516e::AttributeHandleSet& attributes) override;

    void timeRegulationEnabled(const Time& time) override;
    void timeConstrainedEnabled(const Time& time) override;
    void timeAdvanceGrant(const Time& time) override;

private:
    std::map<std::wstring, Reservation> m_reservations;
    bool m_lost = false;
};

}  // namespace links
