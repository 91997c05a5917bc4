#include "platform/rti/SyncPointRegistry.h"

#include "platform/rti/Vocabulary.h"

#include <algorithm>

namespace rti {

std::optional<std::string> SyncPointRegistry::add(const std::string& label, const std::string& tag,
                                                  const std::vector<FederateHandle>& members) {
    if (label.empty()) return "the label is empty";
    if (m_points.count(label) != 0) {
        return "the label \"" + label + "\" is already registered and not yet synchronised";
    }
    Point& point = m_points[label];
    point.tag = tag;
    for (FederateHandle member : members) point.achieved.emplace(member, false);
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> SyncPointRegistry::join(FederateHandle federate) {
    std::vector<std::pair<std::string, std::string>> announcements;
    for (auto& [label, point] : m_points) {
        point.achieved.emplace(federate, false);
        announcements.emplace_back(label, point.tag);
    }
    return announcements;
}

std::optional<SyncPointRegistry::Completed> SyncPointRegistry::achieve(FederateHandle federate,
                                                                       const std::string& label) {
    const auto point = m_points.find(label);
    if (point == m_points.end() || point->second.achieved.count(federate) == 0) {
        throw Error(ErrorKind::SynchronizationPointLabelNotAnnounced,
                    "the synchronisation point \"" + label + "\" was not announced");
    }
    const auto member = point->second.achieved.find(federate);
    if (member->second) {
        throw Error(ErrorKind::SynchronizationPointLabelNotAnnounced,
                    "the synchronisation point \"" + label + "\" was already achieved");
    }
    member->second = true;
    return completeIfDone(label);
}

std::vector<SyncPointRegistry::Completed> SyncPointRegistry::leave(FederateHandle federate) {
    std::vector<std::string> touched;
    for (auto& [label, point] : m_points) {
        if (point.achieved.erase(federate) != 0) touched.push_back(label);
    }
    std::vector<Completed> completed;
    for (const std::string& label : touched) {
        if (auto done = completeIfDone(label)) completed.push_back(std::move(*done));
    }
    return completed;
}

std::vector<std::string> SyncPointRegistry::labels() const {
    std::vector<std::string> result;
    for (const auto& entry : m_points) result.push_back(entry.first);
    return result;
}

std::optional<SyncPointRegistry::Completed> SyncPointRegistry::completeIfDone(
    const std::string& label) {
    const auto it = m_points.find(label);
    const auto& achieved = it->second.achieved;
    if (!std::all_of(achieved.begin(), achieved.end(), [](const auto& m) { return m.second; })) {
        return std::nullopt;
    }
    Completed done{label, {}};
    for (const auto& entry : achieved) done.members.push_back(entry.first);
    m_points.erase(it);
    return done;
}

std::optional<std::map<FederateHandle, bool>> SyncPointRegistry::status(
    const std::string& label) const {
    const auto it = m_points.find(label);
    if (it == m_points.end()) return std::nullopt;
    return it->second.achieved;
}

}  // namespace rti
