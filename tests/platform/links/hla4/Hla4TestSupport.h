#pragma once

// A federate on the hla4 link, opened as the provider opens it (on its own RTI thread), with
// what it is told, for the link's tests against the fake server and the engine's server.

#include "../LinkTestSupport.h"
#include "platform/links/hla4/Hla4Link.h"
#include "platform/links/hla4/Hla4Settings.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
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

class Hla4Federate {
public:
    Hla4Federate(links::LinkRequest request, const links::hla4::Hla4Settings& settings);
    ~Hla4Federate();

    links::RunTimeLink& link() { return *m_link; }
    linktest::Recorder& told() { return *m_told; }
    // Hands over what has arrived until condition holds; false when the bound passes first.
    bool waitFor(const std::function<bool()>& condition);
    bool waitFor(const std::string& line) {
        return waitFor([&] { return m_told->has(line); });
    }
    // The first line told that begins with prefix; empty when none has been.
    std::string lineStarting(const std::string& prefix) const;
    // Repeats send until other has been told line.
    bool sendUntil(Hla4Federate& other, const std::string& line, const std::function<void()>& send);
    // Resigns now; a failure is the test's.
    void leave();

    hla::InteractionClassHandle interaction(const std::string& name) const;
    hla::ParameterHandle parameter(hla::InteractionClassHandle cls, const std::string& name) const;
    hla::ObjectClassHandle objectClass(const std::string& name) const;
    hla::AttributeHandle attribute(hla::ObjectClassHandle cls, const std::string& name) const;

private:
    std::unique_ptr<links::RunTimeLink> m_link;
    std::unique_ptr<linktest::Recorder> m_told;
    std::mutex m_mutex;
    std::condition_variable m_woken;
    bool m_wake = false;
    bool m_left = false;
};

}  // namespace hla4test
