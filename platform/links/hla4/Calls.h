#pragma once

// The server's services as calls over a Channel: each waits a bounded time for its response
// and gives it, or throws the server's refusal.

#include "platform/links/hla4/Channel.h"

#include <chrono>
#include <stdexcept>
#include <string>

namespace links::hla4 {

// The server refused a call: the standard's exception name and the server's description.
class ServerRefusal : public std::runtime_error {
public:
    ServerRefusal(std::string name, std::string details);
    const std::string& name() const { return m_name; }
    const std::string& details() const { return m_details; }

private:
    std::string m_name;
    std::string m_details;
};

class Calls {
public:
    Calls(Channel& channel, std::chrono::milliseconds bound) : m_channel(channel), m_bound(bound) {}

    // Throws ServerRefusal for the server's exception, std::runtime_error "<what>: ..." when
    // no response came within the bound, the session was lost, or the response is not the
    // call's.
    wire::CallResponse call(const wire::CallRequest& request, const std::string& what);
    // The same within another bound.
    wire::CallResponse call(const wire::CallRequest& request, const std::string& what,
                            std::chrono::milliseconds bound);

    Channel& channel() { return m_channel; }
    std::chrono::milliseconds bound() const { return m_bound; }

private:
    Channel& m_channel;
    std::chrono::milliseconds m_bound;
};

// The name of the member a request or response carries ("joinFederationExecutionRequest");
// empty for none.
std::string memberName(const google::protobuf::Message& message);

}  // namespace links::hla4
