#include "LinkTestSupport.h"

#include "platform/hla/FedReader.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <sstream>

namespace linktest {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string timeText(std::optional<hla::LogicalTime> time) {
    if (!time) return "";
    return " @" + hla::formatTime(*time);
}

}  // namespace

std::string rtiAddress() {
    return environment("TANDREL_TEST_RTI_ADDRESS");
}

std::string missing(const std::string& kind, bool needsServer) {
    if (links::findLinkPlugin(kind).empty()) {
        return "this build has no plug-in of the " + links::runTimeNameOf(kind);
    }
    if (needsServer && rtiAddress().empty()) {
        return "TANDREL_TEST_RTI_ADDRESS is not set (e.g. rti://127.0.0.1:14321 of a running "
               "rtinode)";
    }
    return {};
}

bool required(const std::string& kind) {
    const std::string variable =
        kind == links::kHla13Kind ? "TANDREL_TEST_REQUIRE_HLA13" : "TANDREL_TEST_REQUIRE_HLA1516E";
    return environment(variable.c_str()) == "1";
}

void LinkTest::needs(const std::string& kind) {
    if (IsSkipped() || HasFatalFailure()) return;
    const std::string why = missing(kind);
    if (why.empty()) return;
    if (required(kind))
        FAIL() << "the " << links::runTimeNameOf(kind) << " is required, but " << why;
    GTEST_SKIP() << links::runTimeNameOf(kind) << " not tested: " << why;
}

void LinkTest::needsPlugin(const std::string& kind) {
    if (IsSkipped() || HasFatalFailure()) return;
    const std::string why = missing(kind, false);
    if (why.empty()) return;
    if (required(kind))
        FAIL() << "the " << links::runTimeNameOf(kind) << " is required, but " << why;
    GTEST_SKIP() << links::runTimeNameOf(kind) << " not tested: " << why;
}

std::string chatFed() {
    return std::string(TANDREL_SOURCE_DATA_DIR) + "/Chat.fed";
}

std::string uniqueFederation() {
    static std::atomic<int> counter{0};
    return "Links" + std::to_string(::getpid()) + "n" + std::to_string(++counter);
}

links::LinkRequest chatRequest(const std::string& federation, const std::string& federate,
                               const std::string& module) {
    links::LinkRequest request;
    request.address = rtiAddress();
    request.federation = federation;
    request.federate = federate;
    request.description = hla::readFedFile(chatFed());
    request.modules = {module};
    return request;
}

hla::Bytes bytes(const std::string& text) {
    return hla::Bytes(text.begin(), text.end());
}

bool Recorder::has(const std::string& line) const {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::optional<hla::ObjectInstanceHandle> Recorder::discovered(const std::string& name) const {
    for (auto it = m_objects.rbegin(); it != m_objects.rend(); ++it) {
        if (it->second == name) return it->first;
    }
    return std::nullopt;
}

std::string Recorder::nameOf(hla::ObjectInstanceHandle object) const {
    for (const auto& [handle, name] : m_objects) {
        if (handle == object) return name;
    }
    return "object " + hla::toString(object);
}

void Recorder::synchronizationPointRegistrationFailed(const std::string& label,
                                                      const std::string&) {
    lines.push_back("registration failed " + label);
}

void Recorder::announceSynchronizationPoint(const std::string& label, const std::string&) {
    lines.push_back("announce " + label);
}

void Recorder::federationSynchronized(const std::string& label) {
    lines.push_back("synchronized " + label);
}

void Recorder::discoverObjectInstance(hla::ObjectInstanceHandle object, hla::ObjectClassHandle,
                                      const std::string& name) {
    m_objects.emplace_back(object, name);
    lines.push_back("discover " + name);
}

void Recorder::reflectAttributeValues(hla::ObjectInstanceHandle object,
                                      const hla::AttributeValues& values, const std::string&,
                                      std::optional<hla::LogicalTime> time) {
    std::string line = "reflect " + nameOf(object);
    for (const auto& [attribute, value] : values) {
        line += " " + m_d.attribute(attribute).name + "=" + std::string(value.begin(), value.end());
    }
    lines.push_back(line + timeText(time));
}

void Recorder::receiveInteraction(hla::InteractionClassHandle cls,
                                  const hla::ParameterValues& values, const std::string&,
                                  std::optional<hla::LogicalTime> time) {
    std::string line = "receive " + m_d.interactionClass(cls).fullName;
    for (const auto& [parameter, value] : values) {
        line += " " + m_d.parameter(parameter).name + "=" + std::string(value.begin(), value.end());
    }
    lines.push_back(line + timeText(time));
}

void Recorder::removeObjectInstance(hla::ObjectInstanceHandle object, const std::string&,
                                    std::optional<hla::LogicalTime>) {
    lines.push_back("remove " + nameOf(object));
}

void Recorder::timeRegulationEnabled(hla::LogicalTime time) {
    lines.push_back("regulating " + hla::formatTime(time));
}

void Recorder::timeConstrainedEnabled(hla::LogicalTime time) {
    lines.push_back("constrained " + hla::formatTime(time));
}

void Recorder::timeAdvanceGrant(hla::LogicalTime time) {
    lines.push_back("grant " + hla::formatTime(time));
}

void Recorder::connectionLost(const std::string& reason) {
    lines.push_back("lost " + reason);
}

JoinedFederate::JoinedFederate(std::unique_ptr<links::RunTimeLink> link)
    : m_link(std::move(link)), m_told(std::make_unique<Recorder>(m_link->description())) {
    m_link->setWaker([this] {
        const std::lock_guard lock(m_mutex);
        m_wake = true;
        m_woken.notify_all();
    });
}

JoinedFederate::~JoinedFederate() {
    stopWaking();
}

bool JoinedFederate::waitFor(const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + kWaitBound;
    for (;;) {
        while (m_link->evokeCallback(*m_told)) {
        }
        if (condition()) return true;
        std::unique_lock lock(m_mutex);
        if (!m_woken.wait_until(lock, end, [&] { return m_wake; })) {
            lock.unlock();
            // What arrived as the bound passed.
            while (m_link->evokeCallback(*m_told)) {
            }
            return condition();
        }
        m_wake = false;
    }
}

std::string JoinedFederate::lineStarting(const std::string& prefix) const {
    for (const std::string& line : m_told->lines) {
        if (line.rfind(prefix, 0) == 0) return line;
    }
    return {};
}

bool JoinedFederate::sendUntil(JoinedFederate& other, const std::string& line,
                               const std::function<void()>& send) {
    constexpr auto kResend = std::chrono::milliseconds(100);
    const auto end = std::chrono::steady_clock::now() + kWaitBound;
    while (std::chrono::steady_clock::now() < end) {
        send();
        const auto until = std::chrono::steady_clock::now() + kResend;
        while (std::chrono::steady_clock::now() < until) {
            while (other.m_link->evokeCallback(*other.m_told)) {
            }
            if (other.m_told->has(line)) return true;
            std::unique_lock lock(other.m_mutex);
            other.m_woken.wait_until(lock, until, [&] { return other.m_wake; });
            other.m_wake = false;
        }
    }
    return false;
}

hla::InteractionClassHandle JoinedFederate::interaction(const std::string& name) const {
    return *m_link->description().findInteractionClass(name);
}

hla::ParameterHandle JoinedFederate::parameter(hla::InteractionClassHandle cls,
                                               const std::string& name) const {
    return *m_link->description().findParameter(cls, name);
}

hla::ObjectClassHandle JoinedFederate::objectClass(const std::string& name) const {
    return *m_link->description().findObjectClass(name);
}

hla::AttributeHandle JoinedFederate::attribute(hla::ObjectClassHandle cls,
                                               const std::string& name) const {
    return *m_link->description().findAttribute(cls, name);
}

Federate::Federate(const std::string& kind, const links::LinkRequest& request,
                   const std::string& libraryHint)
    : JoinedFederate(links::joinPlugin(kind, libraryHint, request)) {}

Federate::~Federate() {
    stopWaking();
    try {
        m_link->resign();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "resigning: " << e.what();
    }
}

}  // namespace linktest
