#pragma once

// The callbacks a federate receives, as values, so they can wait in its queue until the
// layer above asks for them.

#include "platform/rti/Vocabulary.h"

#include <optional>
#include <string>
#include <variant>

namespace rti {

namespace cb {

struct SynchronizationPointRegistrationSucceeded {
    std::string label;
};
struct SynchronizationPointRegistrationFailed {
    std::string label;
    std::string reason;
};
struct AnnounceSynchronizationPoint {
    std::string label;
    std::string tag;
};
struct FederationSynchronized {
    std::string label;
};
struct DiscoverObjectInstance {
    ObjectInstanceHandle object;
    ObjectClassHandle objectClass;  // the class this federate knows the object as
    std::string name;
};
// time is set only for a timestamp-order delivery.
struct ReflectAttributeValues {
    ObjectInstanceHandle object;
    AttributeValues values;
    std::string tag;
    std::optional<LogicalTime> time;
};
struct ReceiveInteraction {
    InteractionClassHandle interactionClass;  // the class this federate subscribed to
    ParameterValues values;
    std::string tag;
    std::optional<LogicalTime> time;
};
struct RemoveObjectInstance {
    ObjectInstanceHandle object;
    std::string tag;
    std::optional<LogicalTime> time;
};
struct ProvideAttributeValueUpdate {
    ObjectInstanceHandle object;
    AttributeSet attributes;
    std::string tag;
};
struct RequestAttributeOwnershipRelease {
    ObjectInstanceHandle object;
    AttributeSet attributes;
    std::string tag;
};
struct AttributeOwnershipAcquisitionNotification {
    ObjectInstanceHandle object;
    AttributeSet attributes;
};
struct AttributeOwnershipUnavailable {
    ObjectInstanceHandle object;
    AttributeSet attributes;
};
struct ConfirmAttributeOwnershipAcquisitionCancellation {
    ObjectInstanceHandle object;
    AttributeSet attributes;
};
struct InformAttributeOwnership {
    ObjectInstanceHandle object;
    AttributeHandle attribute;
    FederateHandle owner;
};
struct AttributeIsNotOwned {
    ObjectInstanceHandle object;
    AttributeHandle attribute;
};
struct TimeRegulationEnabled {
    LogicalTime time;
};
struct TimeConstrainedEnabled {
    LogicalTime time;
};
struct TimeAdvanceGrant {
    LogicalTime time;
};

}  // namespace cb

using Callback =
    std::variant<cb::SynchronizationPointRegistrationSucceeded,
                 cb::SynchronizationPointRegistrationFailed, cb::AnnounceSynchronizationPoint,
                 cb::FederationSynchronized, cb::DiscoverObjectInstance, cb::ReflectAttributeValues,
                 cb::ReceiveInteraction, cb::RemoveObjectInstance, cb::ProvideAttributeValueUpdate,
                 cb::RequestAttributeOwnershipRelease,
                 cb::AttributeOwnershipAcquisitionNotification, cb::AttributeOwnershipUnavailable,
                 cb::ConfirmAttributeOwnershipAcquisitionCancellation, cb::InformAttributeOwnership,
                 cb::AttributeIsNotOwned, cb::TimeRegulationEnabled, cb::TimeConstrainedEnabled,
                 cb::TimeAdvanceGrant>;

// Sets or clears the timestamp of an interaction, reflection or removal; other callbacks
// carry none and are left alone.
void setTimestamp(Callback& callback, std::optional<LogicalTime> time);

// Calls the ambassador method that matches the callback.
void dispatch(Callback&& callback, FederateAmbassador& ambassador);

}  // namespace rti
