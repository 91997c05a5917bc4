#pragma once

// One session's side of the calls: connecting (with its credentials and settings),
// disconnecting, every other call handed to the dispatch once connected, and the federate's
// callbacks taken from the run-time as the protocol's callback requests.

#include "platform/fedpro/messages/RTIambassador.pb.h"
#include "platform/fedpro/server/CallContext.h"
#include "platform/fedpro/server/ServerServices.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace fedpro::server {

class SessionCalls {
public:
    // wake: called, on any thread, when the federate's callbacks wait; it may only schedule.
    SessionCalls(ServerServices& services, std::function<void()> wake);
    ~SessionCalls();
    SessionCalls(const SessionCalls&) = delete;
    SessionCalls& operator=(const SessionCalls&) = delete;

    // The serialized call response to a call request's payload; throws ProtocolError when the
    // payload is not a call request.
    std::string answer(std::string_view payload);

    bool connected() const { return m_connected; }
    // Has connected with valid credentials (or where none are asked): only such a session may
    // be resumed.
    bool authenticated() const { return m_authenticated; }
    bool joined() const { return m_federate.handle.has_value(); }

    // Serialized callback requests, at most room of them, the server's own first; more says
    // whether the run-time holds further ones.
    std::vector<std::string> takeCallbacks(std::size_t room, bool& more);
    // The callbacks waiting in the run-time for the federate.
    std::size_t queuedCallbacks();

    // The session is lost or ended, for the reason given, with its federate still joined: the
    // federate is reported lost (HLAreportFederateLost) and resigns with the session's resign
    // directive. Returns what went wrong, or "".
    QString resignLost(const QString& reason);

private:
    pb::CallResponse connect(const pb::CallRequest& request);
    pb::CallResponse disconnect();
    void afterCall();

    ServerServices& m_services;
    std::function<void()> m_wake;
    FederateState m_federate;
    std::optional<hla::FederateHandle> m_woken;  // the federate whose waker is set
    std::deque<pb::CallbackRequest> m_made;
    Api m_api = Api::Hla4;
    bool m_connected = false;
    bool m_authenticated = false;
};

}  // namespace fedpro::server
