#include "platform/links/hla4/Hla4Connection.h"

#include "platform/links/ThreadedLink.h"
#include "platform/links/hla4/Credentials.h"
#include "platform/links/hla4/ModuleContent.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace links::hla4 {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The time this link creates federations with, as a 1.3 RTI has it, so that 1.3 and 2010
// federates can share them.
constexpr const char* kTimeImplementation = "HLAfloat64Time";
// The standard's exceptions this link tells apart.
constexpr const char* kAlreadyExists = "FederationExecutionAlreadyExists";
constexpr const char* kInconsistentFdd = "InconsistentFDD";
constexpr const char* kNotMember = "FederateNotExecutionMember";
constexpr const char* kUnauthorized = "Unauthorized";
constexpr const char* kInternalError = "RTIinternalError";
// How long ending the session may wait for the server's answer, within the resign bound.
constexpr milliseconds kTerminateBound{1000};

milliseconds leftUntil(Clock::time_point deadline) {
    const auto now = Clock::now();
    return now >= deadline ? milliseconds(0)
                           : std::chrono::duration_cast<milliseconds>(deadline - now);
}

}  // namespace

milliseconds innerBound(milliseconds bound) {
    return bound * 2 / 3;
}

Hla4Connection::Hla4Connection(const LinkRequest& request, Hla4Settings settings)
    : m_address(settings.server.text()),
      m_federation(request.federation),
      m_federate(request.federate),
      m_bounds(request.bounds),
      m_description(request.description),
      m_settings(settings),
      m_channel(
          std::move(settings),
          [this](const wire::CallbackRequest& r) { return m_callbacks.take(r); },
          [this](const std::string& reason) { m_callbacks.lose(reason); }),
      m_calls(m_channel, innerBound(request.bounds.call)),
      m_handles(m_calls, m_description),
      m_callbacks(m_handles, m_time) {}

Hla4Connection::~Hla4Connection() {
    try {
        resign();
    } catch (const std::exception& e) {
        // The server ends the membership of a federate whose session ends.
        std::fprintf(stderr, "tandrel: leaving federation execution %s at %s: %s\n",
                     m_federation.c_str(), m_address.c_str(), e.what());
    }
    disconnect(milliseconds(0));
}

void Hla4Connection::connect(const StepReport& step) {
    const milliseconds bound = innerBound(m_bounds.open);
    m_channel.open(bound, step);
    step("connecting to " + m_address);
    const auto credentials = credentialsFor(m_settings.server, m_settings.passwordFile);
    wire::CallRequest request;
    if (credentials) {
        wire::Credentials* shown =
            request.mutable_connectwithcredentialsrequest()->mutable_credentials();
        shown->set_type(credentials->type);
        shown->set_data(credentials->data);
    } else {
        request.mutable_connectrequest();
    }
    try {
        m_calls.call(request, "connecting to " + m_address, bound);
    } catch (const ServerRefusal& e) {
        std::string hint;
        if (e.name() == kUnauthorized) {
            hint = credentials ? "; the credentials were not accepted"
                   : m_settings.server.loopback()
                       ? "; it wants credentials, and the engine's token file " +
                             tokenFilePath(m_settings.server.port) + " is not there"
                       : "; it wants credentials: name a password file in "
                         "CAO_HLA_RTI_PASSWORD_FILE";
        }
        throw std::runtime_error("the server at " + m_address + " refused to connect: " + e.what() +
                                 hint);
    }
    m_connected = true;
}

void Hla4Connection::join(const std::vector<std::string>& modules, const StepReport& step) {
    const wire::FomModuleSet content = moduleContents(modules, m_description);
    step("creating federation execution " + m_federation + " at " + m_address);
    const bool created = create(content);
    step("joining federation execution " + m_federation + " at " + m_address);
    try {
        joinWith(created ? nullptr : &content);
    } catch (const std::runtime_error&) {
        if (created && !m_channel.lost()) {
            wire::CallRequest destroy;
            destroy.mutable_destroyfederationexecutionrequest()->set_federationname(m_federation);
            try {
                m_calls.call(destroy, "destroying federation execution " + m_federation);
            } catch (const std::runtime_error&) {
                // Someone joined meanwhile: the execution is theirs now.
            }
        }
        throw;
    }
}

bool Hla4Connection::create(const wire::FomModuleSet& modules) {
    wire::CallRequest request;
    wire::CreateFederationExecutionWithModulesAndTimeRequest* create =
        request.mutable_createfederationexecutionwithmodulesandtimerequest();
    create->set_federationname(m_federation);
    *create->mutable_fommodules() = modules;
    create->set_logicaltimeimplementationname(kTimeImplementation);
    try {
        m_calls.call(request, "creating federation execution " + m_federation,
                     innerBound(m_bounds.open));
        return true;
    } catch (const ServerRefusal& e) {
        if (e.name() == kAlreadyExists) return false;  // joined below, bringing the modules
        throw std::runtime_error("the server at " + m_address +
                                 " refused to create federation execution " + m_federation + ": " +
                                 e.what());
    }
}

void Hla4Connection::joinWith(const wire::FomModuleSet* modules) {
    const std::string refused =
        "the server at " + m_address + " refused to join federation execution " + m_federation;
    const auto joinRequest = [&](const wire::FomModuleSet* with) {
        wire::CallRequest request;
        if (with) {
            wire::JoinFederationExecutionWithModulesRequest* join =
                request.mutable_joinfederationexecutionwithmodulesrequest();
            join->set_federatetype(m_federate);
            join->set_federationname(m_federation);
            *join->mutable_additionalfommodules() = *with;
        } else {
            wire::JoinFederationExecutionRequest* join =
                request.mutable_joinfederationexecutionrequest();
            join->set_federatetype(m_federate);
            join->set_federationname(m_federation);
        }
        const wire::CallResponse response = m_calls.call(
            request, "joining federation execution " + m_federation, innerBound(m_bounds.open));
        return with ? response.joinfederationexecutionwithmodulesresponse().result()
                    : response.joinfederationexecutionresponse().result();
    };
    wire::JoinResult result;
    try {
        result = joinRequest(modules);
    } catch (const ServerRefusal& e) {
        if (!modules || e.name() != kInconsistentFdd)
            throw std::runtime_error(refused + ": " + e.what());
        // A federation that a 1.3 federate created from a FED file whose interaction root is
        // receive-ordered takes no 2010 module (WriterRules.h). The federate joins with the
        // classes the federation has; one it needs and the federation lacks is named when it
        // is first used.
        try {
            result = joinRequest(nullptr);
        } catch (const ServerRefusal& again) {
            throw std::runtime_error(refused + ": " + again.what());
        }
    }
    m_joined = true;
    m_time = TimeCodec::named(result.logicaltimeimplementationname());
}

void Hla4Connection::resign() {
    const auto deadline = Clock::now() + innerBound(m_bounds.resign);
    bool answering = !m_channel.lost();
    if (m_joined) {
        if (answering) {
            wire::CallRequest request;
            request.mutable_resignfederationexecutionrequest()->set_resignaction(
                wire::CANCEL_THEN_DELETE_THEN_DIVEST);
            try {
                m_calls.call(request, "resigning from " + m_federation, leftUntil(deadline));
            } catch (const ServerRefusal& e) {
                // The server has let the federate go already; anything else stands.
                if (e.name() != kNotMember) {
                    throw std::runtime_error("resigning from " + m_federation + ": " + e.what());
                }
            } catch (const std::runtime_error& e) {
                // Closing never strands the user: the session ends all the same, and the
                // server resigns a federate whose session ends by its resign directive.
                answering = false;
                if (!m_channel.lost()) {
                    std::fprintf(stderr, "tandrel: %s; the session is ended instead\n", e.what());
                }
            }
        }
        m_joined = false;
        if (answering && !m_channel.lost()) {
            wire::CallRequest destroy;
            destroy.mutable_destroyfederationexecutionrequest()->set_federationname(m_federation);
            try {
                m_calls.call(destroy, "destroying federation execution " + m_federation,
                             leftUntil(deadline));
            } catch (const ServerRefusal&) {
                // Others are still joined, or the execution is gone already.
            } catch (const std::runtime_error&) {
                answering = false;  // the session ends without more waiting
            }
        }
    }
    if (!answering || leftUntil(deadline).count() == 0) m_connected = false;
    disconnect(leftUntil(deadline));
}

void Hla4Connection::disconnect(milliseconds bound) {
    if (m_connected && !m_channel.lost()) {
        m_connected = false;
        wire::CallRequest request;
        request.mutable_disconnectrequest();
        try {
            m_calls.call(request, "disconnecting from " + m_address, bound);
        } catch (const std::runtime_error& e) {
            std::fprintf(stderr, "tandrel: disconnecting from the server at %s: %s\n",
                         m_address.c_str(), e.what());
        }
    }
    m_connected = false;
    m_channel.close(std::min(bound, kTerminateBound));
}

void Hla4Connection::throwEarlierRefusal() {
    if (const auto refusal = m_channel.takeRefusal()) {
        throw std::runtime_error("the server refused an earlier call: " + *refusal);
    }
}

void Hla4Connection::post(const wire::CallRequest& request, const std::string& what) {
    failIfLost(what);
    throwEarlierRefusal();
    m_channel.post(request, what, m_calls.bound());
}

wire::CallResponse Hla4Connection::call(const wire::CallRequest& request, const std::string& what,
                                        bool unsupported) {
    failIfLost(what);
    throwEarlierRefusal();
    try {
        return m_calls.call(request, what);
    } catch (const ServerRefusal& e) {
        if (unsupported && e.name() == kInternalError) {
            throw NotSupported("The " + std::string(kHla4RunTimeName) +
                               " in use does not support " + what + " (" + e.details() + ")");
        }
        throw std::runtime_error(what + ": " + e.what());
    }
}

void Hla4Connection::failIfLost(const std::string& what) const {
    if (m_callbacks.lost() || m_channel.lost()) {
        throw std::runtime_error(what + ": the connection to the server at " + m_address +
                                 " was lost; close the controller and open it again");
    }
}

}  // namespace links::hla4
