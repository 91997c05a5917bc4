#pragma once

#include "cao/Cao.h"

#include <functional>
#include <ostream>

namespace ui {
class MessageBoxService;
}

namespace app {

// Loads the window with the engine and runs it until the window has unloaded, then returns 0.
// When the engine or its workspace cannot be had, reports why on `errors` and in a message box
// and returns non-zero without showing the window.
int run(ui::MessageBoxService& messageBox, const std::function<cao::EnginePtr()>& createEngine,
        std::ostream& errors);

}  // namespace app
