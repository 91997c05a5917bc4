#pragma once

#include "platform/rti/Vocabulary.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace rti {

// Federation-wide synchronisation points: who was announced each label and who has
// achieved it.
class SyncPointRegistry {
public:
    struct Completed {
        std::string label;
        std::vector<FederateHandle> members;
    };

    // The reason the label is refused, or nothing when it is registered.
    std::optional<std::string> add(const std::string& label, const std::string& tag,
                                   const std::vector<FederateHandle>& members);
    // Makes a joining federate a member of every open point; gives (label, tag) pairs to
    // announce to it.
    std::vector<std::pair<std::string, std::string>> join(FederateHandle federate);
    // Throws Error (SynchronizationPointLabelNotAnnounced) for a label the federate was not
    // announced or has already achieved.
    std::optional<Completed> achieve(FederateHandle federate, const std::string& label);
    // A leaving federate counts as having achieved every point it was announced.
    std::vector<Completed> leave(FederateHandle federate);

    std::vector<std::string> labels() const;
    // Who was announced the open point and whether each has achieved it; none for a label
    // that is not open.
    std::optional<std::map<FederateHandle, bool>> status(const std::string& label) const;

private:
    struct Point {
        std::string tag;
        std::map<FederateHandle, bool> achieved;
    };
    std::optional<Completed> completeIfDone(const std::string& label);

    std::map<std::string, Point> m_points;
};

}  // namespace rti
