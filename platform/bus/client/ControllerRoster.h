#pragma once

#include "platform/bus/client/ControllerState.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace bus::client {

// The controllers of a client's engine object as the client knows them: the state each is
// shared through, and those open in the engine's order. When the engine ends, the controllers
// it had open stay listed, closed, so that the client removes them as it would any other.
class ControllerRoster {
public:
    // The state every proxy of the controller at path of the engine at owner shares.
    std::shared_ptr<ControllerState> state(const QString& owner, const QString& path);
    // The controller at path was opened as name; it comes last in the engine's order.
    void opened(const QString& path, const QString& name);
    // The controller at path was removed: closed, and nothing more is delivered to it.
    void removed(const QString& path);
    // Where messages for the controller at path go, while a proxy of it is held.
    std::weak_ptr<ControllerState> find(const QString& path) const;

    // The engine ended: each controller open in it is closed, with whyClosed(its name) as
    // the description, and answered in the engine's order.
    std::vector<std::shared_ptr<ControllerState>> end(
        const QString& owner, const std::function<QString(const QString&)>& whyClosed);
    // The controllers the ended engine had open and the client has not removed yet.
    int32_t endedCount() const noexcept { return static_cast<int32_t>(m_ended.size()); }
    // Throws cao::Error for an index out of range.
    std::shared_ptr<ControllerState> endedAt(int32_t index) const;
    // -1 when the state is not among them.
    int32_t endedIndexOf(const ControllerState& state) const;
    void removeEnded(int32_t index);
    // A new engine: the ended controllers leave the list, closed for good.
    void forgetEnded() { m_ended.clear(); }

private:
    std::map<QString, std::weak_ptr<ControllerState>> m_states;  // by path
    std::vector<std::pair<QString, QString>> m_open;             // path and name, in order
    std::vector<std::shared_ptr<ControllerState>> m_ended;
};

}  // namespace bus::client
