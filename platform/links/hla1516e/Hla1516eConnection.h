#pragma once

#include "platform/links/LinkPlugin.h"
#include "platform/links/hla1516e/Hla1516eCallbacks.h"
#include "platform/links/hla1516e/Hla1516eHandles.h"
#include "platform/links/hla1516e/Hla1516eText.h"

#include <RTI/RTI1516.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace links {

// One federate's connection to an RTI of the IEEE 1516-2010 interface: its ambassador with
// the callbacks and handles that go with it; connecting, creating or joining, resigning and
// disconnecting; taking what has arrived. Single-threaded. A connection that goes resigns and
// disconnects whatever it opened, even when the RTI can no longer be reached.
class Hla1516eConnection {
public:
    // Makes the ambassador; throws std::runtime_error when the RTI cannot.
    explicit Hla1516eConnection(const LinkRequest& request);
    ~Hla1516eConnection();
    Hla1516eConnection(const Hla1516eConnection&) = delete;
    Hla1516eConnection& operator=(const Hla1516eConnection&) = delete;

    // Connects with evoked callbacks. Throws std::runtime_error when the RTI cannot be reached.
    void connect(const StepReport& step);
    // Creates the federation execution from the modules (time HLAfloat64Time, as a 1.3 RTI has
    // it) unless it exists, and joins it. Throws std::runtime_error describing the refused
    // step; the connection then goes as it goes, leaving nothing joined nor connected.
    void join(const std::vector<std::string>& modules, const StepReport& step);
    // Leaves the federation, deleting what it may delete and giving up the rest, destroys the
    // execution when this was its last federate, and disconnects.
    void resign();

    // Takes what has arrived without waiting. Never evokes while not connected.
    void poll();
    // Waits up to seconds for one callback; for the session's own bounded waits.
    void evokeFor(double seconds);

    // Calls the RTI, its refusal described as "<what>: <exception>"; refused at once after the
    // connection was lost.
    template <typename Call>
    auto guarded(const std::string& what, Call call) -> decltype(call());
    void failIfLost(const std::string& what) const;

    rti1516e::RTIambassador& ambassador() { return *m_ambassador; }
    Hla1516eHandles& handles() { return m_handles; }
    Hla1516eCallbacks& callbacks() { return m_callbacks; }
    const hla::FederationDescription& description() const { return m_description; }
    const LinkBounds& bounds() const { return m_bounds; }

private:
    void joinWith(const std::vector<std::wstring>& modules);
    void disconnect();

    std::string m_address;
    std::string m_federation;
    std::string m_federate;
    LinkBounds m_bounds;
    hla::FederationDescription m_description;
    std::unique_ptr<rti1516e::RTIambassador> m_ambassador;
    Hla1516eHandles m_handles;
    Hla1516eCallbacks m_callbacks;
    bool m_connected = false;
    bool m_joined = false;
};

template <typename Call>
auto Hla1516eConnection::guarded(const std::string& what, Call call) -> decltype(call()) {
    failIfLost(what);
    try {
        return call();
    } catch (const rti1516e::Exception&) {
        rethrowRti(what);
    }
}

}  // namespace links
