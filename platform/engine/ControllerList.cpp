#include "platform/engine/ControllerList.h"

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

}  // namespace engine
