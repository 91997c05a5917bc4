#pragma once

#include <stdexcept>
#include <string>

namespace hla {

// The exceptions of the standard's services, as one type with a kind, so a caller can tell
// the class of failure apart while the message stays fit to show a person.
enum class ErrorKind {
    FederationExecutionAlreadyExists,
    FederationExecutionDoesNotExist,
    FederatesCurrentlyJoined,
    FederateNotExecutionMember,
    FederateOwnsAttributes,
    NameNotFound,
    ObjectClassNotDefined,
    AttributeNotDefined,
    InteractionClassNotDefined,
    InteractionParameterNotDefined,
    ObjectClassNotPublished,
    InteractionClassNotPublished,
    AttributeNotPublished,
    ObjectNotKnown,
    ObjectAlreadyRegistered,
    AttributeNotOwned,
    AttributeAlreadyOwned,
    AttributeAcquisitionWasNotRequested,
    DeletePrivilegeNotHeld,
    SynchronizationPointLabelNotAnnounced,
    TimeRegulationAlreadyEnabled,
    TimeRegulationWasNotEnabled,
    TimeConstrainedAlreadyEnabled,
    TimeConstrainedWasNotEnabled,
    EnableTimeConstrainedPending,
    EnableTimeRegulationPending,
    AsynchronousDeliveryAlreadyEnabled,
    AsynchronousDeliveryAlreadyDisabled,
    TimeAdvanceAlreadyInProgress,
    InvalidFederationTime,
    FederationTimeAlreadyPassed,
    InvalidLookahead,
    CallNotAllowedFromWithinCallback,
    InvalidName,
    // Federation object model modules that cannot be merged: a class or data type defined
    // differently by two modules, or a data type referenced but defined by none.
    InconsistentFdd,
};

class Error : public std::runtime_error {
public:
    Error(ErrorKind kind, const std::string& description)
        : std::runtime_error(description), m_kind(kind) {}

    ErrorKind kind() const noexcept { return m_kind; }

private:
    ErrorKind m_kind;
};

}  // namespace hla
