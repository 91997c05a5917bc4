#pragma once

#include "platform/links/RunTimeLink.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace links {

// The callbacks an RTI delivers to a federate's ambassador, kept in order until they are
// handed on outside the RTI's delivery: the RTI may not be called from inside its own
// callbacks, and translating handles calls it. Here what needs no handles (synchronization
// points, time); TranslatedCallbacks.h the rest. The grant of the federate's own start at its
// initial time, which the link waits for itself, is noted instead.
class DeferredCallbacks {
public:
    bool pending() const { return !m_queue.empty(); }
    // Hands the oldest callback on; false when none waits.
    bool evoke(RunTimeCallbacks& callbacks);

    bool regulating() const { return m_regulating; }
    // The next grant is the federate's own start at its initial time, not the user's advance.
    void expectStartGrant() { m_startGrant = StartGrant::Expected; }
    bool startGranted() const { return m_startGrant == StartGrant::Received; }
    // The logical time as of the callbacks handed on so far: it moves when a grant is
    // delivered, not when the RTI delivers it to the ambassador.
    std::optional<double> deliveredTime() const { return m_deliveredTime; }

protected:
    using Callback = std::function<void(RunTimeCallbacks&)>;

    void queue(Callback callback) { m_queue.push_back(std::move(callback)); }

    // What the ambassador was told, with its texts and times as the run-time interface has
    // them.
    void pointRegistered(std::string label);
    void pointRefused(std::string label, std::string reason);
    void pointAnnounced(std::string label, std::string tag);
    void pointReached(std::string label);
    void regulationEnabled(double time);
    void constrainedEnabled(double time);
    void advanceGranted(double time);

private:
    std::deque<Callback> m_queue;
    bool m_regulating = false;
    enum class StartGrant { None, Expected, Received } m_startGrant = StartGrant::None;
    std::optional<double> m_deliveredTime;
};

}  // namespace links
