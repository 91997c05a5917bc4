#include "platform/fedpro/server/FederationCalls.h"

#include "platform/fedpro/server/ServerBounds.h"

namespace fedpro::server {

namespace {

using Request = pb::CallRequest;

hla::ResignAction runTimeAction(pb::ResignAction action) {
    switch (action) {
        case pb::UNCONDITIONALLY_DIVEST_ATTRIBUTES:
            return hla::ResignAction::ReleaseAttributes;
        case pb::DELETE_OBJECTS:
        case pb::DELETE_OBJECTS_THEN_DIVEST:
        case pb::CANCEL_THEN_DELETE_THEN_DIVEST:
            return hla::ResignAction::DeleteObjectsAndReleaseAttributes;
        case pb::CANCEL_PENDING_OWNERSHIP_ACQUISITIONS:
        case pb::NO_ACTION:
            return hla::ResignAction::NoAction;
        default:
            break;
    }
    throw CallError("InvalidResignAction", "the resign action " +
                                               std::to_string(static_cast<int>(action)) +
                                               " is not one of the standard's");
}

void create(CallContext& c, const std::string& name,
            const std::vector<const pb::FomModule*>& modules, const pb::FomModule* mim,
            const std::string& timeName) {
    const TimeKind kind = timeKindNamed(timeName);
    if (c.federate.federationsCreated >= kMaxFederationsPerSession) {
        throw CallError("RTIinternalError",
                        "a session may create at most " +
                            std::to_string(kMaxFederationsPerSession) +
                            " federation executions on the Tandrel engine's server");
    }
    // Read before the run-time is taken, which the engine's windows share.
    hla::FederationDescription description = c.foms.federation(modules, mim, c.api);
    const links::RunTimeHost::Access rt = c.host.access();
    c.registry.prune([&](const std::string& f) { return rt->federationExecutionExists(f); });
    rt->createFederationExecution(name, std::move(description));
    c.registry.federationCreated(name, kind);
    ++c.federate.federationsCreated;
}

void destroy(CallContext& c, const std::string& name) {
    c.host.access()->destroyFederationExecution(name);
    c.registry.federationDestroyed(name);
    if (c.federate.federationsCreated > 0) --c.federate.federationsCreated;
}

// A name the server makes for a federate that gave none: "HLA" names are the RTI's own.
std::string madeName(CallContext& c, const std::string& federation, hla::FederateHandle self) {
    std::string name = "HLAfederate" + std::to_string(hla::toUnderlying(self));
    for (int n = 1; c.registry.federateNamed(federation, name); ++n) {
        name = "HLAfederate" + std::to_string(hla::toUnderlying(self)) + "." + std::to_string(n);
    }
    return name;
}

pb::JoinResult join(CallContext& c, const std::string& federateName, const std::string& type,
                    const std::string& federation, const pb::FomModuleSet* modules) {
    if (c.federate.handle) {
        throw CallError("FederateAlreadyExecutionMember",
                        "the federate has joined " + c.federate.federation + " already");
    }
    std::optional<hla::FederationDescription> own;
    if (modules != nullptr && modules->fommodule_size() > 0) {
        own = c.foms.additional(modulesOf(*modules), c.api);
    }
    if (!federateName.empty() && c.registry.federateNamed(federation, federateName)) {
        throw CallError("FederateNameAlreadyInUse",
                        "a federate named \"" + federateName + "\" has joined " + federation);
    }
    const links::RunTimeHost::Access rt = c.host.access();
    c.registry.prune([&](const std::string& f) { return rt->federationExecutionExists(f); });
    const hla::FederateHandle self =
        rt->joinFederationExecution(type, federation, 0, own ? &*own : nullptr, federateName);
    c.registry.claimName(federation,
                         federateName.empty() ? madeName(c, federation, self) : federateName, self);
    c.federate.handle = self;
    c.federate.federation = federation;
    c.federate.time = c.registry.timeKindOf(federation);
    pb::JoinResult result;
    *result.mutable_federatehandle() = wire(self);
    result.set_logicaltimeimplementationname(timeKindName(c.federate.time));
    return result;
}

void registerSyncPoint(CallContext& c, const std::string& label, const std::string& tag) {
    const hla::FederateHandle self = c.self();
    if (c.federate.syncPoints >= kMaxSyncPointsPerSession) {
        throw CallError("RTIinternalError",
                        "a session may register at most " +
                            std::to_string(kMaxSyncPointsPerSession) +
                            " synchronization points on the Tandrel engine's server");
    }
    c.host.access()->registerFederationSynchronizationPoint(self, label, tag);
    ++c.federate.syncPoints;
}

bool creation(const Request& r, CallContext& c, pb::CallResponse& response) {
    switch (r.callRequest_case()) {
        case Request::kCreateFederationExecutionRequest: {
            const auto& q = r.createfederationexecutionrequest();
            create(c, q.federationname(), {&q.fommodule()}, nullptr, {});
            response.mutable_createfederationexecutionresponse();
            return true;
        }
        case Request::kCreateFederationExecutionWithTimeRequest: {
            const auto& q = r.createfederationexecutionwithtimerequest();
            create(c, q.federationname(), {&q.fommodule()}, nullptr,
                   q.logicaltimeimplementationname());
            response.mutable_createfederationexecutionwithtimeresponse();
            return true;
        }
        case Request::kCreateFederationExecutionWithModulesRequest: {
            const auto& q = r.createfederationexecutionwithmodulesrequest();
            create(c, q.federationname(), modulesOf(q.fommodules()), nullptr, {});
            response.mutable_createfederationexecutionwithmodulesresponse();
            return true;
        }
        case Request::kCreateFederationExecutionWithModulesAndTimeRequest: {
            const auto& q = r.createfederationexecutionwithmodulesandtimerequest();
            create(c, q.federationname(), modulesOf(q.fommodules()), nullptr,
                   q.logicaltimeimplementationname());
            response.mutable_createfederationexecutionwithmodulesandtimeresponse();
            return true;
        }
        case Request::kCreateFederationExecutionWithMIMRequest: {
            const auto& q = r.createfederationexecutionwithmimrequest();
            create(c, q.federationname(), modulesOf(q.fommodules()),
                   q.has_mimmodule() ? &q.mimmodule() : nullptr, {});
            response.mutable_createfederationexecutionwithmimresponse();
            return true;
        }
        case Request::kCreateFederationExecutionWithMIMAndTimeRequest: {
            const auto& q = r.createfederationexecutionwithmimandtimerequest();
            create(c, q.federationname(), modulesOf(q.fommodules()),
                   q.has_mimmodule() ? &q.mimmodule() : nullptr, q.logicaltimeimplementationname());
            response.mutable_createfederationexecutionwithmimandtimeresponse();
            return true;
        }
        case Request::kDestroyFederationExecutionRequest:
            destroy(c, r.destroyfederationexecutionrequest().federationname());
            response.mutable_destroyfederationexecutionresponse();
            return true;
        default:
            return false;
    }
}

bool membership(const Request& r, CallContext& c, pb::CallResponse& response) {
    switch (r.callRequest_case()) {
        case Request::kJoinFederationExecutionRequest: {
            const auto& q = r.joinfederationexecutionrequest();
            *response.mutable_joinfederationexecutionresponse()->mutable_result() =
                join(c, {}, q.federatetype(), q.federationname(), nullptr);
            return true;
        }
        case Request::kJoinFederationExecutionWithModulesRequest: {
            const auto& q = r.joinfederationexecutionwithmodulesrequest();
            *response.mutable_joinfederationexecutionwithmodulesresponse()->mutable_result() =
                join(c, {}, q.federatetype(), q.federationname(), &q.additionalfommodules());
            return true;
        }
        case Request::kJoinFederationExecutionWithNameRequest: {
            const auto& q = r.joinfederationexecutionwithnamerequest();
            *response.mutable_joinfederationexecutionwithnameresponse()->mutable_result() =
                join(c, q.federatename(), q.federatetype(), q.federationname(), nullptr);
            return true;
        }
        case Request::kJoinFederationExecutionWithNameAndModulesRequest: {
            const auto& q = r.joinfederationexecutionwithnameandmodulesrequest();
            *response.mutable_joinfederationexecutionwithnameandmodulesresponse()
                 ->mutable_result() = join(c, q.federatename(), q.federatetype(),
                                           q.federationname(), &q.additionalfommodules());
            return true;
        }
        case Request::kResignFederationExecutionRequest:
            c.self();
            resignFederate(c, r.resignfederationexecutionrequest().resignaction());
            response.mutable_resignfederationexecutionresponse();
            return true;
        case Request::kRegisterFederationSynchronizationPointRequest: {
            const auto& q = r.registerfederationsynchronizationpointrequest();
            registerSyncPoint(c, q.synchronizationpointlabel(), q.usersuppliedtag());
            response.mutable_registerfederationsynchronizationpointresponse();
            return true;
        }
        case Request::kSynchronizationPointAchievedRequest:
            // The run-time knows no failed achievement: the point is achieved either way.
            c.host.access()->synchronizationPointAchieved(
                c.self(), r.synchronizationpointachievedrequest().synchronizationpointlabel());
            response.mutable_synchronizationpointachievedresponse();
            return true;
        default:
            return false;
    }
}

}  // namespace

bool federationCall(const pb::CallRequest& request, CallContext& context,
                    pb::CallResponse& response) {
    return creation(request, context, response) || membership(request, context, response);
}

void resignFederate(CallContext& context, pb::ResignAction action) {
    if (!context.federate.handle) return;
    const hla::FederateHandle self = *context.federate.handle;
    context.host.access()->resignFederationExecution(self, runTimeAction(action));
    context.registry.federateLeft(self);
    context.federate.left();
}

}  // namespace fedpro::server
