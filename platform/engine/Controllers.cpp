#include "platform/engine/Controllers.h"

#include "platform/engine/Variables.h"

#include <algorithm>

namespace engine {

int32_t ControllerList::indexOf(const ControllerState& state) const {
    auto it = std::find_if(items.begin(), items.end(),
                           [&](const auto& item) { return item.get() == &state; });
    return it == items.end() ? -1 : static_cast<int32_t>(it - items.begin());
}

std::shared_ptr<ControllerState> ControllerList::at(int32_t index) const {
    if (index < 0 || index >= static_cast<int32_t>(items.size())) {
        throw cao::Error(QStringLiteral("Controller index %1 is out of range (%2 open)")
                             .arg(index)
                             .arg(items.size()),
                         cao::code::InvalidArg);
    }
    return items[static_cast<size_t>(index)];
}

bool ControllerList::contains(const QString& name) const {
    return std::any_of(items.begin(), items.end(),
                       [&](const auto& item) { return item->name == name; });
}

int32_t Controller::Index() {
    m_state->requireOpen();
    return m_list->indexOf(*m_state);
}

cao::VariablesPtr Controller::Variables() {
    m_state->requireOpen();
    return std::make_shared<engine::Variables>(m_state);
}

void Controller::SetOnMessage(cao::MessageHandler handler) {
    // Ending a subscription always works, so a closed controller can still be let go of.
    if (handler) m_state->requireOpen();
    m_state->handler = std::move(handler);
}

cao::ControllerPtr Controllers::Item(const cao::Variant& index) {
    return std::make_shared<Controller>(m_list->at(cao::indexFromVariant(index)), m_list);
}

void Controllers::Remove(const cao::Variant& index) {
    const int32_t position = cao::indexFromVariant(index);
    std::shared_ptr<ControllerState> state = m_list->at(position);
    state->provider->close();  // a refusal leaves the controller open
    m_list->items.erase(m_list->items.begin() + position);
    state->drop();
}

}  // namespace engine
