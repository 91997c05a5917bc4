#pragma once

#include "platform/engine/ControllerState.h"

#include <QString>

#include <memory>
#include <vector>

namespace engine {

// The open controllers of the one workspace, in the order they were opened.
class ControllerList {
public:
    std::vector<std::shared_ptr<ControllerState>> items;

    int32_t indexOf(const ControllerState& state) const;
    std::shared_ptr<ControllerState> at(int32_t index) const;
    bool contains(const QString& name) const;
};

}  // namespace engine
