#pragma once

// Link-level tests against a running RTI server: a link opened through its plug-in, what it is
// told, and waits that end when a condition holds or a bound passes. A test needs the server
// at TANDREL_TEST_RTI_ADDRESS (rti://127.0.0.1:PORT) and the plug-in of its run-time; without
// them it is skipped, or fails when TANDREL_TEST_REQUIRE_HLA13=1 or
// TANDREL_TEST_REQUIRE_HLA1516E=1 asks for that run-time.

#include "platform/links/LinkLoader.h"
#include "platform/links/RunTimeLink.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace linktest {

// How long a test waits for what the RTI must deliver: a bound against hanging.
inline constexpr std::chrono::seconds kWaitBound{10};

// Why a test of this kind cannot run here; empty when it can.
std::string missing(const std::string& kind, bool needsServer = true);
bool required(const std::string& kind);
std::string rtiAddress();

// The shipped Chat.fed.
std::string chatFed();
// A federation execution of this test alone: the server outlives a test and serves others.
std::string uniqueFederation();

links::LinkRequest chatRequest(const std::string& federation, const std::string& federate,
                               const std::string& module = chatFed());

// What a federate is told, one line each: "announce s1", "synchronized s1",
// "receive InteractionRoot.Communication Message=hello @2", "discover P1",
// "reflect P1 Name=Ann", "remove P1", "regulating 0", "constrained 0", "grant 3", "lost …".
class Recorder : public links::RunTimeCallbacks {
public:
    explicit Recorder(const hla::FederationDescription& description) : m_d(description) {}

    std::vector<std::string> lines;
    bool has(const std::string& line) const;
    // The object handle of the last discovery of that name.
    std::optional<hla::ObjectInstanceHandle> discovered(const std::string& name) const;

    void synchronizationPointRegistrationFailed(const std::string& l, const std::string&) override;
    void announceSynchronizationPoint(const std::string& label, const std::string&) override;
    void federationSynchronized(const std::string& label) override;
    void discoverObjectInstance(hla::ObjectInstanceHandle object, hla::ObjectClassHandle,
                                const std::string& name) override;
    void reflectAttributeValues(hla::ObjectInstanceHandle object,
                                const hla::AttributeValues& values, const std::string&,
                                std::optional<hla::LogicalTime> time) override;
    void receiveInteraction(hla::InteractionClassHandle cls, const hla::ParameterValues& values,
                            const std::string&, std::optional<hla::LogicalTime> time) override;
    void removeObjectInstance(hla::ObjectInstanceHandle object, const std::string&,
                              std::optional<hla::LogicalTime>) override;
    void timeRegulationEnabled(hla::LogicalTime time) override;
    void timeConstrainedEnabled(hla::LogicalTime time) override;
    void timeAdvanceGrant(hla::LogicalTime time) override;
    void connectionLost(const std::string& reason) override;

private:
    std::string nameOf(hla::ObjectInstanceHandle object) const;

    const hla::FederationDescription& m_d;
    std::vector<std::pair<hla::ObjectInstanceHandle, std::string>> m_objects;
};

// A link opened through the loader, with what it is told.
// A joined federate and what it is told, woken as its callbacks arrive.
class JoinedFederate {
public:
    explicit JoinedFederate(std::unique_ptr<links::RunTimeLink> link);
    virtual ~JoinedFederate();
    JoinedFederate(const JoinedFederate&) = delete;
    JoinedFederate& operator=(const JoinedFederate&) = delete;

    links::RunTimeLink& link() { return *m_link; }
    Recorder& told() { return *m_told; }
    // Hands over what has arrived until condition holds; false when kWaitBound passes first.
    bool waitFor(const std::function<bool()>& condition);
    bool waitFor(const std::string& line) {
        return waitFor([&] { return m_told->has(line); });
    }
    // The first line told that begins with prefix; empty when none has been.
    std::string lineStarting(const std::string& prefix) const;
    // Repeats send until the other federate has been told line: through a server, the other
    // federate's subscription reaches this one a moment after it was made.
    bool sendUntil(JoinedFederate& other, const std::string& line,
                   const std::function<void()>& send);

    hla::InteractionClassHandle interaction(const std::string& name) const;
    hla::ParameterHandle parameter(hla::InteractionClassHandle cls, const std::string& name) const;
    hla::ObjectClassHandle objectClass(const std::string& name) const;
    hla::AttributeHandle attribute(hla::ObjectClassHandle cls, const std::string& name) const;

protected:
    // For a subclass's destructor: no more wake-ups once it starts resigning.
    void stopWaking() { m_link->setWaker({}); }

    std::unique_ptr<links::RunTimeLink> m_link;

private:
    std::unique_ptr<Recorder> m_told;
    std::mutex m_mutex;
    std::condition_variable m_woken;
    bool m_wake = false;
};

// A federate of an RTI link's plug-in, resigned when it goes; a failure to resign is the test's.
class Federate : public JoinedFederate {
public:
    Federate(const std::string& kind, const links::LinkRequest& request,
             const std::string& libraryHint = {});
    ~Federate() override;
};

hla::Bytes bytes(const std::string& text);

// Tests of one run-time or of several, skipped when one cannot be tested here.
class LinkTest : public ::testing::Test {
protected:
    // From SetUp: skips the test, or fails it when that run-time is required.
    void needs(const std::string& kind);
    // The same for a test that needs the plug-in only, no RTI server.
    void needsPlugin(const std::string& kind);
};

}  // namespace linktest
