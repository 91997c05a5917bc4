#pragma once

// A federate on the hla4 link, opened as the provider opens it (on its own RTI thread), with
// what it is told, for the link's tests against the fake server and the engine's server.

#include "../LinkTestSupport.h"
#include "platform/links/hla4/Hla4Link.h"
#include "platform/links/hla4/Hla4Settings.h"

#include <chrono>
#include <memory>
#include <string>

namespace hla4test {

// Small bounds, so that the faults show within a test: heartbeat 0.1 s, timeout 0.6 s, resume
// window 2 s, each connection 1 s.
links::hla4::Hla4Settings quickSettings(const std::string& address);
// The chat room's description, with the module the request hands the server.
links::LinkRequest chatRequest(const std::string& federation, const std::string& federate,
                               const std::string& module);
std::string chatXml();
// The link's bounds made small too: open 5 s, calls and resigning 3 s.
links::LinkBounds quickBounds();

// Resigned when it goes, quietly: a fault the test made may leave nothing to resign from;
// leave() checks it where not.
class Hla4Federate : public linktest::JoinedFederate {
public:
    Hla4Federate(links::LinkRequest request, const links::hla4::Hla4Settings& settings);
    ~Hla4Federate() override;

    // Resigns now; a failure is the test's.
    void leave();

private:
    bool m_left = false;
};

}  // namespace hla4test
