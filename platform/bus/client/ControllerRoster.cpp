#include "platform/bus/client/ControllerRoster.h"

#include <algorithm>

namespace bus::client {

std::shared_ptr<ControllerState> ControllerRoster::state(const QString& owner,
                                                         const QString& path) {
    auto& slot = m_states[path];
    auto state = slot.lock();
    if (!state) {
        state = std::make_shared<ControllerState>();
        state->owner = owner;
        state->path = path;
        const auto known = std::find_if(m_open.begin(), m_open.end(),
                                        [&](const auto& open) { return open.first == path; });
        if (known != m_open.end()) state->name = known->second;
        slot = state;
    }
    return state;
}

void ControllerRoster::opened(const QString& path, const QString& name) {
    m_open.emplace_back(path, name);
}

void ControllerRoster::removed(const QString& path) {
    std::erase_if(m_open, [&](const auto& open) { return open.first == path; });
    auto it = m_states.find(path);
    if (it == m_states.end()) return;
    if (auto state = it->second.lock()) {
        state->open = false;
        state->handler = nullptr;
    }
    m_states.erase(it);
}

std::weak_ptr<ControllerState> ControllerRoster::find(const QString& path) const {
    auto it = m_states.find(path);
    return it == m_states.end() ? std::weak_ptr<ControllerState>() : it->second;
}

std::vector<std::shared_ptr<ControllerState>> ControllerRoster::end(
    const QString& owner, const std::function<QString(const QString&)>& whyClosed) {
    std::vector<std::shared_ptr<ControllerState>> ended;
    for (const auto& [path, name] : m_open) {
        std::shared_ptr<ControllerState> state = this->state(owner, path);
        if (state->name.isEmpty()) state->name = name;
        state->ended = whyClosed(state->name);
        ended.push_back(std::move(state));
    }
    // A new engine process numbers its objects afresh: none of these paths is its.
    m_open.clear();
    m_states.clear();
    m_ended.insert(m_ended.end(), ended.begin(), ended.end());
    return ended;
}

std::shared_ptr<ControllerState> ControllerRoster::endedAt(int32_t index) const {
    if (index < 0 || index >= endedCount()) {
        throw cao::Error(QStringLiteral("Controller index %1 is out of range (%2 open)")
                             .arg(index)
                             .arg(endedCount()),
                         cao::code::InvalidArg);
    }
    return m_ended[static_cast<size_t>(index)];
}

int32_t ControllerRoster::endedIndexOf(const ControllerState& state) const {
    auto it = std::find_if(m_ended.begin(), m_ended.end(),
                           [&](const auto& ended) { return ended.get() == &state; });
    return it == m_ended.end() ? -1 : static_cast<int32_t>(it - m_ended.begin());
}

void ControllerRoster::removeEnded(int32_t index) {
    const std::shared_ptr<ControllerState> state = endedAt(index);
    state->open = false;
    state->ended.clear();  // removed as the client asked: closed like any other
    state->handler = nullptr;
    m_ended.erase(m_ended.begin() + index);
}

}  // namespace bus::client
