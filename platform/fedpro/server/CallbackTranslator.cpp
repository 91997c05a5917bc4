#include "platform/fedpro/server/CallbackTranslator.h"

#include "platform/fedpro/server/SupportCalls.h"

namespace fedpro::server {

CallbackTranslator::CallbackTranslator(
    TimeKind time, std::shared_ptr<const hla::FederationDescription> description,
    std::vector<pb::CallbackRequest>& out)
    : m_time(time), m_description(std::move(description)), m_out(out) {}

pb::CallbackRequest& CallbackTranslator::next() {
    return m_out.emplace_back();
}

hla::Transport CallbackTranslator::transportOf(const hla::AttributeValues& values) const {
    if (!m_description || values.empty()) return hla::Transport::Reliable;
    try {
        return m_description->attribute(values.begin()->first).transport;
    } catch (const hla::Error&) {
        return hla::Transport::Reliable;
    }
}

hla::Transport CallbackTranslator::transportOf(hla::InteractionClassHandle cls) const {
    if (!m_description) return hla::Transport::Reliable;
    try {
        return m_description->interactionClass(cls).transport;
    } catch (const hla::Error&) {
        return hla::Transport::Reliable;
    }
}

void CallbackTranslator::synchronizationPointRegistrationSucceeded(const std::string& label) {
    next().mutable_synchronizationpointregistrationsucceeded()->set_synchronizationpointlabel(
        label);
}

void CallbackTranslator::synchronizationPointRegistrationFailed(const std::string& label,
                                                                const std::string& /*reason*/) {
    // The run-time refuses a point only when its label is in use.
    auto* failed = next().mutable_synchronizationpointregistrationfailed();
    failed->set_synchronizationpointlabel(label);
    failed->set_reason(pb::SYNCHRONIZATION_POINT_LABEL_NOT_UNIQUE);
}

void CallbackTranslator::announceSynchronizationPoint(const std::string& label,
                                                      const std::string& tag) {
    auto* announce = next().mutable_announcesynchronizationpoint();
    announce->set_synchronizationpointlabel(label);
    announce->set_usersuppliedtag(tag);
}

void CallbackTranslator::federationSynchronized(const std::string& label) {
    auto* synchronized = next().mutable_federationsynchronized();
    synchronized->set_synchronizationpointlabel(label);
    synchronized->mutable_failedtosyncset();
}

void CallbackTranslator::discoverObjectInstance(hla::ObjectInstanceHandle object,
                                                hla::ObjectClassHandle knownClass,
                                                const std::string& name) {
    auto* discover = next().mutable_discoverobjectinstance();
    *discover->mutable_objectinstance() = wire(object);
    *discover->mutable_objectclass() = wire(knownClass);
    discover->set_objectinstancename(name);
}

void CallbackTranslator::reflectAttributeValues(hla::ObjectInstanceHandle object,
                                                const hla::AttributeValues& values,
                                                const std::string& tag,
                                                std::optional<hla::LogicalTime> time) {
    if (!time) {
        auto* reflect = next().mutable_reflectattributevalues();
        *reflect->mutable_objectinstance() = wire(object);
        *reflect->mutable_attributevalues() = wire(values);
        reflect->set_usersuppliedtag(tag);
        *reflect->mutable_transportationtype() = wire(transportOf(values));
        return;
    }
    auto* reflect = next().mutable_reflectattributevalueswithtime();
    *reflect->mutable_objectinstance() = wire(object);
    *reflect->mutable_attributevalues() = wire(values);
    reflect->set_usersuppliedtag(tag);
    *reflect->mutable_transportationtype() = wire(transportOf(values));
    *reflect->mutable_time() = wireTime(*time, m_time);
    reflect->set_sentordertype(pb::TIMESTAMP);
    reflect->set_receivedordertype(pb::TIMESTAMP);
}

void CallbackTranslator::receiveInteraction(hla::InteractionClassHandle interactionClass,
                                            const hla::ParameterValues& values,
                                            const std::string& tag,
                                            std::optional<hla::LogicalTime> time) {
    if (!time) {
        auto* receive = next().mutable_receiveinteraction();
        *receive->mutable_interactionclass() = wire(interactionClass);
        *receive->mutable_parametervalues() = wire(values);
        receive->set_usersuppliedtag(tag);
        *receive->mutable_transportationtype() = wire(transportOf(interactionClass));
        return;
    }
    auto* receive = next().mutable_receiveinteractionwithtime();
    *receive->mutable_interactionclass() = wire(interactionClass);
    *receive->mutable_parametervalues() = wire(values);
    receive->set_usersuppliedtag(tag);
    *receive->mutable_transportationtype() = wire(transportOf(interactionClass));
    *receive->mutable_time() = wireTime(*time, m_time);
    receive->set_sentordertype(pb::TIMESTAMP);
    receive->set_receivedordertype(pb::TIMESTAMP);
}

void CallbackTranslator::removeObjectInstance(hla::ObjectInstanceHandle object,
                                              const std::string& tag,
                                              std::optional<hla::LogicalTime> time) {
    if (!time) {
        auto* remove = next().mutable_removeobjectinstance();
        *remove->mutable_objectinstance() = wire(object);
        remove->set_usersuppliedtag(tag);
        return;
    }
    auto* remove = next().mutable_removeobjectinstancewithtime();
    *remove->mutable_objectinstance() = wire(object);
    remove->set_usersuppliedtag(tag);
    *remove->mutable_time() = wireTime(*time, m_time);
    remove->set_sentordertype(pb::TIMESTAMP);
    remove->set_receivedordertype(pb::TIMESTAMP);
}

void CallbackTranslator::provideAttributeValueUpdate(hla::ObjectInstanceHandle object,
                                                     const hla::AttributeSet& attributes,
                                                     const std::string& tag) {
    auto* provide = next().mutable_provideattributevalueupdate();
    *provide->mutable_objectinstance() = wire(object);
    *provide->mutable_attributes() = wire(attributes);
    provide->set_usersuppliedtag(tag);
}

void CallbackTranslator::requestAttributeOwnershipRelease(hla::ObjectInstanceHandle object,
                                                          const hla::AttributeSet& attributes,
                                                          const std::string& tag) {
    auto* request = next().mutable_requestattributeownershiprelease();
    *request->mutable_objectinstance() = wire(object);
    *request->mutable_candidateattributes() = wire(attributes);
    request->set_usersuppliedtag(tag);
}

void CallbackTranslator::attributeOwnershipAcquisitionNotification(
    hla::ObjectInstanceHandle object, const hla::AttributeSet& attributes) {
    auto* notification = next().mutable_attributeownershipacquisitionnotification();
    *notification->mutable_objectinstance() = wire(object);
    *notification->mutable_securedattributes() = wire(attributes);
}

void CallbackTranslator::attributeOwnershipUnavailable(hla::ObjectInstanceHandle object,
                                                       const hla::AttributeSet& attributes) {
    auto* unavailable = next().mutable_attributeownershipunavailable();
    *unavailable->mutable_objectinstance() = wire(object);
    *unavailable->mutable_attributes() = wire(attributes);
}

void CallbackTranslator::confirmAttributeOwnershipAcquisitionCancellation(
    hla::ObjectInstanceHandle object, const hla::AttributeSet& attributes) {
    auto* confirm = next().mutable_confirmattributeownershipacquisitioncancellation();
    *confirm->mutable_objectinstance() = wire(object);
    *confirm->mutable_attributes() = wire(attributes);
}

void CallbackTranslator::informAttributeOwnership(hla::ObjectInstanceHandle object,
                                                  hla::AttributeHandle attribute,
                                                  hla::FederateHandle owner) {
    auto* inform = next().mutable_informattributeownership();
    *inform->mutable_objectinstance() = wire(object);
    *inform->mutable_attributes() = wire(hla::AttributeSet{attribute});
    *inform->mutable_federate() = wire(owner);
}

void CallbackTranslator::attributeIsNotOwned(hla::ObjectInstanceHandle object,
                                             hla::AttributeHandle attribute) {
    auto* notOwned = next().mutable_attributeisnotowned();
    *notOwned->mutable_objectinstance() = wire(object);
    *notOwned->mutable_attributes() = wire(hla::AttributeSet{attribute});
}

void CallbackTranslator::timeRegulationEnabled(hla::LogicalTime time) {
    *next().mutable_timeregulationenabled()->mutable_time() = wireTime(time, m_time);
}

void CallbackTranslator::timeConstrainedEnabled(hla::LogicalTime time) {
    *next().mutable_timeconstrainedenabled()->mutable_time() = wireTime(time, m_time);
}

void CallbackTranslator::timeAdvanceGrant(hla::LogicalTime time) {
    *next().mutable_timeadvancegrant()->mutable_time() = wireTime(time, m_time);
}

}  // namespace fedpro::server
