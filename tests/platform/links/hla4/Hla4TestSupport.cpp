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
    : JoinedFederate(links::hla4::joinHla4(std::move(request), settings)) {}

Hla4Federate::~Hla4Federate() {
    stopWaking();
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

}  // namespace hla4test
