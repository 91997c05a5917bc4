#pragma once

// What one session's calls act on: the shared run-time, what the server's sessions share,
// and the session's own federate.

#include "platform/fedpro/messages/FederateAmbassador.pb.h"
#include "platform/fedpro/server/CallError.h"
#include "platform/fedpro/server/FomLoader.h"
#include "platform/fedpro/server/ServerRegistry.h"
#include "platform/fedpro/server/WireValues.h"
#include "platform/hla/Types.h"
#include "platform/links/embedded/RunTimeHost.h"

#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace fedpro::server {

// The session's federate, as far as the server keeps it beside the run-time.
struct FederateState {
    std::optional<hla::FederateHandle> handle;
    std::string federation;
    TimeKind time = TimeKind::Float64;
    // The standard's publications and subscriptions add up; the run-time's replace, so the
    // server hands it the sum.
    std::map<hla::ObjectClassHandle, hla::AttributeSet> published;
    std::map<hla::ObjectClassHandle, hla::AttributeSet> subscribed;
    std::set<hla::ObjectInstanceHandle> registered;  // by this federate and still standing
    std::size_t syncPoints = 0;

    // Kept across joins, as the session's: what the session made, and what becomes of its
    // federate when the session is lost.
    std::size_t federationsCreated = 0;
    pb::ResignAction resignDirective = pb::CANCEL_THEN_DELETE_THEN_DIVEST;

    // Forgets the federate after it resigned.
    void left() {
        FederateState next;
        next.federationsCreated = federationsCreated;
        next.resignDirective = resignDirective;
        *this = std::move(next);
    }
};

struct CallContext {
    links::RunTimeHost& host;
    ServerRegistry& registry;
    const FomLoader& foms;
    FederateState& federate;
    Api api;
    // Callbacks the server makes itself (name reservations), sent before the run-time's.
    std::deque<pb::CallbackRequest>& madeCallbacks;

    // The joined federate; throws CallError (FederateNotExecutionMember) when there is none.
    hla::FederateHandle self() const {
        if (!federate.handle) {
            throw CallError("FederateNotExecutionMember",
                            "the federate has not joined a federation execution");
        }
        return *federate.handle;
    }
};

}  // namespace fedpro::server
