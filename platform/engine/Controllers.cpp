#include "platform/engine/Controllers.h"

#include "platform/engine/Controller.h"

namespace engine {

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
