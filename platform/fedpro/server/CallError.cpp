#include "platform/fedpro/server/CallError.h"

namespace fedpro::server {

std::string exceptionName(hla::ErrorKind kind, Api api) {
    using hla::ErrorKind;
    switch (kind) {
        case ErrorKind::FederationExecutionAlreadyExists:
            return "FederationExecutionAlreadyExists";
        case ErrorKind::FederationExecutionDoesNotExist:
            return "FederationExecutionDoesNotExist";
        case ErrorKind::FederatesCurrentlyJoined:
            return "FederatesCurrentlyJoined";
        case ErrorKind::FederateNotExecutionMember:
            return "FederateNotExecutionMember";
        case ErrorKind::FederateOwnsAttributes:
            return "FederateOwnsAttributes";
        case ErrorKind::NameNotFound:
            return "NameNotFound";
        case ErrorKind::ObjectClassNotDefined:
            return "ObjectClassNotDefined";
        case ErrorKind::AttributeNotDefined:
            return "AttributeNotDefined";
        case ErrorKind::InteractionClassNotDefined:
            return "InteractionClassNotDefined";
        case ErrorKind::InteractionParameterNotDefined:
            return "InteractionParameterNotDefined";
        case ErrorKind::ObjectClassNotPublished:
            return "ObjectClassNotPublished";
        case ErrorKind::InteractionClassNotPublished:
            return "InteractionClassNotPublished";
        case ErrorKind::AttributeNotPublished:
            return "AttributeNotPublished";
        case ErrorKind::ObjectNotKnown:
            return "ObjectInstanceNotKnown";
        case ErrorKind::ObjectAlreadyRegistered:
            return "ObjectInstanceNameInUse";
        case ErrorKind::AttributeNotOwned:
            return "AttributeNotOwned";
        case ErrorKind::AttributeAlreadyOwned:
            return "AttributeAlreadyOwned";
        case ErrorKind::AttributeAcquisitionWasNotRequested:
            return "AttributeAcquisitionWasNotRequested";
        case ErrorKind::DeletePrivilegeNotHeld:
            return "DeletePrivilegeNotHeld";
        case ErrorKind::SynchronizationPointLabelNotAnnounced:
            return "SynchronizationPointLabelNotAnnounced";
        case ErrorKind::TimeRegulationAlreadyEnabled:
            return "TimeRegulationAlreadyEnabled";
        case ErrorKind::TimeRegulationWasNotEnabled:
            return "TimeRegulationIsNotEnabled";
        case ErrorKind::TimeConstrainedAlreadyEnabled:
            return "TimeConstrainedAlreadyEnabled";
        case ErrorKind::TimeConstrainedWasNotEnabled:
            return "TimeConstrainedIsNotEnabled";
        case ErrorKind::EnableTimeConstrainedPending:
            return "RequestForTimeConstrainedPending";
        case ErrorKind::EnableTimeRegulationPending:
            return "RequestForTimeRegulationPending";
        case ErrorKind::AsynchronousDeliveryAlreadyEnabled:
            return "AsynchronousDeliveryAlreadyEnabled";
        case ErrorKind::AsynchronousDeliveryAlreadyDisabled:
            return "AsynchronousDeliveryAlreadyDisabled";
        case ErrorKind::TimeAdvanceAlreadyInProgress:
            return "InTimeAdvancingState";
        case ErrorKind::InvalidFederationTime:
            return "InvalidLogicalTime";
        case ErrorKind::FederationTimeAlreadyPassed:
            return "LogicalTimeAlreadyPassed";
        case ErrorKind::InvalidLookahead:
            return "InvalidLookahead";
        case ErrorKind::CallNotAllowedFromWithinCallback:
            return "CallNotAllowedFromWithinCallback";
        case ErrorKind::InvalidName:
            return "IllegalName";
        case ErrorKind::InconsistentFdd:
            return inconsistentFom(api);
    }
    return "RTIinternalError";
}

std::string couldNotOpenFom(Api api) {
    return api == Api::Ieee2010 ? "CouldNotOpenFDD" : "CouldNotOpenFOM";
}

std::string errorReadingFom(Api api) {
    return api == Api::Ieee2010 ? "ErrorReadingFDD" : "ErrorReadingFOM";
}

std::string inconsistentFom(Api api) {
    return api == Api::Ieee2010 ? "InconsistentFDD" : "InconsistentFOM";
}

CallError notSupported(const std::string& memberName) {
    return CallError("RTIinternalError",
                     memberName + " is not supported by the Tandrel engine's server");
}

}  // namespace fedpro::server
