#include "platform/fedpro/server/ServerRegistry.h"

namespace fedpro::server {

void ServerRegistry::federationCreated(const std::string& federation, TimeKind kind) {
    m_timeKinds[federation] = kind;
}

void ServerRegistry::federationDestroyed(const std::string& federation) {
    m_timeKinds.erase(federation);
    m_reservations.erase(federation);
}

TimeKind ServerRegistry::timeKindOf(const std::string& federation) const {
    const auto it = m_timeKinds.find(federation);
    return it == m_timeKinds.end() ? TimeKind::Float64 : it->second;
}

void ServerRegistry::prune(const std::function<bool(const std::string&)>& exists) {
    for (auto it = m_timeKinds.begin(); it != m_timeKinds.end();) {
        it = exists(it->first) ? std::next(it) : m_timeKinds.erase(it);
    }
}

bool ServerRegistry::claimName(const std::string& federation, const std::string& name,
                               hla::FederateHandle federate) {
    auto& names = m_federates[federation];
    if (names.count(name) != 0) return false;
    names.emplace(name, federate);
    m_names[federate] = {federation, name};
    return true;
}

std::optional<std::string> ServerRegistry::nameOf(hla::FederateHandle federate) const {
    const auto it = m_names.find(federate);
    if (it == m_names.end()) return std::nullopt;
    return it->second.name;
}

std::optional<hla::FederateHandle> ServerRegistry::federateNamed(const std::string& federation,
                                                                 const std::string& name) const {
    const auto names = m_federates.find(federation);
    if (names == m_federates.end()) return std::nullopt;
    const auto it = names->second.find(name);
    if (it == names->second.end()) return std::nullopt;
    return it->second;
}

void ServerRegistry::federateLeft(hla::FederateHandle federate) {
    if (const auto it = m_names.find(federate); it != m_names.end()) {
        auto names = m_federates.find(it->second.federation);
        if (names != m_federates.end()) {
            names->second.erase(it->second.name);
            if (names->second.empty()) m_federates.erase(names);
        }
        m_names.erase(it);
    }
    if (const auto it = m_reservedBy.find(federate); it != m_reservedBy.end()) {
        for (const auto& [federation, name] : it->second) {
            auto names = m_reservations.find(federation);
            if (names != m_reservations.end()) names->second.erase(name);
        }
        m_reservedBy.erase(it);
    }
}

bool ServerRegistry::reserve(const std::string& federation, const std::string& name,
                             hla::FederateHandle federate) {
    auto& names = m_reservations[federation];
    const auto it = names.find(name);
    if (it != names.end()) return it->second == federate;
    names.emplace(name, federate);
    m_reservedBy[federate].emplace(federation, name);
    return true;
}

bool ServerRegistry::reservedBy(const std::string& federation, const std::string& name,
                                hla::FederateHandle federate) const {
    const auto names = m_reservations.find(federation);
    if (names == m_reservations.end()) return false;
    const auto it = names->second.find(name);
    return it != names->second.end() && it->second == federate;
}

void ServerRegistry::release(const std::string& federation, const std::string& name,
                             hla::FederateHandle federate) {
    if (!reservedBy(federation, name, federate)) return;
    m_reservations[federation].erase(name);
    m_reservedBy[federate].erase({federation, name});
}

std::size_t ServerRegistry::reservationCount(hla::FederateHandle federate) const {
    const auto it = m_reservedBy.find(federate);
    return it == m_reservedBy.end() ? 0 : it->second.size();
}

}  // namespace fedpro::server
