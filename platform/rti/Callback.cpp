#include "platform/rti/Callback.h"

#include "platform/rti/Vocabulary.h"

namespace rti {

namespace {

template <typename... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <typename... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

}  // namespace

void setTimestamp(Callback& callback, std::optional<LogicalTime> time) {
    std::visit(
        [&](auto& c) {
            if constexpr (requires { c.time = time; }) c.time = time;
        },
        callback);
}

void dispatch(Callback&& callback, FederateAmbassador& a) {
    std::visit(
        Overloaded{
            [&](cb::SynchronizationPointRegistrationSucceeded& c) {
                a.synchronizationPointRegistrationSucceeded(c.label);
            },
            [&](cb::SynchronizationPointRegistrationFailed& c) {
                a.synchronizationPointRegistrationFailed(c.label, c.reason);
            },
            [&](cb::AnnounceSynchronizationPoint& c) {
                a.announceSynchronizationPoint(c.label, c.tag);
            },
            [&](cb::FederationSynchronized& c) { a.federationSynchronized(c.label); },
            [&](cb::DiscoverObjectInstance& c) {
                a.discoverObjectInstance(c.object, c.objectClass, c.name);
            },
            [&](cb::ReflectAttributeValues& c) {
                a.reflectAttributeValues(c.object, c.values, c.tag, c.time);
            },
            [&](cb::ReceiveInteraction& c) {
                a.receiveInteraction(c.interactionClass, c.values, c.tag, c.time);
            },
            [&](cb::RemoveObjectInstance& c) { a.removeObjectInstance(c.object, c.tag, c.time); },
            [&](cb::ProvideAttributeValueUpdate& c) {
                a.provideAttributeValueUpdate(c.object, c.attributes, c.tag);
            },
            [&](cb::RequestAttributeOwnershipRelease& c) {
                a.requestAttributeOwnershipRelease(c.object, c.attributes, c.tag);
            },
            [&](cb::AttributeOwnershipAcquisitionNotification& c) {
                a.attributeOwnershipAcquisitionNotification(c.object, c.attributes);
            },
            [&](cb::AttributeOwnershipUnavailable& c) {
                a.attributeOwnershipUnavailable(c.object, c.attributes);
            },
            [&](cb::ConfirmAttributeOwnershipAcquisitionCancellation& c) {
                a.confirmAttributeOwnershipAcquisitionCancellation(c.object, c.attributes);
            },
            [&](cb::InformAttributeOwnership& c) {
                a.informAttributeOwnership(c.object, c.attribute, c.owner);
            },
            [&](cb::AttributeIsNotOwned& c) { a.attributeIsNotOwned(c.object, c.attribute); },
            [&](cb::TimeRegulationEnabled& c) { a.timeRegulationEnabled(c.time); },
            [&](cb::TimeConstrainedEnabled& c) { a.timeConstrainedEnabled(c.time); },
            [&](cb::TimeAdvanceGrant& c) { a.timeAdvanceGrant(c.time); },
        },
        callback);
}

}  // namespace rti
