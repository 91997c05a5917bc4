#include "Hla4TestSupport.h"

#include "platform/hla/FedReader.h"

#include <gtest/gtest.h>

namespace hla4test {

using namespace std::chrono_literals;

links::hla4::Hla4Settings quickSettings(const std::string& address) {
    links::hla4::Hla4Settings settings;
    settings.server = links::hla4::parseServerAddress(address);
    settings.timing.heartbeat = 100ms;
    settings.timing.timeout = 600ms;
    settings.timing.resumeWindow = 2000ms;
    settings.timing.connect = 1000ms;
    return settings;
}

links::LinkBounds quickBounds() {
    links::LinkBounds bounds;
    bounds.open = 5000ms;
    bounds.call = 3000ms;
    bounds.resign = 3000ms;
    return bounds;
}

std::string chatXml() {
    return std::string(TANDREL_SOURCE_DATA_DIR) + "/Chat.xml";
}

links::LinkRequest chatRequest(const std::string& federation, const std::string& federate,
                               const std::string& module) {
    links::LinkRequest request;
    request.federation = federation;
    request.federate = federate;
    request.description = hla::readFedFile(linktest::chatFed());
    request.modules = {module};
    return request;
}

Hla4Federate::Hla4Federate(links::LinkRequest request, const links::hla4::Hla4Settings& settings)
    : m_link(links::hla4::joinHla4(std::move(request), settings)),
      m_told(std::make_unique<linktest::Recorder>(m_link->description())) {
    m_link->setWaker([this] {
        const std::lock_guard lock(m_mutex);
        m_wake = true;
        m_woken.notify_all();
    });
}

Hla4Federate::~Hla4Federate() {
    m_link->setWaker({});
    if (m_left) return;
    try {
        m_link->resign();
    } catch (const std::exception&) {
        // A fault the test made may leave nothing to resign from; leave() checks it where not.
    }
}

void Hla4Federate::leave() {
    m_left = true;
    try {
        m_link->resign();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "resigning: " << e.what();
    }
}

bool Hla4Federate::waitFor(const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + linktest::kWaitBound;
    for (;;) {
        while (m_link->evokeCallback(*m_told)) {
        }
        if (condition()) return true;
        std::unique_lock lock(m_mutex);
        if (!m_woken.wait_until(lock, end, [&] { return m_wake; })) {
            lock.unlock();
            while (m_link->evokeCallback(*m_told)) {
            }
            return condition();
        }
        m_wake = false;
    }
}

std::string Hla4Federate::lineStarting(const std::string& prefix) const {
    for (const std::string& line : m_told->lines) {
        if (line.rfind(prefix, 0) == 0) return line;
    }
    return {};
}

bool Hla4Federate::sendUntil(Hla4Federate& other, const std::string& line,
                             const std::function<void()>& send) {
    constexpr auto kResend = 100ms;
    const auto end = std::chrono::steady_clock::now() + linktest::kWaitBound;
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

hla::InteractionClassHandle Hla4Federate::interaction(const std::string& name) const {
    return *m_link->description().findInteractionClass(name);
}

hla::ParameterHandle Hla4Federate::parameter(hla::InteractionClassHandle cls,
                                             const std::string& name) const {
    return *m_link->description().findParameter(cls, name);
}

hla::ObjectClassHandle Hla4Federate::objectClass(const std::string& name) const {
    return *m_link->description().findObjectClass(name);
}

hla::AttributeHandle Hla4Federate::attribute(hla::ObjectClassHandle cls,
                                             const std::string& name) const {
    return *m_link->description().findAttribute(cls, name);
}

}  // namespace hla4test
