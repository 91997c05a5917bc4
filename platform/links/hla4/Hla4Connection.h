#pragma once

// One federate's connection to a Federate Protocol server: its session (Channel) with the
// callbacks and handles that go with it; connecting with credentials, creating or joining,
// resigning, disconnecting and ending the session; taking what has arrived. Single-threaded.
// A connection that goes resigns and disconnects whatever it opened, bounded, even when the
// server no longer answers.

#include "platform/links/LinkPlugin.h"
#include "platform/links/hla4/Calls.h"
#include "platform/links/hla4/Channel.h"
#include "platform/links/hla4/Hla4Callbacks.h"
#include "platform/links/hla4/Hla4Handles.h"
#include "platform/links/hla4/Hla4Settings.h"
#include "platform/links/hla4/TimeCodec.h"

#include <chrono>
#include <string>
#include <vector>

namespace links::hla4 {

// The share of a link's bound that the session's own waits may take, so that they end, with a
// description of their own, before the link stops waiting for the session.
std::chrono::milliseconds innerBound(std::chrono::milliseconds bound);

class Hla4Connection {
public:
    Hla4Connection(const LinkRequest& request, Hla4Settings settings);
    ~Hla4Connection();
    Hla4Connection(const Hla4Connection&) = delete;
    Hla4Connection& operator=(const Hla4Connection&) = delete;

    // Starts the session and connects, with credentials where there are any. Throws
    // std::runtime_error naming the step the server refused or did not answer.
    void connect(const StepReport& step);
    // Creates the federation execution from the modules' content (time HLAfloat64Time) unless
    // it exists, and joins it, bringing the modules along when it existed. Throws
    // std::runtime_error describing the refused step.
    void join(const std::vector<std::string>& modules, const StepReport& step);
    // Leaves the federation, deleting what it may delete and giving up the rest, destroys the
    // execution when this was its last federate, disconnects and ends the session; bounded.
    void resign();

    // Takes what has arrived without waiting.
    void poll() { m_channel.pump(std::chrono::milliseconds(0)); }
    int descriptor() const { return m_channel.descriptor(); }
    // Takes what arrives for at most wait; for the session's own bounded waits.
    void pumpFor(std::chrono::milliseconds wait) { m_channel.pump(wait); }

    // Calls the server, its refusal described as "<what>: <exception>: <details>"; refused at
    // once after the session was lost. unsupported: an internal error, the way a server says
    // that it lacks a service, becomes NotSupported.
    wire::CallResponse call(const wire::CallRequest& request, const std::string& what,
                            bool unsupported = true);
    // The same without waiting for the answer: a refusal is thrown by the next call or post.
    void post(const wire::CallRequest& request, const std::string& what);
    void failIfLost(const std::string& what) const;

    Calls& calls() { return m_calls; }
    Hla4Handles& handles() { return m_handles; }
    Hla4Callbacks& callbacks() { return m_callbacks; }
    const TimeCodec& time() const { return m_time; }
    const hla::FederationDescription& description() const { return m_description; }
    const LinkBounds& bounds() const { return m_bounds; }
    const std::string& address() const { return m_address; }

private:
    bool create(const wire::FomModuleSet& modules);
    void joinWith(const wire::FomModuleSet* modules);
    void disconnect(std::chrono::milliseconds bound);
    // Throws the refusal of an earlier posted call, once.
    void throwEarlierRefusal();

    std::string m_address;
    std::string m_federation;
    std::string m_federate;
    LinkBounds m_bounds;
    hla::FederationDescription m_description;
    TimeCodec m_time;
    Hla4Settings m_settings;
    Channel m_channel;
    Calls m_calls;
    Hla4Handles m_handles;
    Hla4Callbacks m_callbacks;
    bool m_connected = false;
    bool m_joined = false;
};

}  // namespace links::hla4
